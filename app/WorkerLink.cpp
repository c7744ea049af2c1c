#include "WorkerLink.h"

#include <wx/app.h>

#include "WorkerStepPage.h"

std::shared_ptr<WorkerLink> WorkerLink::Create(WorkerStepPage* page) {
    std::shared_ptr<WorkerLink> link(new WorkerLink);
    link->m_page = page;
    return link;
}

void WorkerLink::Post(PageWork work) {
    wxAppConsole* app = wxTheApp;
    if (app == nullptr || IsAbandoned()) return;
    // The page is looked up when the work runs, on the user-interface thread;
    // the worker itself never touches it.
    app->CallAfter([self = shared_from_this(), work = std::move(work)] {
        if (self->IsAbandoned()) return;
        if (WorkerStepPage* page = self->m_page.get()) work(*page);
    });
}

bool WorkerLink::PostEnd(bool succeeded, PageWork work) {
    m_succeeded.store(succeeded);
    int running = kRunning;
    if (!m_state.compare_exchange_strong(running, kEnded)) return false;
    Post(std::move(work));
    return true;
}

bool WorkerLink::Abandon() {
    int running = kRunning;
    if (m_state.compare_exchange_strong(running, kAbandoned)) return false;
    m_abandonedAfterEnd.store(true);
    return running == kEnded;
}
