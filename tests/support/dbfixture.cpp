#include "support/dbfixture.h"

#include <unistd.h>

#include <cstdlib>

#include "database/datasource.h"

namespace flr::test {

namespace fs = std::filesystem;

std::string EngineName(const testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

std::string PostgresConnectString()
{
    const char* connect = std::getenv("FLR_TEST_PG_CONNECT");
    return connect ? connect : "";
}

void IsolatedHomeTest::SetUp()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    m_home = fs::temp_directory_path() / ("flr-db-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(m_home);
    fs::create_directories(m_home / "config");
    fs::create_directories(m_home / "data");
    ::setenv("HOME", m_home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_home / "data").c_str(), 1);
    ::setenv("ODBCINI", (m_home / ".odbc.ini").c_str(), 1);
}

void IsolatedHomeTest::TearDown()
{
    std::error_code ec;
    fs::remove_all(m_home, ec);
}

void DatabaseTest::SetUp()
{
    IsolatedHomeTest::SetUp();
    if (GetParam() == Engine::SQLite) {
        const std::string path = (m_home / "Test.sqlite").string();
        DBError error;
        ASSERT_TRUE(CreateSqliteDatabase(path, &error)) << error.text;
        m_connect = SqliteConnectString(path, 2000);
    } else {
        m_connect = PostgresConnectString();
        if (m_connect.empty()) {
            GTEST_SKIP() << "PostgreSQL skipped: FLR_TEST_PG_CONNECT is not set (scripts/test.sh "
                            "starts a server and sets it)";
        }
        DBError error;
        ASSERT_TRUE(m_db.OpenEx(m_connect, &error)) << error.text;
        for (const char* table : {"tbCategories", "tbColors", "tbCountries", "tbCustomers",
                                  "tbFireworks", "tbSuppliers", "tbMortarTypes", "tbVersion"}) {
            ASSERT_TRUE(m_db.ExecuteSQL(
                "DROP TABLE IF EXISTS " + m_db.QuoteIdentifier(table) + " CASCADE", &error))
                << error.text;
        }
        ASSERT_TRUE(CreateCatalogue(m_db, true, &error)) << error.text;
        m_db.Close();
    }
    DBError error;
    ASSERT_TRUE(m_db.OpenEx(m_connect, &error)) << error.text;
    m_prompter = std::make_unique<ScriptedPrompter>();
}

void DatabaseTest::TearDown()
{
    m_prompter.reset();
    m_db.Close();
    IsolatedHomeTest::TearDown();
}

}  // namespace flr::test
