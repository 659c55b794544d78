#pragma once

#include <string>
#include <vector>

#include "commandids.h"
#include "effect.h"

namespace flr {

class CFLRDoc;
class CIgnition;

// The schedule's editing commands, without windows: what the schedule view runs on the
// selected rows. Questions and beeps go through the prompt layer; every command that changes
// the show finishes the same way (resort, renumber, conflict check, document notified).
// The entries passed in must belong to the document. User-interface thread only.
class ScheduleEditor {
public:
    explicit ScheduleEditor(CFLRDoc& doc);

    CFLRDoc& Doc() const { return m_doc; }
    int Fps() const;

    // The list's copy of the show's prefire-off setting. Setting it re-derives every entry's
    // In Time and marks the show modified.
    bool PrefireOff() const { return m_prefireOff; }
    void SetPrefireOff(bool prefireOff);
    bool ShowChained() const { return m_showChained; }
    void SetShowChained(bool showChained) { m_showChained = showChained; }

    // The entries that have rows, in schedule order.
    std::vector<CIgnition*> Rows() const;

    // Adds an ignition: from the menu (row -1, no item) at the time display's position
    // `timeText`; or with a dropped `item` at `row`. Returns the new entry.
    CIgnition* AddIgnition(int row, EffectRef item, const std::string& timeText);

    // Asks, then destroys the selected entries (a chain head with its chain). False when
    // nothing was selected or the user said No.
    bool DeleteIgnitions(const std::vector<CIgnition*>& selected);

    // Copies each selected entry right behind itself.
    bool Duplicate(const std::vector<CIgnition*>& selected);

    // What the item chooser's OK leads to: the questions of Select Item, then the item on the
    // entries. An item whose prefire does not fit beeps and the previous item is put back.
    bool ApplyChosenItem(const std::vector<CIgnition*>& selected, const EffectRef& item);

    // An item dropped on an entry (replace mode). On a prefire failure it beeps and keeps the
    // new item.
    bool ReplaceItem(CIgnition* entry, const EffectRef& item);

    bool RemoveItems(const std::vector<CIgnition*>& selected);
    bool ToggleIgnorePrefire(const std::vector<CIgnition*>& selected);
    // Destroys every chained effect behind the head of `entry`'s chain.
    bool RemoveChain(CIgnition* entry);

    // Resort, renumber from the first entry, make it the document's anchor, check conflicts,
    // notify the document.
    void Finish();

    // Enabled/checked/text rules of the commands this class carries out.
    CommandState State(int commandId, const std::vector<CIgnition*>& selected,
                       bool listHasFocus) const;

private:
    // Puts `item` on `entry` and re-derives its In Time. False on a prefire failure (after a
    // beep); the previous item goes back when `keepOldOnFailure`.
    bool PutItem(CIgnition* entry, const EffectRef& item, bool keepOldOnFailure);
    bool RetimeEntry(CIgnition* entry);
    void Place(CIgnition* entry, CIgnition* after);

    CFLRDoc& m_doc;
    bool m_prefireOff = true;
    bool m_showChained = true;
};

}  // namespace flr
