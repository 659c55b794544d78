#include "ui/show/selectchaindialog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

#include "base/textcodec.h"
#include "database/cellitems.h"
#include "model/effectcatalogue.h"
#include "model/ignition.h"
#include "ui/common/celleditors.h"
#include "ui/common/columnwidths.h"

namespace flr {

namespace {

constexpr int kInitialRows = 5;

std::optional<ScheduleColumn> ItemColumn(int column)
{
    switch (static_cast<ChainColumn>(column)) {
    case ChainColumn::Size: return ScheduleColumn::Size;
    case ChainColumn::ArtNo: return ScheduleColumn::ArtNo;
    case ChainColumn::Name: return ScheduleColumn::Name;
    default: return std::nullopt;
    }
}

}  // namespace

// The chain list's cells, made on demand from the editor's rows.
class ChainListModel : public QAbstractTableModel {
public:
    ChainListModel(const CChainEditor& chain, QObject* parent)
        : QAbstractTableModel(parent), m_chain(chain)
    {
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : kChainColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows) return {};
        const auto column = static_cast<ChainColumn>(index.column());
        if (role == Qt::DisplayRole) {
            return QString::fromStdString(Cp1252ToUtf8(m_chain.CellText(index.row(), column)));
        }
        if (role == Qt::TextAlignmentRole) return Alignment(column);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= kChainColumnCount) return {};
        const auto column = static_cast<ChainColumn>(section);
        if (role == Qt::DisplayRole) {
            return QString::fromLatin1(ChainColumnInfoOf(column).heading);
        }
        if (role == Qt::TextAlignmentRole) return Alignment(column);
        return {};
    }
    // The rows changed in number or in content.
    void Reset()
    {
        beginResetModel();
        m_rows = m_chain.RowCount();
        endResetModel();
    }
    // The cells changed, the rows stayed.
    void Redraw()
    {
        if (m_rows > 0) emit dataChanged(index(0, 0), index(m_rows - 1, kChainColumnCount - 1));
    }

private:
    static int Alignment(ChainColumn column)
    {
        return ChainColumnInfoOf(column).centre ? int(Qt::AlignCenter)
                                                : int(Qt::AlignLeft | Qt::AlignVCenter);
    }

    const CChainEditor& m_chain;
    int m_rows = 0;  // the count the view was last told
};

CSelectChainDialog::CSelectChainDialog(CDatabase* database, QWidget* parent)
    : QDialog(parent), m_database(database)
{
    setWindowTitle(QStringLiteral("Select chain to insert..."));

    // The saved chains have no function yet; they stay inert.
    auto* saved = new QGroupBox(QStringLiteral("Saved Chains:"));
    auto* savedLayout = new QVBoxLayout(saved);
    m_savedChains = new QTreeWidget;
    m_savedChains->setObjectName(QStringLiteral("savedChains"));
    m_savedChains->setHeaderHidden(true);
    m_save = new QPushButton(QStringLiteral("Save..."));
    m_save->setObjectName(QStringLiteral("save"));
    m_save->setEnabled(false);
    savedLayout->addWidget(m_savedChains);
    savedLayout->addWidget(m_save);

    m_rowCount = new QSpinBox;
    m_rowCount->setObjectName(QStringLiteral("rowCount"));
    m_sameEffect = new QCheckBox(QStringLiteral("Use same effect"));
    m_sameEffect->setObjectName(QStringLiteral("sameEffect"));
    m_sameDelay = new QCheckBox(QStringLiteral("Use same delay"));
    m_sameDelay->setObjectName(QStringLiteral("sameDelay"));
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("Number of items in chain :")));
    countRow->addWidget(m_rowCount);
    countRow->addStretch();
    countRow->addWidget(m_sameEffect);
    countRow->addWidget(m_sameDelay);

    m_list = new QTableView;
    m_list->setObjectName(QStringLiteral("chainList"));
    m_model = new ChainListModel(m_chain, this);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addLayout(countRow);
    right->addWidget(m_list, 1);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(saved);
    layout->addLayout(right, 1);
    resize(640, 320);

    connect(m_rowCount, &QSpinBox::textChanged, this, &CSelectChainDialog::OnRowCountText);
    connect(m_sameDelay, &QCheckBox::clicked, this,
            [this](bool checked) { m_chain.SetSameDelay(checked); });
    connect(m_sameEffect, &QCheckBox::clicked, this,
            [this](bool checked) { m_chain.SetSameEffect(checked); });
}

CSelectChainDialog::~CSelectChainDialog()
{
    // An open cell editor must not report to a half-destroyed dialog.
    if (m_cellEditor) {
        m_cellEditor->disconnect(this);
        delete m_cellEditor;
    }
}

void CSelectChainDialog::SetChain(CScheduleEditor& show, CIgnition* entry)
{
    m_show = &show;
    m_entry = entry;
    if (m_initialised) {
        m_chain.SetShowChain(show, entry);
        Refill();
    }
}

void CSelectChainDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_initialised) InitDialog();
}

void CSelectChainDialog::InitDialog()
{
    if (m_initialised) return;
    {
        const QSignalBlocker block(m_rowCount);
        m_rowCount->setRange(1, 100);
        m_rowCount->setValue(kInitialRows);
    }
    for (int c = 0; c < kChainColumnCount; ++c) {
        m_list->setColumnWidth(c, ChainColumnInfoOf(static_cast<ChainColumn>(c)).width);
    }
    FitColumnsToSamples(m_list, {QStringLiteral("10"),
                                 QStringLiteral("150"),
                                 QStringLiteral("BM-S050-01"),
                                 {},
                                 QStringLiteral("10.00"),
                                 QStringLiteral("100.00")});
    RememberColumnWidths(m_list, QStringLiteral("Chain"));
    m_initialised = true;
    if (m_show && m_entry) {
        m_chain.SetShowChain(*m_show, m_entry);
    } else {
        m_chain.StartTemplate(m_rowCount->value());
    }
    Refill();
}

void CSelectChainDialog::Refill()
{
    m_model->Reset();
    m_sameEffect->setChecked(m_chain.SameEffect());
    m_sameDelay->setChecked(m_chain.SameDelay());
    const QSignalBlocker block(m_rowCount);
    m_rowCount->setValue(m_chain.RowCount());
    FitColumns();
}

void CSelectChainDialog::OnRowCountText(const QString& text)
{
    if (!m_initialised) return;
    if (!m_chain.SetRowCountText(Utf8ToCp1252(text.toStdString()))) return;
    m_model->Reset();
    if (m_chain.RowCount() > 0) m_list->scrollTo(m_model->index(m_chain.RowCount() - 1, 0));
    FitColumns();
}

void CSelectChainDialog::FitColumns()
{
    std::vector<int> widths;
    for (int c = 0; c < kChainColumnCount; ++c) widths.push_back(m_list->columnWidth(c));
    const int rowHeight = std::max(1, m_list->verticalHeader()->defaultSectionSize());
    const bool rowsFit = m_model->rowCount() * rowHeight <= m_list->viewport()->height();
    const int client =
        m_list->viewport()->width() +
        (m_list->verticalScrollBar()->isVisible() ? m_list->verticalScrollBar()->width() : 0);
    m_list->setColumnWidth(
        int(ChainColumn::Name),
        ChainNameWidth(widths, client, rowsFit,
                       m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
}

bool CSelectChainDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::Resize) {
        FitColumns();
    } else if (watched == m_list->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            // Only a plain click on the row already focused and selected edits, as in the
            // schedule list.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
            m_editOnRelease = mouse->button() == Qt::LeftButton && index.isValid() &&
                              mouse->modifiers() == Qt::NoModifier &&
                              m_list->currentIndex().row() == index.row() &&
                              m_list->selectionModel()->isRowSelected(index.row(), {});
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
            if (m_editOnRelease && index.isValid()) {
                m_editOnRelease = false;
                const int row = index.row();
                const int column = index.column();
                // After the list has had the release.
                QTimer::singleShot(0, this, [this, row, column] { EditCell(row, column); });
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool CSelectChainDialog::EditCell(int row, int column)
{
    CIgnition* e = m_chain.EntryAt(row);
    if (!e || m_cellEditor) return false;
    const QModelIndex index = m_model->index(row, column);
    QStringList choices;
    int current = -1;
    if (const std::optional<ScheduleColumn> kind = ItemColumn(column)) {
        const std::string article = e->GetItem() ? e->GetItem()->GetArticleNumber() : "";
        const CellChoices found =
            ItemCellChoices(m_database, *kind, m_chain.CellText(row, ChainColumn::Size), article);
        if (found.texts.empty()) return false;
        for (const std::string& text : found.texts) {
            choices << QString::fromStdString(Cp1252ToUtf8(text));
        }
        current = found.current;
    } else if (static_cast<ChainColumn>(column) != ChainColumn::Delay) {
        return false;
    }
    m_list->scrollTo(index);
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QRect rect = m_list->visualRect(index);
    if (!choices.isEmpty()) {
        auto* combo = new CCellCombo(m_list, row, column, choices, current, rect);
        connect(combo, &CCellCombo::EditEnded, this, &CSelectChainDialog::OnEditEnded);
        m_cellEditor = combo;
    } else {
        const QString text = m_model->data(index, Qt::DisplayRole).toString();
        auto* edit = new CDelayCellEdit(m_list, row, column, text, rect);
        connect(edit, &CTextCellEdit::EditEnded, this, &CSelectChainDialog::OnEditEnded);
        m_cellEditor = edit;
    }
    return true;
}

void CSelectChainDialog::OnEditEnded(int row, int column, const QString& text, bool hasText)
{
    m_cellEditor = nullptr;
    if (!hasText) return;
    const std::string bytes = Utf8ToCp1252(text.toStdString());
    if (const std::optional<ScheduleColumn> kind = ItemColumn(column)) {
        m_chain.ApplyItem(row,
                          ItemForCellText(m_database, CEffectCatalogue::Program(), *kind, bytes));
    } else if (static_cast<ChainColumn>(column) == ChainColumn::Delay) {
        m_chain.ApplyDelay(row, bytes);
    }
    m_model->Redraw();
}

}  // namespace flr
