// How a worker thread reaches its page: it posts work to the user-interface
// thread and goes on at once. It never waits for the window, so a modal box,
// a menu or an idle handler in between can never hold it up. Work that
// arrives after the page is gone, or after it gave the worker up, is dropped.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <wx/weakref.h>

class WorkerStepPage;

class WorkerLink : public std::enable_shared_from_this<WorkerLink> {
public:
    using PageWork = std::function<void(WorkerStepPage&)>;

    // User-interface thread: a link to page.
    static std::shared_ptr<WorkerLink> Create(WorkerStepPage* page);

    // Worker thread: runs work on the page soon, in the order posted.
    void Post(PageWork work);
    // Worker thread: the worker's last post, carrying whether it succeeded.
    // False (and nothing posted) when the page has given the worker up; the
    // worker then cleans up after itself.
    bool PostEnd(bool succeeded, PageWork work);

    // User-interface thread: the page lets the worker go; nothing posted runs
    // from now on. True when the worker had already ended, so what it left
    // (a finished archive, say) is the page's to clean up.
    bool Abandon();
    // User-interface thread: the page is going away.
    void Detach() { m_page = nullptr; }

    bool IsAbandoned() const { return m_state.load() == kAbandoned || m_abandonedAfterEnd.load(); }
    bool HasEnded() const { return m_state.load() == kEnded; }
    bool Succeeded() const { return m_succeeded.load(); }

    // User-interface thread: set once the page has acted on the end.
    bool delivered = false;

private:
    enum State { kRunning, kEnded, kAbandoned };
    WorkerLink() = default;

    wxWeakRef<WorkerStepPage> m_page;  // user-interface thread only
    std::atomic<int> m_state{kRunning};
    std::atomic<bool> m_abandonedAfterEnd{false};
    std::atomic<bool> m_succeeded{false};
};
