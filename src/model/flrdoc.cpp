#include "model/flrdoc.h"

#include <algorithm>
#include <vector>

namespace flr {

CFLRDoc::~CFLRDoc() { DeleteAllIgnitions(); }

int CFLRDoc::GetFrameRate() const
{
    return m_setup ? m_setup->GetFrameRate() : CFireworkSetup::kDefaultFrameRate;
}

void CFLRDoc::SetSetup(std::unique_ptr<CFireworkSetup> setup)
{
    if (setup.get() == m_setup.get()) {
        setup.release();  // the same object: it is ours already
        return;
    }
    m_setup = std::move(setup);
    SetModifiedFlag(true);
    UpdateAllViews(kHintSetup);
}

void CFLRDoc::DeleteIgnition(CIgnition* entry)
{
    if (!entry) return;
    // Everything that dies with `entry`: the entry itself and, for a primary entry, its chain.
    auto dies = [entry](const CIgnition* e) {
        if (e == entry) return true;
        if (entry->GetChainPrev()) return false;
        for (const CIgnition* c = entry->GetChainNext(); c; c = c->GetChainNext()) {
            if (c == e) return true;
        }
        return false;
    };
    if (m_anchor && dies(m_anchor)) {
        CIgnition* survivor = nullptr;
        for (CIgnition* e = m_anchor->FirstSchedule(); e && !survivor; e = e->GetNextSchedule()) {
            if (!dies(e)) survivor = e;
        }
        m_anchor = survivor;
    }
    if (m_keeper) {
        std::vector<CIgnition*> going{entry};
        if (!entry->GetChainPrev()) {
            for (CIgnition* c = entry->GetChainNext(); c; c = c->GetChainNext()) going.push_back(c);
        }
        for (CIgnition* e : going) {
            e->Detach();
            if (!m_keeper->Keep(e)) delete e;
        }
        return;
    }
    delete entry;
}

void CFLRDoc::DeleteAllIgnitions()
{
    if (!m_anchor) return;
    // Entries without a chain predecessor own the rest; collect them first, since deleting
    // one takes its chained effects out of the schedule order too.
    std::vector<CIgnition*> owners;
    for (CIgnition* e = m_anchor->FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (!e->GetChainPrev()) owners.push_back(e);
    }
    m_anchor = nullptr;
    for (CIgnition* e : owners) delete e;
}

void CFLRDoc::NotifyChanged()
{
    SetModifiedFlag(true);
    UpdateAllViews(kHintAll);
}

void CFLRDoc::UpdateAllViews(int hint)
{
    // A copy, so an observer may unregister itself while being told.
    const std::vector<CFLRDocObserver*> observers = m_observers;
    for (CFLRDocObserver* o : observers) o->OnDocumentUpdate(*this, hint);
}

void CFLRDoc::AddObserver(CFLRDocObserver* observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void CFLRDoc::RemoveObserver(CFLRDocObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

}  // namespace flr
