#include "model/ignition.h"

#include <cstdio>

namespace flr {

CIgnition::~CIgnition()
{
    UnlinkFiring();
    UnlinkSchedule();
    if (!m_chainPrev) {
        // Each chained effect unlinks itself, so the head's successor advances every round.
        while (m_chainNext) delete m_chainNext;
    } else {
        m_chainPrev->m_chainNext = m_chainNext;
        if (m_chainNext) m_chainNext->m_chainPrev = m_chainPrev;
    }
}

bool CIgnition::SetDelayText(const OptText& text, bool force)
{
    OptText cut;
    if (text) cut = std::string(UpToZero(*text));
    if (cut == m_delayText) return false;
    if (m_chained && m_delayText && !force) return false;
    m_delayText = std::move(cut);
    return true;
}

void CIgnition::SetNote(const OptText& text)
{
    OptText cut;
    if (text) cut = std::string(UpToZero(*text));
    if (cut != m_note) m_note = std::move(cut);
}

void CIgnition::SetItem(CEffectRef item)
{
    m_item = std::move(item);
    if (!m_item) {
        m_inTime = m_time;
        m_flags &= ~kFlagPrefireError;
    }
}

void CIgnition::SetTimeRaw(CTimeCode value)
{
    m_time = value;
    if (!m_item) m_inTime = value;
}

void CIgnition::SetInTimeRaw(CTimeCode value)
{
    m_inTime = value;
    if (!m_item) m_time = value;
}

std::string CIgnition::AddressText() const
{
    if (m_addressNumber == 0) return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%c%02d", m_letter, m_addressNumber);
    return buffer;
}

CIgnition* CIgnition::FirstFiring()
{
    CIgnition* e = this;
    while (e->m_prevFiring) e = e->m_prevFiring;
    return e;
}

CIgnition* CIgnition::FirstSchedule()
{
    CIgnition* e = this;
    while (e->m_prevSchedule) e = e->m_prevSchedule;
    return e;
}

CIgnition* CIgnition::LastSchedule()
{
    CIgnition* e = this;
    while (e->m_nextSchedule) e = e->m_nextSchedule;
    return e;
}

CIgnition* CIgnition::ChainHead()
{
    CIgnition* e = this;
    while (e->m_chainPrev) e = e->m_chainPrev;
    return e;
}

}  // namespace flr
