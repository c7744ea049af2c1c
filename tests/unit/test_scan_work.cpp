// Hostile inputs at two sizes: quadrupling the input at most quadruples the
// work the engine counts (decoder calls and bytes, descriptor probes, headers
// tried, bytes checked), what the scan keeps of refusals stays bounded, and
// the number of threads changes neither what is found nor that work.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "HostileArchives.h"
#include "ScanHelpers.h"
#include "codec/EntryDecoder.h"

namespace vrz::test {
namespace {

struct Measured {
    ScanWork work;
    std::size_t inputSize = 0;
    std::size_t findingsKept = 0;
    std::size_t longestKeptName = 0;
    std::size_t rows = 0;
    std::string table;  // rows and findings, one line each
};

// Streamed deflate entries as a writer to a pipe makes them, a few with
// damaged data, and a stored streamed entry holding more of them (headers
// the scan must not take): candidates decoded ahead and dropped.
Bytes StreamedMix() {
    Bytes out;
    Bytes nested;
    for (int i = 0; i < 240; ++i) {
        std::string plain;
        for (int line = 0; line < 1 + (i * 37) % 400; ++line) plain += "line " + std::to_string(line * i) + " of text\n";
        LocalEntry e;
        e.name = "mix/" + std::to_string(i) + ".txt";
        e.data = hostile::RawDeflate(plain);
        e.crc = UpdateCrc32(0, reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size());
        e.flags = hostile::kStreamed;
        e.headerCompressed = e.headerUncompressed = 0;
        e.descriptor = 16;
        e.method = 8;
        e.realSize = static_cast<std::int64_t>(plain.size());
        Bytes record = LocalRecord(e);
        if (i % 41 == 5) record[30 + e.name.size() + e.data.size() / 2] ^= 0x5A;
        Append(i % 3 == 1 ? nested : out, record);
        if (i % 60 == 59) {
            LocalEntry holder;
            holder.name = "bundle" + std::to_string(i) + ".zip";
            holder.data.assign(nested.begin(), nested.end());
            holder.crc = UpdateCrc32(0, nested.data(), nested.size());
            holder.flags = hostile::kStreamed;
            holder.headerCompressed = holder.headerUncompressed = 0;
            holder.descriptor = 16;
            Append(out, LocalRecord(holder));
            nested.clear();
        }
    }
    Append(out, Garbage(200, 4));
    return out;
}

Measured Scan(const Bytes& bytes, std::size_t threads = 0) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("hostile.zip", bytes);
    RecordingReporter reporter;
    ScanOptions options;
    // A small fixed allowance, so the multiple of the input shows at test sizes.
    options.refusedWorkFloor = 64u << 10;
    options.threads = threads;
    EXPECT_TRUE(ScanSingleArchive(state, reporter, options));
    Measured m;
    m.work = state.scanWork;
    m.inputSize = bytes.size();
    m.findingsKept = state.findings.size();
    for (const ScanFinding& f : state.findings) m.longestKeptName = std::max(m.longestKeptName, f.name.size());
    m.rows = state.entries.size();
    for (const RecoveredEntry& row : state.entries)
        m.table += std::to_string(row.headerOffset) + ' ' + std::to_string(row.entryLength) + ' ' +
                   std::to_string(row.crc32) + ' ' + std::to_string(row.check.decodedByScan) + ' ' +
                   std::to_string(state.CheckOf(row).decodedSize) + ' ' + std::string(state.NameOf(row)) + '\n';
    for (const ScanFinding& f : state.findings)
        m.table += std::to_string(static_cast<int>(f.kind)) + " at " + std::to_string(f.offset) + ' ' +
                   std::to_string(f.value) + '\n';
    return m;
}

TEST(ScanWork, QuadruplingTheInputAtMostQuadruplesTheWork) {
    for (const hostile::Construction& c : hostile::All()) {
        const Measured one = Scan(c.build(1));
        const Measured four = Scan(c.build(4));
        SCOPED_TRACE(c.name);
        ASSERT_GT(four.inputSize, 3 * one.inputSize);
        const double grown = static_cast<double>(four.inputSize) / static_cast<double>(one.inputSize);
        const auto bound = [&](std::uint64_t small) {
            return static_cast<std::uint64_t>(1.15 * grown * static_cast<double>(small)) + (64u << 10);
        };
        EXPECT_LE(four.work.Total(), bound(one.work.Total()));
        EXPECT_LE(four.work.bytesDecoded, bound(one.work.bytesDecoded));
        EXPECT_LE(four.work.bytesChecked, bound(one.work.bytesChecked));
        EXPECT_LE(four.work.descriptorProbes, bound(one.work.descriptorProbes));
        // Refusals are counted; only a bounded few are kept, with cut names.
        EXPECT_LE(four.findingsKept, FindingLog::kKeptPerKind * kFindingKindCount);
        EXPECT_LE(four.longestKeptName, FindingLog::kKeptNameBytes);
    }
}

// Decoding streamed entries ahead on other threads changes neither what is
// found nor the work the walk counts, hostile inputs included.
TEST(ScanWork, ThreadsChangeNeitherResultNorCountedWork) {
    std::vector<std::pair<std::string, Bytes>> inputs = {{"streamed-mix", StreamedMix()}};
    for (const hostile::Construction& c : hostile::All()) inputs.emplace_back(c.name, c.build(1));
    for (const auto& [name, bytes] : inputs) {
        SCOPED_TRACE(name);
        const Measured alone = Scan(bytes, 1);
        const Measured pooled = Scan(bytes, 4);
        EXPECT_EQ(alone.table, pooled.table);
        EXPECT_EQ(alone.work.Total(), pooled.work.Total());
        EXPECT_EQ(alone.work.bytesProduced, pooled.work.bytesProduced);
        EXPECT_EQ(alone.work.refusedBytes, pooled.work.refusedBytes);
        EXPECT_EQ(alone.work.bytesDecodedAhead, 0u);
        // What was decoded for headers the walk passed over stays within a
        // reading of the input besides the fixed allowance.
        EXPECT_LE(pooled.work.bytesDecodedAhead, pooled.inputSize + (64u << 20));
    }
    EXPECT_GT(Scan(inputs[0].second, 4).rows, 100u);
}

TEST(ScanWork, ManyCentralRecordsOverOneStreamDecodeItOnce) {
    const std::size_t zeros = 16u << 20;
    const Measured m = Scan(hostile::CentralRecordsOverOneStream(100, zeros));
    EXPECT_EQ(m.rows, 0u);  // the CRC-32 never matches
    EXPECT_LE(m.work.bytesProduced, zeros);
    EXPECT_GE(m.work.decodesRemembered, 99u);
}

}  // namespace
}  // namespace vrz::test
