// Hostile inputs at two sizes: quadrupling the input at most quadruples the
// work the engine counts (decoder calls and bytes, descriptor probes, headers
// tried, bytes checked), and what the scan keeps of refusals stays bounded.
#include <gtest/gtest.h>

#include "HostileArchives.h"
#include "ScanHelpers.h"

namespace vrz::test {
namespace {

struct Measured {
    ScanWork work;
    std::size_t inputSize = 0;
    std::size_t findingsKept = 0;
    std::size_t longestKeptName = 0;
    std::size_t rows = 0;
};

Measured Scan(const Bytes& bytes) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("hostile.zip", bytes);
    RecordingReporter reporter;
    ScanOptions options;
    // A small fixed allowance, so the multiple of the input shows at test sizes.
    options.refusedWorkFloor = 64u << 10;
    EXPECT_TRUE(ScanSingleArchive(state, reporter, options));
    Measured m;
    m.work = state.scanWork;
    m.inputSize = bytes.size();
    m.findingsKept = state.findings.size();
    for (const ScanFinding& f : state.findings) m.longestKeptName = std::max(m.longestKeptName, f.name.size());
    m.rows = state.entries.size();
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

TEST(ScanWork, ManyCentralRecordsOverOneStreamDecodeItOnce) {
    const std::size_t zeros = 16u << 20;
    const Measured m = Scan(hostile::CentralRecordsOverOneStream(100, zeros));
    EXPECT_EQ(m.rows, 0u);  // the CRC-32 never matches
    EXPECT_LE(m.work.bytesProduced, zeros);
    EXPECT_GE(m.work.decodesRemembered, 99u);
}

}  // namespace
}  // namespace vrz::test
