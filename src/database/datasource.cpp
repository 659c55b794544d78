#include "database/datasource.h"

#include <fcntl.h>
#include <odbcinst.h>
#include <pwd.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/homefolder.h"
#include "base/textcodec.h"
#include "database/embeddedsql.h"

namespace flr {

namespace fs = std::filesystem;

std::string DefaultDatabasePath()
{
    fs::path base;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') {
        base = data;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        base = fs::path(home) / ".local" / "share";
    }
    return (base / "Flarion" / "FLR" / "Database.sqlite").string();
}

std::string SqliteDriver()
{
    char driver[512] = {};
    SQLGetPrivateProfileString("SQLite3", "Driver", "", driver, sizeof driver, "ODBCINST.INI");
    if (driver[0]) return "SQLite3";
    for (const char* path :
         {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
          "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so",
          "/usr/lib64/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so"}) {
        if (::access(path, R_OK) == 0) return path;
    }
    return {};
}

std::string SqliteConnectString(std::string_view path, int busyTimeoutMs)
{
    std::string driver = SqliteDriver();
    if (driver.empty()) driver = "SQLite3";
    return "DRIVER={" + driver + "};Database=" + std::string(path) +
           ";NoCreat=1;StepAPI=1;Timeout=" + std::to_string(busyTimeoutMs) + ";";
}

std::string_view EmbeddedSqliteSchema() { return embedded::kSchemaSqlite; }
std::string_view EmbeddedPostgresSchema() { return embedded::kSchemaPostgres; }
std::string_view EmbeddedSampleData() { return embedded::kSampleData; }
std::string_view EmbeddedPostgresSequences() { return embedded::kSequencesPostgres; }

bool CreateCatalogue(CDatabase& database, bool sampleData, DBError* error)
{
    const bool postgres = database.GetDBMSName().rfind("PostgreSQL", 0) == 0;
    std::string script(postgres ? EmbeddedPostgresSchema() : EmbeddedSqliteSchema());
    if (sampleData) {
        script += ";\n";
        script += Utf8ToCp1252(EmbeddedSampleData());
        if (postgres) {
            script += ";\n";
            script += EmbeddedPostgresSequences();
        }
    }
    return database.ExecuteScript(script, error);
}

namespace {

// Makes the missing folders of `folder`, each readable by the user alone.
bool MakeFolders(const fs::path& folder, DBError& err)
{
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) == 0 || errno == EEXIST) continue;
        err = {"HY000",
               "Unable to create the folder " + made.string() + ": " + std::strerror(errno) + "."};
        return false;
    }
    if (!fs::is_directory(folder)) {
        err = {"HY000", "Unable to create the folder " + folder.string() +
                            ": a file of that name is in the way."};
        return false;
    }
    return true;
}

}  // namespace

bool CreateSqliteDatabase(const std::string& path, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    if (path.empty()) {
        err = {"HY000",
               "The home folder is unknown, so there is no place for the database. "
               "Set HOME and start FLR again."};
        return false;
    }
    const fs::path target(path);
    if (target.has_parent_path() && !MakeFolders(target.parent_path(), err)) return false;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        err = {"HY000", "The file " + path + " exists already."};
        return false;
    }
    const fs::path temporary = target.string() + ".new-" + std::to_string(::getpid());
    fs::remove(temporary, ec);
    fs::remove(temporary.string() + "-journal", ec);
    // Made here rather than by the driver, so it is the user's alone from the start; SQLite
    // takes an empty file as a new database.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        err = {"HY000",
               "Unable to create " + temporary.string() + ": " + std::strerror(errno) + "."};
        return false;
    }
    ::close(fd);
    bool ok;
    {
        CDatabase database;
        ok = database.OpenEx(SqliteConnectString(temporary.string()), &err) &&
             CreateCatalogue(database, true, &err);
    }
    // A link, unlike a rename, never replaces a database another program has just made and
    // opened.
    if (ok && ::link(temporary.c_str(), target.c_str()) != 0) {
        err = {"HY000", errno == EEXIST ? "The file " + path + " exists already."
                                        : "Unable to move the new database to " + path + ": " +
                                              std::strerror(errno) + "."};
        ok = false;
    }
    fs::remove(temporary, ec);
    fs::remove(temporary.string() + "-journal", ec);
    return ok;
}

bool EnsureDefaultDatabase(DBError* error)
{
    const std::string path = DefaultDatabasePath();
    std::error_code ec;
    if (!path.empty() && fs::exists(path, ec)) return true;
    // Another program starting at the same time may have won; its database serves both.
    return CreateSqliteDatabase(path, error) || (!path.empty() && fs::exists(path, ec));
}

namespace {

// The installer's functions read and write the user's odbc.ini while in user mode.
class UserConfigMode {
public:
    UserConfigMode()
    {
        SQLGetConfigMode(&m_previous);
        SQLSetConfigMode(ODBC_USER_DSN);
    }
    ~UserConfigMode() { SQLSetConfigMode(m_previous); }

private:
    UWORD m_previous = ODBC_BOTH_DSN;
};

std::string InstallerError()
{
    DWORD code = 0;
    char message[SQL_MAX_MESSAGE_LENGTH] = {};
    WORD length = 0;
    if (SQLInstallerError(1, &code, message, sizeof message, &length) == SQL_SUCCESS && message[0])
        return message;
    return "The ODBC installer could not write the user data source file.";
}

}  // namespace

void UseOdbcIniOfHome()
{
    if (std::getenv("ODBCINI")) return;
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') return;
    const passwd* user = ::getpwuid(::getuid());
    if (user && user->pw_dir && std::string(user->pw_dir) == home) return;
    ::setenv("ODBCINI", (fs::path(home) / ".odbc.ini").c_str(), 1);
}

bool RegisterDataSource(std::string_view name, DBError* error)
{
    UseOdbcIniOfHome();
    DBError local;
    DBError& err = error ? *error : local;
    if (!EnsureDefaultDatabase(&err)) return false;
    const std::string driver = SqliteDriver();
    if (driver.empty()) {
        err = {"IM002",
               "The SQLite 3 ODBC driver is not installed (Debian package libsqliteodbc)."};
        return false;
    }
    const std::string dsn(name);
    UserConfigMode mode;
    // The SQLite driver has no setup routine, so the installer's profile functions
    // write the entry; a driver given by its path goes in as that path.
    const bool ok = SQLWriteDSNToIni(dsn.c_str(), driver.c_str()) &&
                    SQLWritePrivateProfileString(dsn.c_str(), "Description", "FLR product database",
                                                 "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn.c_str(), "Database",
                                                 DefaultDatabasePath().c_str(), "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn.c_str(), "NoCreat", "1", "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn.c_str(), "StepAPI", "1", "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn.c_str(), "Timeout", "5000", "odbc.ini");
    if (!ok) err = {"IM000", InstallerError()};
    return ok;
}

std::string DataSourceDatabase(std::string_view name)
{
    UseOdbcIniOfHome();
    UserConfigMode mode;
    char path[1024] = {};
    const std::string dsn(name);
    SQLGetPrivateProfileString(dsn.c_str(), "Database", "", path, sizeof path, "odbc.ini");
    return path;
}

std::vector<DataSourceInfo> ListDataSources()
{
    std::vector<DataSourceInfo> out;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return out;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    for (SQLUSMALLINT first :
         {SQLUSMALLINT(SQL_FETCH_FIRST_USER), SQLUSMALLINT(SQL_FETCH_FIRST_SYSTEM)}) {
        SQLUSMALLINT direction = first;
        for (;;) {
            SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
            SQLCHAR driver[256] = {};
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT driverLength = 0;
            const SQLRETURN rc = SQLDataSources(env, direction, name, sizeof name, &nameLength,
                                                driver, sizeof driver, &driverLength);
            if (!SQL_SUCCEEDED(rc)) break;
            out.push_back({reinterpret_cast<char*>(name), reinterpret_cast<char*>(driver),
                           first == SQL_FETCH_FIRST_SYSTEM});
            direction = SQL_FETCH_NEXT;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return out;
}

}  // namespace flr
