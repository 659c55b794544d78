#include "model/effectcatalogue.h"

namespace flr {

CEffectCatalogue& CEffectCatalogue::Program()
{
    static CEffectCatalogue catalogue;
    return catalogue;
}

CEffect* CEffectCatalogue::Find(std::string_view articleNumber) const
{
    const auto it = m_items.find(UpToZero(articleNumber));
    return it == m_items.end() ? nullptr : it->second.get();
}

bool CEffectCatalogue::Insert(const CEffectRef& item)
{
    if (!item) return false;
    return m_items.try_emplace(item->GetArticleNumber(), item).second;
}

bool CEffectCatalogue::Remove(std::string_view articleNumber)
{
    const auto it = m_items.find(UpToZero(articleNumber));
    if (it == m_items.end()) return false;
    m_items.erase(it);
    return true;
}

}  // namespace flr
