#pragma once

#include <memory>
#include <vector>

#include "model/fireworksetup.h"
#include "model/ignition.h"

namespace flr {

class CFLRDoc;

// Views and other listeners of a show. Hints: kHintAll (0) after any edit, kHintSetup (136)
// after the setup changed (frame rate, length, ...).
class CFLRDocObserver {
public:
    virtual ~CFLRDocObserver() = default;
    virtual void OnDocumentUpdate(CFLRDoc& doc, int hint) = 0;
};

// Takes the entries a show lets go of instead of their being destroyed: the edit history keeps
// them so that an undo can put them back. Keep receives each entry detached (no links) and
// returns false when it does not take it, which is then destroyed.
class CEntryKeeper {
public:
    virtual ~CEntryKeeper() = default;
    virtual bool Keep(CIgnition* entry) = 0;
};

// One show: its setup and its firing schedule. Owns the setup and every entry reachable from
// the anchor; the desktop frame work (file dialogs, "save changes?") lives in the UI.
// User-interface thread only.
class CFLRDoc {
public:
    static constexpr int kHintAll = 0;
    static constexpr int kHintSetup = 136;

    CFLRDoc() = default;
    CFLRDoc(const CFLRDoc&) = delete;
    CFLRDoc& operator=(const CFLRDoc&) = delete;
    ~CFLRDoc();

    // The setup's frame rate, or 25 when the show has none yet.
    int GetFrameRate() const;

    CFireworkSetup* GetSetup() const { return m_setup.get(); }
    // Takes ownership. When `setup` differs from the current one, the current one is
    // destroyed, the show marked modified and the observers told with kHintSetup.
    void SetSetup(std::unique_ptr<CFireworkSetup> setup);
    // Replaces the setup without notifying anyone (file reading, before any view exists).
    void ResetSetup(std::unique_ptr<CFireworkSetup> setup) { m_setup = std::move(setup); }

    // Any entry of the schedule, or nullptr for an empty one.
    CIgnition* GetIgnitions() const { return m_anchor; }
    // The caller keeps the orders consistent; the document owns whatever the anchor reaches.
    void SetIgnitions(CIgnition* anchor) { m_anchor = anchor; }
    CIgnition* FirstFiring() const { return m_anchor ? m_anchor->FirstFiring() : nullptr; }
    CIgnition* FirstSchedule() const { return m_anchor ? m_anchor->FirstSchedule() : nullptr; }

    // Destroys `entry` (with its chain when it is a primary entry) and moves the anchor to a
    // surviving entry, or hands them to the entry keeper. Numbers and conflict marks are left
    // to the caller.
    void DeleteIgnition(CIgnition* entry);
    // Not owned; nullptr (the default) destroys what the show lets go of.
    void SetEntryKeeper(CEntryKeeper* keeper) { m_keeper = keeper; }
    // Destroys every entry exactly once.
    void DeleteAllIgnitions();

    // Set when the file it was read from was damaged: what followed the damage is missing, so
    // the show must not overwrite that file nor go to the hardware unchecked.
    bool IsOpenedDamaged() const { return m_openedDamaged; }
    void SetOpenedDamaged(bool damaged) { m_openedDamaged = damaged; }

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    // Marks the show modified and tells the observers with kHintAll.
    void NotifyChanged();
    void UpdateAllViews(int hint);

    void AddObserver(CFLRDocObserver* observer);
    void RemoveObserver(CFLRDocObserver* observer);

private:
    std::unique_ptr<CFireworkSetup> m_setup;
    CIgnition* m_anchor = nullptr;
    CEntryKeeper* m_keeper = nullptr;
    bool m_modified = false;
    bool m_openedDamaged = false;
    std::vector<CFLRDocObserver*> m_observers;
};

}  // namespace flr
