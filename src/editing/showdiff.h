#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/effect.h"
#include "model/fireworksetup.h"
#include "model/ignition.h"

namespace flr {

class CFLRDoc;

// Every entry of a show and its setup as they stand before an editing step, from which
// CShowDiff takes what the step changed. It lives for one step only. Numbers and conflict
// marks are left out: they follow from the orders.
class CShowSnapshot {
public:
    struct Entry {
        CIgnition* entry = nullptr;
        std::array<CIgnition*, CIgnition::kLinkCount> links{};
        CEffectRef item;
        uint64_t times = 0;
        uint64_t flags = 0;
        uint64_t attributes = 0;
        OptText delay;
        OptText note;
    };

    explicit CShowSnapshot(const CFLRDoc& doc);

    static Entry Take(CIgnition* e);
    // The entry's record, or nullptr when it was not in the show.
    const Entry* Find(const CIgnition* e) const;

    const std::vector<Entry>& Entries() const { return m_entries; }
    const CFireworkSetup* Setup() const { return m_setup.get(); }
    CIgnition* Anchor() const { return m_anchor; }

private:
    std::vector<Entry> m_entries;  // by entry address, for Find
    std::unique_ptr<CFireworkSetup> m_setup;
    CIgnition* m_anchor = nullptr;
};

// What one editing step changed in a show, field by field, so that it costs what the change
// costs: a moved entry and its neighbours' links, a text, an item. Entries the step added or
// let go of are not destroyed while the diff may put them back; the history owns them.
// User-interface thread only.
class CShowDiff {
public:
    // The changes from `before` to `doc` as it stands. Entries of `before` that are no longer
    // in the show must still be alive (the show let go of them to the history); entries made
    // and let go of within the step are not part of the diff.
    CShowDiff(const CShowSnapshot& before, const CFLRDoc& doc);

    bool Empty() const;
    // Puts the show in the state after the step (`forward`) or before it, renumbers it and
    // marks its conflicts. The observers are not told.
    void Apply(CFLRDoc& doc, bool forward) const;
    // Bytes the diff holds beyond its own size: its changes and their texts.
    size_t Cost() const;
    bool SetupChanged() const { return m_setupChanged; }

    // Entries that are in the show only after the step, and only before it.
    const std::vector<CIgnition*>& Added() const { return m_added; }
    const std::vector<CIgnition*>& Removed() const { return m_removed; }

private:
    enum class Field : uint8_t { Times, Flags, Attributes };
    struct LinkChange {
        CIgnition* entry;
        CIgnition::Link link;
        CIgnition* before;
        CIgnition* after;
    };
    struct ValueChange {
        CIgnition* entry;
        Field field;
        uint64_t before;
        uint64_t after;
    };
    struct TextChange {
        CIgnition* entry;
        bool note;
        OptText before;
        OptText after;
    };
    struct ItemChange {
        CIgnition* entry;
        CEffectRef before;
        CEffectRef after;
    };

    void Compare(const CShowSnapshot::Entry& before, const CShowSnapshot::Entry& after);

    std::vector<LinkChange> m_links;
    std::vector<ValueChange> m_values;
    std::vector<TextChange> m_texts;
    std::vector<ItemChange> m_items;
    std::vector<CIgnition*> m_added;
    std::vector<CIgnition*> m_removed;
    bool m_setupChanged = false;
    std::unique_ptr<CFireworkSetup> m_setupBefore;
    std::unique_ptr<CFireworkSetup> m_setupAfter;
    CIgnition* m_anchorBefore = nullptr;
    CIgnition* m_anchorAfter = nullptr;
};

}  // namespace flr
