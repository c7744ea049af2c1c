// Feeds arbitrary bytes through the scan and the rebuild, and checks that
// every rebuilt archive is structurally valid: an end record at the end, a
// central directory whose headers each point at a local header with the same
// name, entries back to back from offset 0, and nothing left in the folder
// but the output. The input's last byte also picks read and block sizes and
// whether the bytes are cut into the parts of a split archive, so the window
// and part boundaries get fuzzed too, and whether every entry is decoded and
// the beginnings of cut entries are salvaged into entries of their own.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "io/FileIo.h"
#include "records/ByteOrder.h"
#include "scan/EntryScanner.h"
#include "scan/ScanSingleArchive.h"
#include "verify/EntryVerifier.h"
#include "verify/SalvagePlan.h"
#include "writer/LayoutRebuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invalid rebuilt archive: %s\n", what);
    std::abort();
}

// A folder of our own for the whole run; tmpfs when there is one, since
// every successful rebuild syncs its output.
const std::string& WorkFolder() {
    static const std::string folder = [] {
        std::string base = vrz::IsDirectory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string name = base + "/vrz-fuzz-XXXXXX";
        std::vector<char> buffer(name.begin(), name.end());
        buffer.push_back('\0');
        if (!::mkdtemp(buffer.data())) std::abort();
        return std::string(buffer.data());
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveAll(const std::string& folder) {
    for (const std::string& name : vrz::ListFilesSorted(folder)) vrz::RemoveFile(vrz::JoinPath(folder, name));
}

void CheckArchive(const Bytes& b, const vrz::JobState& state, const vrz::RebuildState& run) {
    // The end record, followed by the archive comment kept from the source.
    const std::size_t comment = std::min<std::size_t>(state.archiveComment.size(), 0xFFFF);
    Require(b.size() >= 22 + comment, "shorter than an end record");
    const std::size_t eocd = b.size() - 22 - comment;
    Require(vrz::ReadU32(&b[eocd]) == 0x06054B50, "no end record at the end");
    Require(vrz::ReadU16(&b[eocd + 20]) == comment, "comment length differs");
    Require(std::memcmp(b.data() + eocd + 22, state.archiveComment.data(), comment) == 0, "comment differs");
    std::uint64_t count = vrz::ReadU16(&b[eocd + 10]);
    std::uint64_t size = vrz::ReadU32(&b[eocd + 12]);
    std::uint64_t offset = vrz::ReadU32(&b[eocd + 16]);
    Require(vrz::ReadU16(&b[eocd + 8]) == count, "end record counts differ");
    std::size_t directoryEnd = eocd;
    if (eocd >= 76 && vrz::ReadU32(&b[eocd - 20]) == 0x07064B50) {
        const std::uint64_t record = vrz::ReadU64(&b[eocd - 12]);
        Require(record == eocd - 76, "locator points elsewhere");
        Require(vrz::ReadU32(&b[eocd - 76]) == 0x06064B50, "no ZIP64 end record");
        count = vrz::ReadU64(&b[eocd - 76 + 32]);
        size = vrz::ReadU64(&b[eocd - 76 + 40]);
        offset = vrz::ReadU64(&b[eocd - 76 + 48]);
        directoryEnd = eocd - 76;
    }
    Require(count == state.entries.size() + state.partials.size(), "entry count differs from the table");
    Require(offset <= directoryEnd && size == directoryEnd - offset, "central directory does not fill its place");

    std::uint64_t p = offset;
    std::uint64_t expectedLocal = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        Require(p + 46 <= directoryEnd, "central header runs past the directory");
        Require(vrz::ReadU32(&b[p]) == 0x02014B50, "central header signature");
        const std::size_t n = vrz::ReadU16(&b[p + 28]);
        const std::size_t m = vrz::ReadU16(&b[p + 30]);
        const std::size_t k = vrz::ReadU16(&b[p + 32]);
        Require(p + 46 + n + m + k <= directoryEnd, "central header's name or extra runs past the directory");
        std::uint64_t local = vrz::ReadU32(&b[p + 42]);
        if (local == 0xFFFFFFFFu) {
            // The offset is the last value of the ZIP64 block.
            const std::uint8_t* extra = &b[p + 46 + n];
            std::size_t at = 0;
            bool found = false;
            while (at + 4 <= m) {
                const std::size_t blockSize = vrz::ReadU16(extra + at + 2);
                if (vrz::ReadU16(extra + at) == 0x0001 && blockSize >= 8 && at + 4 + blockSize <= m) {
                    local = vrz::ReadU64(extra + at + 4 + blockSize - 8);
                    found = true;
                }
                at += 4 + blockSize;
            }
            Require(found, "marked offset without a ZIP64 block");
        }
        Require(local == expectedLocal, "entries are not back to back in table order");
        Require(local + 30 <= offset, "local header outside the entry area");
        Require(vrz::ReadU32(&b[local]) == 0x04034B50, "central header points at no local header");
        Require(vrz::ReadU16(&b[local + 26]) == n, "name lengths differ");
        Require(local + 30 + n <= offset && std::memcmp(&b[local + 30], &b[p + 46], n) == 0, "names differ");
        if (i < state.entries.size()) {
            // An entry written with a fresh local header takes that header and its data.
            const vrz::RecoveredEntry& row = state.entries[i];
            const std::vector<std::uint8_t>& fresh = state.ExtrasOf(row).localRecordOverride;
            const std::uint64_t expected = fresh.empty() ? row.entryLength : fresh.size() + row.compressedSize;
            Require(run.entryLengths[i] == expected, "a row was not copied whole");
        } else {
            Require(n > 15 && std::memcmp(&b[local + 30], "#Partial Files/", 15) == 0, "salvaged entry's name");
        }
        expectedLocal += run.entryLengths[i];
        p += 46 + n + m + k;
    }
    Require(p == directoryEnd, "central directory size does not add up");
    Require(expectedLocal == offset, "entries do not end where the directory starts");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::size_t kSizes[] = {1, 4, 7, 31, 64, 333, 4096, std::size_t{1} << 20};
    const std::uint8_t choice = size > 0 ? data[size - 1] : 0;
    const std::size_t window = kSizes[choice & 7];
    const std::size_t block = kSizes[(choice >> 3) & 7];
    const bool split = (choice & 0x40) != 0;
    // Both ways of copying and of staging the output get fuzzed.
    const bool plainIo = (choice & 0x80) != 0;
    vrz::SetInKernelCopyRefusedForTesting(plainIo);
    vrz::SetUnnamedFilesRefusedForTesting(plainIo);

    const std::string& folder = WorkFolder();
    const std::string out = vrz::JoinPath(folder, "out");
    ::mkdir(out.c_str(), 0700);
    vrz::JobState state;
    vrz::SilentReporter reporter;
    vrz::ScanOptions scanOptions;
    scanOptions.windowSize = std::max<std::size_t>(window, 4);
    // Streamed entries decoded ahead on a second thread, or all by the walk.
    scanOptions.threads = (choice & 0x08) != 0 ? 2 : 1;

    bool scanned = false;
    if (!split) {
        state.sourcePath = vrz::JoinPath(folder, "input.zip");
        WriteFile(state.sourcePath, data, size);
        scanned = vrz::ScanSingleArchive(state, reporter, scanOptions);
    } else {
        // Three parts of the input back to back, as a split scan lays them out.
        const std::size_t cuts[] = {0, size / 3, size / 3 + size / 4, size};
        state.scanSourcePath = folder;
        for (int i = 0; i < 3; ++i) {
            const std::string part = vrz::JoinPath(folder, "input.z0" + std::to_string(i + 1));
            WriteFile(part, data + cuts[i], cuts[i + 1] - cuts[i]);
            state.scanLayout.AddPart(part, cuts[i + 1] - cuts[i], true);
        }
        scanned = vrz::ScanLayout(state, reporter, scanOptions);
    }

    if (scanned) {
        state.outputPath = vrz::JoinPath(out, "input_fixed.zip");
        vrz::RebuildOptions options;
        options.blockSize = block;
        options.splitArchive = split;
        options.keepEntryLengths = true;
        if ((choice & 0x80) != 0) {
            Require(vrz::VerifyEntries(state, vrz::VerifyOptions{}), "verification stopped without a cancel");
            Require(vrz::PlanSalvage(state), "salvage stopped without a cancel");
        }
        vrz::RebuildState run;
        const bool rebuilt = vrz::RebuildLayout(state, reporter, options, &run);
        Require(rebuilt, "rebuild failed on an unchanged source");
        Require(vrz::ListFilesSorted(out) == std::vector<std::string>{"input_fixed.zip"},
                "the output folder holds more than the output");
        CheckArchive(ReadFile(state.outputPath), state, run);
    }
    RemoveAll(out);
    RemoveAll(folder);
    return 0;
}
