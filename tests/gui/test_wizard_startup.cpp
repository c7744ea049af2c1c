// Start-up: a second copy is refused while the first one runs.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

#include <wx/app.h>
#include <wx/snglinst.h>

#include "SingleInstance.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "text/ProgramPaths.h"

extern char** environ;

namespace {

class Startup : public WizardFixture {};

TEST_F(Startup, SecondStartIsRefused) {
    // The lock lives in the home folder; this test gets a home of its own.
    const std::string home = Folder("home");
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", home.c_str(), 1);

    const std::string program = vrz::ExecutableFolder() + "/vant-repair-zip";
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t first = 0;
    ASSERT_EQ(posix_spawn(&first, program.c_str(), nullptr, nullptr, argv, environ), 0);
    const std::string lock = home + "/" + kSingleInstanceName;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(lock) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(std::filesystem::exists(lock)) << "the first copy never took the lock";

    bool started = true;
    {
        wxSingleInstanceChecker second;
        const std::string text = ToUtf8(LoadUiText("IDS_RUNNING1", 100)) + "\n" + ToUtf8(LoadUiText("IDS_RUNNING2", 100));
        wxTEST_DIALOG(started = TakeSingleInstanceLock(second),
                      ExpectBox::Literal(text, "IDS_RUNNING3", 100, wxICON_ERROR));
    }
    EXPECT_FALSE(started);
    // The refusal asked the first copy to come forward; it handles that
    // request and goes on running.
    EXPECT_EQ(RunningCopyPid(lock), static_cast<long>(first));
    vrz::guitest::Pump(std::chrono::milliseconds(300));
    int running = 0;
    EXPECT_EQ(::waitpid(first, &running, WNOHANG), 0) << "the first copy must survive the request";

    ::kill(first, SIGTERM);
    int status = 0;
    ::waitpid(first, &status, 0);
    {
        wxSingleInstanceChecker alone;
        EXPECT_TRUE(TakeSingleInstanceLock(alone)) << "with the first copy gone a start goes on";
    }
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(Startup, ComingForwardRestoresAMinimizedWindow) {
    MakeFrame();
    m_frame->Iconize(true);
    BringToFront(*m_frame);
    EXPECT_FALSE(m_frame->IsIconized());
    EXPECT_TRUE(m_frame->IsShown());
    EXPECT_EQ(RunningCopyPid(m_dir + "/no-such-lock"), 0);
}

}  // namespace
