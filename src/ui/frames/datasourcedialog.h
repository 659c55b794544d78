#pragma once

#include <QDialog>
#include <string>

class QListWidget;

namespace flr {

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
