// The updater on an installed system: nothing to download, a pointer to the
// package manager and the project page, and a silent check that stays silent.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "UpdateCheck.h"

namespace {

using vrz::updater::ParseUpdateArguments;
using vrz::updater::RunUpdateCheck;
using vrz::updater::UpdatePrompt;

class FakePrompt : public UpdatePrompt {
public:
    bool answerYes = false;
    bool browserWorks = true;
    std::vector<std::string> questions;
    std::vector<std::string> opened;
    std::vector<std::string> errors;

    bool AskYesNo(const std::string& text, const std::string&) override {
        questions.push_back(text);
        return answerYes;
    }
    bool OpenAddress(const std::string& address) override {
        opened.push_back(address);
        return browserWorks;
    }
    void ShowError(const std::string& text, const std::string&) override { errors.push_back(text); }
};

const std::string kPage = "https://example.org/project";

TEST(UpdateArguments, SilentCheckIsRecognisedAmongTheOthers) {
    EXPECT_TRUE(ParseUpdateArguments({"/SilentCheck", "/NoIcon", "/NoUpdateSelf"}).silent);
    EXPECT_TRUE(ParseUpdateArguments({"/NoIcon", "/SilentCheck"}).silent);
    EXPECT_FALSE(ParseUpdateArguments({"/NoUpdateSelf"}).silent);
    EXPECT_FALSE(ParseUpdateArguments({}).silent);
    EXPECT_FALSE(ParseUpdateArguments({"/silentcheck", "SilentCheck"}).silent) << "only the exact word";
}

TEST(UpdateCheck, SilentCheckAsksNothingAndOpensNothing) {
    FakePrompt prompt;
    prompt.answerYes = true;
    EXPECT_EQ(RunUpdateCheck(ParseUpdateArguments({"/SilentCheck", "/NoIcon", "/NoUpdateSelf"}), "2.1.0", kPage, prompt),
              0);
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_TRUE(prompt.opened.empty());
    EXPECT_TRUE(prompt.errors.empty());
}

TEST(UpdateCheck, MenuCheckNamesTheVersionAndThePackageManager) {
    FakePrompt prompt;
    EXPECT_EQ(RunUpdateCheck(ParseUpdateArguments({"/NoUpdateSelf"}), "2.1.0", kPage, prompt), 0);
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_NE(prompt.questions[0].find("Vant Repair Zip 2.1.0 is installed"), std::string::npos);
    EXPECT_NE(prompt.questions[0].find("package manager"), std::string::npos);
    EXPECT_NE(prompt.questions[0].find("Open the project page?"), std::string::npos);
    EXPECT_TRUE(prompt.opened.empty()) << "No opens nothing";
}

TEST(UpdateCheck, YesOpensTheProjectPage) {
    FakePrompt prompt;
    prompt.answerYes = true;
    EXPECT_EQ(RunUpdateCheck({}, "2.1.0", kPage, prompt), 0);
    EXPECT_EQ(prompt.opened, std::vector<std::string>{kPage});
    EXPECT_TRUE(prompt.errors.empty());
}

TEST(UpdateCheck, PageThatCannotBeOpenedIsReportedWithItsAddress) {
    FakePrompt prompt;
    prompt.answerYes = true;
    prompt.browserWorks = false;
    EXPECT_EQ(RunUpdateCheck({}, "2.1.0", kPage, prompt), 1);
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find(kPage), std::string::npos);
}

// The real program: with no display at all, the silent check must still end
// at once with status 0 and print nothing, which it can only do if it never
// starts the toolkit or opens a window.
TEST(VtupdateProgram, SilentCheckNeedsNoDisplayAndPrintsNothing) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" + std::string(VTUPDATE_PATH) +
                                "' /SilentCheck /NoIcon /NoUpdateSelf 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(output, "");
}

TEST(VtupdateProgram, MenuCheckWithoutDisplayFailsInsteadOfPretending) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" + std::string(VTUPDATE_PATH) +
                                "' /NoUpdateSelf >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0) << "the notice cannot be shown, so the run is not a success";
}

}  // namespace
