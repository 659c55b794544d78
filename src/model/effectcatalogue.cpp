#include "model/effectcatalogue.h"

namespace flr {

EffectCatalogue& EffectCatalogue::Program()
{
    static EffectCatalogue catalogue;
    return catalogue;
}

CEffect* EffectCatalogue::Find(std::string_view articleNumber) const
{
    const auto it = m_items.find(UpToZero(articleNumber));
    return it == m_items.end() ? nullptr : it->second.get();
}

bool EffectCatalogue::Insert(const EffectRef& item)
{
    if (!item) return false;
    return m_items.try_emplace(item->GetArticleNumber(), item).second;
}

bool EffectCatalogue::Remove(std::string_view articleNumber)
{
    const auto it = m_items.find(UpToZero(articleNumber));
    if (it == m_items.end()) return false;
    m_items.erase(it);
    return true;
}

}  // namespace flr
