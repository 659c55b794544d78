#pragma once

#include <QPointer>
#include <QWidget>

#include "help/helphistory.h"
#include "help/manual.h"

class QAction;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTreeWidget;

namespace flr {

// The manual in a window of its own: contents (pages and their headings), search, Back and
// Forward, and links between pages. The pages are read once, when the window is made.
class CHelpWindow final : public QWidget {
    Q_OBJECT
public:
    // Reads the pages of `folder`; a folder without pages is reported when the window first
    // opens a page, through the prompt layer.
    explicit CHelpWindow(const QString& folder, QWidget* parent = nullptr);

    // Shows `href` ("setup.md#racks", "transfer.md"), remembered for Back; false (and the
    // page unchanged) when the manual has no such page.
    bool Open(const QString& href);
    // Shows the window above the others; over a dialog that waits for an answer it belongs to
    // that dialog until the dialog closes.
    void Present();

    // Runs a search as typed in the search box; returns the number of results listed.
    int Search(const QString& query);

    const CManual& Manual() const { return m_manual; }
    ManualLocation Current() const { return m_history.Current(); }
    QTextBrowser* Browser() const { return m_browser; }
    QTreeWidget* Contents() const { return m_contents; }
    QListWidget* Results() const { return m_results; }
    QAction* BackAction() const { return m_back; }
    QAction* ForwardAction() const { return m_forward; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Display(const ManualLocation& where);
    void GoBack();
    void GoForward();
    void FollowLink(const QUrl& url);
    void FillContents();
    void UpdateButtons();

    QPointer<QWidget> m_owner;  // the window it belongs to when no dialog waits
    QPointer<QWidget> m_over;   // the dialog it belongs to meanwhile
    CManual m_manual;
    QString m_loadError;
    CHelpHistory m_history;
    QString m_shownFile;
    QStringList m_searchWords;
    QTextBrowser* m_browser = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QListWidget* m_results = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
};

}  // namespace flr
