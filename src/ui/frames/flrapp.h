#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/settingsstore.h"

namespace flr {

class CDBConnection;
class CMainFrame;
class CQtPrompter;
class CRecoveryFiles;

// The program: its settings, its prompter, the main frame and the start-up order. One
// instance, made in main() after the QApplication and destroyed before it.
class CFLRApp {
public:
    CFLRApp();  // reads the update settings
    ~CFLRApp();

    // Start-up: update check, product database, main frame, command line, window shown.
    // False ends the program (a message has been shown where there is one to show).
    bool Start(const QStringList& arguments);
    // Closes the database and empties the item catalogue.
    void Shutdown();

    // The program's exit code when Start returned false: 0 after the command line's
    // print verbs printed everything, 2 for an unknown option (the usage is on stderr), 1
    // otherwise.
    int ExitCode() const { return m_exitCode; }

    CMainFrame* MainFrame() const { return m_frame.get(); }
    // Replaces the data source window that start-up shows when the database cannot be opened
    // (tests answer it themselves). Returns a connect string, or nullopt for Cancel.
    void SetDataSourceChooser(std::function<std::optional<std::string>()> chooser)
    {
        m_chooser = std::move(chooser);
    }
    // The product database connection (from start-up step 5 to exit), or null.
    CDBConnection* Connection() const { return m_connection.get(); }
    CSettingsStore& Settings() { return m_settings; }
    // Milliseconds between autosaves as the settings have it; 0: none.
    static int AutosaveMs(const CSettingsStore& settings);

private:
    void RunUpdateCheck();
    bool OpenProductDatabase();
    // False ends start-up: after print verbs (nothing else to show) or a bad command line.
    bool ProcessCommandLine(const QStringList& arguments);
    // Opens `path`, prints its field list on `printerName` (empty: the default printer; a name
    // ending in ".pdf": that file) and closes it again.
    bool PrintShow(const QString& path, const QString& printerName);

    CSettingsStore m_settings;
    CUpdateSettings m_updateSettings;
    CRecentFileList m_recent;
    std::unique_ptr<CQtPrompter> m_prompter;
    std::unique_ptr<CDBConnection> m_connection;
    std::function<std::optional<std::string>()> m_chooser;
    std::unique_ptr<CRecoveryFiles> m_recovery;  // outlives the frame
    std::unique_ptr<CMainFrame> m_frame;
    int m_exitCode = 1;
    bool m_startWithNewShow = false;
};

}  // namespace flr
