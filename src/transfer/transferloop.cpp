#include "transfer/transferloop.h"

#include <algorithm>

#include "transfer/transferengine.h"

namespace flr {

void CTransferLoop::Start(unsigned id, uint32_t periodMs)
{
    m_timerId = id;
    m_period = std::chrono::milliseconds(periodMs);
    m_due = Clock::now() + m_period;
}

void CTransferLoop::Kill(unsigned id)
{
    if (id == m_timerId) m_due.reset();
}

bool CTransferLoop::Run(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const Clock::time_point end = Clock::now() + limit;
    while (!done()) {
        const Clock::time_point now = Clock::now();
        if (now >= end) return false;
        if (m_due && now >= *m_due) {
            m_due = now + m_period;
            m_engine->OnTimer(m_timerId);
            continue;
        }
        const Clock::time_point wake = m_due ? std::min(*m_due, end) : end;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now) +
                          std::chrono::milliseconds(1);
        m_engine->Mailbox().Dispatch(wait);
    }
    return true;
}

}  // namespace flr
