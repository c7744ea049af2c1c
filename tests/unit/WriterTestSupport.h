// Reads back what the writers produce, independently of the writer's own
// code, and runs a scan + rebuild on test bytes.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ScanHelpers.h"
#include "writer/LayoutRebuilder.h"
#include "writer/RebuildArchive.h"

namespace vrz::test {

inline Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every name in a folder, hidden ones included.
inline std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct CentralRecord {
    std::uint16_t versionMadeBy = 0, versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
    std::uint32_t crc = 0, compressed32 = 0, uncompressed32 = 0, externalAttributes = 0, offset32 = 0;
    std::string name;
    Bytes extra;
};

struct ParsedArchive {
    bool ok = false;
    std::string error;
    bool zip64 = false;
    std::uint16_t eocdEntriesThisDisk = 0, eocdEntries = 0;
    std::uint32_t eocdSize = 0, eocdOffset = 0;
    std::uint16_t zip64VersionMadeBy = 0, zip64VersionNeeded = 0;
    std::uint64_t zip64Entries = 0, zip64Size = 0, zip64Offset = 0, locatorOffset = 0;
    std::uint32_t locatorDisks = 0;
    std::vector<CentralRecord> headers;
};

// Takes an archive without a comment apart from its end: end record, ZIP64
// records when the locator is there, then the central headers.
inline ParsedArchive ParseArchive(const Bytes& b) {
    ParsedArchive a;
    if (b.size() < 22) {
        a.error = "too short";
        return a;
    }
    const std::size_t eocd = b.size() - 22;
    if (ReadU32(&b[eocd]) != 0x06054B50) {
        a.error = "no end record at the end";
        return a;
    }
    a.eocdEntriesThisDisk = ReadU16(&b[eocd + 8]);
    a.eocdEntries = ReadU16(&b[eocd + 10]);
    a.eocdSize = ReadU32(&b[eocd + 12]);
    a.eocdOffset = ReadU32(&b[eocd + 16]);
    std::uint64_t count = a.eocdEntries, size = a.eocdSize, offset = a.eocdOffset;
    if (eocd >= 20 + 56 && ReadU32(&b[eocd - 20]) == 0x07064B50) {
        a.zip64 = true;
        a.locatorOffset = ReadU64(&b[eocd - 12]);
        a.locatorDisks = ReadU32(&b[eocd - 4]);
        const std::size_t z = eocd - 20 - 56;
        if (ReadU32(&b[z]) != 0x06064B50 || a.locatorOffset != z || ReadU64(&b[z + 4]) != 44) {
            a.error = "bad ZIP64 end record";
            return a;
        }
        a.zip64VersionMadeBy = ReadU16(&b[z + 12]);
        a.zip64VersionNeeded = ReadU16(&b[z + 14]);
        a.zip64Entries = ReadU64(&b[z + 32]);
        if (ReadU64(&b[z + 24]) != a.zip64Entries) {
            a.error = "ZIP64 counts differ";
            return a;
        }
        a.zip64Size = ReadU64(&b[z + 40]);
        a.zip64Offset = ReadU64(&b[z + 48]);
        count = a.zip64Entries;
        size = a.zip64Size;
        offset = a.zip64Offset;
    }
    if (offset > b.size() || size > b.size() - offset) {
        a.error = "central directory outside the file";
        return a;
    }
    std::size_t p = static_cast<std::size_t>(offset);
    for (std::uint64_t i = 0; i < count; ++i) {
        if (p + 46 > b.size() || ReadU32(&b[p]) != 0x02014B50) {
            a.error = "bad central header " + std::to_string(i);
            return a;
        }
        CentralRecord c;
        c.versionMadeBy = ReadU16(&b[p + 4]);
        c.versionNeeded = ReadU16(&b[p + 6]);
        c.flags = ReadU16(&b[p + 8]);
        c.method = ReadU16(&b[p + 10]);
        c.time = ReadU16(&b[p + 12]);
        c.date = ReadU16(&b[p + 14]);
        c.crc = ReadU32(&b[p + 16]);
        c.compressed32 = ReadU32(&b[p + 20]);
        c.uncompressed32 = ReadU32(&b[p + 24]);
        const std::size_t n = ReadU16(&b[p + 28]), m = ReadU16(&b[p + 30]), k = ReadU16(&b[p + 32]);
        c.externalAttributes = ReadU32(&b[p + 38]);
        c.offset32 = ReadU32(&b[p + 42]);
        c.name.assign(b.begin() + static_cast<std::ptrdiff_t>(p + 46), b.begin() + static_cast<std::ptrdiff_t>(p + 46 + n));
        c.extra.assign(b.begin() + static_cast<std::ptrdiff_t>(p + 46 + n),
                       b.begin() + static_cast<std::ptrdiff_t>(p + 46 + n + m));
        a.headers.push_back(std::move(c));
        p += 46 + n + m + k;
    }
    if (p != offset + size) {
        a.error = "central directory size does not add up";
        return a;
    }
    a.ok = true;
    return a;
}

struct RebuildResult {
    bool ok = false;
    std::vector<std::string> reported;
    std::string outputPath;
    Bytes output;
    ParsedArchive archive;
    RebuildState run;
    // Copied out of the scan's state, which ends with ScanAndRebuild: the
    // rows' names are kept as strings beside them.
    std::vector<RecoveredEntry> rows;
    std::vector<std::string> names;
};

// Scans source (already in the folder of dir) and rebuilds it into dir/out.
inline RebuildResult ScanAndRebuild(const TempDir& dir, const std::string& source, const RebuildOptions& options = {}) {
    JobState state;
    state.sourcePath = source;
    RecordingReporter reporter;
    RebuildResult r;
    if (!ScanSingleArchive(state, reporter)) return r;
    ::mkdir(dir.File("out").c_str(), 0755);
    state.outputPath = dir.File("out/a_fixed.zip");
    r.ok = RebuildLayout(state, reporter, options, &r.run);
    r.reported = reporter.keys;
    r.outputPath = state.outputPath;
    r.rows.assign(state.entries.begin(), state.entries.end());
    for (const RecoveredEntry& row : state.entries) r.names.emplace_back(state.NameOf(row));
    if (r.ok) {
        r.output = ReadWholeFile(r.outputPath);
        r.archive = ParseArchive(r.output);
    }
    return r;
}

}  // namespace vrz::test
