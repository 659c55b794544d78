#pragma once

#include <map>
#include <string>
#include <string_view>

#include "model/effect.h"

namespace flr {

// The program's items by article number, compared byte by byte (case-sensitive, no locale).
// Each item in it holds one reference from the catalogue. Look-up is logarithmic.
// User-interface thread only.
class CEffectCatalogue {
public:
    // The one program-wide catalogue: empty at start-up, emptied at exit.
    static CEffectCatalogue& Program();

    CEffectCatalogue() = default;
    CEffectCatalogue(const CEffectCatalogue&) = delete;
    CEffectCatalogue& operator=(const CEffectCatalogue&) = delete;

    // The item with this article number, or nullptr. Takes no reference: hold an CEffectRef
    // to keep the item beyond the next change of the catalogue.
    CEffect* Find(std::string_view articleNumber) const;

    // True when added (the catalogue takes a reference); false, changing nothing, when an item
    // with that article number is already present or `item` is empty.
    bool Insert(const CEffectRef& item);

    // True when an item was removed (its reference released).
    bool Remove(std::string_view articleNumber);

    void Clear() { m_items.clear(); }
    size_t Count() const { return m_items.size(); }

    // In article-number order.
    template <typename Visit>
    void ForEach(Visit&& visit) const
    {
        for (const auto& [key, item] : m_items) visit(*item);
    }

private:
    // std::string compares as unsigned bytes, which is strcmp's order for texts without
    // zero bytes (CEffect cuts its texts at the first one).
    std::map<std::string, CEffectRef, std::less<>> m_items;
};

}  // namespace flr
