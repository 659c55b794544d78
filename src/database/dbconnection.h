#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/settingsstore.h"
#include "database/database.h"

namespace flr {

// The application's connection to the product database: the connect string (from the
// settings' "Settings/DBSTRING", else the registered "DSN=FLR Database") and the open
// database every window's recordsets use. Messages go through the prompt layer.
// User-interface thread only.
class CDBConnection {
public:
    // Lets the user pick a data source; returns the full connect string of the choice, or
    // nullopt when the user cancels. The desktop program installs its dialog here.
    using DataSourceChooser = std::function<std::optional<std::string>()>;

    // Reads "DBSTRING" from `settings` (not owned, must outlive the connection); when it is
    // missing or empty, registers the data source "FLR Database" and saves "DSN=FLR
    // Database", or keeps an empty connect string when the registration fails.
    explicit CDBConnection(CSettingsStore& settings);
    // A connection for one run with `connect`, which is never saved (flr-cli --connect).
    CDBConnection(CSettingsStore& settings, std::string connect);

    // Opens the database unless it is open. A failure shows "Unable to open database :\n\n[%s]."
    // ("Database Error"), lets the user choose another data source and saves the result;
    // with an empty connect string the data source is registered first. True when open.
    bool OpenDatabase();
    // Opens with the chooser's connect string and keeps its "DSN=" part alone as the connect
    // string (the full text when it has none). Nothing happens without a chooser or when the
    // user cancels.
    void ChooseDataSource();
    // Writes the connect string to "Settings/DBSTRING" (nothing for an empty one); shows the
    // system's text for the failure titled "Registry Error" and returns false when it cannot.
    bool SaveConnectString();

    // The version check of start-up: true when tbVersion says 2.9 or later, or cannot be read
    // (after the connect message). Otherwise shows the incompatibility message titled
    // "Database Error" and returns false.
    bool CheckVersion();

    void SetDataSourceChooser(DataSourceChooser chooser) { m_chooser = std::move(chooser); }
    const std::string& GetConnectString() const { return m_connect; }
    // The open database (owned by the connection; closed with it).
    CDatabase& GetDatabase() { return m_database; }
    bool IsOpen() const { return m_database.IsOpen(); }

private:
    bool TryOpen(DBError* error);

    CSettingsStore& m_settings;
    std::string m_connect;
    CDatabase m_database;
    DataSourceChooser m_chooser;
    bool m_persistent = true;  // false for a connect string given for one run
};

// The DSN part of a connect string: from "DSN=" up to the next ";" (the rest when there is
// none); the whole text when it names no DSN.
std::string ExtractDataSourceName(const std::string& connect);

// Whether a database of this version can be used: major -1 (unreadable) passes, else 2.9 on.
bool IsCompatibleVersion(int major, int minor);

}  // namespace flr
