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

TEST(PreviewModel, EmptyTableShowsNoRowAndCountZero) {
    const Table entries = {};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({}));
    EXPECT_EQ(model.TotalsText("Entries found"), "Entries found: 0");
    EXPECT_EQ(model.RecoveredSizeKB(), 0.0f);
}

TEST(PreviewModel, SizesAreWholeKilobytesShownAtLeastOne) {
    const Table entries = {Entry("zero", 0), Entry("one", 1), Entry("most", 1023),
                                                 Entry("kilo", 1024), Entry("half", 1536),
                                                 Entry("big", 5ull << 30)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"big=5242880", "half=1", "kilo=1", "most=1", "one=1", "zero=1"}));
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

// Most writers store no folder entries: the folders come from the paths, a
// folder holds exactly the names that begin with its path, and two files of
// the same name in different folders stay apart.
TEST(PreviewModel, FoldersComeFromThePathsAndHoldExactlyTheirOwnEntries) {
    const Table entries = {Entry("docs/readme.txt", 2048), Entry("mydocs/secret.txt", 1),
                           Entry("mydocs/readme.txt", 4096), Entry("a/b/c/deep.bin", 3072),
                           Entry("caf\xC3\xA9/menu.txt", 1), Entry("\xE6\x97\xA5\xE6\x9C\xAC/x.txt", 1),
                           Entry("top.txt", 1)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:a", "F:caf\xC3\xA9", "F:docs", "F:mydocs", "F:\xE6\x97\xA5\xE6\x9C\xAC",
                                    "top.txt=1"}));
    const PreviewRow& mydocs = model.Rows()[RowNamed(model, "mydocs")];
    EXPECT_EQ(mydocs.entryCount, 2u);
    EXPECT_EQ(mydocs.sizeKB, 4u);
    EXPECT_EQ(mydocs.entry, nullptr);  // implied: no folder entry was found

    ASSERT_EQ(model.Activate(RowNamed(model, "docs")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:..", "readme.txt=2"}));
    model.Activate(RowNamed(model, ".."));
    ASSERT_EQ(model.Activate(RowNamed(model, "mydocs")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:..", "readme.txt=4", "secret.txt=1"}));
    model.Activate(RowNamed(model, ".."));

    model.Activate(RowNamed(model, "a"));
    model.Activate(RowNamed(model, "b"));
    model.Activate(RowNamed(model, "c"));
    EXPECT_EQ(model.CurrentFolder(), "a/b/c/");
    EXPECT_EQ(model.Depth(), 3);
    EXPECT_EQ(View(model), Strings({"F:..", "deep.bin=3"}));
}

TEST(PreviewModel, FileOrFolderComesFromTheEntryNotFromADot) {
    const Table entries = {Entry("backup.2020/"), Entry("backup.2020/x.txt", 1), Entry("Makefile", 100),
                           Entry("LICENSE", 100), Entry("docs/")};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:backup.2020", "F:docs", "LICENSE=1", "Makefile=1"}));
    EXPECT_NE(model.Rows()[RowNamed(model, "docs")].entry, nullptr);
    EXPECT_EQ(model.Activate(RowNamed(model, "Makefile")), PreviewModel::Navigation::kNone);
    EXPECT_EQ(model.Activate(RowNamed(model, "LICENSE")), PreviewModel::Navigation::kNone);
    ASSERT_EQ(model.Activate(RowNamed(model, "backup.2020")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:..", "x.txt=1"}));
    model.Activate(RowNamed(model, ".."));
    EXPECT_EQ(model.Activate(RowNamed(model, "docs")), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(View(model), Strings({"F:.."}));
}

// "#Lost Files" holds the names that give no place (absolute, empty or dot
// segments), shown whole, together with whatever the archive itself files
// under a real "#Lost Files/" folder; it is absent when nothing is in it.
TEST(PreviewModel, LostFilesHoldsOnlyNamesWithNoPlace) {
    const Table placed = {Entry("a/b.txt", 1), Entry("c.txt", 1)};
    PreviewModel clean(placed);
    EXPECT_EQ(View(clean), Strings({"F:a", "c.txt=1"}));

    const Table entries = {Entry("/etc/passwd", 1), Entry("a/../../b", 1), Entry("a//b", 1), Entry("./c", 1),
                           Entry("..", 1), Entry("#Lost Files/stray.dat", 1), Entry("ok.txt", 1)};
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:#Lost Files", "ok.txt=1"}));
    EXPECT_EQ(model.Rows()[0].kind, PreviewRowKind::kLostFiles);
    ASSERT_EQ(model.Activate(0), PreviewModel::Navigation::kEntered);
    EXPECT_EQ(model.CurrentFolder(), "#Lost Files/");
    EXPECT_EQ(View(model), Strings({"..=1", "./c=1", "/etc/passwd=1", "F:..", "a/../../b=1", "a//b=1", "stray.dat=1"}));
    EXPECT_EQ(model.Activate(RowNamed(model, "/etc/passwd")), PreviewModel::Navigation::kNone);
}

// The tree shows where the repair writes each entry: the local header's name,
// not the table's shorter lost-files name.
TEST(PreviewModel, EntriesSitWhereTheirHeaderNamesPutThem) {
    Table entries = {Entry("#Lost Files/b.txt", 10)};
    RecoveredEntry& row = entries.entries.back();
    row.check.headerRead = true;
    entries.SetHeaderName(row, "deep/dir/b.txt");
    PreviewModel model(entries);
    EXPECT_EQ(View(model), Strings({"F:deep"}));
    model.Activate(0);
    model.Activate(RowNamed(model, "dir"));
    EXPECT_EQ(View(model), Strings({"F:..", "b.txt=1"}));
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
    EXPECT_EQ(model.Activate(RowNamed(model, "..")), PreviewModel::Navigation::kLeft);
    EXPECT_EQ(model.Depth(), 0);
    EXPECT_EQ(View(model), Strings({"F:docs", "notes=8"}));
    EXPECT_EQ(model.RecoveredSizeKB(), size);
    EXPECT_EQ(model.Activate(99), PreviewModel::Navigation::kNone);
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

// A million entries in ten thousand folders: the tree is built in one pass,
// and opening a folder lists its hundred entries without walking the table.
TEST(PreviewModel, AMillionEntriesInTenThousandFolders) {
    Table entries = {};
    entries.entries.reserve(1000000);
    for (int top = 0; top < 100; ++top) {
        for (int sub = 0; sub < 100; ++sub) {
            const std::string folder = "t" + std::to_string(top) + "/s" + std::to_string(sub) + "/";
            for (int file = 0; file < 100; ++file) entries.Add(Entry(folder + "f" + std::to_string(file), 2048));
        }
    }
    PreviewModel model(entries);
    EXPECT_EQ(model.FolderCount(), 1u + 100u + 10000u);
    EXPECT_EQ(model.Rows().size(), 100u);
    EXPECT_EQ(model.Rows()[RowNamed(model, "t42")].entryCount, 10000u);
    EXPECT_EQ(model.Rows()[RowNamed(model, "t42")].sizeKB, 20000u);
    model.Activate(RowNamed(model, "t42"));
    model.Activate(RowNamed(model, "s7"));
    EXPECT_EQ(model.CurrentFolder(), "t42/s7/");
    ASSERT_EQ(model.Rows().size(), 101u);
    EXPECT_EQ(model.Rows()[1 + 99].label, "f99");
    EXPECT_EQ(model.TotalsText("n"), "n: 1000000");
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
    EXPECT_TRUE(model.Rows()[RowNamed(model, "docs")].IsDamaged());
    EXPECT_EQ(model.Rows()[RowNamed(model, "docs")].damagedCount, 1u);
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

#include "preview/FindingsSummary.h"
#include "preview/VerificationTexts.h"

namespace vrz {
namespace {

TEST(CompletionDetails, NamesTheOutputAndListsEveryDamagedAndUncheckedEntry) {
    Table entries = {};
    for (int i = 0; i < 300; ++i) {
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
    EXPECT_EQ(CompletionDetails(entries, "/out/a_fixed.zip", text),
              "<IDS_SAVED_TO> /out/a_fixed.zip\n\n<IDS_LISTED_BELOW>");
    const std::string list = CompletionList(entries, text);
    EXPECT_EQ(list.rfind("<IDS_DAMAGED_LIST>\n", 0), 0u) << list;
    // The header's full name, not the table's lost-files name, and every one of them.
    EXPECT_NE(list.find("\ndeep/dir/bad0.txt - <IDS_VERIFY_CRC>"), std::string::npos);
    EXPECT_NE(list.find("\ndeep/dir/bad299.txt - <IDS_VERIFY_CRC>"), std::string::npos);
    EXPECT_NE(list.find("\n\n<IDS_UNCHECKED_LIST>\nsecret.bin - <IDS_VERIFY_ENCRYPTED>"), std::string::npos);
    EXPECT_EQ(list.find("fine.txt"), std::string::npos);
    // Mostly damage: a warning. One damaged entry among many: not.
    EXPECT_TRUE(CompletionIsWarning(entries));
    Table mostlyFine = {Entry("a", 1), Entry("b", 1), Entry("c", 1)};
    mostlyFine.entries[0].check.status = EntryStatus::kDamaged;
    EXPECT_FALSE(CompletionIsWarning(mostlyFine));
    EXPECT_EQ(CompletionList(Table{Entry("ok", 1)}, text), "");
    // Damaged rows the save left out are not in the archive: not listed, not counted.
    entries.skipDamaged = true;
    EXPECT_EQ(CompletionList(entries, text), "<IDS_UNCHECKED_LIST>\nsecret.bin - <IDS_VERIFY_ENCRYPTED>");
    EXPECT_EQ(WrittenEntryCount(entries), 2u);
    EXPECT_FALSE(CompletionIsWarning(entries));
}

TEST(CompletionDetails, EveryReasonHasALanguageKeyInEveryLanguageFile) {
    for (CheckReason reason : {CheckReason::kCrcMismatch, CheckReason::kSizeMismatch, CheckReason::kDoesNotDecode,
                               CheckReason::kStreamCutShort, CheckReason::kEncrypted, CheckReason::kMethodNotSupported,
                               CheckReason::kUnreadable, CheckReason::kCutOff, CheckReason::kLongerThanDeclared}) {
        EXPECT_EQ(ReasonTextKey(reason).rfind("IDS_VERIFY_", 0), 0u);
    }
    EXPECT_EQ(ReasonTextKey(CheckReason::kNone), "");
}

// The lines say what was lost in words: cut entries, the missing part of a
// split set with the entries it took, other refusals; the details list every
// kept finding with its part's name.
TEST(FindingsSummary, SaysWhatWasLostInShortLines) {
    Table job = {};
    job.scanLayout.AddPart("/in/archive.z01", 100, false);
    job.scanLayout.AddPart("/in/archive.z03", 100, false);
    job.scanLayout.AddPart("/in/archive.zip", 100, true);
    ScanFinding cut;
    cut.kind = FindingKind::kExtentPastEnd;
    cut.offset = 250;
    cut.part = 2;
    cut.name = "last.bin";
    job.findings.Add(cut);
    for (int i = 0; i < 3; ++i) {
        ScanFinding missing;
        missing.kind = FindingKind::kPartMissing;
        missing.offset = 10 + i;
        job.findings.Add(missing);
    }
    ScanFinding refused;
    refused.kind = FindingKind::kNameLengthInvalid;
    job.findings.Add(refused);
    const TextLookup text = [](const std::string& key) {
        if (key == "IDS_FINDING_CUT_ONE") return std::string("1 entry was cut off at the end of the archive");
        if (key == "IDS_FINDING_PART_MISSING") return std::string("part %s is missing; %d entries lost");
        if (key == "IDS_FINDING_REFUSED_ONE") return std::string("1 candidate header was refused");
        return "<" + key + ">";
    };
    EXPECT_EQ(FindingLines(job, text),
              Strings({"1 entry was cut off at the end of the archive", "part archive.z02 is missing; 3 entries lost",
                       "1 candidate header was refused"}));
    const std::vector<FindingDetail> details = FindingDetails(job, text);
    ASSERT_EQ(details.size(), 5u);
    EXPECT_EQ(details[0].offset, 250u);
    EXPECT_EQ(details[0].part, "archive.zip");
    EXPECT_EQ(details[0].kind, "<IDS_FINDING_KIND0>");
    EXPECT_EQ(details[0].name, "last.bin");
    EXPECT_EQ(FindingLines(Table{Entry("a", 1)}, text), Strings({}));
}

}  // namespace
}  // namespace vrz
