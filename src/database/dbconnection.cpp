#include "database/dbconnection.h"

#include <strings.h>

#include <cerrno>
#include <cstring>

#include "base/prompt.h"
#include "database/datasource.h"
#include "database/versiontable.h"

namespace flr {

namespace {

constexpr const char* kConnectKey = "Settings/DBSTRING";

// The connect string names our own default data source and that database has gone: make it
// again, as on first use, rather than greet the user with a broken catalogue.
void RestoreDefaultDatabase(const std::string& connect)
{
    if (::strcasecmp(connect.c_str(), std::string(kDefaultConnect).c_str()) != 0 &&
        ::strcasecmp(connect.c_str(), ("ODBC;" + std::string(kDefaultConnect)).c_str()) != 0)
        return;
    if (DataSourceDatabase(kDataSourceName) != DefaultDatabasePath()) return;
    EnsureDefaultDatabase(nullptr);
}

}  // namespace

std::string ExtractDataSourceName(const std::string& connect)
{
    const size_t start = connect.find("DSN=");
    if (start == std::string::npos) return connect;
    const size_t end = connect.find(';', start);
    return connect.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool IsCompatibleVersion(int major, int minor)
{
    if (major == -1) return true;
    return !(major < 2 || (major == 2 && minor < 9));
}

CDBConnection::CDBConnection(CSettingsStore& settings) : m_settings(settings)
{
    const std::optional<std::string> stored = m_settings.ReadText(kConnectKey);
    if (stored && !stored->empty()) {
        m_connect = *stored;
        return;
    }
    if (RegisterDataSource(kDataSourceName)) {
        m_connect = std::string(kDefaultConnect);
        SaveConnectString();
    }
}

CDBConnection::CDBConnection(CSettingsStore& settings, std::string connect)
    : m_settings(settings), m_connect(std::move(connect)), m_persistent(false)
{
}

bool CDBConnection::TryOpen(DBError* error)
{
    RestoreDefaultDatabase(m_connect);
    return m_database.OpenEx(m_connect, error);
}

bool CDBConnection::OpenDatabase()
{
    if (m_database.IsOpen()) return true;
    const auto reportAndChoose = [this](const DBError& error) {
        ShowMessage("Unable to open database :\n\n[" + error.text + "].", "Database Error",
                    PromptButtons::Ok, PromptIcon::Error);
        ChooseDataSource();
    };
    DBError error;
    if (!m_connect.empty()) {
        if (!TryOpen(&error)) {
            reportAndChoose(error);
            SaveConnectString();
        }
        return m_database.IsOpen();
    }
    if (RegisterDataSource(kDataSourceName, &error)) {
        m_connect = std::string(kDefaultConnect);
        if (!TryOpen(&error)) reportAndChoose(error);
    } else {
        // Without a data source nothing can open; say why rather than carry on silently.
        reportAndChoose(error);
    }
    SaveConnectString();
    return m_database.IsOpen();
}

void CDBConnection::ChooseDataSource()
{
    if (!m_chooser) return;
    const std::optional<std::string> chosen = m_chooser();
    if (!chosen) return;
    DBError error;
    if (!m_database.OpenEx(*chosen, &error)) {
        ShowMessage("Unable to open database :\n\n[" + error.text + "].", "Database Error",
                    PromptButtons::Ok, PromptIcon::Error);
    }
    m_connect = ExtractDataSourceName(*chosen);
}

bool CDBConnection::SaveConnectString()
{
    if (m_connect.empty() || !m_persistent) return true;
    errno = 0;
    if (m_settings.WriteText(kConnectKey, m_connect)) return true;
    // The system's text for what stopped the write; a store that failed without saying why
    // was refused access.
    const std::string text = std::strerror(errno ? errno : EACCES);
    ShowMessage(text, "Registry Error", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

bool CDBConnection::CheckVersion()
{
    int32_t major = -1, minor = -1, revision = -1;
    {
        CVersionTable version(&m_database);
        version.ReadVersion(major, minor, revision);
    }
    if (IsCompatibleVersion(major, minor)) return true;
    ShowMessage(std::string("This FLR version is not compatible with the selected database.") +
                    "\n\n" + "Please contact FLR Software for the latest database revision.",
                "Database Error", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

}  // namespace flr
