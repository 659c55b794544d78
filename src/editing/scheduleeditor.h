#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/commandids.h"
#include "model/effect.h"

namespace flr {

class CFLRDoc;
class CFireworkSetup;
class CIgnition;
class CShowHistory;

// The schedule's editing commands, without windows: what the schedule view runs on the
// selected rows. Questions and beeps go through the prompt layer; every command that changes
// the show finishes the same way (resort, renumber, conflict check, document notified).
// The entries passed in must belong to the document. User-interface thread only.
class CScheduleEditor {
public:
    explicit CScheduleEditor(CFLRDoc& doc);

    CFLRDoc& Doc() const { return m_doc; }
    int Fps() const;

    // The show's undo history (not owned; nullptr: commands are not recorded). Each command
    // below is one step of it, named as its menu entry.
    void SetHistory(CShowHistory* history) { m_history = history; }
    CShowHistory* History() const { return m_history; }

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
    CIgnition* AddIgnition(int row, CEffectRef item, const std::string& timeText);

    // Asks (unless `confirm` is false: Cut, which can be undone), then destroys the selected
    // entries (a chain head with its chain). False when nothing was selected or the user said
    // No.
    bool DeleteIgnitions(const std::vector<CIgnition*>& selected, bool confirm = true);

    // Copies each selected entry right behind itself.
    bool Duplicate(const std::vector<CIgnition*>& selected);

    // What the item chooser's OK leads to: the questions of Select Item, then the item on the
    // entries. An item whose prefire does not fit beeps and the previous item is put back.
    bool ApplyChosenItem(const std::vector<CIgnition*>& selected, const CEffectRef& item);

    // An item dropped on an entry (replace mode). On a prefire failure it beeps and keeps the
    // new item.
    bool ReplaceItem(CIgnition* entry, const CEffectRef& item);

    bool RemoveItems(const std::vector<CIgnition*>& selected);
    bool ToggleIgnorePrefire(const std::vector<CIgnition*>& selected);
    // Destroys every chained effect behind the head of `entry`'s chain.
    bool RemoveChain(CIgnition* entry);

    // ---- Texts typed into the list's cells. Each returns whether the show changed (then it
    // has finished as every command does); refusals beep and change nothing.

    // Size, Art No and Name: the item the cell's text named (nullptr when the database has
    // none: exclamation beep). Put on the entry as Select Item puts it, unless it is already
    // the entry's item.
    bool ApplyCellItem(CIgnition* entry, const CEffectRef& item);
    bool ApplyNote(CIgnition* entry, const std::string& text);
    // Only for an entry without a chain predecessor: the delay, then this and every later
    // entry re-timed from their delays. A chained effect ignores an unchanged or empty text
    // and beeps at any other.
    bool ApplyDelay(CIgnition* entry, const std::string& text);
    // A time code "HH:MM:SS:FF"; the entry moves to its place and its chain follows it.
    bool ApplyTime(CIgnition* entry, const std::string& text);
    // The In Time; the Time is it plus the item's prefire where prefire applies.
    bool ApplyInTime(CIgnition* entry, const std::string& text);
    // "A 5" or "A05"; bank letter 'A'..'Z', number 1..32. A chained effect beeps.
    bool ApplyAddress(CIgnition* entry, const std::string& text);
    // "1".."6": on the entry alone, or on its whole chain when it is in one.
    bool ApplyPosition(CIgnition* entry, const std::string& text);

    // A row dragged inside the list: `entry` (one without a chain predecessor) goes to `row`
    // of Rows() (the row count for the end); its own row and the next one do nothing. It
    // takes the Time of the row now before it (at the top, of the row now after it), and its
    // chain follows. False when nothing moved.
    bool MoveRow(CIgnition* entry, int row);

    // The Setup command's OK: `setup` becomes the show's (a new one every view hears of with
    // kHintSetup); a changed frame rate re-times the whole show from its delays.
    void ApplySetup(std::unique_ptr<CFireworkSetup> setup);

    // Resort, renumber from the first entry, make it the document's anchor, check conflicts,
    // notify the document.
    void Finish();

    // Enabled/checked/text rules of the commands this class carries out.
    CommandState State(int commandId, const std::vector<CIgnition*>& selected,
                       bool listHasFocus) const;

private:
    // Puts `item` on `entry` and re-derives its In Time. False on a prefire failure (after a
    // beep); the previous item goes back when `keepOldOnFailure`.
    bool PutItem(CIgnition* entry, const CEffectRef& item, bool keepOldOnFailure);
    bool RetimeEntry(CIgnition* entry);
    void Place(CIgnition* entry, CIgnition* after);
    // A chained effect's refusal of a Delay, Time or In Time text: true when `entry` is one
    // (beeping unless the text is empty or `current`).
    bool RefusedOnChained(const CIgnition* entry, const std::string& text,
                          const std::string& current);
    // The Time of `entry` from a time-code text, then its place, delays and chain.
    bool SetTimeAndPlace(CIgnition* entry, const std::string& timeText);
    // Moves `entry` within the schedule order to its place by Time (behind equal Times).
    static void Reposition(CIgnition* entry);

    CFLRDoc& m_doc;
    CShowHistory* m_history = nullptr;
    bool m_prefireOff = true;
    bool m_showChained = true;
};

}  // namespace flr
