// The entry table's names and rare fields, kept beside the rows: a row must
// find its own name and fields again however the table and the arena grew.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/JobReport.h"
#include "state/JobState.h"

namespace vrz {
namespace {

std::string NameNumber(int i) { return "folder" + std::to_string(i % 37) + "/entry" + std::to_string(i) + ".dat"; }

void AddRows(JobState& state, int from, int to) {
    for (int i = from; i < to; ++i) {
        RecoveredEntry row;
        row.headerOffset = static_cast<std::uint64_t>(i);
        state.SetName(row, NameNumber(i));
        state.entries.push_back(row);
    }
}

TEST(EntryTableNames, ManyRowsKeepTheirNamesAcrossArenaBlocksAndAfterAReset) {
    JobState state;
    constexpr int kRows = 150000;  // about 4 MB of names: several arena blocks
    AddRows(state, 0, kRows);
    ASSERT_GT(state.names.BytesReserved(), NameArena::kBlockSize);
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(state.NameOf(state.entries[static_cast<std::size_t>(i)]), NameNumber(i)) << i;

    state.ResetTable();
    EXPECT_TRUE(state.entries.empty());
    EXPECT_EQ(state.names.BytesReserved(), 0u);
    // A second scan of the same job names its rows afresh.
    AddRows(state, kRows, kRows + 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(state.NameOf(state.entries[static_cast<std::size_t>(i)]), NameNumber(kRows + i)) << i;
}

TEST(EntryTableNames, ARowCopiedOutKeepsItsNameWhileTheStateLives) {
    JobState state;
    AddRows(state, 0, 10);
    RecoveredEntry folder;
    state.SetName(folder, "docs/");
    state.entries.push_back(folder);
    const RecoveredEntry copied = state.entries[3];
    const RecoveredEntry copiedFolder = state.entries.back();
    // The table reallocates and the arena moves on to new blocks.
    AddRows(state, 10, 100000);
    EXPECT_EQ(state.NameOf(copied), NameNumber(3));
    EXPECT_FALSE(state.IsFolder(copied));
    EXPECT_EQ(state.NameOf(copiedFolder), "docs/");
    EXPECT_TRUE(state.IsFolder(copiedFolder));
    // A row never named shows no other row's name.
    EXPECT_EQ(state.NameOf(RecoveredEntry{}), "");
    EXPECT_FALSE(state.IsFolder(RecoveredEntry{}));
}

TEST(EntryTableNames, HeaderNameIsStoredOnceWhenItIsTheTableName) {
    JobState state;
    RecoveredEntry same;
    state.SetName(same, "docs/a.txt");
    EXPECT_EQ(state.HeaderNameOf(same), "docs/a.txt");  // before the header is read
    const std::size_t reserved = state.names.BytesReserved();
    state.SetHeaderName(same, std::string("docs/a.txt"));
    same.check.headerRead = true;
    EXPECT_EQ(same.headerName.block, same.name.block);
    EXPECT_EQ(same.headerName.offset, same.name.offset);
    EXPECT_EQ(state.HeaderNameOf(same), "docs/a.txt");

    RecoveredEntry lost;
    state.SetName(lost, "#Lost Files/b.txt");
    state.SetHeaderName(lost, "dir/sub/b.txt");
    lost.check.headerRead = true;
    EXPECT_EQ(state.NameOf(lost), "#Lost Files/b.txt");
    EXPECT_EQ(state.HeaderNameOf(lost), "dir/sub/b.txt");
    EXPECT_EQ(state.names.BytesReserved(), reserved);
}

TEST(EntryTableExtras, OnlyRowsThatNeedThemTakeASlotAndAResetDropsThem) {
    JobState state;
    AddRows(state, 0, 3);
    EXPECT_TRUE(state.ExtrasOf(state.entries[0]).comment.empty());
    EXPECT_TRUE(state.ExtrasOf(state.entries[0]).localRecordOverride.empty());
    EXPECT_TRUE(state.extras.empty());

    state.ExtrasFor(state.entries[1]).comment = "second";
    state.ExtrasFor(state.entries[1]).centralOnlyExtra = {0x17, 0x00, 0x00, 0x00};
    state.ExtrasFor(state.entries[2]).localRecordOverride = {1, 2, 3};
    ASSERT_EQ(state.extras.size(), 2u);
    const RecoveredEntry copied = state.entries[1];
    EXPECT_EQ(state.ExtrasOf(copied).comment, "second");
    EXPECT_EQ(state.ExtrasOf(copied).centralOnlyExtra.size(), 4u);
    EXPECT_TRUE(state.ExtrasOf(state.entries[1]).localRecordOverride.empty());
    EXPECT_EQ(state.ExtrasOf(state.entries[2]).localRecordOverride.size(), 3u);
    EXPECT_TRUE(state.ExtrasOf(state.entries[0]).comment.empty());

    state.ResetTable();
    EXPECT_TRUE(state.extras.empty());
    // A row left over from before the reset finds nothing rather than another row's fields.
    EXPECT_TRUE(state.ExtrasOf(copied).comment.empty());
}

TEST(EntryTableReport, ReportReadsTheTableAndKeepsPartialNamesThroughAMove) {
    JobState state;
    AddRows(state, 0, 2);
    RecoveredEntry lost;
    state.SetName(lost, "#Lost Files/c.txt");
    state.SetHeaderName(lost, "dir/x/c.txt");
    lost.check.headerRead = true;
    state.entries.push_back(lost);
    for (int i = 0; i < 40; ++i) {  // names short and long, so that both string layouts are moved
        PartialEntry partial;
        partial.headerName = i % 2 == 0 ? "p" + std::to_string(i) : std::string(100, 'q') + std::to_string(i);
        state.partials.push_back(partial);
    }
    JobReport built = BuildJobReport(state, ReportOptions{});
    std::vector<JobReport> kept;
    kept.push_back(std::move(built));
    const JobReport& report = kept.front();
    ASSERT_EQ(report.EntryCount(), 3u + 40u);
    EXPECT_EQ(report.WrittenCount(), 3u + 40u);
    EXPECT_EQ(report.Entry(0).writtenName, NameNumber(0));
    EXPECT_EQ(report.Entry(2).writtenName, "dir/x/c.txt");
    EXPECT_EQ(report.Entry(2).tableName, "#Lost Files/c.txt");
    EXPECT_EQ(report.Entry(3).writtenName, "#Partial Files/p0");
    EXPECT_EQ(report.Entry(4).writtenName, "#Partial Files/" + std::string(100, 'q') + "1");
    EXPECT_EQ(report.Entry(42).tableName, "#Partial Files/" + std::string(100, 'q') + "39");
}

}  // namespace
}  // namespace vrz
