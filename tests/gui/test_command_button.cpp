// The command button: caption layout by image width, and the page-wide hot
// button kept by hover notifications and resets.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/panel.h>

#include "CXCmdBtn.h"
#include "CmdBtnLayout.h"
#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "XCmdBtnReset.h"

namespace {

bool SameBox(const CmdBtnTextBox& box, int x, int y, int w, int h) {
    return box.x == x && box.y == y && box.width == w && box.height == h;
}

TEST(CmdBtnLayout, SmallImagesPutTheSecondCaptionAfterFivePixelsPerCharacter) {
    const CmdBtnCaptionLayout tips = ChooseCaptionLayout(16, 10, false, false, false);
    EXPECT_TRUE(tips.drawsText2);
    EXPECT_EQ(tips.text2Box.x, 70);
    EXPECT_TRUE(SameBox(tips.textBox, 20, 0, 120, 14));
    EXPECT_TRUE(SameBox(tips.text2Box, 70, 0, 500, 14));
    EXPECT_STREQ(tips.faceName, "Trebuchet MS");
    EXPECT_EQ(tips.pointSize, 8);
    EXPECT_EQ(tips.argb, kCmdBtnWhite);

    const CmdBtnCaptionLayout vista = ChooseCaptionLayout(16, 10, false, true, true);
    EXPECT_TRUE(SameBox(vista.textBox, 20, 0, 120, 16));
    EXPECT_TRUE(SameBox(vista.text2Box, 70, 0, 500, 16));
    EXPECT_STREQ(vista.faceName, "Segoe UI");
    EXPECT_EQ(vista.argb, kCmdBtnGrey);

    const CmdBtnCaptionLayout single = ChooseCaptionLayout(16, 4, true, true, false);
    EXPECT_FALSE(single.drawsText2);
    EXPECT_TRUE(SameBox(single.textBox, 20, 2, 120, 16));
    EXPECT_TRUE(SameBox(ChooseCaptionLayout(0, 4, true, false, false).textBox, 20, 0, 120, 14))
        << "a button whose image is missing still shows its caption";
}

TEST(CmdBtnLayout, ImageWidthsChooseTheLayout) {
    EXPECT_EQ(ChooseCaptionLayout(49, 6, true, false, false).pointSize, 8);
    EXPECT_EQ(ChooseCaptionLayout(50, 6, true, false, false).pointSize, 11);
    EXPECT_EQ(ChooseCaptionLayout(119, 6, true, false, false).pointSize, 11);
    EXPECT_EQ(ChooseCaptionLayout(120, 6, true, false, false).pointSize, 28);

    EXPECT_TRUE(SameBox(ChooseCaptionLayout(104, 2, true, false, false).textBox, 38, 13, 200, 16));
    EXPECT_EQ(ChooseCaptionLayout(104, 2, true, false, false).pointSize, 12);
    EXPECT_TRUE(SameBox(ChooseCaptionLayout(104, 9, true, false, false).textBox, 30, 5, 200, 16));
    EXPECT_TRUE(SameBox(ChooseCaptionLayout(104, 10, true, false, false).textBox, 10, 5, 200, 16));
    EXPECT_TRUE(SameBox(ChooseCaptionLayout(383, 8, true, false, false).textBox, 170, 20, 200, 60));
    EXPECT_TRUE(SameBox(ChooseCaptionLayout(383, 9, true, false, false).textBox, 130, 20, 300, 60));
    // Larger buttons ignore the second caption and the grey option.
    const CmdBtnCaptionLayout big = ChooseCaptionLayout(383, 6, false, false, true);
    EXPECT_FALSE(big.drawsText2);
    EXPECT_EQ(big.argb, kCmdBtnWhite);
    EXPECT_STREQ(big.faceName, "Segoe UI");
}

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

}  // namespace
