// The operations that keep a show's two orders and its chains, number the ignition points,
// mark address conflicts and derive times and delays.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <list>
#include <map>
#include <vector>

#include "model/ignition.h"

namespace flr {

namespace {

constexpr const char* kZeroTime = "00:00:00:00";

// Bank letters compare as bytes.
int AddressKey(const CIgnition& e)
{
    return static_cast<unsigned char>(e.GetLetter()) << 8 | e.GetAddressNumber();
}

// The ignition-point order's key: In Time, then address.
uint64_t FiringKey(const CIgnition& e)
{
    return uint64_t(e.GetInTime().Value()) << 16 | uint64_t(AddressKey(e));
}

}  // namespace

// ---- Link primitives

void CIgnition::UnlinkFiring()
{
    if (m_prevFiring) m_prevFiring->m_nextFiring = m_nextFiring;
    if (m_nextFiring) m_nextFiring->m_prevFiring = m_prevFiring;
    m_prevFiring = m_nextFiring = nullptr;
}

void CIgnition::UnlinkSchedule()
{
    if (m_prevSchedule) m_prevSchedule->m_nextSchedule = m_nextSchedule;
    if (m_nextSchedule) m_nextSchedule->m_prevSchedule = m_prevSchedule;
    m_prevSchedule = m_nextSchedule = nullptr;
}

void CIgnition::InsertFiringAfter(CIgnition* previous)
{
    m_prevFiring = previous;
    m_nextFiring = previous->m_nextFiring;
    if (m_nextFiring) m_nextFiring->m_prevFiring = this;
    previous->m_nextFiring = this;
}

void CIgnition::InsertFiringBefore(CIgnition* next)
{
    m_nextFiring = next;
    m_prevFiring = next->m_prevFiring;
    if (m_prevFiring) m_prevFiring->m_nextFiring = this;
    next->m_prevFiring = this;
}

void CIgnition::SwapWithNextFiring()
{
    CIgnition* b = m_nextFiring;
    CIgnition* p = m_prevFiring;
    CIgnition* n = b->m_nextFiring;
    if (p) p->m_nextFiring = b;
    b->m_prevFiring = p;
    b->m_nextFiring = this;
    m_prevFiring = b;
    m_nextFiring = n;
    if (n) n->m_prevFiring = this;
}

bool CIgnition::FiresBefore(const CIgnition& other) const
{
    return m_inTime == other.m_inTime && AddressKey(*this) < AddressKey(other);
}

// ---- Numbering

void CIgnition::SetNumbers(int32_t number)
{
    // A loop, not recursion: a show may hold a hundred thousand entries.
    CIgnition* e = this;
    int32_t v = number;
    for (;;) {
        if (!e->m_chained || v == kNoNumber) {
            e->m_number = v;
            if (v == kNoNumber) return;
        }
        CIgnition* s = e->m_nextFiring;
        if (!s) return;
        int32_t next;
        if (s->m_letter == e->m_letter && s->m_addressNumber == e->m_addressNumber &&
            s->m_inTime == e->m_inTime) {
            next = v;
        } else {
            next = e->m_chained ? v : v + 1;
        }
        e = s;
        v = next;
    }
}

// ---- Ordering

bool CIgnition::Resort(bool all, bool renumber)
{
    if (all) {
        // Resorting entry by entry moves none past another of the same In Time and address,
        // so the result is the stable sort by In Time and address; sorting gives it without
        // the quadratic walks a show whose In Times fall while its Times rise would cost.
        std::vector<CIgnition*> order;
        for (CIgnition* e = FirstFiring(); e; e = e->m_nextFiring) order.push_back(e);
        const auto before = [](const CIgnition* a, const CIgnition* b) {
            return FiringKey(*a) < FiringKey(*b);
        };
        const bool moved = !std::is_sorted(order.begin(), order.end(), before);
        if (moved) {
            std::stable_sort(order.begin(), order.end(), before);
            LinkFiringOrder(order);
        }
        if (renumber) order.front()->SetNumbers(0);
        return moved;
    }

    bool moved = false;
    CIgnition* p = m_prevFiring;
    CIgnition* n = m_nextFiring;
    if (p && p->m_inTime > m_inTime) {
        UnlinkFiring();
        CIgnition* q = p;
        while (q->m_prevFiring && q->m_prevFiring->m_inTime > m_inTime) q = q->m_prevFiring;
        InsertFiringBefore(q);  // behind the first entry that is not later, or at the front
        moved = true;
    } else if (n && n->m_inTime < m_inTime) {
        UnlinkFiring();
        CIgnition* q = n;
        while (q->m_nextFiring && q->m_nextFiring->m_inTime < m_inTime) q = q->m_nextFiring;
        InsertFiringAfter(q);
        moved = true;
    } else {
        // Completes the provisional link that LinkAfter leaves.
        if (p) p->m_nextFiring = this;
        if (n) n->m_prevFiring = this;
    }

    bool swapped = false;
    while (m_prevFiring && FiresBefore(*m_prevFiring)) {
        m_prevFiring->SwapWithNextFiring();
        swapped = true;
    }
    if (!swapped) {
        while (m_nextFiring && m_nextFiring->FiresBefore(*this)) {
            SwapWithNextFiring();
            swapped = true;
        }
    }

    if (renumber) FirstFiring()->SetNumbers(0);
    return moved || swapped;
}

// ---- Address conflicts

void CIgnition::CheckAddresses()
{
    constexpr int kSlots = kBankCount * kAddressesPerBank;
    std::array<CTimeCode, kSlots> stored;
    std::bitset<kSlots> used;
    for (CIgnition* e = FirstFiring(); e; e = e->m_nextFiring) {
        e->m_flags &= ~kFlagAddressConflict;
        if (e->m_addressNumber == 0) continue;
        const int bank = static_cast<unsigned char>(e->m_letter) - 'A';
        const int number = e->m_addressNumber;
        // Addresses the hardware does not have are typed in by hand; they cannot be checked
        // against the table and must never index outside it.
        if (bank < 0 || bank >= kBankCount || number > kAddressesPerBank) continue;
        const int slot = bank * kAddressesPerBank + (number - 1);
        if (!used[slot]) {
            used[slot] = true;
            stored[slot] = e->m_inTime;
        } else if (stored[slot] != e->m_inTime) {
            e->m_flags |= kFlagAddressConflict;
        }
    }
}

// ---- Timing

bool CIgnition::SetTime(const TimeCodeParts& time, const TimingOptions& options)
{
    const auto [prefireOff, fps, propagate] = options;
    const bool apply = !m_ignorePrefire && !prefireOff;
    const CTimeCode old = m_time;
    m_time = CTimeCode::FromParts(time);

    bool prefireError = false;
    if (apply && m_item) {
        const CTimeCode r = SubtractPrefire(m_time, m_item->GetPrefire(), fps);
        if (!r.IsValid()) {
            m_inTime = CTimeCode();
            m_flags |= kFlagPrefireError;
            prefireError = true;
        } else {
            m_inTime = r;
            m_flags &= ~kFlagPrefireError;
        }
    } else {
        m_inTime = m_time;
        m_flags &= ~kFlagPrefireError;
    }

    if (propagate) {
        UpdateDelay(fps);
        if (CIgnition* s = m_nextSchedule) {
            if (s->m_time < m_time) {
                // The show's own prefire setting, not this entry's ignore flag: later entries
                // keep their own prefire.
                s->RetimeFromDelays(fps, prefireOff);
            } else {
                s->UpdateDelay(fps);
            }
        }
    }

    if (apply) return !prefireError;
    return m_time != old;
}

bool CIgnition::SetTimeText(std::string_view text, const TimingOptions& options)
{
    const std::optional<TimeCodeParts> parts = ParseTimeCode(text);
    if (!parts) return false;
    return SetTime(*parts, options);
}

void CIgnition::UpdateDelay(int fps)
{
    if (m_chainPrev) {
        SetDelayText(
            DifferenceText(FormatTimeCode(m_chainPrev->m_inTime), FormatTimeCode(m_inTime), fps),
            true);
        return;
    }
    const CIgnition* previous = PreviousPrimary();
    const std::string base = previous ? FormatTimeCode(previous->m_time) : kZeroTime;
    SetDelayText(DifferenceText(base, FormatTimeCode(m_time), fps), false);
}

std::string CIgnition::TimeFromDelay(int fps, bool prefireOff) const
{
    const std::string delay =
        FormatTimeCodeParts(DelayToParts(m_delayText.value_or(std::string()), fps));
    if (m_chainPrev) {
        // A chained effect fires its delay after its predecessor fires. Its Time lies the
        // item's prefire later, taken off exactly as SetTime subtracts it, so that the In Time
        // lands on the delay and does not creep by a frame with every re-timing. With prefire
        // off for the show the In Time is the Time.
        std::string t = AddTimeCodeTexts(FormatTimeCode(m_chainPrev->m_inTime), delay, fps);
        const CEffect* item = m_item.get();
        if (item && !m_ignorePrefire && !prefireOff && item->GetPrefire() > 0) {
            t = AddTimeCodeTexts(PrefireToTimeCodeText(item->GetPrefire(), fps), t, fps);
        }
        return t;
    }
    // A primary effect is seen its delay after the previous primary effect.
    const CIgnition* previous = PreviousPrimary();
    return AddTimeCodeTexts(previous ? FormatTimeCode(previous->m_time) : kZeroTime, delay, fps);
}

bool CIgnition::RetimeFromDelays(int fps, bool prefireOff)
{
    bool ok = true;
    CIgnition* e = this;
    while (e) {
        const bool hadError = e->HasPrefireError();
        e->SetTimeText(e->TimeFromDelay(fps, prefireOff), {.prefireOff = prefireOff, .fps = fps});
        // A failure is one this re-timing caused, or one on the entry the user edited.
        if (e->HasPrefireError() && (!hadError || e == this)) ok = false;

        CIgnition* s = e->m_nextSchedule;
        while (e->m_prevSchedule && e->m_prevSchedule->m_time > e->m_time) {
            e->MoveBefore(e->m_prevSchedule, false);
        }
        e = s;
    }
    return ok;
}

void CIgnition::RetimeChainTimes(int fps, bool prefireOff)
{
    for (CIgnition* c = ChainHead()->m_chainNext; c; c = c->m_chainNext) {
        c->SetTimeText(c->TimeFromDelay(fps, prefireOff), {.prefireOff = prefireOff, .fps = fps});
    }
}

bool CIgnition::SortSchedule(CIgnition* any)
{
    std::vector<CIgnition*> order;
    for (CIgnition* e = any->FirstSchedule(); e; e = e->m_nextSchedule) order.push_back(e);
    const auto earlier = [](const CIgnition* a, const CIgnition* b) {
        return a->m_time < b->m_time;
    };
    if (std::is_sorted(order.begin(), order.end(), earlier)) return false;
    std::stable_sort(order.begin(), order.end(), earlier);
    for (size_t i = 0; i < order.size(); ++i) {
        order[i]->m_prevSchedule = i > 0 ? order[i - 1] : nullptr;
        order[i]->m_nextSchedule = i + 1 < order.size() ? order[i + 1] : nullptr;
    }
    return true;
}

void CIgnition::RetimeChain(int fps, bool prefireOff)
{
    size_t unlimited = SIZE_MAX;
    RetimeChain(fps, prefireOff, unlimited);
}

bool CIgnition::RetimeChain(int fps, bool prefireOff, size_t& stepBudget)
{
    // Only the schedule order is walked: every caller resorts the ignition-point order once
    // afterwards, and resorting each effect at every step of its walk was cubic.
    bool placed = true;
    for (CIgnition* c = ChainHead()->m_chainNext; c; c = c->m_chainNext) {
        c->SetTimeText(c->TimeFromDelay(fps, prefireOff), {.prefireOff = prefireOff, .fps = fps});
        if (!placed) continue;
        const CTimeCode t = c->m_time;
        if (CIgnition* q = c->m_prevSchedule; q && q->m_time > t) {
            // Behind the nearest earlier entry that is not later.
            while (q->m_prevSchedule && q->m_prevSchedule->m_time > t && stepBudget > 0) {
                q = q->m_prevSchedule;
                --stepBudget;
            }
            if (stepBudget == 0) {
                placed = false;
                continue;
            }
            c->UnlinkSchedule();
            c->m_nextSchedule = q;
            c->m_prevSchedule = q->m_prevSchedule;
            if (c->m_prevSchedule) c->m_prevSchedule->m_nextSchedule = c;
            q->m_prevSchedule = c;
        } else if (CIgnition* n = c->m_nextSchedule; n && n->m_time < t) {
            // Behind the last later entry that is earlier.
            while (n->m_nextSchedule && n->m_nextSchedule->m_time < t && stepBudget > 0) {
                n = n->m_nextSchedule;
                --stepBudget;
            }
            if (stepBudget == 0) {
                placed = false;
                continue;
            }
            c->UnlinkSchedule();
            c->LinkScheduleAfter(n);
        }
    }
    return placed;
}

// ---- Linking

void CIgnition::LinkFiringOrder(const std::vector<CIgnition*>& order)
{
    for (size_t i = 0; i < order.size(); ++i) {
        order[i]->m_prevFiring = i > 0 ? order[i - 1] : nullptr;
        order[i]->m_nextFiring = i + 1 < order.size() ? order[i + 1] : nullptr;
    }
}

void CIgnition::LinkInReadingOrder(const std::vector<CIgnition*>& entries)
{
    // Each LinkAfter sorts the entry in from its predecessor's place; among entries of the
    // same In Time and address it lands first when that predecessor sorts before them, last
    // when it sorts after them, and right behind it when it is one of them. Those groups in
    // key order are the order the links would leave.
    using Group = std::list<CIgnition*>;
    std::map<uint64_t, Group> groups;
    std::vector<Group::iterator> places;
    places.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        CIgnition* e = entries[i];
        const uint64_t key = FiringKey(*e);
        Group& group = groups[key];
        Group::iterator at = group.end();
        if (i > 0) {
            const uint64_t previousKey = FiringKey(*entries[i - 1]);
            if (previousKey < key) {
                at = group.begin();
            } else if (previousKey == key) {
                at = std::next(places[i - 1]);
            }
        }
        places.push_back(group.insert(at, e));
    }
    std::vector<CIgnition*> order;
    order.reserve(entries.size());
    for (const auto& [key, group] : groups) order.insert(order.end(), group.begin(), group.end());
    LinkFiringOrder(order);
}

void CIgnition::LinkScheduleAfter(CIgnition* previous)
{
    m_prevSchedule = previous;
    m_nextSchedule = previous ? previous->m_nextSchedule : nullptr;
    if (m_nextSchedule) m_nextSchedule->m_prevSchedule = this;
    if (previous) previous->m_nextSchedule = this;
}

void CIgnition::LinkChain(const std::vector<CIgnition*>& chain)
{
    for (size_t i = 0; i < chain.size(); ++i) {
        chain[i]->m_chainPrev = i > 0 ? chain[i - 1] : nullptr;
        chain[i]->m_chainNext = i + 1 < chain.size() ? chain[i + 1] : nullptr;
        if (i > 0) {
            chain[i]->m_chained = true;
            chain[i]->m_number = kNoNumber;
        }
    }
}

void CIgnition::LinkAfter(CIgnition* previous, bool renumber)
{
    if (previous == this) return;
    if (m_prevFiring || m_nextFiring || m_prevSchedule || m_nextSchedule) {
        UnlinkFiring();
        UnlinkSchedule();
    }
    if (previous) {
        m_prevSchedule = previous;
        m_nextSchedule = previous->m_nextSchedule;
        if (m_nextSchedule) m_nextSchedule->m_prevSchedule = this;
        previous->m_nextSchedule = this;
        // Provisional: only this entry's own links; Resort completes or replaces them.
        m_prevFiring = previous;
        m_nextFiring = previous->m_nextFiring;
    }
    Resort(false, renumber);
}

void CIgnition::MoveBefore(CIgnition* next, bool renumber)
{
    if (!next || next == this || next == m_nextSchedule) {
        Resort(false, renumber);
        return;
    }
    UnlinkSchedule();
    m_nextSchedule = next;
    m_prevSchedule = next->m_prevSchedule;
    if (m_prevSchedule) m_prevSchedule->m_nextSchedule = this;
    next->m_prevSchedule = this;
    Resort(false, renumber);
}

bool CIgnition::AddChained(CIgnition* effect)
{
    if (!effect || effect == this || effect->m_chainPrev || effect->m_chainNext) return false;
    const CTimeCode t = effect->m_inTime;
    CIgnition* after = nullptr;
    if (m_inTime <= t) {
        after = this;
        while (after->m_chainNext && after->m_chainNext->m_inTime < t) after = after->m_chainNext;
    } else {
        after = m_chainPrev;
        while (after && after->m_inTime > t) after = after->m_chainPrev;
        if (!after) return false;  // it would come before the primary entry
    }
    effect->m_chainPrev = after;
    effect->m_chainNext = after->m_chainNext;
    if (effect->m_chainNext) effect->m_chainNext->m_chainPrev = effect;
    after->m_chainNext = effect;
    effect->m_chained = true;
    effect->m_number = kNoNumber;
    return true;
}

bool CIgnition::LinkChainedAfter(CIgnition* effect)
{
    if (!effect || effect == this || effect->m_chainPrev || effect->m_chainNext) return false;
    effect->m_chainPrev = this;
    effect->m_chainNext = m_chainNext;
    if (m_chainNext) m_chainNext->m_chainPrev = effect;
    m_chainNext = effect;
    effect->m_chained = true;
    effect->m_number = kNoNumber;
    return true;
}

// ---- Raw state

CIgnition* CIgnition::GetLink(Link which) const
{
    switch (which) {
    case Link::PrevFiring: return m_prevFiring;
    case Link::NextFiring: return m_nextFiring;
    case Link::PrevSchedule: return m_prevSchedule;
    case Link::NextSchedule: return m_nextSchedule;
    case Link::ChainPrev: return m_chainPrev;
    case Link::ChainNext: return m_chainNext;
    }
    return nullptr;
}

void CIgnition::SetLinkRaw(Link which, CIgnition* entry)
{
    switch (which) {
    case Link::PrevFiring: m_prevFiring = entry; break;
    case Link::NextFiring: m_nextFiring = entry; break;
    case Link::PrevSchedule: m_prevSchedule = entry; break;
    case Link::NextSchedule: m_nextSchedule = entry; break;
    case Link::ChainPrev: m_chainPrev = entry; break;
    case Link::ChainNext: m_chainNext = entry; break;
    }
}

void CIgnition::Detach()
{
    UnlinkFiring();
    UnlinkSchedule();
    if (m_chainPrev) m_chainPrev->m_chainNext = m_chainNext;
    if (m_chainNext) m_chainNext->m_chainPrev = m_chainPrev;
    m_chainPrev = m_chainNext = nullptr;
}

// ---- Searching

CIgnition* CIgnition::FindByNumber(int32_t number)
{
    if (m_number == number) return this;
    const bool forwardsOnly = m_number != kNoNumber && number > m_number;
    const bool backwardsOnly = m_number != kNoNumber && number < m_number;
    if (!forwardsOnly) {
        for (CIgnition* e = m_prevFiring; e; e = e->m_prevFiring) {
            if (e->m_number == number) return e;
        }
    }
    if (!backwardsOnly) {
        for (CIgnition* e = m_nextFiring; e; e = e->m_nextFiring) {
            if (e->m_number == number) return e;
        }
    }
    return nullptr;
}

CIgnition* CIgnition::PreviousPrimary() const
{
    CIgnition* e = m_prevSchedule;
    while (e && e->m_chainPrev) e = e->m_prevSchedule;
    return e;
}

CIgnition* CIgnition::NextPrimary() const
{
    CIgnition* e = m_nextSchedule;
    while (e && e->m_chainPrev) e = e->m_nextSchedule;
    return e;
}

}  // namespace flr
