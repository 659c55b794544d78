#include "database/recordset.h"

#include <strings.h>

#include <algorithm>
#include <deque>

#include "base/prompt.h"

namespace flr {

namespace {

// One ODBC statement: parameters bound from values that live as long as the statement.
class Statement {
public:
    Statement(CDatabase& database, SQLHDBC dbc) : m_database(database), m_guard(database)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_stmt))) {
            m_error = DiagnosticOf(SQL_HANDLE_DBC, dbc);
            m_stmt = SQL_NULL_HSTMT;
            return;
        }
        database.PrepareStatement(m_stmt);
    }
    ~Statement()
    {
        if (m_stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Execute(const std::string& sql, const std::vector<DBValue>& params)
    {
        if (m_stmt == SQL_NULL_HSTMT) return false;
        std::string text = m_database.ToDriverText(sql);
        if (!Check(SQLPrepare(m_stmt, reinterpret_cast<SQLCHAR*>(text.data()),
                              SQLINTEGER(text.size()))))
            return false;
        for (size_t i = 0; i < params.size(); ++i) {
            const DBValue& value = params[i];
            Bound& bound = m_bound.emplace_back();
            const SQLUSMALLINT number = SQLUSMALLINT(i + 1);
            SQLRETURN rc;
            switch (value.kind) {
            case FieldKind::Integer:
                bound.integer = value.integer;
                rc = SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 10,
                                      0, &bound.integer, 0, &bound.indicator);
                break;
            case FieldKind::Text:
                bound.text = m_database.ToDriverText(value.text);
                bound.indicator = SQLLEN(bound.text.size());
                rc = SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                      std::max<SQLULEN>(255, bound.text.size()), 0,
                                      bound.text.data(), SQLLEN(bound.text.size()),
                                      &bound.indicator);
                break;
            case FieldKind::Bit:
            default:
                bound.bit = value.bit ? 1 : 0;
                rc = SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 1, 0,
                                      &bound.bit, 0, &bound.indicator);
                break;
            }
            if (!Check(rc)) return false;
        }
        const SQLRETURN rc = SQLExecute(m_stmt);
        return rc == SQL_NO_DATA || Check(rc);
    }

    long Affected()
    {
        SQLLEN count = -1;
        SQLRowCount(m_stmt, &count);
        return long(count);
    }
    SQLSMALLINT Columns()
    {
        SQLSMALLINT count = 0;
        SQLNumResultCols(m_stmt, &count);
        return count;
    }
    std::string ColumnName(SQLUSMALLINT column)
    {
        SQLCHAR name[256] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(m_stmt, column, name, sizeof name, &length, &type, &size, &digits,
                       &nullable);
        return reinterpret_cast<char*>(name);
    }
    // Reads every row of the result into `rows`, `kinds` giving the bound columns. Fetches a
    // block of rows per call through bound column arrays: the driver manager's cost per value
    // would otherwise dominate reading a large catalogue. Texts longer than kTextBuffer - 1
    // bytes (four times the columns' 255 characters) are cut there.
    bool FetchAll(const std::vector<FieldKind>& kinds, std::vector<std::vector<DBValue>>& rows)
    {
        constexpr SQLULEN kBlock = 256;
        constexpr SQLLEN kTextBuffer = 1024;
        SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_BIND_TYPE,
                       reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
        SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
        SQLULEN block = 1;
        SQLGetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, &block, 0,
                       nullptr);  // the driver may cut it
        if (block < 1 || block > kBlock) block = 1;
        SQLULEN fetched = 0;
        SQLSetStmtAttr(m_stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
        std::vector<SQLUSMALLINT> status(block);
        SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0);

        struct Column {
            std::vector<SQLINTEGER> integers;
            std::vector<unsigned char> bits;
            std::vector<char> texts;
            std::vector<SQLLEN> indicators;
        };
        std::vector<Column> columns(kinds.size());
        for (size_t c = 0; c < kinds.size(); ++c) {
            Column& column = columns[c];
            column.indicators.resize(block);
            const SQLUSMALLINT number = SQLUSMALLINT(c + 1);
            SQLRETURN rc;
            switch (kinds[c]) {
            case FieldKind::Integer:
                column.integers.resize(block);
                rc = SQLBindCol(m_stmt, number, SQL_C_SLONG, column.integers.data(), 0,
                                column.indicators.data());
                break;
            case FieldKind::Bit:
                column.bits.resize(block);
                rc = SQLBindCol(m_stmt, number, SQL_C_BIT, column.bits.data(), 0,
                                column.indicators.data());
                break;
            case FieldKind::Text:
            default:
                column.texts.resize(block * kTextBuffer);
                rc = SQLBindCol(m_stmt, number, SQL_C_CHAR, column.texts.data(), kTextBuffer,
                                column.indicators.data());
                break;
            }
            if (!Check(rc)) return false;
        }
        for (;;) {
            const SQLRETURN rc = SQLFetch(m_stmt);
            if (rc == SQL_NO_DATA) break;
            if (!Check(rc)) return false;
            for (SQLULEN r = 0; r < fetched && r < block; ++r) {
                if (status[r] == SQL_ROW_ERROR || status[r] == SQL_ROW_NOROW) continue;
                std::vector<DBValue>& row = rows.emplace_back(kinds.size());
                for (size_t c = 0; c < kinds.size(); ++c) {
                    const Column& column = columns[c];
                    const SQLLEN indicator = column.indicators[r];
                    const bool null = indicator == SQL_NULL_DATA;
                    DBValue& value = row[c];
                    value.kind = kinds[c];
                    switch (kinds[c]) {
                    case FieldKind::Integer:
                        value.integer = null ? 0 : int32_t(column.integers[r]);
                        break;
                    case FieldKind::Bit: value.bit = !null && column.bits[r] != 0; break;
                    case FieldKind::Text:
                        if (!null) {
                            const char* text = column.texts.data() + r * kTextBuffer;
                            const size_t length =
                                (indicator == SQL_NO_TOTAL || indicator >= kTextBuffer)
                                    ? size_t(kTextBuffer - 1)
                                    : size_t(std::max<SQLLEN>(indicator, 0));
                            value.text =
                                m_database.TextIsUtf8()
                                    ? m_database.FromDriverText(std::string_view(text, length))
                                    : std::string(text, length);
                        }
                        break;
                    }
                }
            }
        }
        return true;
    }

    const DBError& Error() const { return m_error; }

private:
    struct Bound {
        SQLINTEGER integer = 0;
        std::string text;
        unsigned char bit = 0;
        SQLLEN indicator = 0;
    };

    bool Check(SQLRETURN rc)
    {
        if (SQL_SUCCEEDED(rc)) return true;
        m_error = DiagnosticOf(SQL_HANDLE_STMT, m_stmt);
        return false;
    }

    const CDatabase& m_database;
    const CDatabase::CallGuard m_guard;  // from allocation to release: the whole call
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    std::deque<Bound> m_bound;  // a deque keeps the bound addresses still while it grows
    DBError m_error;
};

}  // namespace

CRecordset::CRecordset(CDatabase* database) : m_database(database) {}

CRecordset::~CRecordset() = default;

std::string CRecordset::DefaultConnectString() const { return "ODBC;DSN=FLR Database"; }

void CRecordset::BindInteger(const char* name, int32_t* member)
{
    m_fields.push_back({name, FieldKind::Integer, member});
}
void CRecordset::BindText(const char* name, std::string* member)
{
    m_fields.push_back({name, FieldKind::Text, member});
}
void CRecordset::BindBit(const char* name, bool* member)
{
    m_fields.push_back({name, FieldKind::Bit, member});
}

void CRecordset::SetKey(int column, bool assignedBySource)
{
    m_keyColumn = column;
    m_keyAssigned = assignedBySource;
}

std::vector<CRecordset::FieldInfo> CRecordset::GetFields() const
{
    std::vector<FieldInfo> fields;
    for (const Field& field : m_fields) fields.push_back({field.name, field.kind});
    return fields;
}

std::string CRecordset::Quote(std::string_view name) const
{
    return m_database ? m_database->QuoteIdentifier(name) : std::string(name);
}

bool CRecordset::Connect(DBError* error)
{
    if (m_database) return true;
    m_ownDatabase = std::make_unique<CDatabase>();
    if (!m_ownDatabase->OpenEx(DefaultConnectString(), error)) {
        m_ownDatabase.reset();
        return false;
    }
    m_database = m_ownDatabase.get();
    return true;
}

bool CRecordset::OpenWithReport(OpenType type, const std::function<std::string()>& sql,
                                std::vector<DBValue> params)
{
    Close();
    DBError error;
    if (Connect(&error) && Open(type, sql(), std::move(params), &error)) return true;
    const std::string text = "Unable to connect to FLR database - [" + error.text + "].";
    ShowMessage(text, "Database Error", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

bool CRecordset::Open(OpenType type, std::string_view sql, std::vector<DBValue> params,
                      DBError* error)
{
    Close();
    if (!Connect(error)) return false;
    m_type = type;
    m_sql = sql.empty() ? "SELECT * FROM " + Quote(TableName()) : std::string(sql);
    m_params = std::move(params);
    return Run(error);
}

bool CRecordset::Requery(DBError* error)
{
    if (!m_open) {
        if (error) *error = {"HY010", "The recordset is not open."};
        return false;
    }
    return Run(error);
}

bool CRecordset::Run(DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    m_open = false;
    m_rows.clear();
    m_current = 0;
    m_editMode = EditMode::None;

    SQLHDBC dbc = m_database->AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    Statement statement(*m_database, dbc);
    if (!statement.Execute(m_sql, m_params)) {
        err = statement.Error();
        m_database->NoteFailure(err);
        return false;
    }
    const SQLSMALLINT columns = statement.Columns();
    if (size_t(columns) < m_fields.size()) {
        err = {"07009", "The query gives " + std::to_string(columns) + " columns where " +
                            TableName() + " has " + std::to_string(m_fields.size()) + "."};
        return false;
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const std::string name = statement.ColumnName(SQLUSMALLINT(i + 1));
        if (::strcasecmp(name.c_str(), m_fields[i].name.c_str()) != 0) {
            err = {"07009", "Column " + std::to_string(i + 1) + " of " + TableName() + " is \"" +
                                name + "\" where \"" + m_fields[i].name + "\" is expected."};
            return false;
        }
    }
    std::vector<FieldKind> kinds;
    for (const Field& field : m_fields) kinds.push_back(field.kind);
    if (!statement.FetchAll(kinds, m_rows)) {
        err = statement.Error();
        m_database->NoteFailure(err);
        m_rows.clear();
        return false;
    }
    m_open = true;
    LoadMembers();
    return true;
}

void CRecordset::Close()
{
    m_open = false;
    m_rows.clear();
    m_current = 0;
    m_editMode = EditMode::None;
}

void CRecordset::MoveFirst()
{
    m_current = 0;
    m_editMode = EditMode::None;
    LoadMembers();
}

void CRecordset::MoveNext()
{
    if (m_current < m_rows.size()) ++m_current;
    m_editMode = EditMode::None;
    LoadMembers();
}

void CRecordset::LoadMembers()
{
    if (!m_open || m_current >= m_rows.size()) return;
    const Row& row = m_rows[m_current];
    for (size_t i = 0; i < m_fields.size(); ++i) {
        void* member = m_fields[i].member;
        switch (m_fields[i].kind) {
        case FieldKind::Integer: *static_cast<int32_t*>(member) = row[i].integer; break;
        case FieldKind::Text: *static_cast<std::string*>(member) = row[i].text; break;
        case FieldKind::Bit: *static_cast<bool*>(member) = row[i].bit; break;
        }
    }
}

void CRecordset::ClearMembers()
{
    for (const Field& field : m_fields) {
        switch (field.kind) {
        case FieldKind::Integer: *static_cast<int32_t*>(field.member) = 0; break;
        case FieldKind::Text: static_cast<std::string*>(field.member)->clear(); break;
        case FieldKind::Bit: *static_cast<bool*>(field.member) = false; break;
        }
    }
}

DBValue CRecordset::MemberValue(size_t column) const
{
    const Field& field = m_fields[column];
    switch (field.kind) {
    case FieldKind::Integer: return DBValue::Integer(*static_cast<const int32_t*>(field.member));
    case FieldKind::Text: return DBValue::Text(*static_cast<const std::string*>(field.member));
    case FieldKind::Bit: break;
    }
    return DBValue::Bit(*static_cast<const bool*>(field.member));
}

void CRecordset::AddNew()
{
    if (!CanAppend()) return;
    m_editMode = EditMode::Adding;
    ClearMembers();
}

void CRecordset::Edit()
{
    if (!CanUpdate() || IsEOF()) return;
    m_editMode = EditMode::Editing;
}

void CRecordset::CancelUpdate()
{
    m_editMode = EditMode::None;
    LoadMembers();
}

void CRecordset::WhereRow(const Row& row, std::string& sql, std::vector<DBValue>& params) const
{
    sql += " WHERE ";
    if (m_keyColumn >= 0) {
        sql += Quote(m_fields[size_t(m_keyColumn)].name) + " = ?";
        params.push_back(row[size_t(m_keyColumn)]);
        return;
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (i) sql += " AND ";
        sql += Quote(m_fields[i].name) + " = ?";
        params.push_back(row[i]);
    }
}

bool CRecordset::Execute(const std::string& sql, const std::vector<DBValue>& params, DBError* error,
                         long* affected)
{
    DBError local;
    DBError& err = error ? *error : local;
    SQLHDBC dbc = m_database->AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    Statement statement(*m_database, dbc);
    if (!statement.Execute(sql, params)) {
        err = statement.Error();
        m_database->NoteFailure(err);
        return false;
    }
    if (affected) *affected = statement.Affected();
    return true;
}

std::string CRecordset::ColumnList() const
{
    std::string list;
    for (const Field& field : m_fields) {
        if (!list.empty()) list += ", ";
        list += Quote(field.name);
    }
    return list;
}

bool CRecordset::ReadRow(const Row& row, std::vector<Row>& found, DBError& error)
{
    SQLHDBC dbc = m_database->AcquireHandle(&error);
    if (dbc == SQL_NULL_HDBC) return false;
    const std::string sql = "SELECT " + ColumnList() + " FROM " + Quote(TableName()) + " WHERE " +
                            Quote(m_fields[size_t(m_keyColumn)].name) + " = ?";
    std::vector<FieldKind> kinds;
    for (const Field& field : m_fields) kinds.push_back(field.kind);
    Statement statement(*m_database, dbc);
    if (!statement.Execute(sql, {row[size_t(m_keyColumn)]}) || !statement.FetchAll(kinds, found)) {
        error = statement.Error();
        m_database->NoteFailure(error);
        return false;
    }
    return true;
}

bool CRecordset::Insert(const Row& values, bool withKey, DBError& error)
{
    const bool postgres = m_database->IsPostgres();
    const bool unique = m_uniqueColumn >= 0;
    std::string names, markers;
    std::vector<DBValue> params;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (int(i) == m_keyColumn && m_keyAssigned && !withKey) continue;
        if (!names.empty()) {
            names += ", ";
            markers += ", ";
        }
        names += Quote(m_fields[i].name);
        params.push_back(values[i]);
        if (!unique) {
            markers += '?';
            continue;
        }
        // In a SELECT list a marker has no column to take its type from.
        const FieldKind kind = m_fields[i].kind;
        markers += kind == FieldKind::Text              ? "CAST(? AS VARCHAR(255))"
                   : kind == FieldKind::Bit && postgres ? "CAST(? AS BOOLEAN)"
                                                        : "CAST(? AS INTEGER)";
    }
    const std::string table = Quote(TableName());
    if (!unique) {
        return Execute("INSERT INTO " + table + " (" + names + ") VALUES (" + markers + ")", params,
                       &error, nullptr);
    }
    const std::string& column = m_fields[size_t(m_uniqueColumn)].name;
    params.push_back(values[size_t(m_uniqueColumn)]);
    const std::string sql = "INSERT INTO " + table + " (" + names + ") SELECT " + markers +
                            " WHERE NOT EXISTS (SELECT 1 FROM " + table + " WHERE " +
                            Quote(column) + " = ?)";
    long affected = 0;
    // SQLite runs a writing statement under its database lock. PostgreSQL sessions do not see
    // each other's uncommitted rows, so the table's inserters take turns on a lock of their
    // own, which also holds where the database has no constraint.
    const bool ok = m_database->InTransaction(
        [&](DBError& failure) {
            if (postgres &&
                !Execute("SELECT pg_advisory_xact_lock(hashtext(?))",
                         {DBValue::Text("FLR " + TableName() + "." + column)}, &failure, nullptr))
                return false;
            return Execute(sql, params, &failure, &affected);
        },
        &error);
    const bool violated = error.state.starts_with("23") ||
                          error.text.find("UNIQUE constraint failed") != std::string::npos;
    if (ok ? affected == 0 : violated) {
        error = {std::string(kValueTakenState), "The " + column + " \"" +
                                                    values[size_t(m_uniqueColumn)].text +
                                                    "\" is in " + TableName() + " already."};
        return false;
    }
    return ok;
}

bool CRecordset::Update(DBError* error, UpdateCheck check)
{
    DBError local;
    DBError& err = error ? *error : local;
    const EditMode mode = m_editMode;
    if (mode == EditMode::None || !CanUpdate()) {
        err = {"HY010", "Update without AddNew or Edit."};
        return false;
    }
    if (mode == EditMode::Adding) {
        Row values;
        for (size_t i = 0; i < m_fields.size(); ++i) values.push_back(MemberValue(i));
        if (!Insert(values, false, err)) return false;
        m_editMode = EditMode::None;
        LoadMembers();
        return true;
    }

    Row& row = m_rows[m_current];
    Row changed = row;
    std::string sets, unchangedSince;
    std::vector<DBValue> params, readValues;
    const bool checked = check == UpdateCheck::Refuse && m_keyColumn >= 0;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        DBValue value = MemberValue(i);
        if (value == row[i]) continue;
        if (!sets.empty()) sets += ", ";
        sets += Quote(m_fields[i].name) + " = ?";
        params.push_back(value);
        changed[i] = std::move(value);
        if (checked) {
            // Read as the kind's zero, a stored NULL compares as one.
            unchangedSince += " AND COALESCE(" + Quote(m_fields[i].name) + ", ?) = ?";
            DBValue zero;
            zero.kind = m_fields[i].kind;
            readValues.push_back(zero);
            readValues.push_back(row[i]);
        }
    }
    if (sets.empty()) {
        m_editMode = EditMode::None;
        return true;
    }
    std::string sql = "UPDATE " + Quote(TableName()) + " SET " + sets;
    WhereRow(row, sql, params);
    sql += unchangedSince;
    params.insert(params.end(), readValues.begin(), readValues.end());
    long affected = 0;
    if (!Execute(sql, params, &err, &affected)) return false;
    if (affected == 0) {
        std::vector<Row> stored;
        if (m_keyColumn >= 0 && !ReadRow(row, stored, err)) return false;
        if (!stored.empty()) {
            err = {std::string(kRowChangedState),
                   "The row was changed in " + TableName() + " since it was read."};
            return false;
        }
        if (m_keyColumn < 0 || check == UpdateCheck::Refuse) {
            err = {std::string(kRowGoneState), "The row is no longer in " + TableName() + "."};
            return false;
        }
        if (!Insert(changed, true, err)) return false;
    }
    row = std::move(changed);
    m_editMode = EditMode::None;
    return true;
}

bool CRecordset::RefreshRow(DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    if (!m_open || IsEOF() || m_keyColumn < 0) {
        err = {"HY109", "There is no current row to read again."};
        return false;
    }
    std::vector<Row> stored;
    if (!ReadRow(m_rows[m_current], stored, err)) return false;
    m_editMode = EditMode::None;
    if (stored.empty()) {
        m_rows.erase(m_rows.begin() + std::ptrdiff_t(m_current));
        LoadMembers();
        err = {std::string(kRowGoneState), "The row is no longer in " + TableName() + "."};
        return false;
    }
    m_rows[m_current] = std::move(stored.front());
    LoadMembers();
    return true;
}

bool CRecordset::Delete(DBError* error)
{
    if (!CanUpdate() || IsEOF()) {
        if (error) *error = {"HY109", "There is no current row to delete."};
        return false;
    }
    m_editMode = EditMode::None;
    std::string sql = "DELETE FROM " + Quote(TableName());
    std::vector<DBValue> params;
    WhereRow(m_rows[m_current], sql, params);
    long affected = 0;
    if (!Execute(sql, params, error, &affected)) return false;
    m_rows.erase(m_rows.begin() + std::ptrdiff_t(m_current));
    LoadMembers();
    if (affected == 0) {
        if (error)
            *error = {std::string(kRowGoneState), "The row was no longer in " + TableName() + "."};
        return false;
    }
    return true;
}

}  // namespace flr
