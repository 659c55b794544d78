#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

namespace flr {

// The data source the program registers and opens by default.
inline constexpr std::string_view kDataSourceName = "FLR Database";
inline constexpr std::string_view kDefaultConnect = "DSN=FLR Database";

// The embedded default database: $XDG_DATA_HOME/Flarion/FLR/Database.sqlite (XDG_DATA_HOME
// defaults to ~/.local/share under HomeFolder()). Never inside the build or install tree, and
// never in a folder other users can write to: "" when the home folder is unknown.
std::string DefaultDatabasePath();

// The SQLite 3 ODBC driver as a connect string names it: "SQLite3" when unixODBC knows the
// driver by that name, else the driver library's path ("" when neither is found).
std::string SqliteDriver();

// A connect string for the SQLite product database in `path`. The driver is told never to
// create a missing file (a missing database is an error, not an empty catalogue), to step
// through results rather than copy them as text first (twice as fast), and to wait at most
// `busyTimeoutMs` for a lock another program holds.
std::string SqliteConnectString(std::string_view path, int busyTimeoutMs = 5000);

// The SQL files of resources/, compiled in (UTF-8).
std::string_view EmbeddedSqliteSchema();
std::string_view EmbeddedPostgresSchema();
std::string_view EmbeddedSampleData();
std::string_view EmbeddedPostgresSequences();

// Creates the eight tables in the open `database` (SQLite or PostgreSQL, told apart by the
// driver's DBMS name) and, with `sampleData`, loads the sample catalogue as Windows-1252
// text. One transaction: all or nothing. False with `error` set on failure.
bool CreateCatalogue(CDatabase& database, bool sampleData, DBError* error);

// Creates a new SQLite product database with the sample catalogue in `path`, writing it
// beside the target first and linking it into place, so a failure leaves no half-made file
// and a file another program put there meanwhile is never replaced. Missing folders are made
// 0700 and the file 0600: it holds customers' names and numbers. False with `error` set when
// the folder cannot be made, the file exists or a step fails.
bool CreateSqliteDatabase(const std::string& path, DBError* error);

// Creates the default database on first use; true when it exists afterwards, also when
// another program created it at the same moment.
bool EnsureDefaultDatabase(DBError* error);

// Registers `name` as a user data source (the user's odbc.ini: $ODBCINI, else ~/.odbc.ini)
// for the SQLite 3 ODBC driver, pointing at the default database, which it creates first when
// missing. Success is the registration's. Failures are returned in `error`, not shown.
bool RegisterDataSource(std::string_view name, DBError* error = nullptr);

// unixODBC finds the user's odbc.ini through ODBCINI or the password database's home folder,
// never through HOME. When ODBCINI is unset and HOME names another folder (tests, sandboxes),
// this points ODBCINI at $HOME/.odbc.ini. Called before the driver manager reads it.
void UseOdbcIniOfHome();

// The database file a registered data source names ("" when it is not registered).
std::string DataSourceDatabase(std::string_view name);

struct DataSourceInfo {
    std::string name;
    std::string driver;  // the driver's description
    bool system = false;
};

// The data sources the ODBC driver manager knows, user ones first. Empty when the driver
// manager cannot be asked.
std::vector<DataSourceInfo> ListDataSources();

}  // namespace flr
