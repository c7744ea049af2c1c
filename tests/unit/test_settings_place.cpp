// Where the settings file goes: beside a portable copy of the program, in the
// user's configuration folder for an installed one.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "text/ProgramPaths.h"

namespace {

// Points XDG_CONFIG_HOME at a temporary folder for one test.
class SettingsPlace : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_hadOld = old != nullptr;
        if (m_hadOld) m_old = old;
        ::setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_hadOld)
            ::setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string UserSettings() const { return m_config.path() + "/vant-repair-zip/settings.ini"; }

    vrz::test::TempDir m_config;
    bool m_hadOld = false;
    std::string m_old;
};

TEST_F(SettingsPlace, WritableProgramFolderKeepsItsOwnSettings) {
    vrz::test::TempDir program;
    EXPECT_EQ(vrz::ChooseSettingsPath(program.path()), program.path() + "/settings.ini");
}

TEST_F(SettingsPlace, ProgramFolderUnderUsrNeverHoldsSettingsEvenForRoot) {
    // /usr/lib exists everywhere and is writable when the tests run as root,
    // which is exactly when a folder-writable check alone would pick it.
    EXPECT_EQ(vrz::ChooseSettingsPath("/usr/lib"), UserSettings());
    struct stat info {};
    EXPECT_EQ(::stat((m_config.path() + "/vant-repair-zip").c_str(), &info), 0) << "the folder is made for the file";
}

TEST_F(SettingsPlace, MissingProgramFolderFallsBackToTheUserFolder) {
    vrz::test::TempDir parent;
    EXPECT_EQ(vrz::ChooseSettingsPath(parent.path() + "/gone"), UserSettings());
}

}  // namespace
