#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/effect.h"
#include "model/fireworksetup.h"
#include "model/timecode.h"

namespace flr {

// How CIgnition::SetTime applies a new Time: prefire off for the whole show, the show's frame
// rate, and whether the delays and later entries follow.
struct TimingOptions {
    bool prefireOff = false;
    int fps = 25;
    bool propagate = false;
};

class CRack;

// One entry of a show's firing schedule: an ignition point, or an effect chained behind one.
//
// Every entry stands in two intrusive doubly linked orders at once: the schedule order (by
// Time) and the ignition-point order (by In Time, then bank letter, then address number),
// and optionally in a chain (a primary entry followed by its chained effects, by In Time).
// The links do not own; the show owns its entries, and a primary entry owns its chain.
//
// User-interface thread only; nothing here locks.
class CIgnition {
public:
    static constexpr uint32_t kFlagAddressConflict = 1u << 0;
    static constexpr uint32_t kFlagPrefireError = 1u << 1;
    static constexpr int32_t kNoNumber = -1;

    // The conflict table of CheckAddresses covers banks 'A'..'Y' and numbers 1..32.
    static constexpr int kBankCount = 25;
    static constexpr int kAddressesPerBank = 32;

    CIgnition() = default;
    CIgnition(const CIgnition&) = delete;
    CIgnition& operator=(const CIgnition&) = delete;

    // Unlinks the entry from both orders, joining its neighbours. A primary entry (one with no
    // chain predecessor) destroys every effect of its chain; a chained one is unlinked from its
    // chain. Numbers and conflict marks are left for the caller to recompute.
    virtual ~CIgnition();

    // ---- Stored values

    int32_t GetNumber() const { return m_number; }
    uint32_t GetFlags() const { return m_flags; }
    bool HasAddressConflict() const { return m_flags & kFlagAddressConflict; }
    bool HasPrefireError() const { return m_flags & kFlagPrefireError; }

    CRack* GetRack() const { return m_rack; }
    int32_t GetRackPosition() const { return m_rackPosition; }

    const OptText& GetDelayText() const { return m_delayText; }
    // Does nothing when `text` equals the current delay text, or when the entry is chained,
    // already has a delay text and `force` is false. Returns true when the text was stored.
    bool SetDelayText(const OptText& text, bool force);

    const OptText& GetNote() const { return m_note; }
    void SetNote(const OptText& text);

    CEffect* GetItem() const { return m_item.get(); }
    const CEffectRef& GetItemRef() const { return m_item; }
    // Attaches `item` (the entry keeps its own reference) and releases the previous one.
    // With no item, In Time := Time and the prefire error is cleared.
    void SetItem(CEffectRef item);

    CTimeCode GetInTime() const { return m_inTime; }
    CTimeCode GetTime() const { return m_time; }
    // Raw setters for the file reader, which sets the In Time first and the Time second. An
    // entry without item keeps both equal.
    void SetTimeRaw(CTimeCode value);
    void SetInTimeRaw(CTimeCode value);

    char GetLetter() const { return m_letter; }
    uint8_t GetAddressNumber() const { return m_addressNumber; }
    bool HasAddress() const { return m_addressNumber != 0; }
    void SetAddress(char letter, uint8_t number)
    {
        m_letter = letter;
        m_addressNumber = number;
    }
    // "A01" style, or empty for an entry without address.
    std::string AddressText() const;

    uint8_t GetPosition() const { return m_position; }
    void SetPosition(uint8_t value) { m_position = value; }

    bool IsChained() const { return m_chained; }
    void SetChained(bool value) { m_chained = value; }

    bool GetIgnorePrefire() const { return m_ignorePrefire; }
    void SetIgnorePrefire(bool value) { m_ignorePrefire = value; }

    // ---- Links (non-owning)

    CIgnition* GetPrevFiring() const { return m_prevFiring; }
    CIgnition* GetNextFiring() const { return m_nextFiring; }
    CIgnition* GetPrevSchedule() const { return m_prevSchedule; }
    CIgnition* GetNextSchedule() const { return m_nextSchedule; }
    CIgnition* GetChainPrev() const { return m_chainPrev; }
    CIgnition* GetChainNext() const { return m_chainNext; }

    // Walks to the ends of an order from any entry.
    CIgnition* FirstFiring();
    CIgnition* FirstSchedule();
    CIgnition* LastSchedule();
    // The primary entry at the head of this entry's chain (itself when it has no predecessor).
    CIgnition* ChainHead();

    // ---- Ordering, numbering and timing

    // Numbers the ignition-point order from this entry on, starting with `number`. Entries
    // that fire together (same address, same In Time) share a number; chained ones get none.
    void SetNumbers(int32_t number);

    // Restores the ignition-point order around this entry (or, with `all`, around every entry)
    // and renumbers from the first entry. True when an entry moved. `renumber` false leaves
    // the numbers to the caller, for bulk paths that number once at the end.
    bool Resort(bool all, bool renumber = true);

    // Recomputes the address-conflict mark of every entry of the show.
    void CheckAddresses();

    // Sets the Time and derives the In Time from the item's prefire unless prefire is off for
    // this entry or the show. With `propagate`, the delays of this entry and its successor
    // follow, and later entries are re-timed when this one moved past them. Returns false on
    // a prefire error (prefire longer than the Time: In Time 00:00:00:00, flag set); when
    // prefire does not apply, returns whether the Time changed.
    bool SetTime(const TimeCodeParts& time, const TimingOptions& options);
    // Reads the text with ParseTimeCode and calls SetTime; a text that is not a time code
    // changes nothing and gives false.
    bool SetTimeText(std::string_view text, const TimingOptions& options);

    // Recomputes the delay text from the times.
    void UpdateDelay(int fps);

    // Recomputes the times from the delay texts from this entry to the end of the schedule
    // order, moving entries whose Time became earlier than their predecessor's toward the
    // front. False when the re-timing put a prefire error on an entry (or this one has one).
    // The caller then renumbers, resorts and checks addresses.
    bool RetimeFromDelays(int fps, bool prefireOff);

    // Re-times only the chained effects of this entry's chain from their delays, keeping each
    // at its place in the schedule order; for a change of the show's prefire setting, after
    // which a chained effect must still fire its delay after its predecessor.
    void RetimeChain(int fps, bool prefireOff);
    // The same with at most `stepBudget` steps of walking in all (it is counted down): false
    // when the budget ran out, leaving the rest of the chain re-timed but not moved. The
    // caller then puts the schedule order in Time order with SortSchedule.
    bool RetimeChain(int fps, bool prefireOff, size_t& stepBudget);
    // The times of RetimeChain alone, for re-timing chains without moving them.
    void RetimeChainTimes(int fps, bool prefireOff);
    // Sorts the schedule order of the show `any` belongs to by Time, entries of the same Time
    // keeping their order; N log N. True when an entry moved.
    static bool SortSchedule(CIgnition* any);

    // Takes the entry out of both orders if it is linked, inserts it behind `previous` in the
    // schedule order and sorts it into the ignition-point order. With no `previous` the entry
    // stands alone (the first entry of an empty schedule).
    void LinkAfter(CIgnition* previous, bool renumber = true);

    // Bulk linking for the file reader, which links entries as they are read and would
    // otherwise walk the orders once per entry. LinkScheduleAfter links an unlinked entry
    // into the schedule order alone. LinkInReadingOrder gives the entries (already in schedule
    // order, in reading order) the ignition-point order that calling LinkAfter on each in turn
    // would give, in N log N. LinkChain links `chain` (head first) as one chain, its members
    // chained and without number. LinkFiringOrder links `order` as the ignition-point order.
    void LinkScheduleAfter(CIgnition* previous);
    static void LinkInReadingOrder(const std::vector<CIgnition*>& entries);
    static void LinkChain(const std::vector<CIgnition*>& chain);
    static void LinkFiringOrder(const std::vector<CIgnition*>& order);

    // Moves the entry in the schedule order to just before `next`, then resorts it.
    void MoveBefore(CIgnition* next, bool renumber = true);

    // Inserts `effect` (not yet in any chain) into this entry's chain by In Time and marks it
    // chained. False, leaving it outside, when it would come before the chain's primary entry.
    bool AddChained(CIgnition* effect);
    // Inserts `effect` (not yet in any chain) as this entry's chain successor, whatever its In
    // Time, and marks it chained; for copying a chain, whose times follow from the delays.
    // False, leaving it outside, when it already is in a chain.
    bool LinkChainedAfter(CIgnition* effect);

    // ---- Raw state for the edit history, which puts entries back exactly as they were: no
    // setter's rules apply and nothing follows from the change.

    enum class Link : uint8_t {
        PrevFiring,
        NextFiring,
        PrevSchedule,
        NextSchedule,
        ChainPrev,
        ChainNext
    };
    static constexpr int kLinkCount = 6;
    CIgnition* GetLink(Link which) const;
    void SetLinkRaw(Link which, CIgnition* entry);
    void SetTimesRaw(CTimeCode time, CTimeCode inTime)
    {
        m_time = time;
        m_inTime = inTime;
    }
    void SetFlagsRaw(uint32_t flags) { m_flags = flags; }
    // Takes the entry out of both orders and out of its chain (joining its neighbours) without
    // destroying it or its chained effects; all its links are then empty.
    void Detach();

    // Searches the ignition-point order from this entry for `number`; nullptr when none.
    CIgnition* FindByNumber(int32_t number);

    // The nearest earlier (later) entry in schedule order with no chain predecessor.
    CIgnition* PreviousPrimary() const;
    CIgnition* NextPrimary() const;

private:
    void UnlinkFiring();
    void UnlinkSchedule();
    void InsertFiringAfter(CIgnition* previous);  // nullptr: at the front of `first`'s order
    void InsertFiringBefore(CIgnition* next);
    void SwapWithNextFiring();
    std::string TimeFromDelay(int fps, bool prefireOff) const;
    bool FiresBefore(const CIgnition& other) const;  // same In Time, smaller address

    int32_t m_number = kNoNumber;
    uint32_t m_flags = 0;
    CRack* m_rack = nullptr;  // never set by the show itself
    int32_t m_rackPosition = -1;
    OptText m_delayText;
    OptText m_note;
    CEffectRef m_item;
    CTimeCode m_inTime;
    CTimeCode m_time;
    char m_letter = 0;
    uint8_t m_addressNumber = 0;
    uint8_t m_position = 1;
    bool m_chained = false;
    bool m_ignorePrefire = false;

    CIgnition* m_prevFiring = nullptr;
    CIgnition* m_nextFiring = nullptr;
    CIgnition* m_prevSchedule = nullptr;
    CIgnition* m_nextSchedule = nullptr;
    CIgnition* m_chainPrev = nullptr;
    CIgnition* m_chainNext = nullptr;
};

}  // namespace flr
