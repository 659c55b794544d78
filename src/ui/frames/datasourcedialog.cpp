#include "ui/frames/datasourcedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "database/datasource.h"

namespace flr {

CDataSourceDialog::CDataSourceDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Select Data Source"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Select the data source of the FLR product database:")));
    m_list = new QListWidget;
    for (const DataSourceInfo& dsn : ListDataSources()) {
        auto* item = new QListWidgetItem(QStringLiteral("%1  (%2, %3)")
                                             .arg(QString::fromStdString(dsn.name),
                                                  QString::fromStdString(dsn.driver),
                                                  dsn.system ? tr("system") : tr("user")));
        item->setData(Qt::UserRole, QString::fromStdString(dsn.name));
        m_list->addItem(item);
    }
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(420, 300);
}

void CDataSourceDialog::accept()
{
    if (QListWidgetItem* item = m_list->currentItem()) {
        m_connect = "DSN=" + item->data(Qt::UserRole).toString().toStdString();
    }
    QDialog::accept();
}

}  // namespace flr
