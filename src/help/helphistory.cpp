#include "help/helphistory.h"

namespace flr {

void CHelpHistory::Visit(const ManualLocation& where)
{
    if (!m_places.empty()) {
        if (m_places[m_at] == where) return;
        m_places.resize(m_at + 1);
    }
    m_places.push_back(where);
    m_at = m_places.size() - 1;
}

ManualLocation CHelpHistory::Back()
{
    if (CanGoBack()) --m_at;
    return Current();
}

ManualLocation CHelpHistory::Forward()
{
    if (CanGoForward()) ++m_at;
    return Current();
}

ManualLocation CHelpHistory::Current() const
{
    return m_places.empty() ? ManualLocation{} : m_places[m_at];
}

}  // namespace flr
