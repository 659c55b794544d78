#include "ui/frames/datasourcedialog.h"

#include <sql.h>
#include <sqlext.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace flr {

std::vector<DataSourceInfo> ListDataSources()
{
    std::vector<DataSourceInfo> out;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return out;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    for (SQLUSMALLINT first :
         {SQLUSMALLINT(SQL_FETCH_FIRST_USER), SQLUSMALLINT(SQL_FETCH_FIRST_SYSTEM)}) {
        SQLUSMALLINT direction = first;
        for (;;) {
            SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
            SQLCHAR driver[256] = {};
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT driverLength = 0;
            const SQLRETURN rc = SQLDataSources(env, direction, name, sizeof name, &nameLength,
                                                driver, sizeof driver, &driverLength);
            if (!SQL_SUCCEEDED(rc)) break;
            out.push_back({reinterpret_cast<char*>(name), reinterpret_cast<char*>(driver),
                           first == SQL_FETCH_FIRST_SYSTEM});
            direction = SQL_FETCH_NEXT;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return out;
}

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
