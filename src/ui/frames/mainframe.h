#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "model/effect.h"

class QPrinter;

namespace flr {
class CDatabaseBar;
}

class QAction;
class QDockWidget;
class QMdiArea;
class QMenu;
class QTabWidget;
class QToolBar;

namespace flr {

class CChildFrame;
struct CContact;
class CContactPage;
class CDatabase;
class CEffect;
class CFLRDoc;
class CUpdateSettings;
class CRecoveryFiles;
class CRecentFileList;
class CSettingsStore;

// The program's main window: menus, toolbar, status bar, the database bar docked at the
// bottom and the shows as MDI sub-windows. Remembers its placement ("MainFrame/PLACEMENT") and
// bar layout ("Control Bars/State") between runs. The stores must outlive the frame.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `database`: the product database the shows' dialogs read (not owned; it must outlive
    // the frame), or nullptr to run without one.
    CMainFrame(CSettingsStore& settings, CUpdateSettings& updateSettings, CRecentFileList& recent,
               CDatabase* database = nullptr);
    ~CMainFrame() override;

    // Applies the stored placement and bar layout; a missing or damaged value leaves the
    // defaults, silently.
    void RestoreLayout();

    QAction* Action(int id) const;
    // Re-evaluates which commands are enabled and checked.
    void UpdateCommandUi();

    QDockWidget* DatabaseBar() const { return m_databaseBar; }
    CDatabaseBar* DatabaseTabs() const { return m_databaseTabs; }
    // Rebuilds the database bar's lists after the product database changed.
    void RefreshDatabaseLists();
    // Every open show follows the catalogue's items as they now stand.
    void CatalogueChanged();
    CChildFrame* ActiveChild() const;
    std::vector<CChildFrame*> Children() const;

    // New show ("FLR1", "FLR2", ...). Returns its frame.
    CChildFrame* NewShow();
    // Opens a show file (an already open one is activated). Null when it could not be read.
    CChildFrame* OpenShow(const QString& path);

    // Asks to save each modified show; false when the user cancelled.
    bool SaveAllModified();

    // The program's printer: what Print Setup and the print dialog choose, kept for the next
    // print. Made on first use.
    QPrinter& Printer();

    // Where the shows opened from now on write their unsaved changes every `intervalMs` (not
    // owned; it must outlive the frame). None by default.
    void SetRecoveryFiles(CRecoveryFiles* files, int intervalMs)
    {
        m_recoveryFiles = files;
        m_autosaveMs = intervalMs;
    }
    // Offers each show a program that ended without closing it left behind: recover (opened
    // modified, named as the original), discard, or decide at the next start. Returns how
    // many were opened.
    int OfferRecovery();

    // The application's product database, handed to the shows opened from now on (not owned;
    // it must outlive the frame). None by default: their dialogs open their own connection.
    void SetDatabase(CDatabase* database) { m_database = database; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateToolBar();
    void CreateDatabaseBar();
    void RebuildMenus();
    // `popup`: a right-click menu, filled just before it opens.
    void FillMenu(QMenu* menu, const std::vector<struct MenuEntry>& entries, bool popup = false);
    void FillWindowList(QMenu* menu);
    void FillRecentFiles(QMenu* menu);
    void Run(int id);
    bool IsHandled(int id) const;
    void SaveLayout();
    CChildFrame* AddChild(std::unique_ptr<CFLRDoc> doc, const QString& path, const QString& title);
    void OpenDialog();
    // Runs "Import effects" for a show's items the database lacks; refreshes the bar after
    // an import. Nothing without a database.
    void OfferImport(const std::vector<CEffectRef>& missing);
    void ArrangeIcons();
    void ShowPreferences();
    void ShowAbout();
    // The record editors: add mode on the application's database, edit mode on a bar row.
    void AddRecord(int id);
    void EditItem(CEffect* item);
    void EditContact(CContactPage* page, const std::shared_ptr<CContact>& row);

    CSettingsStore& m_settings;
    CUpdateSettings& m_updateSettings;
    CRecentFileList& m_recent;
    CDatabase* m_database;
    QMdiArea* m_mdi = nullptr;
    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_databaseBar = nullptr;
    CDatabaseBar* m_databaseTabs = nullptr;
    std::map<int, QAction*> m_actions;
    bool m_menusWithShow = false;
    bool m_addingItem = false;
    int m_untitledCount = 0;
    std::unique_ptr<QPrinter> m_printer;
    CRecoveryFiles* m_recoveryFiles = nullptr;
    int m_autosaveMs = 0;
    int m_recoveryKeys = 0;
};

}  // namespace flr
