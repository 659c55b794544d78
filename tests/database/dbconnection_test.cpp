#include "database/dbconnection.h"

#include <gtest/gtest.h>
#include <odbcinst.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <map>
#include <sstream>
#include <tuple>

#include "base/settingsstore.h"
#include "database/datasource.h"
#include "database/itemtable.h"
#include "support/dbfixture.h"
#include "support/scriptedprompter.h"

namespace flr::test {

namespace fs = std::filesystem;

TEST(DataSourceNameTest, KeepsTheDsnPartAndChecksTheVersion)
{
    EXPECT_EQ(ExtractDataSourceName("DSN=FLR Database;UID=admin;PWD=x"), "DSN=FLR Database");
    EXPECT_EQ(ExtractDataSourceName("ODBC;DSN=Shared Catalogue"), "DSN=Shared Catalogue");
    EXPECT_EQ(ExtractDataSourceName("DRIVER={SQLite3};Database=/x.sqlite"),
              "DRIVER={SQLite3};Database=/x.sqlite");
    // 2.9 and later, and an unreadable version (-1), are compatible.
    const std::tuple<int, int, bool> versions[] = {{-1, -1, true}, {2, 9, true},   {3, 0, true},
                                                   {2, 8, false},  {1, 99, false}, {0, 0, false}};
    for (const auto& [major, minor, ok] : versions)
        EXPECT_EQ(IsCompatibleVersion(major, minor), ok) << major << "." << minor;
}

// Qt settles the user settings folder once per process, so these tests name their file.
class ConnectionTest : public IsolatedHomeTest {
protected:
    std::string SettingsPath() const
    {
        return (m_home / "config" / "Flarion" / "FLR.ini").string();
    }
    ScriptedPrompter prompter;
};

TEST_F(ConnectionTest, AnEmptyConnectStringRegistersTheDefaultDatabaseAndSavesTheDsn)
{
    CSettingsStore settings(SettingsPath());
    ASSERT_TRUE(settings.WriteText("Settings/DBSTRING", ""));
    {
        CDBConnection connection(settings);
        EXPECT_EQ(connection.GetConnectString(), "DSN=FLR Database");
        EXPECT_EQ(settings.ReadText("Settings/DBSTRING").value_or(""), "DSN=FLR Database");

        // The default database lives in the data folder, made from the embedded catalogue.
        const fs::path database = m_home / "data" / "Flarion" / "FLR" / "Database.sqlite";
        EXPECT_EQ(DefaultDatabasePath(), database.string());
        ASSERT_TRUE(connection.OpenDatabase());
        EXPECT_TRUE(connection.CheckVersion());
    }
    // Made again when it has gone.
    fs::remove(DefaultDatabasePath());
    CDBConnection again(settings);
    EXPECT_TRUE(again.OpenDatabase());
    EXPECT_TRUE(fs::exists(DefaultDatabasePath()));
    // A recordset without a connection opens the default data source.
    CItemTable items(nullptr);
    EXPECT_EQ(items.DefaultConnectString(), "ODBC;DSN=FLR Database");
    ASSERT_TRUE(items.OpenTable());
    EXPECT_EQ(items.GetRecordCount(), 63u);
    EXPECT_TRUE(prompter.Messages().empty());
}

// A run's own connect string is never saved: flr-cli `items --connect` checks it.
TEST_F(ConnectionTest, AStoredConnectStringIsUsedAsItIs)
{
    const std::string path = (m_home / "Other.sqlite").string();
    ASSERT_TRUE(CreateSqliteDatabase(path, nullptr));
    CSettingsStore settings(SettingsPath());
    ASSERT_TRUE(settings.WriteText("Settings/DBSTRING", SqliteConnectString(path)));
    CDBConnection connection(settings);
    EXPECT_EQ(connection.GetConnectString(), SqliteConnectString(path));
    EXPECT_FALSE(fs::exists(m_home / ".odbc.ini"));  // nothing registered
    EXPECT_TRUE(connection.OpenDatabase());
    EXPECT_TRUE(connection.OpenDatabase());  // already open: nothing happens
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(ConnectionTest, AMissingDatabaseFileAsksForAnotherDataSourceAndKeepsItsDsnPart)
{
    CSettingsStore settings(SettingsPath());
    const std::string missing = SqliteConnectString((m_home / "gone.sqlite").string());
    ASSERT_TRUE(settings.WriteText("Settings/DBSTRING", missing));
    {
        // Cancelled: closed, the string as it was, and recordsets on it say so.
        CDBConnection connection(settings);
        connection.SetDataSourceChooser([] { return std::optional<std::string>(); });
        EXPECT_FALSE(connection.OpenDatabase());
        EXPECT_EQ(connection.GetConnectString(), missing);
        CItemTable items(&connection.GetDatabase());
        EXPECT_FALSE(items.OpenTable());
        EXPECT_TRUE(items.IsEOF());
        EXPECT_EQ(prompter.Messages().size(), 2u);
    }
    CDBConnection connection(settings);
    ASSERT_TRUE(RegisterDataSource("FLR Database"));
    int asked = 0;
    connection.SetDataSourceChooser([&]() -> std::optional<std::string> {
        ++asked;
        return std::string("DSN=FLR Database;Timeout=3000;NoCreat=1");
    });
    EXPECT_TRUE(connection.OpenDatabase());
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(prompter.Messages().size(), 3u);
    EXPECT_EQ(prompter.Messages()[2].caption, "Database Error");
    EXPECT_EQ(prompter.Messages()[2].text.rfind("Unable to open database :\n\n[", 0), 0u)
        << prompter.Messages()[2].text;
    EXPECT_FALSE(fs::exists(m_home / "gone.sqlite"));  // not made empty behind the user's back
    EXPECT_EQ(connection.GetConnectString(), "DSN=FLR Database");
    EXPECT_EQ(settings.ReadText("Settings/DBSTRING").value_or(""), "DSN=FLR Database");
}

TEST_F(ConnectionTest, AnUnwritableSettingsStoreIsARegistryError)
{
    const fs::path blocker = m_home / "blocker";
    std::ofstream(blocker) << "x";
    CSettingsStore settings((blocker / "FLR.ini").string());
    CDBConnection connection(settings);  // registers and tries to save
    EXPECT_EQ(connection.GetConnectString(), "DSN=FLR Database");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Registry Error");
    EXPECT_TRUE(connection.OpenDatabase());  // start-up goes on
}

TEST_F(ConnectionTest, AFailedRegistrationIsReportedNotSilent)
{
    // The data folder cannot be made: a file stands where it should be.
    std::ofstream(m_home / "data" / "Flarion") << "x";
    CSettingsStore settings(SettingsPath());
    CDBConnection connection(settings);
    EXPECT_EQ(connection.GetConnectString(), "");
    EXPECT_FALSE(connection.OpenDatabase());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Database Error");
    EXPECT_EQ(prompter.Messages()[0].text.rfind("Unable to open database :\n\n[", 0), 0u);
    EXPECT_FALSE(settings.ReadText("Settings/DBSTRING"));
}

TEST_F(ConnectionTest, ALockedSqliteFileGivesTheMessageAndWorksOnceReleased)
{
    const std::string path = (m_home / "Locked.sqlite").string();
    ASSERT_TRUE(CreateSqliteDatabase(path, nullptr));
    CDatabase holder;
    DBError error;
    ASSERT_TRUE(holder.OpenEx(SqliteConnectString(path, 100), &error)) << error.text;
    ASSERT_TRUE(holder.ExecuteSQL("BEGIN EXCLUSIVE", &error)) << error.text;

    CDatabase db;
    ASSERT_TRUE(db.OpenEx(SqliteConnectString(path, 100), &error)) << error.text;
    CItemTable items(&db);
    EXPECT_FALSE(items.OpenTable());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_NE(prompter.Messages()[0].text.find("locked"), std::string::npos)
        << prompter.Messages()[0].text;

    ASSERT_TRUE(holder.ExecuteSQL("ROLLBACK", &error)) << error.text;
    EXPECT_TRUE(items.OpenTable());
    EXPECT_EQ(items.GetRecordCount(), 63u);
}

// A team's catalogue: "DBSTRING" names a PostgreSQL data source of the user's odbc.ini, whose
// keys are the driver's connect-string keywords.
TEST_F(ConnectionTest, ASharedPostgresCatalogueIsUsedThroughItsDataSource)
{
    const std::string connect = PostgresConnectString();
    if (connect.empty()) GTEST_SKIP() << "PostgreSQL skipped: FLR_TEST_PG_CONNECT is not set";
    const std::map<std::string, std::string> keys = {{"SERVER", "Servername"},
                                                     {"PORT", "Port"},
                                                     {"DATABASE", "Database"},
                                                     {"UID", "Username"},
                                                     {"PWD", "Password"}};
    std::map<std::string, std::string> parts;
    std::stringstream in(connect);
    for (std::string part; std::getline(in, part, ';');) {
        const size_t equals = part.find('=');
        if (equals != std::string::npos) parts[part.substr(0, equals)] = part.substr(equals + 1);
    }
    const std::string driver = parts["DRIVER"].substr(1, parts["DRIVER"].size() - 2);  // {...}
    UseOdbcIniOfHome();
    SQLSetConfigMode(ODBC_USER_DSN);
    ASSERT_TRUE(SQLWriteDSNToIni("FLR Shared Catalogue", driver.c_str()));
    for (const auto& [keyword, key] : keys)
        ASSERT_TRUE(SQLWritePrivateProfileString("FLR Shared Catalogue", key.c_str(),
                                                 parts[keyword].c_str(), "odbc.ini"));
    SQLSetConfigMode(ODBC_BOTH_DSN);

    CSettingsStore settings(SettingsPath());
    ASSERT_TRUE(settings.WriteText("Settings/DBSTRING", "DSN=FLR Shared Catalogue"));
    CDBConnection connection(settings);
    ASSERT_TRUE(connection.OpenDatabase());
    EXPECT_EQ(connection.GetDatabase().GetDBMSName(), "PostgreSQL");
    EXPECT_TRUE(connection.CheckVersion());
    CItemTable items(&connection.GetDatabase());
    ASSERT_TRUE(items.OpenTable(FireworksQuery::OfSize(150, FireworksQuery::Order::SerialID)));
    EXPECT_GE(items.GetRecordCount(), 3u);
    EXPECT_TRUE(prompter.Messages().empty());
}

// The shared catalogue's server goes away while the program runs (stopped, then hung with the
// connection open as after a network drop: frozen by SIGSTOP), and comes back. Each failure
// gives the message within seconds, and so does the reconnect that follows it.
TEST_F(ConnectionTest, APostgresServerStoppedOrHungGivesTheMessageAndRecovers)
{
    const std::string connect = PostgresConnectString();
    const char* commands[4] = {std::getenv("FLR_TEST_PG_STOP"), std::getenv("FLR_TEST_PG_START"),
                               std::getenv("FLR_TEST_PG_PAUSE"), std::getenv("FLR_TEST_PG_RESUME")};
    if (connect.empty() || !commands[0] || !commands[1] || !commands[2] || !commands[3])
        GTEST_SKIP() << "PostgreSQL skipped: FLR_TEST_PG_CONNECT and FLR_TEST_PG_STOP, _START, "
                        "_PAUSE, _RESUME are not set (scripts/test.sh sets them)";
    CDatabase db;
    DBError error;
    ASSERT_TRUE(db.OpenEx(connect, &error)) << error.text;
    CItemTable items(&db);
    ASSERT_TRUE(items.OpenTable());
    const size_t count = items.GetRecordCount();
    items.Close();

    for (int hang = 0; hang < 2; ++hang) {
        const char* resume = commands[2 * hang + 1];
        ASSERT_EQ(std::system(commands[2 * hang]), 0);
        // Whatever fails below, the server runs again afterwards.
        struct Resume {
            const char* command;
            bool done = false;
            ~Resume()
            {
                if (!done) (void)std::system(command);
            }
        } again{resume};
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto started = std::chrono::steady_clock::now();
            // On a thread of its own only so that a hanging call cannot hang the suite: waking
            // the server ends it, and the time check fails.
            std::future<bool> call =
                std::async(std::launch::async, [&] { return items.OpenTable(); });
            if (call.wait_for(std::chrono::seconds(30)) != std::future_status::ready)
                (void)std::system(resume);
            EXPECT_FALSE(call.get());
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(11));
        }
        again.done = true;
        ASSERT_EQ(std::system(resume), 0);
        ASSERT_EQ(prompter.Messages().size(), 2u * (hang + 1));
        // A hung server is named as one; a stopped one gives the driver's own reason.
        EXPECT_EQ(prompter.Messages()[2 * hang].text.find("did not answer") != std::string::npos,
                  hang == 1);
        EXPECT_EQ(prompter.Messages().back().caption, "Database Error");
        EXPECT_EQ(prompter.Messages().back().text.rfind("Unable to connect to FLR database - [", 0),
                  0u);
        EXPECT_TRUE(items.OpenTable()) << prompter.Messages().back().text;
        EXPECT_EQ(items.GetRecordCount(), count);
        items.Close();
    }
}

}  // namespace flr::test
