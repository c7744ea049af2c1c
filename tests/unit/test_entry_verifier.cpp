// Verification decodes each found entry and compares it with the stored
// CRC-32 and size; salvage keeps the decodable beginning of a cut entry.
// The archives here are crafted because each needs one exact defect; the
// end-to-end tests use real writers.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <string>
#include <thread>

#include "WriterTestSupport.h"
#include "codec/EntryDecoder.h"
#include "io/FileIo.h"
#include "report/JobReport.h"
#include "verify/EntryVerifier.h"
#include "verify/SalvagePlan.h"

namespace vrz::test {
namespace {

std::string Deflated(const std::string& data) {
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::uint32_t Crc(const std::string& data) {
    return UpdateCrc32(0, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

// Text that compresses, different on every line, so a cut prefix is checkable.
std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + " of the entry's text\n";
    return text;
}

struct Member {
    std::string name;
    std::string content;           // uncompressed
    std::uint16_t method = 0;      // 0 stored, 8 deflate, or any other number
    std::uint16_t flags = 0;
    std::int64_t crcOverride = -1;
    std::string data;              // filled: the bytes as stored
};

Bytes Record(Member& m) {
    m.data = m.method == method::kDeflate ? Deflated(m.content) : m.content;
    Bytes out;
    ByteWriter<Bytes> w(out);
    w.U32(0x04034B50);
    w.U16(20);
    w.U16(m.flags);
    w.U16(m.method);
    w.U16(0);
    w.U16(0x21);
    w.U32(m.crcOverride >= 0 ? static_cast<std::uint32_t>(m.crcOverride) : Crc(m.content));
    w.U32(static_cast<std::uint32_t>(m.data.size()));
    w.U32(static_cast<std::uint32_t>(m.content.size()));
    w.U16(static_cast<std::uint16_t>(m.name.size()));
    w.U16(0);
    Append(out, m.name);
    Append(out, m.data);
    return out;
}

struct Verified {
    JobState state;
    bool ok = false;
    EntryCheck Check(const std::string& name) const {
        for (const RecoveredEntry& row : state.entries)
            if (state.NameOf(row) == name) return state.CheckOf(row);
        ADD_FAILURE() << "no row " << name;
        return EntryCheck{};
    }
    std::string HeaderName(const std::string& name) const {
        for (const RecoveredEntry& row : state.entries)
            if (state.NameOf(row) == name) return std::string(state.HeaderNameOf(row));
        ADD_FAILURE() << "no row " << name;
        return {};
    }
};

void ScanAndVerify(const TempDir& dir, const Bytes& archive, Verified* v) {
    v->state.sourcePath = dir.Write("a.zip", archive);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(v->state, reporter));
    v->ok = VerifyEntries(v->state, VerifyOptions{});
}

TEST(EntryVerifierTest, StatusesFollowWhatDecodingFinds) {
    Member stored{"stored.txt", Lines(50)};
    Member deflated{"deflated.txt", Lines(3000), method::kDeflate};
    Member badCrc{"bad-crc.txt", Lines(40), method::kStored, 0, 0x11111111};
    Member encrypted{"secret.bin", Lines(10), method::kStored, 0x0001};
    Member deflate64{"d64.bin", Lines(10), method::kDeflate64};
    Member empty{"empty.txt", ""};
    Member folder{"docs/", ""};
    Bytes archive;
    for (Member* m : {&stored, &deflated, &badCrc, &encrypted, &deflate64, &empty, &folder}) Append(archive, Record(*m));
    Append(archive, CentralStub());

    TempDir dir;
    Verified v;
    ScanAndVerify(dir, archive, &v);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.Check("stored.txt").status, EntryStatus::kIntact);
    EXPECT_EQ(v.Check("deflated.txt").status, EntryStatus::kIntact);
    EXPECT_EQ(v.Check("deflated.txt").method, method::kDeflate);
    EXPECT_EQ(v.Check("bad-crc.txt").status, EntryStatus::kDamaged);
    EXPECT_EQ(v.Check("bad-crc.txt").reason, CheckReason::kCrcMismatch);
    EXPECT_EQ(v.Check("bad-crc.txt").decodedCrc, Crc(badCrc.content));
    EXPECT_EQ(v.Check("secret.bin").status, EntryStatus::kNotChecked);
    EXPECT_EQ(v.Check("secret.bin").reason, CheckReason::kEncrypted);
    EXPECT_EQ(v.Check("d64.bin").status, EntryStatus::kNotChecked);
    EXPECT_EQ(v.Check("d64.bin").reason, CheckReason::kMethodNotSupported);
    EXPECT_EQ(v.Check("empty.txt").status, EntryStatus::kIntact);
    EXPECT_EQ(v.Check("docs/").status, EntryStatus::kIntact);
    EXPECT_TRUE(v.Check("docs/").headerRead);
    EXPECT_EQ(v.HeaderName("docs/"), "docs/");
}

TEST(EntryVerifierTest, BrokenDeflateDataIsDamagedWithTheOffsetOfTheFailure) {
    Member first{"first.txt", Lines(100)};
    Member broken{"broken.txt", Lines(20000), method::kDeflate};
    Member last{"last.txt", Lines(100)};
    Bytes archive = Record(first);
    const std::size_t brokenStart = archive.size() + 30 + broken.name.size();
    Append(archive, Record(broken));
    Append(archive, Record(last));
    Append(archive, CentralStub());
    // Overwrite 64 bytes a third of the way into the compressed data.
    const std::size_t at = brokenStart + broken.data.size() / 3;
    for (std::size_t i = 0; i < 64; ++i) archive[at + i] = static_cast<std::uint8_t>(0xA5 ^ i);

    TempDir dir;
    Verified v;
    ScanAndVerify(dir, archive, &v);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.Check("first.txt").status, EntryStatus::kIntact);
    EXPECT_EQ(v.Check("last.txt").status, EntryStatus::kIntact);
    const EntryCheck& check = v.Check("broken.txt");
    ASSERT_EQ(check.status, EntryStatus::kDamaged);
    // Either the stream breaks (with an offset at or after the damage) or it
    // decodes to the wrong bytes; never intact.
    if (check.reason == CheckReason::kDoesNotDecode) {
        EXPECT_TRUE(check.hasFailureOffset);
        EXPECT_GE(check.failureOffset, broken.data.size() / 3);
        EXPECT_LE(check.failureOffset, broken.data.size());
    } else {
        EXPECT_TRUE(check.reason == CheckReason::kCrcMismatch || check.reason == CheckReason::kSizeMismatch);
    }
}

TEST(EntryVerifierTest, DeflateStreamShorterThanItsEntryIsCutShort) {
    // The header says fewer compressed bytes than the stream needs.
    Member m{"short.txt", Lines(5000), method::kDeflate};
    Bytes record = Record(m);
    const std::uint32_t shorter = static_cast<std::uint32_t>(m.data.size() / 2);
    WriteU32(&record[18], shorter);
    record.resize(30 + m.name.size() + shorter);
    Append(record, CentralStub());
    TempDir dir;
    Verified v;
    ScanAndVerify(dir, record, &v);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.Check("short.txt").status, EntryStatus::kDamaged);
    EXPECT_EQ(v.Check("short.txt").reason, CheckReason::kStreamCutShort);
}

TEST(EntryVerifierTest, DeflateStreamLongerThanItsStoredSizeStopsThere) {
    // The header says half the uncompressed size the stream decodes to.
    Member m{"long.txt", Lines(5000), method::kDeflate};
    Bytes record = Record(m);
    const std::uint32_t half = static_cast<std::uint32_t>(m.content.size() / 2);
    WriteU32(&record[22], half);
    Append(record, CentralStub());
    TempDir dir;
    Verified v;
    ScanAndVerify(dir, record, &v);
    ASSERT_TRUE(v.ok);
    const EntryCheck& check = v.Check("long.txt");
    EXPECT_EQ(check.status, EntryStatus::kDamaged);
    EXPECT_EQ(check.reason, CheckReason::kLongerThanDeclared);
    EXPECT_EQ(check.decodedSize, half);
    EXPECT_EQ(check.decodedCrc, Crc(m.content.substr(0, half)));
}

TEST(EntryVerifierTest, CancelStopsThePassAndHeaderOnlyModeLeavesStatusesUnverified) {
    Member a{"a.txt", Lines(100), method::kDeflate};
    Member b{"dir/b.txt", Lines(100)};
    Bytes archive = Record(a);
    Append(archive, Record(b));
    Append(archive, CentralStub());
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", archive);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));

    VerifyOptions headersOnly;
    headersOnly.decode = false;
    ASSERT_TRUE(VerifyEntries(state, headersOnly));
    EXPECT_EQ(state.entries[0].check.status, EntryStatus::kUnverified);
    // The table files b.txt under the lost-files folder; the header keeps its path.
    EXPECT_EQ(state.NameOf(state.entries[1]), "#Lost Files/b.txt");
    EXPECT_EQ(state.HeaderNameOf(state.entries[1]), "dir/b.txt");

    state.jobRunning = false;
    EXPECT_FALSE(VerifyEntries(state, VerifyOptions{}));
}

TEST(EntryVerifierTest, ReportCountsStatusesAndSkipDamagedLeavesThoseRowsOutOfReportAndOutput) {
    Member good{"good.txt", Lines(10)};
    Member bad{"bad.txt", Lines(10), method::kStored, 0, 7};
    Bytes archive = Record(good);
    Append(archive, Record(bad));
    Append(archive, CentralStub());
    TempDir dir;
    Verified v;
    ScanAndVerify(dir, archive, &v);
    ReportOptions options;
    options.verified = true;
    v.state.skipDamaged = true;
    const JobReport report = BuildJobReport(v.state, options);
    EXPECT_EQ(report.Count(EntryStatus::kIntact), 1u);
    EXPECT_EQ(report.Count(EntryStatus::kDamaged), 0u);  // left out, so not counted as written
    EXPECT_EQ(report.WrittenCount(), 1u);
    EXPECT_FALSE(report.Entry(1).written);
    EXPECT_FALSE(NothingRecoverable(v.state));

    RecordingReporter reporter;
    ::mkdir(dir.File("out").c_str(), 0755);
    v.state.outputPath = dir.File("out/a_fixed.zip");
    ASSERT_TRUE(RebuildLayout(v.state, reporter, RebuildOptions{}, nullptr));
    const ParsedArchive written = ParseArchive(ReadWholeFile(v.state.outputPath));
    ASSERT_TRUE(written.ok) << written.error;
    ASSERT_EQ(written.headers.size(), 1u);
    EXPECT_EQ(written.headers[0].name, "good.txt");

    // With every row damaged nothing is written, and nothing is left behind.
    v.state.entries.erase(v.state.entries.begin());
    EXPECT_TRUE(NothingRecoverable(v.state));
    v.state.outputPath = dir.File("out/b_fixed.zip");
    EXPECT_FALSE(RebuildLayout(v.state, reporter, RebuildOptions{}, nullptr));
    EXPECT_EQ(ListFilesSorted(dir.File("out")), std::vector<std::string>{"a_fixed.zip"});
}

// Several megabytes of rows, so that every worker claims runs of its own:
// stored and deflated, some with a wrong CRC-32, some filed under the
// lost-files folder (the verifier then records the header's own name).
TEST(EntryVerifierTest, FourThreadsFindWhatOneThreadFindsAndWaitAtThePauseGate) {
    Bytes archive;
    for (int i = 0; i < 400; ++i) {
        const std::string name = (i % 11 == 0 ? "dir/" : "") + std::string("m") + std::to_string(i) + ".txt";
        Member m{name, Lines(i % 4 == 0 ? 2000 + i : 300 + i), i % 4 == 0 ? method::kDeflate : method::kStored};
        if (i % 7 == 0) m.crcOverride = i;
        Append(archive, Record(m));
    }
    Append(archive, CentralStub());
    TempDir dir;
    const std::string path = dir.Write("many.zip", archive);
    JobState one;
    JobState four;
    RecordingReporter reporter;
    for (JobState* state : {&one, &four}) {
        state->sourcePath = path;
        ASSERT_TRUE(ScanSingleArchive(*state, reporter));
    }
    VerifyOptions single;
    single.threads = 1;
    ASSERT_TRUE(VerifyEntries(one, single));

    // Paused before it starts, the pass cannot move until resumed.
    VerifyOptions pooled;
    pooled.threads = 4;
    four.pauseGate.Pause();
    bool ok = false;
    std::thread pass([&] { ok = VerifyEntries(four, pooled); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(four.progressPercent.load(), 0);
    four.pauseGate.Resume();
    pass.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ(four.progressPercent.load(), 100);

    ASSERT_EQ(one.entries.size(), 400u);
    ASSERT_EQ(four.entries.size(), one.entries.size());
    std::size_t damaged = 0;
    for (std::size_t i = 0; i < one.entries.size(); ++i) {
        const EntryCheck a = one.CheckOf(one.entries[i]);
        const EntryCheck b = four.CheckOf(four.entries[i]);
        EXPECT_EQ(a.status, b.status) << i;
        EXPECT_EQ(a.reason, b.reason) << i;
        EXPECT_EQ(a.decodedCrc, b.decodedCrc) << i;
        EXPECT_EQ(a.decodedSize, b.decodedSize) << i;
        EXPECT_EQ(one.HeaderNameOf(one.entries[i]), four.HeaderNameOf(four.entries[i])) << i;
        damaged += a.status == EntryStatus::kDamaged ? 1 : 0;
    }
    EXPECT_EQ(damaged, 58u);
    EXPECT_EQ(four.HeaderNameOf(four.entries[11]), "dir/m11.txt");
}

// Cuts an archive inside the last entry's data, scans, plans the salvage and
// rebuilds; returns the rebuilt bytes.
struct Salvaged {
    JobState state;
    bool rebuilt = false;
    Bytes output;
    ParsedArchive archive;
};

void CutScanSalvage(const TempDir& dir, Bytes archive, std::size_t cutAt, Salvaged* s) {
    archive.resize(cutAt);
    s->state.sourcePath = dir.Write("cut.zip", archive);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(s->state, reporter));
    ASSERT_TRUE(VerifyEntries(s->state, VerifyOptions{}));
    ASSERT_TRUE(PlanSalvage(s->state));
    ::mkdir(dir.File("out").c_str(), 0755);
    s->state.outputPath = dir.File("out/cut_fixed.zip");
    s->rebuilt = RebuildLayout(s->state, reporter, RebuildOptions{}, nullptr);
    if (!s->rebuilt) return;
    s->output = ReadWholeFile(s->state.outputPath);
    s->archive = ParseArchive(s->output);
}

std::string InflateAll(const std::uint8_t* data, std::size_t length) {
    z_stream s{};
    inflateInit2(&s, -MAX_WBITS);
    std::string out;
    char buffer[65536];
    s.next_in = const_cast<Bytef*>(data);
    s.avail_in = static_cast<uInt>(length);
    int rc = Z_OK;
    while (rc == Z_OK) {
        s.next_out = reinterpret_cast<Bytef*>(buffer);
        s.avail_out = sizeof buffer;
        rc = inflate(&s, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - s.avail_out);
    }
    inflateEnd(&s);
    return rc == Z_STREAM_END ? out : std::string("<bad stream>");
}

TEST(SalvageTest, CutStoredEntryKeepsTheBytesPresent) {
    Member whole{"whole.txt", Lines(100)};
    Member cut{"docs/cut.txt", Lines(4000)};
    Bytes archive = Record(whole);
    const std::size_t cutStart = archive.size() + 30 + cut.name.size();
    Append(archive, Record(cut));
    TempDir dir;
    Salvaged s;
    CutScanSalvage(dir, archive, cutStart + 10000, &s);
    ASSERT_EQ(s.state.partials.size(), 1u);
    EXPECT_EQ(s.state.partials[0].recoveredSize, 10000u);
    ASSERT_TRUE(s.rebuilt);
    ASSERT_TRUE(s.archive.ok) << s.archive.error;
    ASSERT_EQ(s.archive.headers.size(), 2u);
    const CentralRecord& partial = s.archive.headers[1];
    EXPECT_EQ(partial.name, "#Partial Files/docs/cut.txt");
    EXPECT_EQ(partial.method, 0);
    EXPECT_EQ(partial.uncompressed32, 10000u);
    EXPECT_EQ(partial.crc, Crc(cut.content.substr(0, 10000)));
    const std::size_t data = partial.offset32 + 30 + partial.name.size();
    EXPECT_EQ(std::string(s.output.begin() + static_cast<std::ptrdiff_t>(data),
                          s.output.begin() + static_cast<std::ptrdiff_t>(data + 10000)),
              cut.content.substr(0, 10000));
}

// An empty header name must not make the salvaged file a folder.
TEST(SalvageTest, CutEntryWithAnEmptyNameIsSavedUnderAFileName) {
    Member cut{"", Lines(4000)};
    TempDir dir;
    Salvaged s;
    CutScanSalvage(dir, Record(cut), 30 + 5000, &s);
    ASSERT_EQ(s.state.partials.size(), 1u);
    ASSERT_TRUE(s.rebuilt);
    ASSERT_TRUE(s.archive.ok) << s.archive.error;
    ASSERT_EQ(s.archive.headers.size(), 1u);
    EXPECT_EQ(s.archive.headers[0].name, "#Partial Files/unnamed at 0");
    EXPECT_EQ(s.archive.headers[0].uncompressed32, 5000u);
}

TEST(SalvageTest, CutDeflatedEntryKeepsItsDecodablePrefixDeflatedAgain) {
    Member cut{"big.txt", Lines(40000), method::kDeflate};
    const Bytes archive = Record(cut);
    TempDir dir;
    Salvaged s;
    CutScanSalvage(dir, archive, 30 + cut.name.size() + cut.data.size() * 7 / 10, &s);
    ASSERT_EQ(s.state.partials.size(), 1u);
    const std::uint64_t recovered = s.state.partials[0].recoveredSize;
    EXPECT_GT(recovered, cut.content.size() / 2);
    EXPECT_LT(recovered, cut.content.size());
    ASSERT_TRUE(s.rebuilt);
    ASSERT_TRUE(s.archive.ok) << s.archive.error;
    ASSERT_EQ(s.archive.headers.size(), 1u);
    const CentralRecord& partial = s.archive.headers[0];
    EXPECT_EQ(partial.name, "#Partial Files/big.txt");
    EXPECT_EQ(partial.method, method::kDeflate);
    EXPECT_EQ(partial.uncompressed32, recovered);
    const std::size_t data = 30 + partial.name.size();
    const std::string decoded = InflateAll(s.output.data() + data, partial.compressed32);
    EXPECT_EQ(decoded, cut.content.substr(0, static_cast<std::size_t>(recovered)));
    EXPECT_EQ(partial.crc, Crc(decoded));
    // The descriptor after the data repeats CRC-32 and sizes.
    const std::size_t descriptor = data + partial.compressed32;
    EXPECT_EQ(ReadU32(&s.output[descriptor]), 0x08074B50u);
    EXPECT_EQ(ReadU32(&s.output[descriptor + 4]), partial.crc);
    EXPECT_EQ(ReadU32(&s.output[descriptor + 12]), recovered);
}

TEST(SalvageTest, NothingIsPlannedWithoutACutOrForUndecodableData) {
    Member whole{"whole.txt", Lines(100)};
    Member secret{"secret.txt", Lines(3000), method::kStored, 0x0001};
    Bytes archive = Record(whole);
    Append(archive, Record(secret));
    TempDir dir;
    Salvaged s;
    // Cut inside the encrypted entry: it is cut, but cannot be decoded.
    CutScanSalvage(dir, archive, archive.size() - 100, &s);
    EXPECT_TRUE(s.state.partials.empty());
    ASSERT_TRUE(s.rebuilt);
    EXPECT_EQ(s.archive.headers.size(), 1u);
}

}  // namespace
}  // namespace vrz::test

namespace vrz::test {
namespace {

TEST(SalvageTest, HeadersInsideACutEntrysDataAreNotSalvagedOnTheirOwn) {
    // A stored entry whose content is itself a small archive, cut inside that
    // content after the inner header: only the outer entry is salvaged.
    Member inner{"inner.txt", Lines(2000)};
    const Bytes innerArchive = Record(inner);
    Member outer{"outer.zip", std::string(innerArchive.begin(), innerArchive.end())};
    const Bytes archive = Record(outer);
    TempDir dir;
    Salvaged s;
    CutScanSalvage(dir, archive, archive.size() - 500, &s);
    ASSERT_EQ(s.state.partials.size(), 1u);
    EXPECT_EQ(s.state.partials[0].headerName, "outer.zip");
}

}  // namespace
}  // namespace vrz::test
