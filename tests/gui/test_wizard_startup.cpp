// Start-up: a second copy is refused while the first one runs, and a second
// start with a file hands it to the running window.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

#include <wx/app.h>
#include <wx/snglinst.h>

#include <wx/textctrl.h>

#include "CBaseWndStep.h"
#include "MessageBoxIcons.h"
#include "SingleInstance.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "text/ProgramPaths.h"

extern char** environ;

namespace {

// The first copy of the real program, started with this test's runtime
// folder; killed at the end of the test.
class RunningCopy {
public:
    explicit RunningCopy(const std::string& runtimeFolder) {
        const std::string program = vrz::ExecutableFolder() + "/vant-repair-zip";
        char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
        EXPECT_EQ(posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
        const std::string lock = runtimeFolder + "/" + kSingleInstanceName;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        // The lock is taken once it holds the process id (the file is made first).
        while (RunningCopyPid(lock) != static_cast<long>(m_pid) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(RunningCopyPid(lock), static_cast<long>(m_pid)) << "the first copy never took the lock";
    }
    ~RunningCopy() {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    bool StillRuns() const {
        int status = 0;
        return ::waitpid(m_pid, &status, WNOHANG) == 0;
    }

private:
    pid_t m_pid = 0;
};

class Startup : public WizardFixture {
protected:
    void SetUp() override {
        WizardFixture::SetUp();
        // The lock lives in the session's runtime folder, never in the home folder.
        m_runtime = Folder("runtime");
        m_home = Folder("home");
        for (const char* name : {"XDG_RUNTIME_DIR", "HOME"}) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old ? old : "");
        }
        ::setenv("XDG_RUNTIME_DIR", m_runtime.c_str(), 1);
        ::setenv("HOME", m_home.c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) ::setenv(name.c_str(), value.c_str(), 1);
        WizardFixture::TearDown();
    }
    std::string m_runtime;
    std::string m_home;
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(Startup, SecondStartIsRefused) {
    {
        RunningCopy first(m_runtime);
        EXPECT_FALSE(std::filesystem::exists(m_home + "/" + kSingleInstanceName));
        bool started = true;
        {
            wxSingleInstanceChecker second;
            const std::string text =
                ToUtf8(LoadUiText("IDS_RUNNING1", 100)) + "\n" + ToUtf8(LoadUiText("IDS_RUNNING2", 100));
            wxTEST_DIALOG(started = TakeSingleInstanceLock(second),
                          ExpectBox::Literal(text, "IDS_RUNNING3", 100, wxICON_ERROR));
        }
        EXPECT_FALSE(started);
        // The refusal asked the first copy to come forward; it handles that
        // request and goes on running.
        vrz::guitest::Pump(std::chrono::milliseconds(300));
        EXPECT_TRUE(first.StillRuns()) << "the first copy must survive the request";
    }
    wxSingleInstanceChecker alone;
    EXPECT_TRUE(TakeSingleInstanceLock(alone)) << "with the first copy gone a start goes on";
}

// vant-repair-zip FILE while a copy runs: no box; the running copy takes the file.
TEST_F(Startup, SecondStartHandsItsFileToTheRunningWindow) {
    const std::string archive = MakeArchive("given/mail.zip", 2, 100);
    {
        RunningCopy first(m_runtime);
        wxSingleInstanceChecker second;
        EXPECT_FALSE(TakeSingleInstanceLock(second, FromUtf8(archive)));
        const std::string note = m_runtime + "/" + kSingleInstanceName + ".open";
        WaitFor([&] { return !std::filesystem::exists(note); }, "the running copy to take the file");
        EXPECT_TRUE(first.StillRuns());
    }
    // What the running copy does with it, here in this process.
    MakeFrame();
    ASSERT_TRUE(WriteHandOver(m_runtime, archive));
    EXPECT_TRUE(m_frame->OpenPath(FromUtf8(TakeHandOver(m_runtime))));
    EXPECT_EQ(TakeHandOver(m_runtime), "") << "taken once";
    auto* source = dynamic_cast<CBaseWndStep*>(Page());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(ToUtf8(source->PathBox()->GetValue()), archive);
    // From a later step without a running worker, the source step comes back with it.
    m_frame->Navigate(wizard::kShowSave);
    ASSERT_TRUE(m_frame->OpenPath(FromUtf8(archive)));
    vrz::guitest::PumpUntil([&] { return PageId() == wizard::kPageSource; });
    source = dynamic_cast<CBaseWndStep*>(Page());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(ToUtf8(source->PathBox()->GetValue()), archive);
}

TEST_F(Startup, ComingForwardRestoresAMinimizedWindow) {
    MakeFrame();
    m_frame->Iconize(true);
    BringToFront(*m_frame);
    EXPECT_FALSE(m_frame->IsIconized());
    EXPECT_TRUE(m_frame->IsShown());
    EXPECT_EQ(RunningCopyPid(m_dir + "/no-such-lock"), 0);
}

// Every kind of box finds its icon, so none keeps an empty space for it.
TEST(MessageBoxes, EveryKindHasItsIcon) {
    ProvideMessageBoxIcons();
    EXPECT_TRUE(MessageBoxIconsAvailable());
}

}  // namespace
