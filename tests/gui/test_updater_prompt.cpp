// The updater's real windows: its question is a Yes/No box that carries the
// notice and returns the answer; an error is a box with the error icon.
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <gtest/gtest.h>

#include "UpdateCheck.h"
#include "WxUpdatePrompt.h"

namespace {

// Answers the box and remembers what it showed.
class AnswerBox : public wxExpectModalBase<wxMessageDialog, AnswerBox> {
public:
    AnswerBox(int answer, wxString* message, long* style) : m_answer(answer), m_message(message), m_style(style) {}

protected:
    int OnInvoked(wxMessageDialog* box) const override {
        *m_message = box->GetMessage();
        *m_style = box->GetMessageDialogStyle();
        return m_answer;
    }

private:
    int m_answer;
    wxString* m_message;
    long* m_style;
};

TEST(UpdaterPrompt, NoticeIsAYesNoQuestionAndTheAnswerCounts) {
    vrz::updater::WxUpdatePrompt prompt;
    const std::string notice = vrz::updater::UpdateNoticeText("2.1.0");
    for (const int answer : {wxID_YES, wxID_NO}) {
        wxString shown;
        long style = 0;
        bool yes = false;
        wxTEST_DIALOG(yes = prompt.AskYesNo(notice, vrz::updater::UpdateCaption()),
                      AnswerBox(answer, &shown, &style));
        EXPECT_EQ(yes, answer == wxID_YES);
        EXPECT_EQ(shown.utf8_string(), notice);
        EXPECT_TRUE(style & wxYES_NO);
    }
}

TEST(UpdaterPrompt, FailureShowsAnErrorBox) {
    vrz::updater::WxUpdatePrompt prompt;
    wxString shown;
    long style = 0;
    wxTEST_DIALOG(prompt.ShowError("The project page could not be opened", "Update"),
                  AnswerBox(wxID_OK, &shown, &style));
    EXPECT_EQ(shown, "The project page could not be opened");
    EXPECT_TRUE(style & wxICON_ERROR);
}

}  // namespace
