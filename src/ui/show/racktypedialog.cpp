#include "ui/show/racktypedialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/textcodec.h"
#include "database/racktypetable.h"

namespace flr {

namespace {
// Root nodes carry their type's index; position nodes carry nothing.
constexpr int kTypeRole = Qt::UserRole;
}  // namespace

CRackTypeDialog::CRackTypeDialog(CDatabase* database, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select rack type..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral("Available types"));
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("rackTypes"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setMinimumSize(220, 260);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_tree);

    m_addType = new QPushButton(QStringLiteral("Add Rack Type..."));
    m_select = new QPushButton(QStringLiteral("Select"));
    m_select->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_addType);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    connect(m_select, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The selection, not the current item: focus alone makes the first node current.
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
        const QVariant index =
            selected.isEmpty() ? QVariant() : selected.front()->data(0, kTypeRole);
        if (index.isValid()) m_chosen = index.toInt();
    });

    Fill(database);
}

void CRackTypeDialog::Fill(CDatabase* database)
{
    CRackTypeTable types(database);
    if (!types.OpenTable()) return;  // the recordset has said why
    for (; !types.IsEOF(); types.MoveNext())
        m_types.push_back(MakeRackType(types.m_Name, types.m_Config));

    // The tree is filled after the types are all read: item data indexes a vector that no
    // longer grows.
    for (size_t i = 0; i < m_types.size(); ++i) {
        auto* root =
            new QTreeWidgetItem(m_tree, {QString::fromStdString(Cp1252ToUtf8(m_types[i].name))});
        root->setData(0, kTypeRole, static_cast<int>(i));
        for (int16_t value : m_types[i].positions) {
            new QTreeWidgetItem(root, {QString::number(value)});
        }
    }
}

const CRackType* CRackTypeDialog::ChosenRackType() const
{
    return m_chosen >= 0 ? &m_types[static_cast<size_t>(m_chosen)] : nullptr;
}

}  // namespace flr
