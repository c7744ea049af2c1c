// Which page the frame creates for each navigation command. New pages are
// registered by adding a line to the table in PageFactory.cpp.
#pragma once

class CMainFrame;
class StepPage;

struct PageRegistration {
    int command;  // navigation command
    int pageId;   // child id of the page
    StepPage* (*make)(CMainFrame* frame);
};

// The registration for command; nullptr when it is not a navigation command.
const PageRegistration* FindPageForCommand(int command);

// Constructs Page(frame) and builds it; nullptr (and nothing left behind)
// when building fails.
template <class Page>
StepPage* MakeStepPage(CMainFrame* frame) {
    auto* page = new Page(frame);
    if (!page->BuildPage()) {
        page->Destroy();
        return nullptr;
    }
    return page;
}
