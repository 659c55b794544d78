#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

#include "editing/chaineditor.h"

class QCheckBox;
class QPushButton;
class QSpinBox;
class QTableView;
class QTreeWidget;

namespace flr {

class CDatabase;
class ChainListModel;
class CScheduleEditor;

// "Select chain to insert...": the rows of one chain, edited in place. Without a chain set it
// builds a template chain of new entries (taken by the caller after OK, destroyed with the
// dialog otherwise); with a chain of a show it changes the show's entries directly, whatever
// button ends it. `database` (the application's, not owned) may be nullptr: the item cells
// then open no editor.
class CSelectChainDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSelectChainDialog(CDatabase* database, QWidget* parent = nullptr);
    ~CSelectChainDialog() override;

    // Edits the chain of `entry` (a show's entry; `show` is that show's editor). When the
    // dialog has opened already the list is refilled.
    void SetChain(CScheduleEditor& show, CIgnition* entry);
    // The primary entry of the chain shown, or nullptr.
    CIgnition* Chain() const { return m_chain.Chain(); }
    // The template after OK; nullptr when a show's chain was edited.
    std::unique_ptr<CIgnition> TakeTemplate() { return m_chain.TakeTemplate(); }

    // The opening step; runs by itself when the dialog is first shown.
    void InitDialog();

    // Opens the in-place editor of a cell (Size, Art No, Name or Delay); false when that cell
    // has none.
    bool EditCell(int row, int column);
    QWidget* CellEditor() const { return m_cellEditor; }

    const CChainEditor& Editor() const { return m_chain; }
    QTableView* List() const { return m_list; }
    QSpinBox* RowCount() const { return m_rowCount; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill();
    void OnRowCountText(const QString& text);
    void OnEditEnded(int row, int column, const QString& text, bool hasText);
    void FitColumns();

    CDatabase* m_database;
    CChainEditor m_chain;
    CScheduleEditor* m_show = nullptr;
    CIgnition* m_entry = nullptr;
    bool m_initialised = false;
    bool m_editOnRelease = false;
    ChainListModel* m_model = nullptr;
    QTreeWidget* m_savedChains = nullptr;
    QPushButton* m_save = nullptr;
    QSpinBox* m_rowCount = nullptr;
    QCheckBox* m_sameEffect = nullptr;
    QCheckBox* m_sameDelay = nullptr;
    QTableView* m_list = nullptr;
    QPointer<QWidget> m_cellEditor;
};

}  // namespace flr
