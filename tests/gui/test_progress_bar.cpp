// The wizard's own progress bar keeps the gauge's contract.
#include <gtest/gtest.h>

#include <wx/frame.h>

#include "CProgressBar.h"
#include "GuiTestSupport.h"

namespace {

TEST(ProgressBar, HoldsValuesWithinItsRange) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "progress");
    auto* bar = new CProgressBar(frame, 370, 100, wxPoint(110, 310), wxSize(538, 30));
    EXPECT_EQ(bar->GetRect(), wxRect(110, 310, 538, 30));
    EXPECT_EQ(bar->GetRange(), 100);
    EXPECT_EQ(bar->GetValue(), 0);
    bar->SetValue(40);
    EXPECT_EQ(bar->GetValue(), 40);
    bar->SetValue(250);  // a writer's percentage can pass 100
    EXPECT_EQ(bar->GetValue(), 100);
    bar->SetValue(-5);
    EXPECT_EQ(bar->GetValue(), 0);
    bar->SetValue(70);
    bar->SetRange(50);
    EXPECT_EQ(bar->GetValue(), 50) << "a smaller range holds the value at its end";
    EXPECT_FALSE(bar->AcceptsFocus());
    frame->Show();
    bar->Update();  // paints without a page behind it
    frame->Destroy();
    vrz::guitest::Pump(std::chrono::milliseconds(10));
}

}  // namespace
