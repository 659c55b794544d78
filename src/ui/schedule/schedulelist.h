#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <vector>

namespace flr {

class CDatabase;
class CIgnition;
class CScheduleEditor;

// Drag data of a row moved inside one schedule list: the row, as decimal text. Distinct from
// the database bar's items (kItemMimeType), which add or replace instead.
inline constexpr const char* kScheduleRowMimeType = "application/x-flr-schedule-row";

// The schedule list's rows: the entries that are shown, in schedule order. Cell texts are
// made on demand from the entries; only the row-to-entry mapping is kept.
class CScheduleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CScheduleModel(CScheduleEditor& editor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rebuilds the rows from the document.
    void Refresh();
    // Repaints every cell (times, numbers, marks changed; rows did not).
    void Redraw();
    CIgnition* EntryAt(int row) const;
    const std::vector<CIgnition*>& Rows() const { return m_rows; }
    int RowOf(const CIgnition* entry) const;

private:
    CScheduleEditor& m_editor;
    std::vector<CIgnition*> m_rows;
};

// The firing schedule as a report-style list: full-row selection, grid lines, twelve columns.
class CScheduleList : public QTableView {
    Q_OBJECT
public:
    explicit CScheduleList(CScheduleEditor& editor, QWidget* parent = nullptr);

    CScheduleModel* Model() const { return m_model; }
    void Refresh();
    void SetPrefireOff(bool prefireOff);
    void SetShowChained(bool showChained);
    // The selected rows' entries, in row order.
    std::vector<CIgnition*> Selected() const;
    void SelectEntry(const CIgnition* entry);

    // The product database the Size, Art No and Name drop-downs read (not owned; nullptr:
    // those cells open no editor).
    void SetDatabase(CDatabase* database) { m_database = database; }

    // Opens the editor of cell (row, column) over it, focusing and selecting the row. False
    // when the cell is not editable (IP, Out Time, Rack; an item cell without database items).
    // `byTab` is whether Tab in the previous cell's editor led here.
    bool EditCell(int row, int column, bool byTab = false);
    // The open cell editor, or nullptr.
    QWidget* CellEditor() const { return m_cellEditor; }

signals:
    void ContextMenuRequested(const QPoint& globalPos);
    // An item from the database bar was dropped: a new entry at `row` (the row count for the
    // end), or, with `replace`, a new item for the entry at `row` (-1: none under the pointer).
    void ItemDropped(int row, const QByteArray& articleNumber, bool replace);
    // A cell editor ended with `text` for the entry now at `row` (not sent when cancelled).
    void CellEdited(int row, int column, const QString& text);
    // A row dragged inside the list was dropped before `toRow` (the row count for the end).
    void RowDropped(int fromRow, int toRow);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FitColumns();
    void StartRowDrag(int row);
    void OnEditEnded(const CIgnition* entry, int column, const QString& text, bool hasText);
    void OnNextCell(const CIgnition* entry, int column);

    CScheduleEditor& m_editor;
    CScheduleModel* m_model;
    bool m_ctrlReleased = false;  // during an item drag
    CDatabase* m_database = nullptr;
    QPointer<QWidget> m_cellEditor;
    // The press that may become a click on the focused, selected row (an edit) or a drag.
    QPoint m_pressPos;
    QModelIndex m_pressIndex;
    bool m_editOnRelease = false;
    int m_dragRow = -1;
};

}  // namespace flr
