#include <gtest/gtest.h>

#include <dirent.h>

#include "TempDir.h"
#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/NameDisplay.h"
#include "text/ProgramPaths.h"

namespace vrz::test {
namespace {

TEST(IniFile, SectionsAndKeysMatchCaseInsensitivelyAndQuotesGo) {
    TempDir dir;
    const std::string file = dir.WriteText("t.ini",
                                           "; comment\n[Other]\nIDS_A=wrong\n\n[vant repair zip]\n"
                                           "ids_a = \"  spaced  \"\nIDS_B=plain text\r\nIDS_C=\n");
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_A", 100), "  spaced  ");
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_B", 100), "plain text");
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_C", 100), "");
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_MISSING", 100), "");
    EXPECT_EQ(ReadIniString(file, "No Such Section", "IDS_A", 100), "");
    EXPECT_EQ(ReadIniString(dir.File("absent.ini"), "Vant Repair Zip", "IDS_A", 100), "");
}

TEST(IniFile, TextIsCutToCapacityMinusOneCharacters) {
    TempDir dir;
    const std::string file = dir.WriteText("t.ini", "[S]\nK=" + std::string(250, 'x') + "\nU=\xC3\xA9\xC3\xA9\xC3\xA9\n");
    EXPECT_EQ(ReadIniString(file, "S", "K", 200).size(), 199u);
    EXPECT_EQ(ReadIniString(file, "S", "U", 3), "\xC3\xA9\xC3\xA9");  // whole characters only
}

TEST(IniFile, WritesCreateAndUpdateKeys) {
    TempDir dir;
    const std::string file = dir.File("settings.ini");
    ASSERT_TRUE(WriteIniString(file, "Vant Repair Zip", "IDS_LANGUAGE", "2"));
    ASSERT_TRUE(WriteIniString(file, "Vant Repair Zip", "IDS_TIPS", "3"));
    ASSERT_TRUE(WriteIniString(file, "vant repair zip", "ids_language", "4"));
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_LANGUAGE", 100), "4");
    EXPECT_EQ(ReadIniString(file, "Vant Repair Zip", "IDS_TIPS", 100), "3");
    EXPECT_FALSE(WriteIniString(dir.File("no/such/folder/x.ini"), "S", "K", "V"));
    // Each write goes through a temporary file of its own, moved over the old one.
    std::size_t files = 0;
    if (DIR* folder = ::opendir(dir.path().c_str())) {
        while (const dirent* entry = ::readdir(folder)) files += entry->d_name[0] != '.';
        ::closedir(folder);
    }
    EXPECT_EQ(files, 1u) << "only settings.ini is left";
}

TEST(IniFile, LeadingIntegerRule) {
    EXPECT_EQ(ParseLeadingInt("2"), 2);
    EXPECT_EQ(ParseLeadingInt("3abc"), 3);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("x1"), 0);
    EXPECT_EQ(ParseLeadingInt("-1"), 0);
}

TEST(LanguageResolution, IndexChoosesFileAndOutOfRangeMeansEnglish) {
    TempDir dir;
    EXPECT_EQ(ResolveProgramPaths(dir.path()).languagePath, dir.path() + "/Lang/English.INI");
    WriteIniString(dir.File("settings.ini"), "Vant Repair Zip", "IDS_LANGUAGE", "2");
    EXPECT_EQ(ResolveProgramPaths(dir.path()).languagePath, dir.path() + "/Lang/German.INI");
    WriteIniString(dir.File("settings.ini"), "Vant Repair Zip", "IDS_LANGUAGE", "9");
    EXPECT_EQ(ResolveProgramPaths(dir.path()).languagePath, dir.path() + "/Lang/English.INI");
    WriteIniString(dir.File("settings.ini"), "Vant Repair Zip", "IDS_LANGUAGE", "German");
    EXPECT_EQ(ResolveProgramPaths(dir.path()).languagePath, dir.path() + "/Lang/English.INI");
}

TEST(LanguageResolution, SelectingTheStoredLanguageChangesNothing) {
    TempDir dir;
    ::mkdir(dir.File("Lang").c_str(), 0755);
    dir.WriteText("Lang/English.INI", "[Vant Repair Zip]\nIDS_SAVE=Save\n");
    dir.WriteText("Lang/German.INI", "[Vant Repair Zip]\nIDS_SAVE=Speichern\n");
    ResolveProgramPaths(dir.path());
    EXPECT_EQ(LoadText("IDS_SAVE", 1000), "Save");
    EXPECT_FALSE(SelectLanguage(0));
    EXPECT_FALSE(FileExistsForTest(dir.File("settings.ini")));
    EXPECT_TRUE(SelectLanguage(2));
    EXPECT_EQ(LoadText("IDS_SAVE", 1000), "Speichern");
    EXPECT_EQ(ResolveProgramPaths(dir.path()).languagePath, dir.path() + "/Lang/German.INI");
}

TEST(NameDisplay, Utf8StaysAndOtherBytesReadAsCodePage437) {
    EXPECT_EQ(NameForDisplay("plain/a.txt"), "plain/a.txt");
    EXPECT_EQ(NameForDisplay("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(NameForDisplay("\x82t\x82"), "\xC3\xA9t\xC3\xA9");  // CP437 0x82 is e acute
    EXPECT_EQ(NameForDisplay("\xC3"), "\xE2\x94\x9C");             // a lone lead byte
}

}  // namespace
}  // namespace vrz::test
