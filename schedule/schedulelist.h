#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <vector>

namespace flr {

class CIgnition;
class ScheduleEditor;

// The schedule list's rows: the entries that are shown, in schedule order. Cell texts are
// made on demand from the entries; only the row-to-entry mapping is kept.
class ScheduleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ScheduleModel(ScheduleEditor& editor, QObject* parent = nullptr);

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
    ScheduleEditor& m_editor;
    std::vector<CIgnition*> m_rows;
};

// The firing schedule as a report-style list: full-row selection, grid lines, twelve columns.
class CScheduleList : public QTableView {
    Q_OBJECT
public:
    explicit CScheduleList(ScheduleEditor& editor, QWidget* parent = nullptr);

    ScheduleModel* Model() const { return m_model; }
    void Refresh();
    void SetPrefireOff(bool prefireOff);
    void SetShowChained(bool showChained);
    // The selected rows' entries, in row order.
    std::vector<CIgnition*> Selected() const;
    void SelectEntry(const CIgnition* entry);

signals:
    void ContextMenuRequested(const QPoint& globalPos);
    // An item from the database bar was dropped: a new entry at `row` (the row count for the
    // end), or, with `replace`, a new item for the entry at `row` (-1: none under the pointer).
    void ItemDropped(int row, const QByteArray& articleNumber, bool replace);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FitColumns();

    ScheduleEditor& m_editor;
    ScheduleModel* m_model;
    bool m_ctrlReleased = false;  // during an item drag
};

}  // namespace flr
