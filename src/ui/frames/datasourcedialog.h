#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace flr {

struct DataSourceInfo {
    std::string name;
    std::string driver;  // the driver's description
    bool system = false;
};

// The data sources the ODBC driver manager knows, user ones first. Empty when the driver
// manager cannot be asked.
std::vector<DataSourceInfo> ListDataSources();

// Lets the user pick the product database's data source. The result is a connect string of the
// form "DSN=name" (empty when cancelled).
class CDataSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDataSourceDialog(QWidget* parent = nullptr);
    std::string ConnectString() const { return m_connect; }
    QListWidget* List() const { return m_list; }

    void accept() override;

private:
    QListWidget* m_list;
    std::string m_connect;
};

}  // namespace flr
