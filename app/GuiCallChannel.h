// How a worker thread has something done on the user-interface thread and
// waits for it, like a sent window message, and how the user-interface
// thread lets go of a worker it has given up on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

class GuiCallChannel : public std::enable_shared_from_this<GuiCallChannel> {
public:
    // Held by the work while it is not finished; the waiting worker goes on
    // when the last copy is gone, so work may keep a copy in a queue and
    // finish later (after a question the user is answering, say).
    class Completion {
    public:
        Completion(std::shared_ptr<GuiCallChannel> channel, std::uint64_t ticket)
            : m_channel(std::move(channel)), m_ticket(ticket) {}
        ~Completion() { m_channel->MarkDone(m_ticket); }
        Completion(const Completion&) = delete;
        Completion& operator=(const Completion&) = delete;

    private:
        std::shared_ptr<GuiCallChannel> m_channel;
        std::uint64_t m_ticket;
    };
    using Work = std::function<void(std::shared_ptr<Completion>)>;

    static std::shared_ptr<GuiCallChannel> Create() { return std::shared_ptr<GuiCallChannel>(new GuiCallChannel); }

    // Worker thread: queues work for the user-interface thread and blocks
    // until it has finished or the channel is abandoned. Work is skipped once
    // the channel is abandoned. False when abandoned.
    bool CallAndWait(Work work);

    // User-interface thread: the worker's calls return at once from now on.
    void Abandon();
    bool IsAbandoned() const;
    // True while the worker waits in CallAndWait.
    bool IsWorkerWaiting() const;

private:
    GuiCallChannel() = default;
    void MarkDone(std::uint64_t ticket);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_abandoned = false;
    std::uint64_t m_nextTicket = 0;
    int m_waiting = 0;
    std::set<std::uint64_t> m_done;
};
