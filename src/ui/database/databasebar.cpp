#include "ui/database/databasebar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "base/textcodec.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "ui/common/columnwidths.h"

namespace flr {

namespace {

QString FromBytes(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }

struct Column {
    const char* heading;
    int width;
    Qt::Alignment align;
    const char* sample = nullptr;  // the widest text the column usually holds
};

QTableView* MakeList(CRecordListModel* model, const std::vector<Column>& columns,
                     const QString& name, QWidget* parent)
{
    auto* list = new QTableView(parent);
    for (const Column& c : columns) model->alignments.push_back(c.align);
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setShowGrid(true);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->setWordWrap(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setSectionsClickable(true);
    const double scale =
        std::max(1.0, list->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00:00")) / 63.0);
    std::vector<QString> samples;
    for (size_t c = 0; c < columns.size(); ++c) {
        list->setColumnWidth(int(c), int(columns[c].width * scale + 0.5));
        samples.push_back(QString::fromLatin1(columns[c].sample ? columns[c].sample : ""));
    }
    FitColumnsToSamples(list, samples);
    RememberColumnWidths(list, name);
    return list;
}

// A group box holding `list` and, for customers and manufacturers, the filter row that has
// nothing behind it yet.
QWidget* ListWithIdleFilter(QTableView* list, std::string_view text, QWidget* parent)
{
    auto* group = new QGroupBox(parent);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(list, 1);
    auto* row = new QHBoxLayout;
    auto* use = new QCheckBox(QStringLiteral("&Use filter :"), group);
    auto* edit = new QPushButton(QStringLiteral("Edit &Filter ..."), group);
    use->setEnabled(false);
    edit->setEnabled(false);
    row->addWidget(use);
    row->addWidget(new QLabel(QString::fromLatin1(text.data(), qsizetype(text.size())), group), 1);
    row->addWidget(edit);
    layout->addLayout(row);
    return group;
}

std::vector<Column> PeopleColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {{"No", 40, left},         {"Name", 125, left},   {"Contact", 125, left},
            {"Telephone", 100, left}, {"Mobile", 100, left}, {"E-Mail", 150, left},
            {"Notes", 125, left}};
}

QStringList Headings(const std::vector<Column>& columns)
{
    QStringList headings;
    for (const Column& c : columns) headings << QString::fromLatin1(c.heading);
    return headings;
}

}  // namespace

CRecordListModel::CRecordListModel(QStringList headings, std::function<int()> rows,
                                   std::function<std::string(int, int)> text, QObject* parent)
    : QAbstractTableModel(parent),
      m_headings(std::move(headings)),
      m_rows(std::move(rows)),
      m_text(std::move(text))
{
}

int CRecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows();
}

int CRecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant CRecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows()) return {};
    if (role == Qt::TextAlignmentRole) {
        const auto column = size_t(index.column());
        return QVariant::fromValue(column < alignments.size() ? alignments[column]
                                                              : Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    return FromBytes(m_text(index.row(), index.column()));
}

QVariant CRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headings.size()) {
        return {};
    }
    return m_headings[section];
}

Qt::ItemFlags CRecordListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (makeDrag && index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList CRecordListModel::mimeTypes() const { return {QString::fromLatin1(kItemMimeType)}; }

QMimeData* CRecordListModel::mimeData(const QModelIndexList& indexes) const
{
    if (!makeDrag || indexes.isEmpty()) return nullptr;
    return makeDrag(indexes.front().row());
}

void CRecordListModel::Reset()
{
    beginResetModel();
    endResetModel();
}

// ---- Fireworks

CItemPage::CItemPage(CDatabase* database, CEffectCatalogue& catalogue, QWidget* parent)
    : QWidget(parent), m_database(database), m_catalogue(catalogue)
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const std::vector<Column> columns = {{"Art No", 65, left, "BM-S050-01"},
                                         {"Size", 35, centre, "150"},
                                         {"Name", 200, left},
                                         {"PF", 35, centre, "10.0"},
                                         {"Dur.", 35, centre, "10.0"},
                                         {"Stock", 40, centre, "9999"},
                                         {"Out Price", 60, centre, "999.00"},
                                         {"Description", 100, left}};
    m_model = new CRecordListModel(
        Headings(columns), [this] { return int(m_items.size()); },
        [this](int row, int column) { return ItemCellText(m_items[size_t(row)], column); }, this);
    m_model->makeDrag = [this](int row) -> QMimeData* {
        if (row < 0 || size_t(row) >= m_items.size() || !m_items[size_t(row)]) return nullptr;
        auto* data = new QMimeData;
        // Replace mode is chosen by Ctrl at the start; the drop may still turn it off.
        const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
        data->setData(QString::fromLatin1(kItemMimeType),
                      EncodeDraggedItem({m_items[size_t(row)]->GetArticleNumber(), ctrl}));
        return data;
    };

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    auto* filter = new QGroupBox(QStringLiteral("Filter :"), this);
    filter->setFixedWidth(225);
    auto* grid = new QGridLayout(filter);
    m_enable = new QCheckBox(QStringLiteral("&Enable filtering :"), filter);
    // The bar shares the main window with the menu bar, whose Edit menu is Alt+E too: the
    // check box's own key works only while the focus is in the bar.
    m_enable->setShortcut(QKeySequence());
    auto* enableKey = new QShortcut(QKeySequence::mnemonic(m_enable->text()), this);
    enableKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(enableKey, &QShortcut::activated, m_enable, [this] {
        m_enable->setFocus(Qt::ShortcutFocusReason);
        m_enable->click();
    });
    m_name = new QLineEdit(filter);
    m_size = new QLineEdit(filter);
    m_comparison = new QComboBox(filter);
    m_description = new QLineEdit(filter);
    grid->addWidget(m_enable, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Name :"), filter), 1, 0);
    grid->addWidget(m_name, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Size :"), filter), 2, 0);
    grid->addWidget(m_comparison, 2, 1);
    grid->addWidget(m_size, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Desc :"), filter), 3, 0);
    grid->addWidget(m_description, 3, 1, 1, 2);
    grid->setRowStretch(4, 1);
    layout->addWidget(filter);

    auto* itemsGroup = new QGroupBox(QStringLiteral("Available Items :"), this);
    auto* itemsLayout = new QVBoxLayout(itemsGroup);
    itemsLayout->setContentsMargins(5, 5, 5, 5);
    m_list = MakeList(m_model, columns, QStringLiteral("Items"), itemsGroup);
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setDefaultDropAction(Qt::CopyAction);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    itemsLayout->addWidget(m_list);
    layout->addWidget(itemsGroup, 1);

    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        emit ContextMenuRequested(m_list->viewport()->mapToGlobal(at));
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && size_t(index.row()) < m_items.size()) {
            emit ItemActivated(m_items[size_t(index.row())]);
        }
    });
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_sort.Click(column);
        SortItems(m_items, m_sort);
        m_model->Reset();
    });
    connect(m_enable, &QCheckBox::toggled, this, [this](bool on) {
        m_filter.filtering = on;
        EnableFilterControls();
        FillItems();
    });
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter.SetName(Utf8ToCp1252(text.toStdString()));
        FillItems();
    });
    connect(m_description, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter.SetDescription(Utf8ToCp1252(text.toStdString()));
        FillItems();
    });
    connect(m_size, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter.SetSizeText(text.toStdString());
        FillItems();
    });
    m_comparison->addItem(QStringLiteral("less than"), int(ItemFilter::LessThan));
    m_comparison->addItem(QStringLiteral("equal to"), int(ItemFilter::EqualTo));
    m_comparison->addItem(QStringLiteral("greater than"), int(ItemFilter::GreaterThan));
    m_comparison->setCurrentIndex(0);
    // Connected after the first entry is chosen: the comparison stays "none" until the user
    // picks one.
    connect(m_comparison, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_filter.comparison = m_comparison->itemData(index).toInt();
        FillItems();
    });
    EnableFilterControls();
}

CItemPage::~CItemPage() = default;

void CItemPage::EnableFilterControls()
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_name, m_size, m_description, m_comparison}) {
        w->setEnabled(m_filter.filtering);
    }
}

void CItemPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Initialise();
}

void CItemPage::Initialise()
{
    if (m_initialised) return;
    m_initialised = true;
    if (!m_database) return;
    m_recordset = std::make_unique<CItemTable>(m_database);
    // A failed open has said so; the list stays empty.
    if (m_recordset->OpenTable()) FillItems();
}

void CItemPage::RedrawItems() { m_model->Reset(); }

void CItemPage::RemoveItem(const CEffect* item)
{
    std::erase(m_items, item);
    m_model->Reset();
}

void CItemPage::ReopenIfClosed()
{
    if (m_recordset && !m_recordset->IsOpen()) m_recordset->OpenTable();
}

void CItemPage::FillItems()
{
    if (!m_recordset || !m_recordset->IsOpen()) return;
    std::vector<CEffect*> rows;
    bool changed = false;
    if (!flr::FillItems(*m_recordset, m_catalogue, m_filter, rows, &changed)) return;
    m_items = std::move(rows);
    if (m_sort.column >= 0) SortItems(m_items, m_sort);
    m_model->Reset();
    // Only then do open shows need to look again: a filter's keystrokes change nothing there.
    if (changed) emit ItemsChanged();
}

// ---- Customers and manufacturers

CContactPage::CContactPage(const CContactKind& kind, CDatabase* database, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_database(database)
{
    const std::vector<Column> columns = PeopleColumns();
    m_model = new CRecordListModel(
        Headings(columns), [this] { return int(m_rows.size()); },
        [this](int row, int column) { return ContactCellText(m_rows[size_t(row)].get(), column); },
        this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    m_list = MakeList(m_model, columns,
                      QString::fromLatin1(kind.title.data(), qsizetype(kind.title.size())), this);
    layout->addWidget(ListWithIdleFilter(m_list, kind.showAll, this));
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_sort.Click(column);
        SortContacts(m_kind, m_rows, m_sort);
        m_model->Reset();
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && size_t(index.row()) < m_rows.size()) {
            emit RowActivated(m_rows[size_t(index.row())]);
        }
    });
}

CContactPage::~CContactPage() = default;

void CContactPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Initialise();
}

void CContactPage::Initialise()
{
    if (m_initialised) return;
    m_initialised = true;
    if (!m_database) return;
    m_recordset = m_kind.MakeTable(m_database);
    if (m_kind.OpenTable(*m_recordset)) Fill();
}

void CContactPage::Redraw() { m_model->Reset(); }

void CContactPage::RemoveRow(const ContactRow& row)
{
    std::erase(m_rows, row);
    m_model->Reset();
}

void CContactPage::ReopenIfClosed()
{
    if (m_recordset && !m_recordset->IsOpen()) m_kind.OpenTable(*m_recordset);
}

void CContactPage::Fill()
{
    if (!m_recordset || !FillContacts(m_kind, *m_recordset, m_rows)) return;
    m_model->Reset();
}

// ---- The sheet

CDatabaseBar::CDatabaseBar(CDatabase* database, CEffectCatalogue& catalogue, QWidget* parent)
    : QTabWidget(parent)
{
    m_items = new CItemPage(database, catalogue, this);
    m_customers = new CContactPage(CustomerKind(), database, this);
    m_manufacturers = new CContactPage(ManufacturerKind(), database, this);
    m_items->setObjectName(QStringLiteral("Fireworks"));
    m_customers->setObjectName(QStringLiteral("Customers"));
    m_manufacturers->setObjectName(QStringLiteral("Manufacturers"));
    addTab(m_items, QStringLiteral("Fireworks"));
    addTab(m_customers, QStringLiteral("Customers"));
    addTab(m_manufacturers, QStringLiteral("Manufacturers"));
}

void CDatabaseBar::RefreshLists()
{
    // A recordset closed by a failed requery (a dropped link) opens again here, where the
    // user asked for fresh lists; filter keystrokes do not retry it.
    m_items->ReopenIfClosed();
    m_customers->ReopenIfClosed();
    m_manufacturers->ReopenIfClosed();
    m_items->FillItems();
    m_customers->Fill();
    m_manufacturers->Fill();
}

}  // namespace flr
