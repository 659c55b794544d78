#include "editing/showdiff.h"

#include <algorithm>

#include "model/flrdoc.h"

namespace flr {

namespace {

using Link = CIgnition::Link;

constexpr uint32_t kStoredFlags = ~CIgnition::kFlagAddressConflict;

uint64_t PackTimes(const CIgnition& e)
{
    return uint64_t(e.GetTime().Value()) << 32 | e.GetInTime().Value();
}

uint64_t PackAttributes(const CIgnition& e)
{
    return uint64_t(static_cast<unsigned char>(e.GetLetter())) |
           uint64_t(e.GetAddressNumber()) << 8 | uint64_t(e.GetPosition()) << 16 |
           uint64_t(e.IsChained()) << 24 | uint64_t(e.GetIgnorePrefire()) << 25;
}

void UnpackAttributes(CIgnition& e, uint64_t v)
{
    e.SetAddress(static_cast<char>(v & 0xFF), static_cast<uint8_t>(v >> 8));
    e.SetPosition(static_cast<uint8_t>(v >> 16));
    e.SetChained((v >> 24) & 1);
    e.SetIgnorePrefire((v >> 25) & 1);
}

size_t TextCost(const OptText& text)
{
    // Short texts live inside the string object.
    return text && text->capacity() > 15 ? text->capacity() + 1 : 0;
}

bool ByAddress(const CShowSnapshot::Entry& a, const CShowSnapshot::Entry& b)
{
    return std::less<const CIgnition*>()(a.entry, b.entry);
}

}  // namespace

// ---- CShowSnapshot

CShowSnapshot::Entry CShowSnapshot::Take(CIgnition* e)
{
    Entry r;
    r.entry = e;
    for (int i = 0; i < CIgnition::kLinkCount; ++i) r.links[i] = e->GetLink(Link(i));
    r.item = e->GetItemRef();
    r.times = PackTimes(*e);
    r.flags = e->GetFlags() & kStoredFlags;
    r.attributes = PackAttributes(*e);
    r.delay = e->GetDelayText();
    r.note = e->GetNote();
    return r;
}

CShowSnapshot::CShowSnapshot(const CFLRDoc& doc) : m_anchor(doc.GetIgnitions())
{
    if (doc.GetSetup()) m_setup = std::make_unique<CFireworkSetup>(*doc.GetSetup());
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        m_entries.push_back(Take(e));
    }
    std::sort(m_entries.begin(), m_entries.end(), ByAddress);
}

const CShowSnapshot::Entry* CShowSnapshot::Find(const CIgnition* e) const
{
    Entry key;
    key.entry = const_cast<CIgnition*>(e);
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key, ByAddress);
    return it != m_entries.end() && it->entry == e ? &*it : nullptr;
}

// ---- CShowDiff

CShowDiff::CShowDiff(const CShowSnapshot& before, const CFLRDoc& doc)
    : m_anchorBefore(before.Anchor()), m_anchorAfter(doc.GetIgnitions())
{
    const CFireworkSetup* setup = doc.GetSetup();
    const CFireworkSetup* old = before.Setup();
    m_setupChanged = (setup == nullptr) != (old == nullptr) || (setup && !(*setup == *old));
    if (m_setupChanged) {
        if (old) m_setupBefore = std::make_unique<CFireworkSetup>(*old);
        if (setup) m_setupAfter = std::make_unique<CFireworkSetup>(*setup);
    }

    std::vector<bool> present(before.Entries().size(), false);
    const CShowSnapshot::Entry* first = before.Entries().data();
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        const CShowSnapshot::Entry now = CShowSnapshot::Take(e);
        if (const CShowSnapshot::Entry* was = before.Find(e)) {
            present[size_t(was - first)] = true;
            Compare(*was, now);
        } else {
            // Only its links: its values stay in the entry while the step is undone.
            m_added.push_back(e);
            CShowSnapshot::Entry detached = now;
            detached.links.fill(nullptr);
            Compare(detached, now);
        }
    }
    for (size_t i = 0; i < present.size(); ++i) {
        if (present[i]) continue;
        const CShowSnapshot::Entry& was = before.Entries()[i];
        m_removed.push_back(was.entry);
        Compare(was, CShowSnapshot::Take(was.entry));
    }
    // Kept for as long as the step: no room to grow.
    m_links.shrink_to_fit();
    m_values.shrink_to_fit();
    m_texts.shrink_to_fit();
    m_items.shrink_to_fit();
    m_added.shrink_to_fit();
    m_removed.shrink_to_fit();
}

void CShowDiff::Compare(const CShowSnapshot::Entry& a, const CShowSnapshot::Entry& b)
{
    CIgnition* e = b.entry;
    for (int i = 0; i < CIgnition::kLinkCount; ++i) {
        if (a.links[i] != b.links[i]) m_links.push_back({e, Link(i), a.links[i], b.links[i]});
    }
    if (a.times != b.times) m_values.push_back({e, Field::Times, a.times, b.times});
    if (a.flags != b.flags) m_values.push_back({e, Field::Flags, a.flags, b.flags});
    if (a.attributes != b.attributes) {
        m_values.push_back({e, Field::Attributes, a.attributes, b.attributes});
    }
    if (a.delay != b.delay) m_texts.push_back({e, false, a.delay, b.delay});
    if (a.note != b.note) m_texts.push_back({e, true, a.note, b.note});
    if (a.item != b.item) m_items.push_back({e, a.item, b.item});
}

bool CShowDiff::Empty() const
{
    return !m_setupChanged && m_links.empty() && m_values.empty() && m_texts.empty() &&
           m_items.empty() && m_anchorBefore == m_anchorAfter;
}

void CShowDiff::Apply(CFLRDoc& doc, bool forward) const
{
    // Items first: taking an item away also sets the times, which are put right below.
    for (const ItemChange& c : m_items) c.entry->SetItem(forward ? c.after : c.before);
    for (const ValueChange& c : m_values) {
        const uint64_t v = forward ? c.after : c.before;
        switch (c.field) {
        case Field::Times:
            c.entry->SetTimesRaw(CTimeCode(uint32_t(v >> 32)), CTimeCode(uint32_t(v)));
            break;
        case Field::Flags: c.entry->SetFlagsRaw(uint32_t(v)); break;
        case Field::Attributes: UnpackAttributes(*c.entry, v); break;
        }
    }
    for (const TextChange& c : m_texts) {
        const OptText& v = forward ? c.after : c.before;
        if (c.note) {
            c.entry->SetNote(v);
        } else {
            c.entry->SetDelayText(v, true);
        }
    }
    for (const LinkChange& c : m_links) c.entry->SetLinkRaw(c.link, forward ? c.after : c.before);
    if (m_setupChanged) {
        const auto& setup = forward ? m_setupAfter : m_setupBefore;
        doc.ResetSetup(setup ? std::make_unique<CFireworkSetup>(*setup) : nullptr);
    }
    CIgnition* anchor = forward ? m_anchorAfter : m_anchorBefore;
    doc.SetIgnitions(anchor);
    if (anchor) {
        CIgnition* first = anchor->FirstFiring();
        first->SetNumbers(0);
        first->CheckAddresses();
    }
}

size_t CShowDiff::Cost() const
{
    size_t bytes =
        m_links.capacity() * sizeof(LinkChange) + m_values.capacity() * sizeof(ValueChange) +
        m_texts.capacity() * sizeof(TextChange) + m_items.capacity() * sizeof(ItemChange) +
        (m_added.capacity() + m_removed.capacity()) * sizeof(CIgnition*);
    for (const TextChange& c : m_texts) bytes += TextCost(c.before) + TextCost(c.after);
    if (m_setupBefore) bytes += sizeof(CFireworkSetup);
    if (m_setupAfter) bytes += sizeof(CFireworkSetup);
    return bytes;
}

}  // namespace flr
