// Every text a person reads fits its place in every language: the captions
// of every command button on every page, the headings, the About box and the
// tips note. A caption may only be cut where a tooltip shows all of it.
#include <wx/dcmemory.h>

#include "CAboutDlg.h"
#include "CHyperLink.h"
#include "CTipsDlg.h"
#include "CXCmdBtn.h"
#include "TipOfTheDay.h"
#include "ChromeDialogs.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

class TextsFit : public WizardFixture {
protected:
    // Every caption of every command button on page fits its box.
    void CheckButtons(wxWindow* page, const std::string& where) {
        wxBitmap scratch(1, 1);
        wxMemoryDC dc(scratch);
        for (wxWindow* child : page->GetChildren()) {
            auto* button = dynamic_cast<CXCmdBtn*>(child);
            if (button == nullptr || !button->IsShown()) continue;
            const auto placed = button->PlaceCaptions(dc);
            for (std::size_t i = 0; i < placed.size(); ++i) {
                const auto& caption = placed[i];
                dc.SetFont(caption.font);
                const int width = dc.GetTextExtent(caption.text).x;
                SCOPED_TRACE(where + ", button " + std::to_string(button->GetId()) + ": " + ToUtf8(caption.text));
                EXPECT_LE(caption.box.x + width, button->GetClientSize().x);
                EXPECT_GE(caption.box.x, 0);
                if (i == 0) {
                    EXPECT_EQ(caption.text, button->m_strText) << "a label is never cut";
                } else {
                    EXPECT_EQ(button->GetToolTipText(), button->m_strText2) << "a cut caption shows whole on hover";
                }
            }
        }
    }

    void CheckHeading(StepPage* page, const std::string& where) {
        wxBitmap scratch(1, 1);
        wxMemoryDC dc(scratch);
        dc.SetFont(page->HeadingFont());
        // The grey strip runs from the heading's left edge to x = 823.
        EXPECT_LE(70 + dc.GetTextExtent(page->Heading()).x, 823) << where << ": " << ToUtf8(page->Heading());
    }

    void CheckPage(int command, const std::string& language) {
        m_frame->Navigate(command);
        ASSERT_NE(Page(), nullptr);
        const std::string where = language + ", page " + std::to_string(PageId());
        CheckButtons(Page(), where);
        CheckHeading(Page(), where);
    }
};

TEST_F(TextsFit, EveryPageAndDialogInEveryLanguage) {
    MakeFrame();
    for (int language = 0; language < vrz::kLanguageCount; ++language) {
        vrz::SelectLanguage(language);  // false for the one already chosen
        const std::string name = vrz::kLanguageNames[language];
        CheckPage(wizard::kShowSource, name);
        CheckPage(wizard::kShowPreview, name);
        CheckPage(wizard::kShowSave, name);
        // The repair page, with its scan held so that it stays.
        DiscardCurrentJob();
        TheJob().pauseGate.Pause();
        CheckPage(wizard::kShowRepair, name);
        m_frame->Navigate(wizard::kShowSource);
        WaitForWorkers();

        CAboutDlg about(m_frame, AboutContent());
        ASSERT_TRUE(about.IsBuilt());
        const wxRect okButton = about.FindWindow(wxID_OK)->GetRect();
        for (const int id : {CAboutDlg::IDC_LINK_ABOUT, CAboutDlg::IDC_LINK_UNINSTALL, CAboutDlg::IDC_LINK_LICENSE,
                             CAboutDlg::IDC_LINK_POLICY}) {
            const wxRect link = about.Link(id)->GetRect();
            EXPECT_LE(link.GetRight(), about.GetClientSize().x - 5) << name << " link " << id;
            EXPECT_FALSE(link.Intersects(okButton)) << name << " link " << id;
        }
        CheckButtons(&about, name + ", About box");

        for (const std::string& tip : LoadTips(TipsFilePath())) {
            auto* note = new CTipsDlg(m_frame, FromUtf8(tip));
            EXPECT_LE(note->TextHeight() + 10, note->GetClientSize().y) << name << ": " << tip;
            note->Destroy();
        }
    }
    vrz::SelectLanguage(0);
}

}  // namespace
