#include "ui/database/importeffectslist.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "base/textcodec.h"
#include "database/effectimport.h"
#include "ui/common/celleditors.h"
#include "ui/common/columnwidths.h"

namespace flr {

namespace {

// An editor narrower than this could not show a character.
constexpr int kMinEditWidth = 5;

}  // namespace

CImportEffectsModel::CImportEffectsModel(CEffectImport& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows), m_count(static_cast<int>(rows.Count()))
{
}

int CImportEffectsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int CImportEffectsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kImportColumns;
}

QVariant CImportEffectsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count) return {};
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(
            Cp1252ToUtf8(m_rows.CellText(size_t(index.row()), index.column())));
    }
    if (role == Qt::TextAlignmentRole) {
        return ImportColumnAt(index.column()).centred ? int(Qt::AlignCenter)
                                                      : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant CImportEffectsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kImportColumns) return {};
    const ImportColumnInfo& info = ImportColumnAt(section);
    if (role == Qt::DisplayRole) return QString::fromLatin1(info.heading);
    if (role == Qt::TextAlignmentRole) {
        return info.centred ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void CImportEffectsModel::Refresh()
{
    beginResetModel();
    m_count = static_cast<int>(m_rows.Count());
    endResetModel();
}

void CImportEffectsModel::Redraw()
{
    if (m_count > 0) emit dataChanged(index(0, 0), index(m_count - 1, kImportColumns - 1));
}

CImportEffectsList::CImportEffectsList(CEffectImport& rows, QWidget* parent)
    : QTableView(parent), m_rows(rows), m_model(new CImportEffectsModel(rows, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < kImportColumns; ++c) setColumnWidth(c, ImportColumnAt(c).width);
    std::vector<QString> samples(kImportColumns);
    samples[int(ImportColumn::ArtNo)] = QStringLiteral("BM-S050-01");
    FitColumnsToSamples(this, samples);
    RememberColumnWidths(this, QStringLiteral("ImportEffects"));
}

bool CImportEffectsList::ClickCell(int row, int column)
{
    if (row < 0 || row >= m_model->rowCount()) return false;
    const ImportCellEditor kind = ImportColumnAt(column).editor;
    if (kind == ImportCellEditor::None) return false;
    if (kind == ImportCellEditor::Toggle) {
        m_rows.ToggleImport(size_t(row));
        m_model->Redraw();
        return true;
    }
    if (columnWidth(column) < kMinEditWidth) return false;
    const QModelIndex index = m_model->index(row, column);
    scrollTo(index);
    const QRect rect = visualRect(index);
    const QString text = m_model->data(index, Qt::DisplayRole).toString();
    CTextCellEdit* edit = nullptr;
    switch (kind) {
    case ImportCellEditor::Digits: edit = new CDigitCellEdit(this, row, column, text, rect); break;
    case ImportCellEditor::Decimal: edit = new CDelayCellEdit(this, row, column, text, rect); break;
    default: edit = new CTextCellEdit(this, row, column, text, rect); break;
    }
    connect(edit, &CTextCellEdit::EditEnded, this, &CImportEffectsList::OnEditEnded);
    m_cellEditor = edit;
    return true;
}

void CImportEffectsList::OnEditEnded(int row, int column, const QString& text, bool hasText)
{
    if (!hasText) return;
    if (m_rows.ApplyEdit(size_t(row), column, Utf8ToCp1252(text.toStdString()))) {
        m_model->Redraw();
    }
}

void CImportEffectsList::mousePressEvent(QMouseEvent* event)
{
    m_pressIndex = indexAt(event->position().toPoint());
    // A click on another row only makes it the focused and selected one.
    m_clickOnSelected = event->button() == Qt::LeftButton && m_pressIndex.isValid() &&
                        currentIndex().row() == m_pressIndex.row() &&
                        selectionModel()->isRowSelected(m_pressIndex.row(), QModelIndex());
    QTableView::mousePressEvent(event);
}

void CImportEffectsList::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const bool act = m_clickOnSelected && event->button() == Qt::LeftButton &&
                     indexAt(event->position().toPoint()) == m_pressIndex;
    m_clickOnSelected = false;
    if (act) ClickCell(m_pressIndex.row(), m_pressIndex.column());
}

}  // namespace flr
