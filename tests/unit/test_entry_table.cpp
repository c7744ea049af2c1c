// The entry table's names and rare fields, kept beside the rows: a row must
// find its own name and fields again however the table and the arena grew.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "report/JobReport.h"
#include "state/JobState.h"
#include "state/LostFilesName.h"

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

TEST(EntryTableNames, OneNameIsStoredWhenTheTableNameIsTheHeadersOrItsLostFilesForm) {
    JobState state;
    RecoveredEntry same;
    state.SetName(same, "docs/a.txt");
    EXPECT_EQ(state.HeaderNameOf(same), "docs/a.txt");  // before the header is read
    state.SetHeaderName(same, std::string("docs/a.txt"));
    same.check.headerRead = true;
    EXPECT_EQ(state.NameOf(same), "docs/a.txt");
    EXPECT_EQ(state.HeaderNameOf(same), "docs/a.txt");

    RecoveredEntry lost;
    state.SetNames(lost, "#Lost Files/b.txt", "dir/sub/b.txt");
    lost.check.headerRead = true;
    RecoveredEntry lostFolder;
    state.SetNames(lostFolder, "#Lost Files/sub/", "dir/sub/");
    // A rebuilt header may bear a name of its own.
    RecoveredEntry apart;
    state.SetName(apart, "#Lost Files/c.txt");
    state.SetHeaderName(apart, "other/c.txt.bak");
    EXPECT_EQ(state.HeaderNameOf(apart), "#Lost Files/c.txt");  // not read yet
    apart.check.headerRead = true;
    // A later table name keeps the header's name.
    RecoveredEntry renamed = lost;
    state.SetName(renamed, "dir/sub/b.txt");

    AddRows(state, 0, 1000);  // the arena moves on
    EXPECT_EQ(state.NameOf(lost), "#Lost Files/b.txt");
    EXPECT_EQ(state.HeaderNameOf(lost), "dir/sub/b.txt");
    EXPECT_EQ(state.NameOf(lostFolder), "#Lost Files/sub/");
    EXPECT_EQ(state.HeaderNameOf(lostFolder), "dir/sub/");
    EXPECT_TRUE(state.IsFolder(lostFolder));
    EXPECT_EQ(state.NameOf(apart), "#Lost Files/c.txt");
    EXPECT_EQ(state.HeaderNameOf(apart), "other/c.txt.bak");
    EXPECT_EQ(state.NameOf(renamed), "dir/sub/b.txt");
    EXPECT_EQ(state.HeaderNameOf(renamed), "dir/sub/b.txt");

    // 30 000 "#Lost Files/" rows of 20-byte header names fit one arena block:
    // with both names stored they would need two.
    JobState many;
    for (int i = 0; i < 30000; ++i) {
        RecoveredEntry row;
        const std::string header = "d" + std::to_string(10000 + i % 1000) + "/f" + std::to_string(1000000 + i) + ".txt";
        many.SetNames(row, LostFilesName(header), header);
        many.entries.push_back(row);
    }
    EXPECT_EQ(many.names.BytesReserved(), NameArena::kBlockSize);
    EXPECT_EQ(many.NameOf(many.entries[29999]), "#Lost Files/f1029999.txt");
    EXPECT_EQ(many.HeaderNameOf(many.entries[29999]), "d10999/f1029999.txt");
}

TEST(EntryTableRows, TheTableGrowsInChunksAndBehavesAsAnOrderedSequence) {
    JobState state;
    const int rows = static_cast<int>(EntryTable::kChunkRows) * 2 + 5;
    AddRows(state, 0, rows);
    const RecoveredEntry* first = &state.entries[0];
    AddRows(state, rows, rows + static_cast<int>(EntryTable::kChunkRows));
    EXPECT_EQ(first, &state.entries[0]);  // rows never move as the table grows
    EXPECT_EQ(state.entries.size(), static_cast<std::size_t>(rows) + EntryTable::kChunkRows);
    const auto at = std::lower_bound(state.entries.begin(), state.entries.end(), std::uint64_t{20000},
                                     [](const RecoveredEntry& r, std::uint64_t o) { return r.headerOffset < o; });
    EXPECT_EQ(at - state.entries.begin(), 20000);
    EXPECT_EQ(at->headerOffset, 20000u);

    state.entries.erase(state.entries.begin() + 1, state.entries.begin() + 20001);
    EXPECT_EQ(state.entries.size(), static_cast<std::size_t>(rows) + EntryTable::kChunkRows - 20000);
    EXPECT_EQ(state.entries[0].headerOffset, 0u);
    EXPECT_EQ(state.entries[1].headerOffset, 20001u);
    EXPECT_EQ(state.NameOf(state.entries.back()), NameNumber(rows + static_cast<int>(EntryTable::kChunkRows) - 1));
    std::uint64_t previous = 0;
    std::size_t counted = 0;
    for (const RecoveredEntry& row : state.entries) {
        EXPECT_TRUE(counted == 0 || row.headerOffset > previous);
        previous = row.headerOffset;
        ++counted;
    }
    EXPECT_EQ(counted, state.entries.size());
    while (state.entries.size() > 1) state.entries.pop_back();
    EXPECT_EQ(state.entries.back().headerOffset, 0u);
    const EntryTable copy = state.entries;
    state.entries.clear();
    EXPECT_TRUE(state.entries.empty());
    ASSERT_EQ(copy.size(), 1u);
    EXPECT_EQ(copy.front().headerOffset, 0u);
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
