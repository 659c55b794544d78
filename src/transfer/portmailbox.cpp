#include "transfer/portmailbox.h"

#include <algorithm>
#include <cassert>
#include <thread>

namespace flr {

namespace {
// How often a waiting sender re-checks its abandon flag without being woken.
constexpr std::chrono::milliseconds kAbandonPoll{100};
// How long either side spins before it blocks.
constexpr std::chrono::microseconds kSpin{200};

template <typename Done>
bool SpinFor(Done done)
{
    const auto end = std::chrono::steady_clock::now() + kSpin;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::yield();
    }
    return true;
}
}  // namespace

CPortMailbox::CPortMailbox(CCommPortOwner& owner) : m_owner(owner) {}

void CPortMailbox::SetPostedHook(std::function<void()> hook) { m_postedHook = std::move(hook); }

bool CPortMailbox::Send(const PortNotification& notification, const std::atomic<bool>& abandon)
{
    std::unique_lock lock(m_mutex);
    if (abandon.load()) return false;
    const uint64_t id = m_nextId++;
    m_queue.push_back({notification, id});
    m_queued.store(m_queue.size());
    m_posted.notify_one();
    lock.unlock();
    if (m_postedHook) m_postedHook();
    SpinFor([&] { return m_lastHandled.load(std::memory_order_acquire) >= id || abandon.load(); });
    lock.lock();
    while (m_lastHandled.load() < id) {
        if (abandon.load()) {
            const auto it = std::find_if(m_queue.begin(), m_queue.end(),
                                         [id](const Item& item) { return item.id == id; });
            if (it != m_queue.end()) m_queue.erase(it);
            m_queued.store(m_queue.size());
            return false;
        }
        m_handled.wait_for(lock, kAbandonPoll);
    }
    return true;
}

void CPortMailbox::WakeSenders()
{
    // Taking the mutex orders this after a sender's flag check, so its wait sees the wake-up.
    std::lock_guard lock(m_mutex);
    m_handled.notify_all();
}

size_t CPortMailbox::Dispatch(std::chrono::milliseconds limit)
{
    // Not re-entrant: a handler that dispatched again would hand notifications out of order.
    assert(!m_dispatching && "CPortMailbox::Dispatch re-entered from a handler");
    m_dispatching = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_dispatching};
    size_t count = 0;
    if (m_queued.load(std::memory_order_acquire) == 0) {
        SpinFor([this] { return m_queued.load(std::memory_order_acquire) != 0; });
    }
    std::unique_lock lock(m_mutex);
    if (m_queue.empty()) {
        m_posted.wait_for(lock, limit, [this] { return !m_queue.empty(); });
    }
    // Only what was posted so far, so a chatty line cannot keep the owner from its timers.
    const uint64_t upTo = m_nextId;
    while (!m_queue.empty() && m_queue.front().id < upTo) {
        const Item item = m_queue.front();
        m_queue.pop_front();
        m_queued.store(m_queue.size());
        // The handler may write to a port or shut one down: never hold the mutex over it.
        lock.unlock();
        m_owner.OnPortNotification(item.notification);
        lock.lock();
        if (item.id > m_lastHandled.load()) m_lastHandled.store(item.id, std::memory_order_release);
        m_handled.notify_all();
        ++count;
    }
    return count;
}

}  // namespace flr
