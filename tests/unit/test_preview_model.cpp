#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "preview/PreviewModel.h"

namespace vrz {
namespace {

struct EntryRow {
    std::string name;
    std::uint64_t size = 0;
};

EntryRow Entry(const std::string& name, std::uint64_t size = 0) { return {name, size}; }

// A job whose table holds the given entries, their names in its arena.
struct Table : JobState {
    Table(std::initializer_list<EntryRow> rows) {
        for (const EntryRow& row : rows) Add(row);
    }
    void Add(const EntryRow& row) {
        RecoveredEntry entry;
        SetName(entry, row.name);
        entry.uncompressedSize = row.size;
        entries.push_back(entry);
    }
};

// The rows as "F:name" (folder-like) or "name=KB" (file), sorted, so that a
// test states the view without depending on table order.
std::vector<std::string> View(const PreviewModel& model) {
    std::vector<std::string> view;
    for (const PreviewRow& row : model.Rows()) {
        if (row.IsFolderLike()) {
            view.push_back("F:" + row.label);
        } else {
            view.push_back(row.label + "=" + std::to_string(row.sizeKB));
        }
    }
    std::sort(view.begin(), view.end());
    return view;
}

std::size_t RowNamed(const PreviewModel& model, const std::string& label) {
    const auto& rows = model.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].label == label) return i;
    }
    ADD_FAILURE() << "no row " << label;
    return rows.size();
}

using Strings = std::vector<std::string>;

TEST(PreviewModel, EmptyTableShowsOnlyLostFilesAndCountZero) {
    const Table entries = {};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files"}));
    EXPECT_EQ(model.Rows()[0].kind, PreviewRowKind::kLostFiles);
    EXPECT_EQ(model.TotalsText("Entries found"), "Entries found: 0");
    EXPECT_EQ(model.RecoveredSizeKB(), 0.0f);
}

TEST(PreviewModel, SizesAreWholeKilobytesShownAtLeastOne) {
    const Table entries = {Entry("zero", 0), Entry("one", 1), Entry("most", 1023),
                                                 Entry("kilo", 1024), Entry("half", 1536),
                                                 Entry("big", 5ull << 30)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "big=5242880", "half=1", "kilo=1", "most=1", "one=1", "zero=1"}));
    // The sum takes the truncated values without the minimum of 1.
    EXPECT_EQ(model.RecoveredSizeKB(), 0.0f + 0 + 0 + 0 + 1 + 1 + 5242880);
    EXPECT_EQ(DisplaySizeKB(0), 1u);
    EXPECT_EQ(DisplaySizeKB(2047), 1u);
    EXPECT_EQ(DisplaySizeKB(2048), 2u);
}

TEST(PreviewModel, TotalsCountEveryEntryFoldersAndLostOnesIncluded) {
    const Table entries = {Entry("docs/"), Entry("docs/a.txt", 10),
                                                 Entry("#Lost Files/b.txt", 20), Entry("c.txt", 30)};
    PreviewModel model(entries);
    EXPECT_EQ(model.TotalsText("Entries found"), "Entries found: 4");
}

TEST(PreviewModel, RootListsTopFoldersAndTopFilesOnly) {
    const Table entries = {
        Entry("readme.txt", 2048), Entry("docs/"), Entry("docs/guide.pdf", 4096), Entry("docs/img/"),
        Entry("#Lost Files/stray.bin", 100)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "F:docs", "readme.txt=2"}));
    EXPECT_EQ(model.Depth(), 0);
}

TEST(PreviewModel, FilesInsideFoldersWithoutFolderEntriesCannotBeReached) {
    const Table entries = {Entry("top.txt", 1), Entry("a/b.txt", 1), Entry("a/c/d.txt", 1)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "top.txt=1"}));
}

TEST(PreviewModel, EnteringAndLeavingFoldersKeepsTheRecoveredSize) {
    const Table entries = {
        Entry("docs/"), Entry("docs/guide.pdf", 4096), Entry("docs/img/"), Entry("docs/img/logo", 3000),
        Entry("notes", 9000)};
    PreviewModel model(entries);
    const float size = model.RecoveredSizeKB();

    EXPECT_EQ(model.Activate(RowNamed(model, "docs")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(model.Depth(), 1);
    EXPECT_EQ(model.CurrentFolder(), "docs/");
    EXPECT_EQ(View(model), Strings({"F:..", "F:img", "guide.pdf=4"}));
    EXPECT_EQ(model.Rows()[0].kind, PreviewRowKind::kParent);

    EXPECT_EQ(model.Activate(RowNamed(model, "img")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(model.Depth(), 2);
    EXPECT_EQ(View(model), Strings({"F:..", "logo=2"}));

    EXPECT_EQ(model.Activate(RowNamed(model, "..")), PreviewModel::Navigation::kLeft);
    EXPECT_EQ(model.Depth(), 1);
    EXPECT_EQ(View(model), Strings({"F:..", "F:img", "guide.pdf=4"}));

    EXPECT_EQ(model.Activate(RowNamed(model, "..")), PreviewModel::Navigation::kLeft);
    EXPECT_EQ(model.Depth(), 0);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "F:docs", "notes=8"}));
    EXPECT_EQ(model.RecoveredSizeKB(), size);
}

TEST(PreviewModel, LostFilesFolderListsTheLostEntries) {
    const Table entries = {Entry("#Lost Files/a.txt", 5000), Entry("#Lost Files/b", 10),
                                                 Entry("kept.txt", 1)};
    PreviewModel model(entries);
    EXPECT_EQ(model.Activate(0), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(model.CurrentFolder(), "#Lost Files/");
    EXPECT_EQ(View(model), Strings({"F:..", "a.txt=4", "b=1"}));
}

TEST(PreviewModel, DottedNamesAreNotEntered) {
    const Table entries = {Entry("backup.2020/"), Entry("backup.2020/x.txt", 1),
                                                 Entry("photo.jpg", 1)};
    PreviewModel model(entries);
    const Strings root = View(model);
    EXPECT_EQ(root, Strings({"F:#Lost Files", "F:backup.2020", "photo.jpg=1"}));
    EXPECT_EQ(model.Activate(RowNamed(model, "backup.2020")), PreviewModel::Navigation::kNone);
    EXPECT_EQ(model.Activate(RowNamed(model, "photo.jpg")), PreviewModel::Navigation::kNone);
    EXPECT_EQ(model.Depth(), 0);
    EXPECT_EQ(View(model), root);
}

TEST(PreviewModel, FileWithoutExtensionIsEnteredAndShowsOnlyParent) {
    const Table entries = {Entry("Makefile", 100)};
    PreviewModel model(entries);
    EXPECT_EQ(model.Activate(RowNamed(model, "Makefile")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:.."}));
    EXPECT_EQ(model.Activate(0), PreviewModel::Navigation::kLeft);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "Makefile=1"}));
}

TEST(PreviewModel, FolderMembershipIsByContainment) {
    // Entering "x" also shows the files of "ax", whose names contain "x/".
    const Table entries = {Entry("x/"), Entry("ax/"), Entry("x/one.txt", 1),
                                                 Entry("ax/two.txt", 1)};
    PreviewModel model(entries);
    EXPECT_EQ(model.Activate(RowNamed(model, "x")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:..", "one.txt=1", "two.txt=1"}));
}

TEST(PreviewModel, FileNamedDotDotAtRootDoesNotLeaveTheRoot) {
    const Table entries = {Entry("..", 1)};
    PreviewModel model(entries);
    const std::size_t row = RowNamed(model, "..");
    EXPECT_EQ(model.Rows()[row].kind, PreviewRowKind::kFile);
    EXPECT_EQ(model.Activate(row), PreviewModel::Navigation::kNone);
    EXPECT_EQ(model.Depth(), 0);
}

TEST(PreviewModel, NamesAreShownAsUtf8AndEnteredByTheirBytes) {
    // 0x84 is a-umlaut in code page 437; the name is not valid UTF-8.
    const Table entries = {Entry("K\x84se/"), Entry("K\x84se/brot", 2048)};
    PreviewModel model(entries);
    const std::size_t row = RowNamed(model, "K\xC3\xA4se");
    EXPECT_EQ(model.Rows()[row].key, "K\x84se");
    EXPECT_EQ(model.Activate(row), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:..", "brot=2"}));
}

TEST(PreviewModel, ActivatingARowOutOfRangeDoesNothing) {
    const Table entries = {Entry("a")};
    PreviewModel model(entries);
    EXPECT_EQ(model.Activate(99), PreviewModel::Navigation::kNone);
    EXPECT_EQ(model.Depth(), 0);
}

}  // namespace
}  // namespace vrz

namespace vrz {
namespace {

TEST(PreviewModelVerification, DamagedRowsAreMarkedAndCountedInTheTotals) {
    Table entries = {Entry("docs/", 0), Entry("docs/report.pdf", 5000), Entry("a.txt", 10),
                                           Entry("b.txt", 20)};
    entries.entries[1].check.status = EntryStatus::kDamaged;
    entries.entries[1].check.reason = CheckReason::kCrcMismatch;
    entries.entries[3].check.status = EntryStatus::kNotChecked;
    PreviewModel model(entries);
    EXPECT_EQ(model.TotalsText("Files", "%d damaged"), "Files: 4 (1 damaged)");
    EXPECT_FALSE(model.Rows()[RowNamed(model, "a.txt")].IsDamaged());
    EXPECT_FALSE(model.Rows()[RowNamed(model, "b.txt")].IsDamaged());  // not checked is not damaged
    ASSERT_EQ(model.Activate(RowNamed(model, "docs")), PreviewModel::Navigation::kEntered);
    const PreviewRow& report = model.Rows()[RowNamed(model, "report.pdf")];
    EXPECT_TRUE(report.IsDamaged());
    EXPECT_EQ(report.entry->check.reason, CheckReason::kCrcMismatch);
}

TEST(PreviewModelVerification, NothingDamagedLeavesTheTotalsAsTheyWere) {
    const Table entries = {Entry("a.txt", 10)};
    PreviewModel model(entries);
    EXPECT_EQ(model.TotalsText("Files", "%d damaged"), "Files: 1");
    EXPECT_EQ(model.TotalsText("Files"), "Files: 1");
}

}  // namespace
}  // namespace vrz

#include "preview/VerificationTexts.h"

namespace vrz {
namespace {

TEST(CompletionDetails, NamesTheOutputAndAtMostTenEntriesPerStatusWithTheirReasons) {
    Table entries = {};
    for (int i = 0; i < 12; ++i) {
        entries.Add(Entry("#Lost Files/bad" + std::to_string(i) + ".txt", 10));
        RecoveredEntry& row = entries.entries.back();
        row.check.status = EntryStatus::kDamaged;
        row.check.reason = CheckReason::kCrcMismatch;
        row.check.headerRead = true;
        entries.SetHeaderName(row, "deep/dir/bad" + std::to_string(i) + ".txt");
    }
    entries.Add(Entry("secret.bin", 10));
    entries.entries.back().check.status = EntryStatus::kNotChecked;
    entries.entries.back().check.reason = CheckReason::kEncrypted;
    entries.Add(Entry("fine.txt", 10));
    entries.entries.back().check.status = EntryStatus::kIntact;
    const TextLookup text = [](const std::string& key) { return "<" + key + ">"; };
    const std::string details = CompletionDetails(entries, "/out/a_fixed.zip", text);
    EXPECT_EQ(details.rfind("<IDS_SAVED_TO> /out/a_fixed.zip\n\n<IDS_DAMAGED_LIST>\n", 0), 0u) << details;
    // The header's full name, not the table's lost-files name.
    EXPECT_NE(details.find("\ndeep/dir/bad0.txt - <IDS_VERIFY_CRC>"), std::string::npos);
    EXPECT_NE(details.find("\ndeep/dir/bad9.txt"), std::string::npos);
    EXPECT_EQ(details.find("bad10.txt"), std::string::npos);
    EXPECT_NE(details.find("\n<IDS_MORE_ENTRIES>"), std::string::npos);
    EXPECT_NE(details.find("<IDS_UNCHECKED_LIST>\nsecret.bin - <IDS_VERIFY_ENCRYPTED>"), std::string::npos);
    EXPECT_EQ(details.find("fine.txt"), std::string::npos);
}

TEST(CompletionDetails, EveryReasonHasALanguageKeyInEveryLanguageFile) {
    for (CheckReason reason : {CheckReason::kCrcMismatch, CheckReason::kSizeMismatch, CheckReason::kDoesNotDecode,
                               CheckReason::kStreamCutShort, CheckReason::kEncrypted, CheckReason::kMethodNotSupported,
                               CheckReason::kUnreadable, CheckReason::kCutOff, CheckReason::kLongerThanDeclared}) {
        EXPECT_EQ(ReasonTextKey(reason).rfind("IDS_VERIFY_", 0), 0u);
    }
    EXPECT_EQ(ReasonTextKey(CheckReason::kNone), "");
}

}  // namespace
}  // namespace vrz
