// A wizard frame on the virtual display with its own program folder, a shell
// that records instead of launching, and modal dialogs answered through
// wxTestingModalHook expectations that check the texts by language key.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/dirdlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

// Hook failures (a box nobody expected, one that never came) fail the test.
class GTestModalHook;
#define wxTEST_DIALOG_HOOK_CLASS GTestModalHook
#include <wx/testing.h>

#include "CMainFrame.h"
#include "GuiTestSupport.h"
#include "ShellLaunch.h"
#include "StepPageChrome.h"
#include "text/ProgramPaths.h"

class GTestModalHook : public wxTestingModalHook {
public:
    GTestModalHook(const char* file, int line, const char* func) : wxTestingModalHook(file, line, func) {}

protected:
    void ReportFailure(const wxString& message) override { ADD_FAILURE() << message.ToStdString(wxConvUTF8); }
};

// A message box whose text is the language text of textKey (or the given
// literal) and whose caption is captionKey's text; answers with answer.
class ExpectBox : public wxExpectModalBase<wxMessageDialog, ExpectBox> {
public:
    ExpectBox(std::string textKey, std::size_t textCapacity, int answer = wxID_OK,
              std::string captionKey = "IDS_INFORMATION", std::size_t captionCapacity = 200,
              long icon = wxICON_INFORMATION);
    // A box whose text is literal rather than a key.
    static ExpectBox Literal(const std::string& text, const std::string& captionKey, std::size_t captionCapacity,
                             long icon, int answer = wxID_OK);

    std::function<void()> whileOpen;  // runs while the box is "open"
    ExpectBox WhileOpen(std::function<void()> work) const {
        ExpectBox copy(*this);
        copy.whileOpen = std::move(work);
        return copy;
    }

protected:
    int OnInvoked(wxMessageDialog* box) const override;
    wxString GetDefaultDescription() const override;

private:
    std::string m_textKey;
    std::string m_literal;
    std::size_t m_textCapacity;
    int m_answer;
    std::string m_captionKey;
    std::size_t m_captionCapacity;
    long m_icon;
};

// The folder browser, answered with path (or cancelled when path is empty).
class ExpectDirChoice : public wxExpectModalBase<wxDirDialog, ExpectDirChoice> {
public:
    explicit ExpectDirChoice(std::string path) : m_path(std::move(path)) {}

protected:
    int OnInvoked(wxDirDialog* dialog) const override;

private:
    std::string m_path;
};

// Records what would have been opened or started.
class RecordingShellPlatform : public ShellPlatform {
public:
    bool OpenUrl(const std::string& url) override {
        urls.push_back(url);
        return opens;
    }
    bool StartProcess(const std::vector<std::string>& argv) override {
        processes.push_back(argv);
        return starts;
    }
    std::vector<std::string> urls;
    std::vector<std::vector<std::string>> processes;
    bool opens = true;
    bool starts = true;
};

// Any dialog that no expectation answered fails the test instead of
// waiting for a person; registered first, so it is asked last.
class UnexpectedDialogGuard : public wxModalDialogHook {
public:
    UnexpectedDialogGuard() { Register(); }
    ~UnexpectedDialogGuard() override { Unregister(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};

class WizardFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the frame (commandLineFile empty: with the source step).
    CMainFrame* MakeFrame(const wxString& commandLineFile = wxString());
    void CloseFrame();

    StepPage* Page() const { return m_frame ? m_frame->CurrentPage() : nullptr; }
    int PageId() const { return m_frame ? m_frame->CurrentPageId() : 0; }
    std::vector<int> History() const { return m_frame->NavigationHistory(); }

    // A left click on the command button id of the current page, through
    // the button's own mouse handling.
    void ClickButton(int id);
    // A menu command (40011, 40043, ...) picked from a menu of the current page.
    void MenuCommand(int id);

    // Pumps events until done, or fails the test after a generous bound.
    void WaitFor(const std::function<bool()>& done, const char* what);
    // Waits until every worker thread has ended and been joined.
    void WaitForWorkers();

    // Writes a file below the test folder; returns its path.
    std::string WriteFile(const std::string& relativePath, const std::string& bytes);
    // A real archive made by Python's zipfile with count files of size bytes.
    std::string MakeArchive(const std::string& relativePath, int count, int size);
    std::string Folder(const std::string& relativePath);
    static std::string Text(const std::string& key, std::size_t capacity);

    std::string m_dir;         // temporary folder of this test
    std::string m_program;     // its program folder: Lang/, help/, Tips.Txt
    vrz::ProgramPaths m_savedPaths;
    CMainFrame* m_frame = nullptr;
    RecordingShellPlatform m_shell;
    std::unique_ptr<UnexpectedDialogGuard> m_unexpectedDialogs;
};
