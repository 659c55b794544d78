#include "database/database.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "base/textcodec.h"
#include "database/datasource.h"

namespace flr {

namespace {

// SQLSTATEs after which the connection is useless: the 08 class, a server shutting down
// (57P01..57P03 come through as HY000 texts from some drivers, so those are matched by text).
bool IsLinkState(std::string_view state) { return state.size() == 5 && state.substr(0, 2) == "08"; }

std::string StripOdbcPrefix(std::string_view connect)
{
    if (connect.size() >= 5 && ::strncasecmp(connect.data(), "ODBC;", 5) == 0)
        connect.remove_prefix(5);
    return std::string(connect);
}

}  // namespace

bool DBError::IsConnectionLost() const
{
    if (IsLinkState(state)) return true;
    // The PostgreSQL driver reports a dropped server with a general state and these texts.
    for (const char* marker :
         {"server closed the connection", "terminating connection", "no connection to the server",
          "Could not send Query", "connection is closed", "Connection refused"}) {
        if (text.find(marker) != std::string::npos) return true;
    }
    return false;
}

DBError DiagnosticOf(SQLSMALLINT handleType, SQLHANDLE handle)
{
    DBError error;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLCHAR> text(1024);
    for (SQLSMALLINT record = 1;; ++record) {
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state, &native, text.data(),
                                           SQLSMALLINT(text.size()), &length);
        if (!SQL_SUCCEEDED(rc)) break;
        if (record == 1) error.state.assign(reinterpret_cast<char*>(state), 5);
        if (!error.text.empty()) error.text += ' ';
        error.text.append(
            reinterpret_cast<char*>(text.data()),
            std::min<size_t>(size_t(std::max<SQLSMALLINT>(length, 0)), text.size() - 1));
        if (record >= 4) break;
    }
    if (error.text.empty()) error.text = "The ODBC driver reported an error without a message.";
    // Drivers end their texts with line breaks; the messages put them in brackets.
    while (!error.text.empty() && (error.text.back() == '\n' || error.text.back() == '\r'))
        error.text.pop_back();
    return error;
}

CDatabase::CDatabase() = default;

CDatabase::~CDatabase() { Close(); }

bool CDatabase::OpenEx(std::string_view connect, DBError* error)
{
    Close();
    UseOdbcIniOfHome();
    m_connect = StripOdbcPrefix(connect);
    if (Connect(error)) return true;
    m_connect.clear();
    return false;
}

void CDatabase::Close()
{
    Disconnect();
    if (m_env != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_env = SQL_NULL_HENV;
    }
    m_connect.clear();
    m_linkLost = false;
}

bool CDatabase::Connect(DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    if (m_env == SQL_NULL_HENV) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env))) {
            m_env = SQL_NULL_HENV;
            err = {"HY001", "Unable to allocate an ODBC environment."};
            return false;
        }
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &dbc))) {
        err = DiagnosticOf(SQL_HANDLE_ENV, m_env);
        return false;
    }
    // A server that does not answer must not hang the program.
    const auto timeout = reinterpret_cast<SQLPOINTER>(SQLULEN(kTimeoutSeconds));
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, timeout, 0);
    SQLSetConnectAttr(dbc, SQL_ATTR_CONNECTION_TIMEOUT, timeout, 0);
    std::string connect = m_connect;
    const std::vector<CLinkWatch::Socket> before = CLinkWatch::OpenSockets();
    const SQLRETURN rc =
        SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(connect.data()),
                         SQLSMALLINT(connect.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        err = DiagnosticOf(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        return false;
    }
    m_dbc = dbc;
    m_linkLost = false;
    // A file database has no link to cut.
    m_watch.Watch(before, CLinkWatch::OpenSockets());

    char info[256] = {};
    SQLSMALLINT infoLength = 0;
    m_dbmsName.clear();
    if (SQL_SUCCEEDED(SQLGetInfo(m_dbc, SQL_DBMS_NAME, info, sizeof info, &infoLength)))
        m_dbmsName = info;
    m_quote.clear();
    info[0] = 0;
    if (SQL_SUCCEEDED(
            SQLGetInfo(m_dbc, SQL_IDENTIFIER_QUOTE_CHAR, info, sizeof info, &infoLength)) &&
        info[0] != ' ')
        m_quote = info;  // a blank means the driver does not quote identifiers
    m_textUtf8 = ::strncasecmp(m_dbmsName.c_str(), "PostgreSQL", 10) == 0;
    if (m_textUtf8) {
        DBError ignored;
        ExecuteSQL("SET client_encoding TO 'UTF8'", &ignored);
    }
    return true;
}

void CDatabase::Disconnect()
{
    m_watch.Forget();
    if (m_dbc == SQL_NULL_HDBC) return;
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    m_dbc = SQL_NULL_HDBC;
}

std::string CDatabase::ToDriverText(std::string_view text) const
{
    return m_textUtf8 ? Cp1252ToUtf8(text) : std::string(text);
}

std::string CDatabase::FromDriverText(std::string_view text) const
{
    return m_textUtf8 ? Utf8ToCp1252(text) : std::string(text);
}

std::string CDatabase::QuoteIdentifier(std::string_view name) const
{
    if (m_quote.empty()) return std::string(name);
    std::string quoted = m_quote;
    for (char c : name) {
        quoted += c;
        if (m_quote.size() == 1 && c == m_quote[0]) quoted += c;
    }
    quoted += m_quote;
    return quoted;
}

SQLHDBC CDatabase::AcquireHandle(DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    if (m_linkLost) {
        // The link of an open connection broke: make it again with the same connect string.
        Disconnect();
        if (!Connect(&err)) {
            m_linkLost = true;  // the next use tries again
            return SQL_NULL_HDBC;
        }
    }
    if (m_dbc == SQL_NULL_HDBC) err = {"08003", "The database is not open."};
    return m_dbc;
}

void CDatabase::PrepareStatement(SQLHSTMT statement) const
{
    SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(SQLULEN(kTimeoutSeconds)), 0);
}

void CDatabase::NoteFailure(DBError& error)
{
    if (m_watch.Fired()) {
        error = {"HYT00", "The database server did not answer within " +
                              std::to_string(kTimeoutSeconds) + " seconds."};
        m_linkLost = true;
        return;
    }
    if (error.IsConnectionLost()) {
        m_linkLost = true;
        return;
    }
    SQLINTEGER dead = SQL_CD_FALSE;
    if (m_dbc != SQL_NULL_HDBC &&
        SQL_SUCCEEDED(SQLGetConnectAttr(m_dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
        dead == SQL_CD_TRUE)
        m_linkLost = true;
}

bool CDatabase::ExecuteSQL(std::string_view sql, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    SQLHDBC dbc = AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    const CallGuard guard(*this);
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
        err = DiagnosticOf(SQL_HANDLE_DBC, dbc);
        NoteFailure(err);
        return false;
    }
    PrepareStatement(stmt);
    std::string text = ToDriverText(sql);
    const SQLRETURN rc =
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size()));
    const bool ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    if (!ok) {
        err = DiagnosticOf(SQL_HANDLE_STMT, stmt);
        NoteFailure(err);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return ok;
}

bool CDatabase::ExecuteScript(std::string_view script, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    SQLHDBC dbc = AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;

    // Split at ";" outside quotes; "--" comments run to the line end.
    std::vector<std::string> statements;
    std::string current;
    char quote = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (quote) {
            current += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
            while (i < script.size() && script[i] != '\n') ++i;
            current += '\n';
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        if (c == ';') {
            statements.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    statements.push_back(current);

    return InTransaction(
        [&](DBError& failure) {
            for (const std::string& statement : statements) {
                if (statement.find_first_not_of(" \t\r\n") == std::string::npos) continue;
                if (!ExecuteSQL(statement, &failure)) return false;
            }
            return true;
        },
        &err);
}

bool CDatabase::InTransaction(const std::function<bool(DBError&)>& work, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    SQLHDBC dbc = AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    const CallGuard guard(*this);
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                      0);
    bool ok = work(err);
    if (m_dbc != SQL_NULL_HDBC) {
        const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_dbc, ok ? SQL_COMMIT : SQL_ROLLBACK);
        if (ok && !SQL_SUCCEEDED(rc)) {
            err = DiagnosticOf(SQL_HANDLE_DBC, m_dbc);
            NoteFailure(err);
            ok = false;
        }
        SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    }
    return ok;
}

}  // namespace flr
