#include "WizardFixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <wx/app.h>
#include <wx/weakref.h>

#include "CXCmdBtn.h"
#include "GuiTestSupport.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "XCmdBtnReset.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace fs = std::filesystem;

ExpectBox::ExpectBox(std::string textKey, std::size_t textCapacity, int answer, std::string captionKey,
                     std::size_t captionCapacity, long icon)
    : m_textKey(std::move(textKey)),
      m_textCapacity(textCapacity),
      m_answer(answer),
      m_captionKey(std::move(captionKey)),
      m_captionCapacity(captionCapacity),
      m_icon(icon) {}

ExpectBox ExpectBox::Literal(const std::string& text, const std::string& captionKey, std::size_t captionCapacity,
                             long icon, int answer) {
    ExpectBox box("", 0, answer, captionKey, captionCapacity, icon);
    box.m_literal = text;
    return box;
}

int ExpectBox::OnInvoked(wxMessageDialog* box) const {
    const std::string expected =
        m_textKey.empty() ? m_literal : ToUtf8(LoadUiText(m_textKey, m_textCapacity));
    EXPECT_EQ(ToUtf8(box->GetMessage()), expected) << "text of the box for " << m_textKey;
    EXPECT_FALSE(expected.empty()) << "the language file has no text for " << m_textKey;
    EXPECT_EQ(ToUtf8(box->GetCaption()), ToUtf8(LoadUiText(m_captionKey, m_captionCapacity)));
    EXPECT_TRUE(box->GetMessageDialogStyle() & m_icon) << "icon of the box for " << m_textKey;
    if (whileOpen) whileOpen();
    return m_answer;
}

wxString ExpectBox::GetDefaultDescription() const {
    return "message box " + FromUtf8(m_textKey.empty() ? m_literal : m_textKey);
}

int ExpectDirChoice::OnInvoked(wxDirDialog* dialog) const {
    if (m_path.empty()) return wxID_CANCEL;
    dialog->SetPath(FromUtf8(m_path));
    return wxID_OK;
}

int UnexpectedDialogGuard::Enter(wxDialog* dialog) {
    wxString what = dialog->GetTitle();
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) what = box->GetMessage();
    ADD_FAILURE() << "unexpected dialog: " << ToUtf8(what);
    return wxID_CANCEL;
}

void WizardFixture::SetUp() {
    m_unexpectedDialogs = std::make_unique<UnexpectedDialogGuard>();
    m_dir = (fs::temp_directory_path() / ("vrz-wizard-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .string();
    fs::remove_all(m_dir);
    m_program = m_dir + "/program";
    fs::create_directories(m_program);
    const fs::path built = vrz::ExecutableFolder();
    fs::copy(built / "Lang", m_program + "/Lang", fs::copy_options::recursive);
    fs::copy(built / "help", m_program + "/help", fs::copy_options::recursive);
    fs::copy_file(built / "Tips.Txt", m_program + "/Tips.Txt");
    m_savedPaths = vrz::CurrentProgramPaths();
    vrz::ProgramPaths paths;
    paths.programFolder = m_program;
    paths.settingsPath = m_program + "/settings.ini";
    paths.languagePath = vrz::LanguagePathFor(m_program, 0);
    vrz::SetCurrentProgramPaths(paths);
    SetShellPlatformForTesting(&m_shell);
    DiscardCurrentJob();
    g_hotButtonId = -1;
}

void WizardFixture::TearDown() {
    CloseFrame();
    WaitForWorkers();
    EXPECT_FALSE(g_workerThread.IsSet());
    SetShellPlatformForTesting(nullptr);
    // Later tests read the program folder beside the test program again.
    vrz::SetCurrentProgramPaths(m_savedPaths);
    m_unexpectedDialogs.reset();
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
}

CMainFrame* WizardFixture::MakeFrame(const wxString& commandLineFile) {
    m_frame = new CMainFrame(commandLineFile);
    if (!m_frame->CreateFrame()) {
        ADD_FAILURE() << "the frame could not be created";
        return m_frame;
    }
    m_frame->Show();
    return m_frame;
}

void WizardFixture::CloseFrame() {
    if (m_frame == nullptr) return;
    wxWeakRef<CMainFrame> frame(m_frame);
    m_frame = nullptr;
    // No close event: a test may leave a worker running, which Close() refuses.
    frame->Destroy();
    vrz::guitest::PumpUntil([&] { return !frame; });
}

void WizardFixture::ClickButton(int id) {
    auto* button = dynamic_cast<CXCmdBtn*>(Page()->FindWindow(id));
    ASSERT_NE(button, nullptr) << "no command button " << id;
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetPosition(wxPoint(2, 2));
    down.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(down);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetPosition(wxPoint(2, 2));
    up.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(up);
}

void WizardFixture::MenuCommand(int id) {
    wxCommandEvent command(wxEVT_MENU, wizard::MenuItemId(id));
    Page()->GetEventHandler()->ProcessEvent(command);
}

void WizardFixture::WaitFor(const std::function<bool()>& done, const char* what) {
    EXPECT_TRUE(vrz::guitest::PumpUntil(done, std::chrono::seconds(60))) << "timed out waiting for " << what;
}

void WizardFixture::WaitForWorkers() {
    WaitFor([] { return PendingWorkerThreads() == 0; }, "the worker threads to end");
}

std::string WizardFixture::Folder(const std::string& relativePath) {
    const std::string path = m_dir + "/" + relativePath;
    fs::create_directories(path);
    return path;
}

std::string WizardFixture::WriteFile(const std::string& relativePath, const std::string& bytes) {
    const fs::path path = fs::path(m_dir) / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::string WizardFixture::MakeArchive(const std::string& relativePath, int count, int size) {
    const fs::path path = fs::path(m_dir) / relativePath;
    fs::create_directories(path.parent_path());
    const std::string command =
        "python3 -c \"import sys, zipfile, random\n"
        "r = random.Random(7)\n"
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    for i in range(int(sys.argv[2])):\n"
        "        z.writestr('folder/file%04d.bin' % i, bytes(r.getrandbits(8) for _ in range(int(sys.argv[3]))))\n"
        "\" '" + path.string() + "' " + std::to_string(count) + " " + std::to_string(size);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path.string();
}

std::string WizardFixture::Text(const std::string& key, std::size_t capacity) {
    return vrz::LoadText(key, capacity);
}
