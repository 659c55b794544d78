#pragma once

#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/flrdoc.h"

namespace flr {

class CShowSnapshot;

// One show's undo history: every editing step, named as its command ("Delete Ignition"), on a
// QUndoStack. A step records what it changed (CShowDiff), not the show, and keeps the
// entries it took out or put in alive while an undo or redo may need them. The show is
// unmodified exactly when the history stands where it was last saved.
//
// Steps run between Begin and End (CHistoryStep); a step inside another belongs to the outer
// one, so a dialog that edits a chain in many changes is one step. A step that changed
// nothing leaves no trace and gives the show back its modified flag. Whatever the show lets
// go of outside a step cannot be put back: the history is then emptied rather than left
// pointing at destroyed entries. User-interface thread only.
class CShowHistory : private CEntryKeeper {
public:
    static constexpr int kDefaultLimit = 100;

    // Registers itself as the show's entry keeper until it is destroyed; `doc` must outlive
    // it. `limit` steps at most (0: no limit).
    explicit CShowHistory(CFLRDoc& doc, int limit = kDefaultLimit);
    ~CShowHistory() override;
    CShowHistory(const CShowHistory&) = delete;
    CShowHistory& operator=(const CShowHistory&) = delete;

    QUndoStack& Stack() { return m_stack; }
    CFLRDoc& Doc() const { return m_doc; }

    void Begin(const std::string& name);
    void End();
    bool Recording() const { return m_snapshot != nullptr; }

    bool CanUndo() const { return m_stack.canUndo(); }
    bool CanRedo() const { return m_stack.canRedo(); }
    // The names of the steps Undo and Redo would take back or do again; empty when none.
    std::string UndoName() const { return m_stack.undoText().toStdString(); }
    std::string RedoName() const { return m_stack.redoText().toStdString(); }
    // Each puts the show back as it was (or as the step left it), tells the observers and sets
    // the modified flag from the saved position. False when there was nothing to do.
    bool Undo();
    bool Redo();
    // The show was saved (or opened) as it stands now.
    void SetClean();
    // Forgets every step; the show as it stands counts as saved when `clean`.
    void Clear(bool clean);
    // Empties the history and keeps at most `limit` steps from now on.
    void SetLimit(int limit);
    // Bytes all steps hold.
    size_t Cost() const;

    // The view's selection: read when a step begins, set after an undo (the selection before
    // the step) or a redo (what the step added, else that selection again).
    void SetSelectionHooks(std::function<std::vector<CIgnition*>()> read,
                           std::function<void(const std::vector<CIgnition*>&)> select)
    {
        m_readSelection = std::move(read);
        m_select = std::move(select);
    }

private:
    class CCommand;
    friend class CCommand;

    bool Keep(CIgnition* entry) override;
    // After an undo or redo: the observers, the modified flag, the selection.
    void Applied(bool setupChanged, const std::vector<CIgnition*>& selection);

    CFLRDoc& m_doc;
    QUndoStack m_stack;
    int m_depth = 0;
    bool m_applying = false;
    std::unique_ptr<CShowSnapshot> m_snapshot;
    std::string m_name;
    bool m_modifiedBefore = false;
    std::vector<CIgnition*> m_selectionBefore;
    std::vector<CIgnition*> m_letGo;
    std::function<std::vector<CIgnition*>()> m_readSelection;
    std::function<void(const std::vector<CIgnition*>&)> m_select;
};

// One editing step for the lifetime of the object; nothing without a history.
class CHistoryStep {
public:
    CHistoryStep(CShowHistory* history, const std::string& name) : m_history(history)
    {
        if (m_history) m_history->Begin(name);
    }
    ~CHistoryStep()
    {
        if (m_history) m_history->End();
    }
    CHistoryStep(const CHistoryStep&) = delete;
    CHistoryStep& operator=(const CHistoryStep&) = delete;

private:
    CShowHistory* m_history;
};

}  // namespace flr
