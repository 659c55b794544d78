#pragma once

#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <string>
#include <string_view>

#include "database/linkwatch.h"

namespace flr {

// What an ODBC call reported when it failed: the SQLSTATE and the driver's text.
struct DBError {
    std::string state;
    std::string text;

    // True for the states that say the link to the server is gone (class 08, and the
    // PostgreSQL driver's "server closed the connection" family).
    bool IsConnectionLost() const;
};

// The application's one connection to the product database, on the unixODBC driver manager.
// The program's texts are
// Windows-1252 bytes; on PostgreSQL the session speaks UTF-8 and the texts are converted at
// this boundary (a character Windows-1252 lacks reads as '?'), so no stored text can make
// a read fail.
// User-interface thread only. Recordsets opened on it hold no statement between calls, so the
// connection may be closed or reconnected while they exist.
// No call waits long for a server: connecting gives up after kTimeoutSeconds, a statement is
// cancelled by the server after as long, and one on a server that no longer answers has its
// link cut a second later (CLinkWatch), failing as a lost link that the next use makes again.
class CDatabase {
public:
    static constexpr int kTimeoutSeconds = 8;

    // Held around every call on the connection's handle: bounds its wait for a server.
    class CallGuard {
    public:
        explicit CallGuard(CDatabase& database) : m_watch(database.m_watch) { m_watch.Arm(); }
        ~CallGuard() { m_watch.Disarm(); }
        CallGuard(const CallGuard&) = delete;
        CallGuard& operator=(const CallGuard&) = delete;

    private:
        CLinkWatch& m_watch;
    };

    CDatabase();
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with `connect`, an ODBC connect string (a leading "ODBC;" is dropped), never
    // letting the driver show a dialog. An open connection is closed first. False, with the
    // driver's message in `error`, when the connection cannot be made.
    bool OpenEx(std::string_view connect, DBError* error = nullptr);
    void Close();
    // False also while a lost link could not be made again yet.
    bool IsOpen() const { return m_dbc != SQL_NULL_HDBC; }

    // The DBMS name the driver reports ("SQLite", "PostgreSQL").
    const std::string& GetDBMSName() const { return m_dbmsName; }

    // True when texts cross the driver as UTF-8 (PostgreSQL) rather than as they are.
    bool TextIsUtf8() const { return m_textUtf8; }
    // A program text (Windows-1252) as the driver wants it, and back.
    std::string ToDriverText(std::string_view text) const;
    std::string FromDriverText(std::string_view text) const;

    // `name` between the driver's identifier quote characters (as it is when the driver
    // has none).
    std::string QuoteIdentifier(std::string_view name) const;

    // Runs one statement without result. False with `error` set when it fails.
    bool ExecuteSQL(std::string_view sql, DBError* error = nullptr);
    // Runs a script of statements separated by ";" at line ends, as one transaction: all of
    // it or, when a statement fails, none of it (the failure in `error`).
    bool ExecuteScript(std::string_view script, DBError* error = nullptr);
    // Runs `work` as one transaction: committed when it returns true, rolled back when it
    // returns false (having set `error`) or the commit fails.
    bool InTransaction(const std::function<bool(DBError&)>& work, DBError* error = nullptr);

    // True on PostgreSQL, whose sessions share a server.
    bool IsPostgres() const { return m_textUtf8; }

    // For recordsets and statements: the connection handle, reconnecting first when an
    // earlier call found the link of the open connection lost. SQL_NULL_HDBC with `error` set
    // when there is no usable connection (never opened, closed, or the server still away).
    SQLHDBC AcquireHandle(DBError* error);
    // Statements report their failures here so that a lost link is noticed and re-made on
    // the next use; a call cut for want of an answer gets a text that says so.
    void NoteFailure(DBError& error);
    // Sets the query timeout on a new statement.
    void PrepareStatement(SQLHSTMT statement) const;

private:
    bool Connect(DBError* error);
    void Disconnect();

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    std::string m_connect;  // as given, without "ODBC;"
    std::string m_dbmsName;
    std::string m_quote;  // identifier quote character(s), "" when none
    bool m_textUtf8 = false;
    bool m_linkLost = false;  // a call failed with a lost link: reconnect before the next
    CLinkWatch m_watch{std::chrono::seconds(kTimeoutSeconds + 1)};
};

// The ODBC diagnostic of `handle` as an error value.
DBError DiagnosticOf(SQLSMALLINT handleType, SQLHANDLE handle);

}  // namespace flr
