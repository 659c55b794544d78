#include "flrapp.h"

#include <QFileInfo>

#include "datasourcedialog.h"
#include "dbconnection.h"
#include "effectcatalogue.h"
#include "mainframe.h"
#include "prompt.h"
#include "qtprompter.h"
#include "updatecheck.h"
#include "version.h"

namespace flr {

CFLRApp::CFLRApp()
    : m_updateSettings(m_settings), m_recent(m_settings), m_prompter(std::make_unique<QtPrompter>())
{
}

CFLRApp::~CFLRApp() = default;

bool CFLRApp::InitInstance(const QStringList& arguments)
{
    // Sockets need no initialisation here; the recent-file list is read with the settings.
    if (m_updateSettings.GetAutoUpdate()) RunUpdateCheck();
    if (!OpenProductDatabase()) return false;

    m_frame = std::make_unique<CMainFrame>(m_settings, m_updateSettings, m_recent);
    m_frame->SetDatabase(&m_connection->GetDatabase());
    m_prompter->SetOwner(m_frame.get());
    m_frame->RestoreLayout();

    if (!ProcessCommandLine(arguments)) return false;
    m_frame->show();
    return true;
}

bool CFLRApp::OpenProductDatabase()
{
    if (!m_connection) {
        m_connection = std::make_unique<CDBConnection>(m_settings);
        m_connection->SetDataSourceChooser([this]() -> std::optional<std::string> {
            if (m_chooser) return m_chooser();
            CDataSourceDialog dialog;
            if (dialog.exec() != QDialog::Accepted || dialog.ConnectString().empty()) {
                return std::nullopt;
            }
            return dialog.ConnectString();
        });
    }
    // A database that cannot be opened has said so and start-up goes on without it; one that
    // is too old ends start-up.
    m_connection->OpenDatabase();
    if (m_connection->IsOpen() && !m_connection->CheckVersion()) return false;
    return true;
}

void CFLRApp::ExitInstance()
{
    m_frame.reset();
    m_connection.reset();
    EffectCatalogue::Program().Clear();
}

void CFLRApp::RunUpdateCheck()
{
    const auto info = CheckForUpdate(m_settings, FLR_VERSION_TEXT, FLR_VERSION_TEXT);
    if (info && info->newer) {
        ShowMessage("There is a new version of FLR available at " + info->downloadUrl + ".",
                    "Update Available!", PromptButtons::Ok, PromptIcon::Information);
    }
}

bool CFLRApp::ProcessCommandLine(const QStringList& arguments)
{
    // arguments[0] is the program. Files are opened in order; a file that cannot be read has
    // said so already and does not stop the others.
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a.startsWith(QLatin1String("--"))) continue;
        m_frame->OpenShow(a);
    }
    return true;
}

}  // namespace flr
