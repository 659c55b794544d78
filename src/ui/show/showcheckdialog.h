#pragma once

#include <QDialog>
#include <functional>

#include "model/showcheck.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace flr {

// "Show Check": the findings of the show check, errors first in their schedule order. Before a
// download it decides: with errors only Close is offered; with warnings alone "Download"
// accepts and Cancel stops. Opened on its own it only lists. A double-click on a finding hands
// its entry to the selector, which selects it in the schedule.
class CShowCheckDialog final : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Review, BeforeDownload };

    CShowCheckDialog(ShowCheckResult result, Purpose purpose, QWidget* parent = nullptr);

    void SetEntrySelector(std::function<void(const CIgnition*)> selector)
    {
        m_select = std::move(selector);
    }

    QTreeWidget* List() const { return m_list; }
    QLabel* Summary() const { return m_summary; }
    // nullptr unless the download may go on.
    QPushButton* DownloadButton() const { return m_download; }

private:
    void Activate(int row);

    ShowCheckResult m_result;
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_download = nullptr;
    std::function<void(const CIgnition*)> m_select;
};

}  // namespace flr
