// Pictures of the source step and the repair page for the documentation,
// taken only when VRZ_SCREENSHOT_DIR names a folder (scripts/screenshots).
#include <chrono>
#include <cstdlib>

#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "CBaseWndStep.h"
#include "ScreenshotSupport.h"
#include "ArchiveFixtures.h"
#include "CRepairPage.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "WizardJob.h"

namespace {

using namespace std::chrono_literals;

class SourceAndRepairScreenshots : public WizardFixture {
protected:
    void SetUp() override {
        m_folder = vrz::guitest::ScreenshotFolder();
        if (m_folder.empty()) GTEST_SKIP() << "VRZ_SCREENSHOT_DIR is not set";
        WizardFixture::SetUp();
        vrz::guitest::UseScreenshotLanguage();
    }

    void TearDown() override {
        if (!m_folder.empty()) WizardFixture::TearDown();
    }

    // Grabs the frame (and extra pixels to its right and below, for a menu
    // that leaves it) into name.png.
    void Capture(const std::string& name, int extraRight = 0, int extraBottom = 0) {
        wxRect rect = m_frame->GetScreenRect();
        rect.width += extraRight;
        rect.height += extraBottom;
        vrz::guitest::CaptureScreen(*m_frame, rect, name);
    }

    std::string m_folder;
};

TEST_F(SourceAndRepairScreenshots, SourceStepAndRepairPage) {
    MakeFrame();
    m_frame->Move(20, 20);
    Capture("source-step");
    // The bottom band with the tip of the day, on its own.
    const wxRect frame = m_frame->GetScreenRect();
    const wxPoint client = m_frame->GetClientAreaOrigin() + m_frame->GetScreenPosition();
    vrz::guitest::CaptureScreen(*m_frame, wxRect(client.x, client.y + chrome::kClientHeight - chrome::kBandHeight, frame.width,
                                                       chrome::kBandHeight), "tips-band");

    const std::string archive = MakeArchive("holiday-photos.zip", 60, 20000);
    auto* source = dynamic_cast<CBaseWndStep*>(Page());
    source->PathBox()->SetValue("/home/maria/Documents/holiday-photos.zip");
    Capture("source-step-chosen");

    // The scan is held at its first poll, and the bar is set part of the way.
    source->PathBox()->SetValue(FromUtf8(archive));
    TheJob().splitMode = false;
    TheJob().pauseGate.Pause();
    ClickButton(wizard::kRepairButton);
    WaitFor([&] { return PageId() == wizard::kPageRepair; }, "the repair page");
    auto* repair = dynamic_cast<CRepairPage*>(Page());
    ASSERT_NE(repair, nullptr);
    const auto job = repair->Job();
    vrz::guitest::Pump(300ms);
    job->progressPercent = 45;
    repair->OnProgressTick();
    Capture("repair-page");
    job->pauseGate.Resume();
    WaitFor([&] { return History().size() > 2; }, "the end of the scan");
}

TEST_F(SourceAndRepairScreenshots, HelpMenuWithItsLanguages) {
    MakeFrame();
    m_frame->Move(20, 20);
    vrz::guitest::Pump(300ms);
    // The menu runs its own loop: picture it from inside, then dismiss it.
    bool pictured = false;
    wxTheApp->CallAfter([&] {
        wxUIActionSimulator pointer;
        const wxRect help = Page()->HelpLink()->GetScreenRect();
        pointer.MouseMove(help.GetLeft() + 30, help.GetBottom() + 14);
        vrz::guitest::Pump(300ms);
        Capture("help-menu", 260);
        pictured = true;
        pointer.Char(WXK_ESCAPE);
    });
    ClickButton(wizard::kHelpLink);
    EXPECT_TRUE(pictured);
}

TEST_F(SourceAndRepairScreenshots, BrowseMenu) {
    MakeFrame();
    m_frame->Move(20, 20);
    vrz::guitest::Pump(300ms);
    bool pictured = false;
    wxTheApp->CallAfter([&] {
        Capture("browse-menu");
        pictured = true;
        wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    ClickButton(wizard::kBrowseButton);
    EXPECT_TRUE(pictured);
}

// vant-repair-zip FILE, as "Open with" in a file manager starts it.
TEST_F(SourceAndRepairScreenshots, StartedWithAFileName) {
    MakeFrame(FromUtf8(MakeArchive("holiday-photos.zip", 3, 2000)));
    m_frame->Move(20, 20);
    Capture("command-line-file");
}

}  // namespace
