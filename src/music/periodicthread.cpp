#include "music/periodicthread.h"

#include <chrono>
#include <system_error>

namespace flr {

bool CPeriodicThread::Start(uint32_t periodMs, Callback callback)
{
    if (m_thread.joinable() || !callback) return false;
    m_callback = std::move(callback);
    m_stopping = false;
    try {
        m_thread = std::thread([this, periodMs] { Run(periodMs); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CPeriodicThread::Stop()
{
    if (!m_thread.joinable()) return;
    {
        std::lock_guard lock(m_stopLock);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CPeriodicThread::Run(uint32_t periodMs)
{
    // Ticks keep to the period's grid, so a slow callback does not push the later ones back.
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        next += std::chrono::milliseconds(periodMs);
        {
            std::unique_lock lock(m_stopLock);
            if (m_wake.wait_until(lock, next, [this] { return m_stopping; })) return;
        }
        if (!m_callback()) return;
    }
}

}  // namespace flr
