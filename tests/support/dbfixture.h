#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "database/database.h"
#include "support/scriptedprompter.h"

namespace flr::test {

enum class Engine { SQLite, PostgreSQL };

std::string EngineName(const testing::TestParamInfo<Engine>& info);
inline const auto kEngines = testing::Values(Engine::SQLite, Engine::PostgreSQL);

// Gives each test a home of its own: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and ODBCINI point
// into a fresh temporary folder, removed afterwards.
class IsolatedHomeTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path m_home;
};

// A disposable product database with the sample catalogue on the engine of the test's
// parameter: a new SQLite file per test, or the PostgreSQL database named by
// FLR_TEST_PG_CONNECT with its tables made afresh. Without that variable the PostgreSQL
// cases are skipped with a message saying so.
class DatabaseTest : public IsolatedHomeTest, public testing::WithParamInterface<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;

    // The connect string of the test database.
    std::string m_connect;
    CDatabase m_db;
    std::unique_ptr<ScriptedPrompter> m_prompter;
};

// The PostgreSQL test database's connect string, or "" when there is none.
std::string PostgresConnectString();

}  // namespace flr::test
