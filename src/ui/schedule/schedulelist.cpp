#include "ui/schedule/schedulelist.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "base/textcodec.h"
#include "database/cellitems.h"
#include "database/itemdrag.h"
#include "editing/schedulecells.h"
#include "editing/scheduleeditor.h"
#include "model/flrdoc.h"
#include "ui/common/celleditors.h"
#include "ui/common/columnwidths.h"

namespace flr {

namespace {

// Rows dragged inside this list are moved; items from the database bar are added.
bool IsOwnRowDrag(const QDropEvent* event, const QObject* list)
{
    return event->source() == list &&
           event->mimeData()->hasFormat(QString::fromLatin1(kScheduleRowMimeType));
}

}  // namespace

CScheduleModel::CScheduleModel(CScheduleEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), m_editor(editor)
{
    m_rows = m_editor.Rows();
}

int CScheduleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CScheduleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kScheduleColumnCount;
}

QVariant CScheduleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto column = static_cast<ScheduleColumn>(index.column());
    const CIgnition* e = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Cp1252ToUtf8(ScheduleCellText(*e, column, m_editor.Fps())));
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

QVariant CScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kScheduleColumnCount) {
        return {};
    }
    const ScheduleColumnInfo& info = ColumnInfo(static_cast<ScheduleColumn>(section));
    if (role == Qt::DisplayRole) return QString::fromLatin1(info.heading);
    if (role == Qt::TextAlignmentRole) {
        return info.align == ScheduleColumnInfo::Align::Centre
                   ? int(Qt::AlignCenter)
                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void CScheduleModel::Refresh()
{
    beginResetModel();
    m_rows = m_editor.Rows();
    endResetModel();
}

void CScheduleModel::Redraw()
{
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kScheduleColumnCount - 1));
    }
}

CIgnition* CScheduleModel::EntryAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[row] : nullptr;
}

int CScheduleModel::RowOf(const CIgnition* entry) const
{
    const auto it = std::find(m_rows.begin(), m_rows.end(), entry);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

CScheduleList::CScheduleList(CScheduleEditor& editor, QWidget* parent)
    : QTableView(parent), m_editor(editor), m_model(new CScheduleModel(editor, this))
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
    const QString time = QStringLiteral("00:00:00:00");
    FitColumnsToSamples(this, {QStringLiteral("000:10"),
                               QStringLiteral("150"),
                               QStringLiteral("BM-S050-01"),
                               {},
                               {},
                               QStringLiteral("10.00"),
                               time,
                               time,
                               time,
                               QStringLiteral("A01"),
                               QStringLiteral("32"),
                               QStringLiteral("99")});
    RememberColumnWidths(this, QStringLiteral("Schedule"));
    // Items are dropped here from the database bar.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void CScheduleList::Refresh()
{
    const std::vector<CIgnition*> selected = Selected();
    const CIgnition* current = m_model->EntryAt(currentIndex().row());
    const int currentColumn = std::max(0, currentIndex().column());
    m_model->Refresh();
    for (CIgnition* e : selected) {
        const int row = m_model->RowOf(e);
        if (row >= 0)
            selectionModel()->select(m_model->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The focused row stays focused, so that a click on it still edits.
    if (const int row = m_model->RowOf(current); row >= 0) {
        selectionModel()->setCurrentIndex(m_model->index(row, currentColumn),
                                          QItemSelectionModel::NoUpdate);
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
    const int rowsOnPage =
        viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize());
    FitNameAndNote(
        widths,
        viewport()->width() + (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0),
        m_model->rowCount() <= rowsOnPage);
    setColumnWidth(int(ScheduleColumn::Name), widths[int(ScheduleColumn::Name)]);
    setColumnWidth(int(ScheduleColumn::Note), widths[int(ScheduleColumn::Note)]);
}

void CScheduleList::contextMenuEvent(QContextMenuEvent* event)
{
    emit ContextMenuRequested(event->globalPos());
}

bool CScheduleList::EditCell(int row, int column, bool)
{
    CIgnition* e = m_model->EntryAt(row);
    if (!e || column < 0 || column >= kScheduleColumnCount) return false;
    const auto kind = static_cast<ScheduleColumn>(column);
    if (kind == ScheduleColumn::IP || kind == ScheduleColumn::OutTime ||
        kind == ScheduleColumn::Rack) {
        return false;
    }
    auto cellText = [this, row](ScheduleColumn c) {
        return m_model->data(m_model->index(row, int(c)), Qt::DisplayRole).toString();
    };
    QStringList choices;
    int current = -1;
    if (kind == ScheduleColumn::Size || kind == ScheduleColumn::ArtNo ||
        kind == ScheduleColumn::Name) {
        const std::string article = e->GetItem() ? e->GetItem()->GetArticleNumber() : "";
        const CellChoices found = ItemCellChoices(
            m_database, kind, Utf8ToCp1252(cellText(ScheduleColumn::Size).toStdString()), article);
        if (found.texts.empty()) return false;
        for (const std::string& text : found.texts) {
            choices << QString::fromStdString(Cp1252ToUtf8(text));
        }
        current = found.current;
    } else if (kind == ScheduleColumn::Pos) {
        for (int p = 1; p <= 6; ++p) choices << QString::number(p);
        current = e->GetPosition() - 1;
    }

    const QModelIndex index = m_model->index(row, column);
    scrollTo(index);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QRect rect = visualRect(index);
    const QString text = cellText(kind);
    auto ended = [this, e](int, int c, const QString& t, bool has) { OnEditEnded(e, c, t, has); };
    if (!choices.isEmpty()) {
        auto* combo = new CCellCombo(this, row, column, choices, current, rect);
        connect(combo, &CCellCombo::EditEnded, this, ended);
        m_cellEditor = combo;
        return true;
    }
    CTextCellEdit* edit = nullptr;
    switch (kind) {
    case ScheduleColumn::Delay: edit = new CDelayCellEdit(this, row, column, text, rect); break;
    case ScheduleColumn::Time:
    case ScheduleColumn::InTime:
        edit = new CTimeCellEdit(this, row, column, text, rect, m_editor.Fps());
        break;
    case ScheduleColumn::Addr: edit = new CAddressCellEdit(this, row, column, text, rect); break;
    default: edit = new CTextCellEdit(this, row, column, text, rect); break;
    }
    connect(edit, &CTextCellEdit::EditEnded, this, ended);
    // Once the focus has settled on the list: the next editor takes it from there.
    connect(
        edit, &CTextCellEdit::NextCellRequested, this, [this, e](int, int c) { OnNextCell(e, c); },
        Qt::QueuedConnection);
    m_cellEditor = edit;
    return true;
}

void CScheduleList::OnEditEnded(const CIgnition* entry, int column, const QString& text,
                                bool hasText)
{
    // The entry may have gone while the editor was open; its row may have moved.
    const int row = m_model->RowOf(entry);
    if (row < 0 || !hasText) return;
    emit CellEdited(row, column, text);
}

void CScheduleList::OnNextCell(const CIgnition* entry, int column)
{
    const auto kind = static_cast<ScheduleColumn>(column);
    if (kind == ScheduleColumn::Pos) return;  // Rack is not editable
    const int next = kind == ScheduleColumn::InTime ? int(ScheduleColumn::Addr) : column + 1;
    const int row = m_model->RowOf(entry);
    if (row >= 0) EditCell(row, next, true);
}

void CScheduleList::mousePressEvent(QMouseEvent* event)
{
    m_pressPos = event->position().toPoint();
    m_pressIndex = indexAt(m_pressPos);
    m_editOnRelease = false;
    m_dragRow = -1;
    if (event->button() == Qt::LeftButton && m_pressIndex.isValid()) {
        const int row = m_pressIndex.row();
        // Only a plain click on the row that is already focused and selected edits.
        m_editOnRelease = event->modifiers() == Qt::NoModifier && currentIndex().row() == row &&
                          selectionModel()->isRowSelected(row, QModelIndex());
        const CIgnition* e = m_model->EntryAt(row);
        if (e && !e->GetChainPrev()) m_dragRow = row;
    }
    QTableView::mousePressEvent(event);
}

void CScheduleList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragRow >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
        const int row = m_dragRow;
        m_dragRow = -1;
        m_editOnRelease = false;
        StartRowDrag(row);
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void CScheduleList::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const bool edit = m_editOnRelease && event->button() == Qt::LeftButton &&
                      indexAt(event->position().toPoint()) == m_pressIndex;
    m_editOnRelease = false;
    m_dragRow = -1;
    if (edit) EditCell(m_pressIndex.row(), m_pressIndex.column());
}

void CScheduleList::StartRowDrag(int row)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kScheduleRowMimeType), QByteArray::number(row));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // The row's picture follows the pointer.
    QRect rowRect = visualRect(m_model->index(row, 0));
    rowRect.setLeft(0);
    rowRect.setRight(viewport()->width() - 1);
    drag->setPixmap(viewport()->grab(rowRect));
    drag->setHotSpot(m_pressPos - rowRect.topLeft());
    drag->exec(Qt::MoveAction);
}

void CScheduleList::dragEnterEvent(QDragEnterEvent* event)
{
    if (IsOwnRowDrag(event, this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (event->mimeData()->hasFormat(QString::fromLatin1(kItemMimeType))) {
        m_ctrlReleased = !(event->modifiers() & Qt::ControlModifier);
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CScheduleList::dragMoveEvent(QDragMoveEvent* event)
{
    if (IsOwnRowDrag(event, this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (event->mimeData()->hasFormat(QString::fromLatin1(kItemMimeType))) {
        if (!(event->modifiers() & Qt::ControlModifier)) m_ctrlReleased = true;
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CScheduleList::dropEvent(QDropEvent* event)
{
    if (IsOwnRowDrag(event, this)) {
        bool ok = false;
        const int from =
            event->mimeData()->data(QString::fromLatin1(kScheduleRowMimeType)).toInt(&ok);
        if (!ok || !m_model->EntryAt(from)) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::MoveAction);
        event->accept();
        int to = indexAt(event->position().toPoint() + QPoint(0, 10)).row();
        if (to < 0) to = m_model->rowCount();
        emit RowDropped(from, to);
        return;
    }
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
