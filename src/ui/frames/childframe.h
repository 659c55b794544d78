#pragma once

#include <QMdiSubWindow>
#include <functional>
#include <memory>

#include "model/showcheck.h"
#include "ui/show/showcheckdialog.h"

class QLabel;
class QPrinter;
class QStatusBar;
class QTimer;

namespace flr {

class CDatabase;
class CFLRDoc;
class CFLRView;
class CRecoveryFiles;

// The frame of one open show: an MDI sub-window holding the show's view above a status bar of
// three panes (message, price, discount/weight). Owns the document.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 500;
    static constexpr int kMinHeight = 275;

    // Takes ownership of `doc`. `path` is empty for a new, untitled show named `title`.
    // `database` is the application's product database (not owned; it must outlive the
    // frame), which the show's dialogs read; nullptr lets them open their own connection.
    CChildFrame(std::unique_ptr<CFLRDoc> doc, const QString& path, const QString& title,
                CDatabase* database = nullptr, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CFLRDoc& Doc() const { return *m_doc; }
    const QString& Path() const { return m_path; }
    QString Title() const { return m_title; }
    // The title's mark follows the show's unsaved changes.
    void ShowModifiedMark();
    void SetPath(const QString& path);

    // Writes the show's recovery file every `intervalMs` while it has unsaved changes, as
    // show `key` of `files` (not owned; it must outlive the frame); a save or the closing
    // removes it.
    void SetRecovery(CRecoveryFiles* files, int key, int intervalMs);
    // Writes or removes the recovery file now, as the timer does.
    void Autosave();

    // The view's first showing (a new show's setup dialog, the rows). Called once the frame
    // is in the main window, so the setup dialog can reach the main frame's commands.
    void InitialUpdate();

    // The show's view, above the status bar.
    CFLRView* View() const { return m_view; }

    // False, doing nothing, when the frame has no status bar.
    bool SetPriceText(const QString& text);
    bool SetDiscountText(const QString& text);
    QString PriceText() const;
    QString DiscountText() const;
    QStatusBar* StatusBar() const { return m_statusBar; }

    // Asks "Save changes to ...?" for a modified show and saves on Yes. False when the user
    // cancelled or the save failed: the show must stay open.
    bool SaveModified();
    // Save to the current path, or ask for one. False on failure or cancel.
    // A show opened damaged is saved under a new name only, so the file it came from stays.
    bool Save();
    bool SaveAs();

    // Runs the show check; shows its window when it found something or when reviewing. True
    // when a download may go on (no errors, and the user chose to go on past any warnings).
    bool RunShowCheck(CShowCheckDialog::Purpose purpose);

signals:
    void SavedAs(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateTitle();
    ShowCheckOptions CheckOptions() const;
    QWidget* DialogParent();
    // An item dropped from the database bar, once the drop is over.
    void DropItem(int row, const QByteArray& articleNumber, bool replace);
    // The main frame's printer, or one of the frame's own when it stands alone.
    QPrinter& Printer();
    std::function<void()> AddCustomerCommand();

    std::unique_ptr<CFLRDoc> m_doc;
    CDatabase* m_database = nullptr;
    QString m_path;
    QString m_title;
    CFLRView* m_view = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_pricePane = nullptr;
    QLabel* m_discountPane = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    CRecoveryFiles* m_recovery = nullptr;
    int m_recoveryKey = 0;
    QTimer* m_autosave = nullptr;
};

}  // namespace flr
