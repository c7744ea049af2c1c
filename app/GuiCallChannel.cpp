#include "GuiCallChannel.h"

#include <wx/app.h>

bool GuiCallChannel::CallAndWait(Work work) {
    std::uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_abandoned) return false;
        ticket = m_nextTicket++;
    }
    wxAppConsole* app = wxTheApp;
    if (app == nullptr) return false;
    {
        auto completion = std::make_shared<Completion>(shared_from_this(), ticket);
        app->CallAfter([self = shared_from_this(), completion = std::move(completion), work = std::move(work)]() mutable {
            if (!self->IsAbandoned()) work(std::move(completion));
        });
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waiting;
    m_changed.wait(lock, [&] { return m_abandoned || m_done.count(ticket) != 0; });
    --m_waiting;
    m_done.erase(ticket);
    return !m_abandoned;
}

void GuiCallChannel::Abandon() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
}

bool GuiCallChannel::IsAbandoned() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_abandoned;
}

bool GuiCallChannel::IsWorkerWaiting() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting > 0;
}

void GuiCallChannel::MarkDone(std::uint64_t ticket) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done.insert(ticket);
    }
    m_changed.notify_all();
}
