#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/panel.h>

#include "GuiTestSupport.h"
#include "controls/CHyperLink.h"

namespace {

using namespace std::chrono_literals;

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "links", wxPoint(50, 50), wxSize(400, 200));
        panel_ = new wxPanel(frame_);
        panel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { clicks_.push_back(event.GetId()); });
        frame_->Show();
    }
    void TearDown() override { frame_->Destroy(); }

    CHyperLink* MakeLink(const wxString& text, wxSize size = wxSize(300, 80)) {
        auto* link = new CHyperLink(panel_, 601, text, wxPoint(20, 20), size);
        vrz::guitest::Pump(100ms);
        return link;
    }

    void Send(CHyperLink* link, wxEventType type, wxPoint at, bool leftDown) {
        wxMouseEvent event(type);
        event.SetEventObject(link);
        event.SetPosition(at);
        event.m_leftDown = leftDown;
        link->GetEventHandler()->ProcessEvent(event);
    }

    int TextHeight(CHyperLink* link) const {
        int height = 0;
        link->GetTextExtent("Xg", nullptr, &height);
        return height;
    }

    wxFrame* frame_ = nullptr;
    wxPanel* panel_ = nullptr;
    std::vector<int> clicks_;
};

TEST_F(HyperLinkTest, SizesItselfToItsTextWhateverRectItGot) {
    for (const wxSize& start : {wxSize(300, 80), wxSize(2, 2)}) {
        CHyperLink* link = MakeLink("License", start);
        const wxSize text = link->GetTextExtent("License");
        EXPECT_EQ(link->GetSize(), wxSize(text.x + 3, TextHeight(link) + 3));
        link->Destroy();
    }
}

TEST_F(HyperLinkTest, TrailingLineFeedsDrawOneLineAndTwoLinesStack) {
    CHyperLink* one = MakeLink("Uninstall\n\n");
    const int height = TextHeight(one);
    EXPECT_EQ(one->GetSize().y, height + 3);
    CHyperLink* two = MakeLink("Uninstall\nPrivacy policy");
    EXPECT_EQ(two->GetSize().y, 2 * (height + 3));
    EXPECT_EQ(two->GetSize().x, two->GetTextExtent("Privacy policy").x + 3);
}

TEST_F(HyperLinkTest, ClickOnlyWhenReleasedInside) {
    CHyperLink* link = MakeLink("About");
    const wxPoint inside(3, 3);
    const wxPoint outside(link->GetSize().x + 40, 3);

    Send(link, wxEVT_MOTION, inside, false);
    EXPECT_TRUE(link->IsHover());
    Send(link, wxEVT_LEFT_DOWN, inside, true);
    EXPECT_TRUE(link->IsPressed());
    Send(link, wxEVT_MOTION, outside, true);
    EXPECT_FALSE(link->IsHover());
    EXPECT_TRUE(link->IsPressed());
    Send(link, wxEVT_LEFT_UP, outside, false);
    EXPECT_FALSE(link->IsPressed());
    vrz::guitest::Pump(50ms);
    EXPECT_TRUE(clicks_.empty());

    Send(link, wxEVT_LEFT_DOWN, inside, true);
    Send(link, wxEVT_LEFT_UP, inside, false);
    ASSERT_EQ(clicks_.size(), 1u);
    EXPECT_EQ(clicks_[0], 601);
    EXPECT_TRUE(link->IsHover());
}

TEST_F(HyperLinkTest, ReleaseWithoutPressAndDisabledLinksSendNothing) {
    CHyperLink* link = MakeLink("About");
    Send(link, wxEVT_LEFT_UP, wxPoint(3, 3), false);
    link->Enable(false);
    Send(link, wxEVT_LEFT_DOWN, wxPoint(3, 3), true);
    Send(link, wxEVT_LEFT_UP, wxPoint(3, 3), false);
    EXPECT_FALSE(link->IsPressed());
    EXPECT_TRUE(clicks_.empty());
}

// Tab reaches an enabled link, and Space or Enter opens it, as a click does;
// a disabled link is passed over.
TEST_F(HyperLinkTest, KeyboardReachesEnabledLinksAndOpensThem) {
    CHyperLink* link = MakeLink("How to uninstall");
    EXPECT_TRUE(link->AcceptsFocusFromKeyboard());
    for (const int key : {WXK_SPACE, WXK_RETURN}) {
        wxKeyEvent press(wxEVT_KEY_DOWN);
        press.m_keyCode = key;
        press.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(press);
    }
    EXPECT_EQ(clicks_, (std::vector<int>{601, 601}));
    link->Enable(false);
    EXPECT_FALSE(link->AcceptsFocusFromKeyboard());
}

}  // namespace
