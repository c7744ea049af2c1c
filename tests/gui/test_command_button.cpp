// The command button on its own, with no program art handed in: the
// page-wide hot button kept by hover notifications and resets, clicks, keys,
// and captions that always fit.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "CXCmdBtn.h"
#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "XCmdBtnReset.h"

namespace {

// A parent that forwards resets the way every page does.
class ButtonPanel : public wxPanel {
public:
    explicit ButtonPanel(wxWindow* parent) : wxPanel(parent) {
        Bind(EVT_XCMDBTN_RESET, [this](wxCommandEvent& event) {
            ++resets;
            ForwardXCmdBtnReset(this, event);
        });
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { clicks.push_back(event.GetId()); });
    }
    int resets = 0;
    std::vector<int> clicks;
};

class CommandButton : public ::testing::Test {
protected:
    void SetUp() override {
        g_hotButtonId = -1;
        frame = new wxFrame(nullptr, wxID_ANY, "buttons", wxDefaultPosition, wxSize(400, 200));
        panel = new ButtonPanel(frame);
        // Never shown: the real pointer, wherever it is, sends these buttons nothing.
        a = Make(11);
        b = Make(12);
    }
    void TearDown() override {
        frame->Destroy();
        vrz::guitest::Pump(std::chrono::milliseconds(10));
        g_hotButtonId = -1;
    }
    CXCmdBtn* Make(int id) {
        auto* button = new CXCmdBtn(panel, id, wxRect(10 + 120 * (id - 11), 10, 104, 26));
        button->SetImages(vrz::IDB_SMALL_BUTTON_NORMAL, vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
        button->m_bSticky = true;
        button->m_bNotifyParent = true;
        return button;
    }
    static void Send(CXCmdBtn* button, wxEventType type, wxPoint at = wxPoint(3, 3)) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }

    wxFrame* frame = nullptr;
    ButtonPanel* panel = nullptr;
    CXCmdBtn* a = nullptr;
    CXCmdBtn* b = nullptr;
};

TEST_F(CommandButton, OnlyTheLastHoveredStickyButtonStaysHot) {
    Send(a, wxEVT_ENTER_WINDOW);
    EXPECT_TRUE(a->IsHot());
    EXPECT_EQ(g_hotButtonId, 11);
    EXPECT_EQ(a->CurrentImageId(), vrz::IDB_SMALL_BUTTON_HOVER);
    Send(b, wxEVT_ENTER_WINDOW);
    EXPECT_FALSE(a->IsHot());
    EXPECT_FALSE(a->IsHovered());
    EXPECT_TRUE(b->IsHot());
    EXPECT_EQ(g_hotButtonId, 12);
    EXPECT_EQ(a->CurrentImageId(), vrz::IDB_SMALL_BUTTON_NORMAL);
}

TEST_F(CommandButton, LeavingWithNotifyParentClearsTheHighlightButKeepsTheHotId) {
    Send(a, wxEVT_ENTER_WINDOW);
    Send(a, wxEVT_LEAVE_WINDOW);
    EXPECT_FALSE(a->IsHovered());
    EXPECT_FALSE(a->IsHot()) << "the parent forwarded the reset back";
    EXPECT_EQ(g_hotButtonId, 11);
    EXPECT_EQ(panel->resets, 1);
}

TEST_F(CommandButton, StickyButtonWithoutNotifyKeepsItsHoverImageAfterLeaving) {
    a->m_bNotifyParent = false;
    Send(a, wxEVT_ENTER_WINDOW);
    Send(a, wxEVT_LEAVE_WINDOW);
    EXPECT_TRUE(a->IsHot());
    EXPECT_EQ(a->CurrentImageId(), vrz::IDB_SMALL_BUTTON_HOVER);
    Send(b, wxEVT_ENTER_WINDOW);
    EXPECT_FALSE(a->IsHot()) << "until another button of the page is hovered";
}

TEST_F(CommandButton, ResetForAnIdThePageDoesNotOwnDoesNothing) {
    Send(a, wxEVT_ENTER_WINDOW);
    SendXCmdBtnReset(panel, 999, 0);
    EXPECT_TRUE(a->IsHot());
    EXPECT_TRUE(b->GetId() == 12 && !b->IsHot());
}

TEST_F(CommandButton, ClickNeedsPressAndReleaseInside) {
    frame->Show();  // the button holds the pointer while pressed
    Send(a, wxEVT_LEFT_DOWN);
    EXPECT_EQ(a->CurrentImageId(), vrz::IDB_SMALL_BUTTON_PRESSED);
    Send(a, wxEVT_LEFT_UP);
    EXPECT_EQ(panel->clicks, std::vector<int>{11});
    Send(a, wxEVT_LEFT_DOWN);
    Send(a, wxEVT_LEFT_UP, wxPoint(300, 100));
    EXPECT_EQ(panel->clicks, std::vector<int>{11}) << "released outside: no click";
    b->Enable(false);
    Send(b, wxEVT_LEFT_DOWN);
    Send(b, wxEVT_LEFT_UP);
    EXPECT_EQ(panel->clicks, std::vector<int>{11}) << "a disabled button never clicks";
}

TEST_F(CommandButton, KeyboardReachesEnabledButtonsAndPressesThem) {
    EXPECT_TRUE(a->AcceptsFocus());
    b->Enable(false);
    EXPECT_FALSE(b->AcceptsFocus()) << "a disabled button (the logo) is passed over";
    const auto press = [](CXCmdBtn* button, int key) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key;
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    };
    press(a, WXK_SPACE);
    press(a, WXK_RETURN);
    press(a, 'x');
    press(b, WXK_SPACE);
    EXPECT_EQ(panel->clicks, (std::vector<int>{11, 11}));
}

// The tips band: label, then the tip one space after it, cut with an
// ellipsis at the button's edge; the whole tip is the tooltip.
TEST_F(CommandButton, SecondCaptionFollowsTheFirstAndIsCutToFit) {
    auto* tips = new CXCmdBtn(panel, 30, wxRect(10, 60, 344, 16));
    const wxString tip(
        "Parts named .zx01 ... .zipx and parts named .z01 ... .zip cannot be mixed in one folder, ever.");
    tips->SetCaptions("Consejo:", tip);
    wxBitmap scratch(1, 1);
    wxMemoryDC dc(scratch);
    const auto placed = tips->PlaceCaptions(dc);
    ASSERT_EQ(placed.size(), 2u);
    dc.SetFont(placed[0].font);
    const int labelRight = placed[0].box.x + dc.GetTextExtent("Consejo:").x;
    EXPECT_GT(placed[1].box.x, labelRight) << "a gap after the label";
    EXPECT_LE(placed[1].box.GetRight(), tips->GetClientSize().x - 1);
    dc.SetFont(placed[1].font);
    EXPECT_LE(dc.GetTextExtent(placed[1].text).x, placed[1].box.width);
    EXPECT_TRUE(placed[1].text.EndsWith(wxString::FromUTF8("\xE2\x80\xA6")) || placed[1].text.EndsWith("..."))
        << placed[1].text;
    EXPECT_EQ(tips->GetToolTipText(), tip);
}

// A caption longer than the push button is drawn smaller; only what does not
// fit even at the smallest size is cut, with an ellipsis, never mid-letter.
TEST_F(CommandButton, LongCaptionShrinksIntoItsButton) {
    a->SetCaptions(wxString::FromUTF8("Auswählen und noch mehr"));
    wxBitmap scratch(1, 1);
    wxMemoryDC dc(scratch);
    const auto placed = a->PlaceCaptions(dc);
    ASSERT_EQ(placed.size(), 1u);
    dc.SetFont(placed[0].font);
    EXPECT_LE(placed[0].box.x + dc.GetTextExtent(placed[0].text).x, a->GetClientSize().x);
    EXPECT_TRUE(placed[0].text == wxString::FromUTF8("Auswählen und noch mehr") ||
                placed[0].text.EndsWith(wxString::FromUTF8("\xE2\x80\xA6")) || placed[0].text.EndsWith("..."));
    b->SetCaptions(wxString::FromUTF8("Auswählen"));
    const auto fitted = b->PlaceCaptions(dc);
    ASSERT_EQ(fitted.size(), 1u);
    EXPECT_EQ(fitted[0].text, wxString::FromUTF8("Auswählen")) << "a word that fits at some size is never cut";
}

}  // namespace
