#include "editing/showhistory.h"

#include <algorithm>
#include <set>

#include "editing/showdiff.h"

namespace flr {

// A recorded step. Its entries out of the show belong to it: those the step took out while it
// stands done, those it put in while it stands undone.
class CShowHistory::CCommand : public QUndoCommand {
public:
    CCommand(CShowHistory& history, const std::string& name, CShowDiff diff,
             std::vector<CIgnition*> selection)
        : QUndoCommand(QString::fromStdString(name)),
          m_history(history),
          m_diff(std::move(diff)),
          m_selection(std::move(selection))
    {
    }
    ~CCommand() override
    {
        for (CIgnition* e : m_done ? m_diff.Removed() : m_diff.Added()) delete e;
    }

    void undo() override
    {
        Apply(false);
        m_history.Applied(m_diff.SetupChanged(), m_selection);
    }
    void redo() override
    {
        // Pushed after the step has run: the first redo has nothing to do.
        if (m_done) return;
        Apply(true);
        std::vector<CIgnition*> selection = m_diff.Added();
        if (selection.empty()) {
            const std::set<const CIgnition*> gone(m_diff.Removed().begin(), m_diff.Removed().end());
            for (CIgnition* e : m_selection) {
                if (!gone.count(e)) selection.push_back(e);
            }
        }
        m_history.Applied(m_diff.SetupChanged(), selection);
    }

    size_t Cost() const { return sizeof(*this) + m_diff.Cost() + m_selection.capacity() * 8; }

private:
    void Apply(bool forward)
    {
        m_diff.Apply(m_history.m_doc, forward);
        m_done = forward;
    }

    CShowHistory& m_history;
    CShowDiff m_diff;
    std::vector<CIgnition*> m_selection;
    bool m_done = true;
};

CShowHistory::CShowHistory(CFLRDoc& doc, int limit) : m_doc(doc)
{
    m_stack.setUndoLimit(std::max(0, limit));
    m_doc.SetEntryKeeper(this);
    // The stack moves its index after a command has run; the flag follows it from there.
    QObject::connect(&m_stack, &QUndoStack::indexChanged, &m_stack,
                     [this] { m_doc.SetModifiedFlag(!m_stack.isClean()); });
}

CShowHistory::~CShowHistory()
{
    m_doc.SetEntryKeeper(nullptr);
    // Whoever listens may be going too (a closing main window).
    m_stack.blockSignals(true);
    m_stack.clear();
}

void CShowHistory::Begin(const std::string& name)
{
    if (m_depth++ > 0 || m_applying) return;
    m_snapshot = std::make_unique<CShowSnapshot>(m_doc);
    m_name = name;
    m_modifiedBefore = m_doc.IsModified();
    m_selectionBefore = m_readSelection ? m_readSelection() : std::vector<CIgnition*>();
}

void CShowHistory::End()
{
    if (m_depth == 0 || --m_depth > 0 || !m_snapshot) return;
    CShowDiff diff(*m_snapshot, m_doc);
    m_snapshot.reset();
    // Entries made and let go of within the step belong to nobody else.
    const std::set<const CIgnition*> removed(diff.Removed().begin(), diff.Removed().end());
    for (CIgnition* e : m_letGo) {
        if (!removed.count(e)) delete e;
    }
    m_letGo.clear();
    if (diff.Empty()) {
        m_doc.SetModifiedFlag(m_modifiedBefore);
        return;
    }
    m_stack.push(new CCommand(*this, m_name, std::move(diff), std::move(m_selectionBefore)));
    m_selectionBefore.clear();
}

bool CShowHistory::Keep(CIgnition* entry)
{
    if (m_snapshot) {
        m_letGo.push_back(entry);
        return true;
    }
    // A change outside any step: the steps may name this entry, and it is about to go.
    Clear(false);
    return false;
}

bool CShowHistory::Undo()
{
    if (m_snapshot || !m_stack.canUndo()) return false;
    m_stack.undo();
    return true;
}

bool CShowHistory::Redo()
{
    if (m_snapshot || !m_stack.canRedo()) return false;
    m_stack.redo();
    return true;
}

void CShowHistory::Applied(bool setupChanged, const std::vector<CIgnition*>& selection)
{
    m_applying = true;
    if (setupChanged) m_doc.UpdateAllViews(CFLRDoc::kHintSetup);
    m_doc.UpdateAllViews(CFLRDoc::kHintAll);
    m_applying = false;
    if (m_select) m_select(selection);
}

void CShowHistory::SetClean()
{
    m_stack.setClean();
    m_doc.SetModifiedFlag(false);
}

void CShowHistory::Clear(bool clean)
{
    const bool modified = m_doc.IsModified();
    m_stack.clear();
    if (!clean) m_stack.resetClean();
    m_doc.SetModifiedFlag(!clean && modified);
}

void CShowHistory::SetLimit(int limit)
{
    m_stack.clear();
    m_stack.setUndoLimit(std::max(0, limit));
}

size_t CShowHistory::Cost() const
{
    size_t bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i) {
        bytes += static_cast<const CCommand*>(m_stack.command(i))->Cost();
    }
    return bytes;
}

}  // namespace flr
