#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "database/datasource.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
};

// Runs flr-cli with `arguments` (shell words), stderr into stdout when `withStderr`.
CliRun RunCli(const std::string& arguments, bool withStderr = false)
{
    const std::string command = std::string("'") + FLR_CLI_PATH + "' " + arguments +
                                (withStderr ? " 2>&1" : " 2>/dev/null");
    CliRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

using CliItemsTest = IsolatedHomeTest;

TEST_F(CliItemsTest, PrintsTheDefaultCatalogueAsJsonInRecordsetOrder)
{
    const CliRun run = RunCli("items");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const nlohmann::json items = nlohmann::json::parse(run.out);
    ASSERT_TRUE(items.is_array());
    ASSERT_EQ(items.size(), 63u);
    const nlohmann::json& first = items[0];
    EXPECT_EQ(first["artNo"], "BM-S050-01");
    EXPECT_EQ(first["name"], "Red Peony 50");
    EXPECT_EQ(first["size"], 50);
    EXPECT_EQ(first["weight"], 95);
    EXPECT_DOUBLE_EQ(first["prefire"].get<double>(), 1.8);
    EXPECT_DOUBLE_EQ(first["duration"].get<double>(), 3.0);
    EXPECT_EQ(first["color"], 1);
    EXPECT_EQ(first["category"], 1);
    EXPECT_DOUBLE_EQ(first["price"].get<double>(), 2.0);
    EXPECT_EQ(first["stock"], 240);
    EXPECT_EQ(items[30]["name"], "Comète Argentée 50");  // Windows-1252 in the database, UTF-8 out
    // The default was made and registered as the program does at start-up.
    EXPECT_TRUE(std::filesystem::exists(DefaultDatabasePath()));
}

TEST_F(CliItemsTest, AConnectStringOverridesAndFailuresExitWithTheDatabaseError)
{
    const std::string path = (m_home / "Old.sqlite").string();
    ASSERT_TRUE(CreateSqliteDatabase(path, nullptr));
    CliRun run = RunCli("items --connect '" + SqliteConnectString(path) + "'");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(run.out).size(), 63u);
    EXPECT_FALSE(std::filesystem::exists(m_home / "config" / "Flarion" / "FLR.ini"));  // not saved

    CDatabase db;
    ASSERT_TRUE(db.OpenEx(SqliteConnectString(path)));
    ASSERT_TRUE(db.ExecuteSQL("UPDATE \"tbVersion\" SET \"Minor\" = 8"));
    db.Close();
    run = RunCli("items --connect='" + SqliteConnectString(path) + "'", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Database Error"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("This FLR version is not compatible"), std::string::npos) << run.out;

    run = RunCli("items --connect '" + SqliteConnectString((m_home / "none.sqlite").string()) + "'",
                 true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Database Error: Unable to open database"), std::string::npos)
        << run.out;

    EXPECT_EQ(RunCli("items --bogus").exitCode, 2);
}

}  // namespace flr::test
