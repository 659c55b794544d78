#include "schedulelist.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <algorithm>

#include "flrdoc.h"
#include "itemdrag.h"
#include "schedulecells.h"
#include "scheduleeditor.h"
#include "textcodec.h"

namespace flr {

ScheduleModel::ScheduleModel(ScheduleEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), m_editor(editor)
{
    m_rows = m_editor.Rows();
}

int ScheduleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScheduleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kScheduleColumnCount;
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto column = static_cast<ScheduleColumn>(index.column());
    const CIgnition* e = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(
            Cp1252ToUtf8(ScheduleCellText(*e, column, m_editor.Fps())));
    case Qt::TextAlignmentRole:
        return ColumnInfo(column).align == ScheduleColumnInfo::Align::Centre
                   ? int(Qt::AlignCenter)
                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // Conflicting addresses and prefire errors stand out in red.
        if ((column == ScheduleColumn::Addr && e->HasAddressConflict()) ||
            (column == ScheduleColumn::InTime && e->HasPrefireError())) {
            return QColor(Qt::red);
        }
        if (e->GetChainPrev()) return QColor(Qt::darkGray);
        return {};
    case Qt::ToolTipRole:
        if (column == ScheduleColumn::Addr && e->HasAddressConflict()) {
            return tr("This address fires at another In Time too");
        }
        if (column == ScheduleColumn::InTime && e->HasPrefireError()) {
            return tr("The prefire is longer than the Time");
        }
        return {};
    default: return {};
    }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kScheduleColumnCount) {
        return {};
    }
    const ScheduleColumnInfo& info = ColumnInfo(static_cast<ScheduleColumn>(section));
    if (role == Qt::DisplayRole) return QString::fromLatin1(info.heading);
    if (role == Qt::TextAlignmentRole) {
        return info.align == ScheduleColumnInfo::Align::Centre ? int(Qt::AlignCenter)
                                                               : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void ScheduleModel::Refresh()
{
    beginResetModel();
    m_rows = m_editor.Rows();
    endResetModel();
}

void ScheduleModel::Redraw()
{
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kScheduleColumnCount - 1));
    }
}

CIgnition* ScheduleModel::EntryAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[row] : nullptr;
}

int ScheduleModel::RowOf(const CIgnition* entry) const
{
    const auto it = std::find(m_rows.begin(), m_rows.end(), entry);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

CScheduleList::CScheduleList(ScheduleEditor& editor, QWidget* parent)
    : QTableView(parent), m_editor(editor), m_model(new ScheduleModel(editor, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    // The widths are those of the classic 8-point dialog font, in which a time code just fits
    // its 75 pixels; a wider desktop font widens every column alike, so the same texts fit.
    const int timeWidth = fontMetrics().horizontalAdvance(QStringLiteral("00:00:00:00")) + 12;
    const double scale = std::max(1.0, timeWidth / 75.0);
    for (int c = 0; c < kScheduleColumnCount; ++c) {
        setColumnWidth(c, int(ColumnInfo(static_cast<ScheduleColumn>(c)).width * scale + 0.5));
    }
    // Items are dropped here from the database bar.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void CScheduleList::Refresh()
{
    const std::vector<CIgnition*> selected = Selected();
    m_model->Refresh();
    for (CIgnition* e : selected) {
        const int row = m_model->RowOf(e);
        if (row >= 0) selectionModel()->select(m_model->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    FitColumns();
}

void CScheduleList::SetPrefireOff(bool prefireOff)
{
    m_editor.SetPrefireOff(prefireOff);
    Refresh();
}

void CScheduleList::SetShowChained(bool showChained)
{
    m_editor.SetShowChained(showChained);
    Refresh();
}

std::vector<CIgnition*> CScheduleList::Selected() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<CIgnition*> out;
    for (int row : rows) {
        if (CIgnition* e = m_model->EntryAt(row)) out.push_back(e);
    }
    return out;
}

void CScheduleList::SelectEntry(const CIgnition* entry)
{
    const int row = m_model->RowOf(entry);
    if (row < 0) return;
    selectRow(row);
    scrollTo(m_model->index(row, 0));
}

void CScheduleList::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    FitColumns();
}

void CScheduleList::FitColumns()
{
    std::vector<int> widths;
    for (int c = 0; c < kScheduleColumnCount; ++c) widths.push_back(columnWidth(c));
    const int rowsOnPage = viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize());
    FitNameAndNote(widths, viewport()->width() + (verticalScrollBar()->isVisible()
                                                       ? verticalScrollBar()->width() : 0),
                   m_model->rowCount() <= rowsOnPage);
    setColumnWidth(int(ScheduleColumn::Name), widths[int(ScheduleColumn::Name)]);
    setColumnWidth(int(ScheduleColumn::Note), widths[int(ScheduleColumn::Note)]);
}

void CScheduleList::contextMenuEvent(QContextMenuEvent* event)
{
    emit ContextMenuRequested(event->globalPos());
}

void CScheduleList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kItemMimeType))) {
        m_ctrlReleased = !(event->modifiers() & Qt::ControlModifier);
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CScheduleList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kItemMimeType))) {
        if (!(event->modifiers() & Qt::ControlModifier)) m_ctrlReleased = true;
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CScheduleList::dropEvent(QDropEvent* event)
{
    const auto item =
        DecodeDraggedItem(event->mimeData()->data(QString::fromLatin1(kItemMimeType)));
    if (!item) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Replace mode, once Ctrl was let go on the way, stays off.
    const bool replace =
        DropReplaces(*item, (event->modifiers() & Qt::ControlModifier) && !m_ctrlReleased);
    // A new entry goes in before the row a little below the pointer, so that dropping on the
    // lower half of a row puts it after that row; at the end when there is none.
    const QPoint at = event->position().toPoint() + QPoint(0, replace ? 0 : 10);
    int row = indexAt(at).row();
    if (row < 0 && !replace) row = m_model->rowCount();
    emit ItemDropped(row, QByteArray::fromStdString(item->articleNumber), replace);
}

}  // namespace flr
