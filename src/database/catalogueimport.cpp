#include "database/catalogueimport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <deque>
#include <limits>
#include <map>

#include "base/textcodec.h"
#include "database/recordset.h"

namespace flr {

namespace {

constexpr const char* kTable = "tbFireworks";
constexpr size_t kArticleTarget = 0;
constexpr size_t kSizeTarget = 2;

std::string Folded(std::string_view name)
{
    std::string folded;
    for (const char c : name)
        if (c != ' ' && c != '_' && c != '-')
            folded += char(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// The headings of the program's lists and editors, so a file the user typed by hand matches.
int TargetOfAlias(const std::string& folded)
{
    static const std::map<std::string, int> kAliases{
        {"artno", 0},   {"articleno", 0}, {"articlenumber", 0}, {"name", 1},
        {"prefire", 5}, {"duration", 7},  {"description", 16},  {"manufacturer", 15}};
    const auto found = kAliases.find(folded);
    return found == kAliases.end() ? CCatalogueImport::kUnmatched : found->second;
}

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseInteger(std::string_view text, int32_t& value)
{
    text = Trimmed(text);
    if (text.starts_with('+')) text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Seconds as the record editors write them, with a comma or a point; stored with a point.
bool ParseDecimal(std::string_view text, std::string& stored)
{
    text = Trimmed(text);
    stored.clear();
    if (text.empty()) return true;
    size_t digits = 0, points = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            stored += c;
        } else if ((c == '.' || c == ',') && points++ == 0) {
            stored += '.';
        } else if (!(i == 0 && c == '-')) {
            return false;
        } else {
            stored += c;
        }
    }
    return digits > 0;
}

// One statement prepared once and run for row after row, with its parameters bound to
// buffers that live as long as it does.
class CPreparedStatement {
public:
    CPreparedStatement(CDatabase& database, SQLHDBC dbc) : m_database(database)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_stmt))) m_stmt = SQL_NULL_HSTMT;
        if (m_stmt) database.PrepareStatement(m_stmt);
    }
    ~CPreparedStatement()
    {
        if (m_stmt) SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    }
    CPreparedStatement(const CPreparedStatement&) = delete;
    CPreparedStatement& operator=(const CPreparedStatement&) = delete;

    bool Prepare(const std::string& sql, const std::vector<FieldKind>& kinds, DBError& error)
    {
        if (!m_stmt) {
            error = {"HY001", "Unable to make a statement."};
            return false;
        }
        std::string text = m_database.ToDriverText(sql);
        const CDatabase::CallGuard guard(m_database);
        if (!Check(SQLPrepare(m_stmt, reinterpret_cast<SQLCHAR*>(text.data()),
                              SQLINTEGER(text.size())),
                   error))
            return false;
        for (size_t i = 0; i < kinds.size(); ++i) {
            Param& param = m_params.emplace_back();
            param.kind = kinds[i];
            const auto number = SQLUSMALLINT(i + 1);
            const SQLRETURN rc =
                kinds[i] == FieldKind::Integer
                    ? SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER,
                                       10, 0, &param.integer, 0, &param.indicator)
                    : SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                       255, 0, param.text, sizeof param.text, &param.indicator);
            if (!Check(rc, error)) return false;
        }
        return true;
    }

    void SetInteger(size_t i, int32_t value)
    {
        m_params[i].integer = value;
        m_params[i].indicator = 0;
    }
    void SetText(size_t i, std::string_view value)
    {
        const std::string driver = m_database.ToDriverText(value);
        // Checked to 255 characters before: three bytes each at most in UTF-8.
        const size_t length = std::min(driver.size(), sizeof m_params[i].text);
        std::copy_n(driver.data(), length, m_params[i].text);
        m_params[i].indicator = SQLLEN(length);
    }

    // Runs the statement; `affected` gets the rows it changed.
    bool Execute(long& affected, DBError& error)
    {
        const CDatabase::CallGuard guard(m_database);
        if (!Check(SQLExecute(m_stmt), error)) return false;
        SQLLEN count = 0;
        SQLRowCount(m_stmt, &count);
        affected = long(count);
        SQLFreeStmt(m_stmt, SQL_CLOSE);
        return true;
    }

private:
    struct Param {
        FieldKind kind = FieldKind::Integer;
        SQLINTEGER integer = 0;
        char text[1024] = {};
        SQLLEN indicator = 0;
    };

    bool Check(SQLRETURN rc, DBError& error)
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return true;
        error = DiagnosticOf(SQL_HANDLE_STMT, m_stmt);
        m_database.NoteFailure(error);
        return false;
    }

    CDatabase& m_database;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    std::deque<Param> m_params;  // a deque keeps the bound addresses still
};

}  // namespace

const std::vector<CCatalogueImport::Target>& CCatalogueImport::Targets()
{
    static const std::vector<Target> kTargets{
        {"SerialID", Target::Text},          {"ProductName", Target::Text},
        {"Size", Target::Integer},           {"Color", Target::Integer},
        {"Weight", Target::Integer},         {"PreFire", Target::Decimal},
        {"Altitude", Target::Integer},       {"Hold", Target::Decimal},
        {"CategoryID", Target::Integer},     {"SubCategoryID", Target::Integer},
        {"Stock", Target::Integer},          {"Reserved", Target::Integer},
        {"OrderLimit", Target::Integer},     {"Price", Target::Integer},
        {"PriceOut", Target::Integer},       {"SupplierID", Target::Integer},
        {"ProductDescription", Target::Text}};
    return kTargets;
}

CCatalogueImport::CCatalogueImport(CsvTable file) : m_file(std::move(file))
{
    m_matches.assign(m_file.header.size(), kUnmatched);
    std::vector<bool> taken(Targets().size(), false);
    for (size_t c = 0; c < m_file.header.size(); ++c) {
        const std::string folded = Folded(m_file.header[c]);
        int target = TargetOfAlias(folded);
        for (size_t t = 0; t < Targets().size() && target == kUnmatched; ++t)
            if (Folded(Targets()[t].name) == folded) target = int(t);
        if (target != kUnmatched && !taken[size_t(target)]) {
            m_matches[c] = target;
            taken[size_t(target)] = true;
        }
    }
}

void CCatalogueImport::SetMatch(size_t column, int target)
{
    if (column >= m_matches.size() || target < kUnmatched || target >= int(Targets().size()))
        return;
    if (target != kUnmatched) std::replace(m_matches.begin(), m_matches.end(), target, kUnmatched);
    m_matches[column] = target;
}

bool CCatalogueImport::ReadStored(CDatabase& database, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    SQLHDBC dbc = database.AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    const CDatabase::CallGuard guard(database);
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
        err = DiagnosticOf(SQL_HANDLE_DBC, dbc);
        return false;
    }
    database.PrepareStatement(stmt);
    std::string sql = database.ToDriverText("SELECT " + database.QuoteIdentifier("SerialID") +
                                            " FROM " + database.QuoteIdentifier(kTable));
    std::set<std::string> stored;
    bool ok = SQL_SUCCEEDED(
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(sql.data()), SQLINTEGER(sql.size())));
    char text[1024];
    SQLLEN indicator = 0;
    ok = ok && SQL_SUCCEEDED(SQLBindCol(stmt, 1, SQL_C_CHAR, text, sizeof text, &indicator));
    while (ok) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        ok = SQL_SUCCEEDED(rc);
        if (ok && indicator >= 0)
            stored.insert(database.FromDriverText(
                std::string_view(text, std::min<size_t>(size_t(indicator), sizeof text - 1))));
    }
    if (!ok) {
        err = DiagnosticOf(SQL_HANDLE_STMT, stmt);
        database.NoteFailure(err);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (ok) m_stored = std::move(stored);
    return ok;
}

bool CCatalogueImport::ReadRow(const CsvTable::Record& record, RowValues& values,
                               std::string& reason) const
{
    if (record.fields.size() != m_file.header.size()) {
        reason = "the line has " + std::to_string(record.fields.size()) +
                 " fields where the header has " + std::to_string(m_file.header.size());
        return false;
    }
    values.texts.assign(Targets().size(), {});
    values.integers.assign(Targets().size(), 0);
    for (size_t c = 0; c < m_matches.size(); ++c) {
        if (m_matches[c] == kUnmatched) continue;
        const auto t = size_t(m_matches[c]);
        const Target& target = Targets()[t];
        const std::string& raw = record.fields[c];
        const std::string name = target.name;
        if (raw.find('\0') != std::string::npos) {
            reason = name + " holds a NUL byte";
            return false;
        }
        std::string text = Utf8ToCp1252(raw);
        if (Cp1252ToUtf8(text) != raw) {
            reason = name + " holds characters the catalogue cannot store";
            return false;
        }
        switch (target.kind) {
        case Target::Text:
            if (text.size() > kMaxText) {
                reason = name + " is longer than " + std::to_string(kMaxText) + " characters";
                return false;
            }
            values.texts[t] = std::move(text);
            break;
        case Target::Integer:
            if (!ParseInteger(text, values.integers[t]) &&
                !(t != kSizeTarget && Trimmed(text).empty())) {
                reason = name + " \"" + raw + "\" is not a whole number";
                return false;
            }
            break;
        case Target::Decimal:
            if (!ParseDecimal(text, values.texts[t])) {
                reason = name + " \"" + raw + "\" is not a number of seconds (such as 1.5 or 1,5)";
                return false;
            }
            break;
        }
    }
    values.articleNumber = values.texts[kArticleTarget];
    if (Trimmed(values.articleNumber).empty()) {
        reason = "the article number (SerialID) is empty";
        return false;
    }
    return true;
}

namespace {

struct PlannedRow {
    size_t record;
    bool update;
};

}  // namespace

CCatalogueImport::Plan CCatalogueImport::Check() const
{
    Plan plan;
    const bool articleMatched =
        std::find(m_matches.begin(), m_matches.end(), int(kArticleTarget)) != m_matches.end();
    const bool sizeMatched =
        std::find(m_matches.begin(), m_matches.end(), int(kSizeTarget)) != m_matches.end();
    if (!articleMatched || (!sizeMatched && m_existing != ExistingItems::Update)) {
        plan.refused.push_back(
            {1, std::string("no column is matched to ") +
                    (articleMatched ? "Size" : "SerialID (the article number)")});
        return plan;
    }
    std::map<std::string, size_t> seen;
    RowValues values;
    for (const CsvTable::Record& record : m_file.records) {
        std::string reason;
        if (!ReadRow(record, values, reason)) {
            plan.refused.push_back({record.line, reason});
            continue;
        }
        const std::string shown = Cp1252ToUtf8(values.articleNumber);
        const auto [at, fresh] = seen.emplace(values.articleNumber, record.line);
        if (!fresh) {
            plan.refused.push_back({record.line, "the article number \"" + shown +
                                                     "\" is on line " + std::to_string(at->second) +
                                                     " already"});
        } else if (!m_stored.contains(values.articleNumber)) {
            if (!sizeMatched)
                plan.refused.push_back(
                    {record.line,
                     "\"" + shown + "\" is a new item and no column is matched to Size"});
            else
                ++plan.added;
        } else if (m_existing == ExistingItems::Skip) {
            ++plan.skipped;
        } else if (m_existing == ExistingItems::Update) {
            ++plan.updated;
        } else {
            plan.refused.push_back(
                {record.line, "the article number \"" + shown + "\" is in the catalogue already"});
        }
    }
    return plan;
}

std::string CCatalogueImport::Summary(const Plan& plan)
{
    std::string text =
        std::to_string(plan.added) + " new, " + std::to_string(plan.updated) + " updated, ";
    if (plan.skipped) text += std::to_string(plan.skipped) + " skipped, ";
    text += std::to_string(plan.refused.size()) + " refused";
    if (!plan.refused.empty()) text += ": see the list";
    return text;
}

bool CCatalogueImport::Write(CDatabase& database, Plan* plan, DBError* error)
{
    DBError local;
    DBError& err = error ? *error : local;
    const Plan checked = Check();
    if (plan) *plan = checked;
    if (!checked.refused.empty()) {
        err = {"22000", "Nothing was written: " + std::to_string(checked.refused.size()) +
                            " rows are refused."};
        return false;
    }
    if (checked.added + checked.updated == 0) return true;

    const std::vector<Target>& targets = Targets();
    const auto quote = [&](const char* name) { return database.QuoteIdentifier(name); };
    const std::string table = quote(kTable);
    std::string names, markers;
    std::vector<FieldKind> insertKinds;
    for (const Target& target : targets) {
        if (!names.empty()) {
            names += ", ";
            markers += ", ";
        }
        names += quote(target.name);
        const bool integer = target.kind == Target::Integer;
        // In a SELECT list a marker has no column to take its type from.
        markers += integer ? "CAST(? AS INTEGER)" : "CAST(? AS VARCHAR(255))";
        insertKinds.push_back(integer ? FieldKind::Integer : FieldKind::Text);
    }
    insertKinds.push_back(FieldKind::Text);
    const std::string insertSql = "INSERT INTO " + table + " (" + names + ") SELECT " + markers +
                                  " WHERE NOT EXISTS (SELECT 1 FROM " + table + " WHERE " +
                                  quote("SerialID") + " = ?)";
    std::vector<size_t> updated;  // the targets an update writes
    std::string sets;
    std::vector<FieldKind> updateKinds;
    for (size_t t = 1; t < targets.size(); ++t) {
        if (std::find(m_matches.begin(), m_matches.end(), int(t)) == m_matches.end()) continue;
        if (!sets.empty()) sets += ", ";
        sets += quote(targets[t].name) + " = ?";
        updated.push_back(t);
        updateKinds.push_back(targets[t].kind == Target::Integer ? FieldKind::Integer
                                                                 : FieldKind::Text);
    }
    updateKinds.push_back(FieldKind::Text);
    const std::string updateSql =
        "UPDATE " + table + " SET " + sets + " WHERE " + quote("SerialID") + " = ?";

    SQLHDBC dbc = database.AcquireHandle(&err);
    if (dbc == SQL_NULL_HDBC) return false;
    // Each statement is bounded on its own: a long import must not count as one hung call.
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                      0);
    bool ok = true;
    {
        CPreparedStatement insert(database, dbc), update(database, dbc);
        if (database.IsPostgres()) {
            // The inserters of the table take turns, as the record editors do.
            CPreparedStatement lock(database, dbc);
            long ignored = 0;
            ok = lock.Prepare("SELECT pg_advisory_xact_lock(hashtext(?))", {FieldKind::Text}, err);
            if (ok) lock.SetText(0, "FLR tbFireworks.SerialID");
            ok = ok && lock.Execute(ignored, err);
        }
        ok = ok && insert.Prepare(insertSql, insertKinds, err);
        ok = ok && (sets.empty() || update.Prepare(updateSql, updateKinds, err));
        RowValues values;
        for (const CsvTable::Record& record : m_file.records) {
            if (!ok) break;
            std::string reason;
            if (!ReadRow(record, values, reason)) continue;  // blank rows only: Check passed
            const bool stored = m_stored.contains(values.articleNumber);
            if (stored && (m_existing == ExistingItems::Skip || sets.empty())) continue;
            CPreparedStatement& statement = stored ? update : insert;
            const std::vector<size_t>* columns = nullptr;
            std::vector<size_t> all;
            if (stored) {
                columns = &updated;
            } else {
                for (size_t t = 0; t < targets.size(); ++t) all.push_back(t);
                columns = &all;
            }
            size_t p = 0;
            for (const size_t t : *columns) {
                if (targets[t].kind == Target::Integer)
                    statement.SetInteger(p++, values.integers[t]);
                else
                    statement.SetText(p++, values.texts[t]);
            }
            statement.SetText(p, values.articleNumber);
            long affected = 0;
            ok = statement.Execute(affected, err);
            if (ok && affected != 1) {
                const std::string shown = Cp1252ToUtf8(values.articleNumber);
                err = stored ? DBError{std::string(kRowGoneState),
                                       "Line " + std::to_string(record.line) + ": the item \"" +
                                           shown + "\" is no longer in tbFireworks."}
                             : DBError{std::string(kValueTakenState),
                                       "Line " + std::to_string(record.line) + ": the SerialID \"" +
                                           shown + "\" is in tbFireworks already."};
                ok = false;
            }
        }
    }
    const SQLRETURN rc = [&] {
        const CDatabase::CallGuard guard(database);
        return SQLEndTran(SQL_HANDLE_DBC, dbc, ok ? SQL_COMMIT : SQL_ROLLBACK);
    }();
    if (ok && !SQL_SUCCEEDED(rc)) {
        err = DiagnosticOf(SQL_HANDLE_DBC, dbc);
        database.NoteFailure(err);
        ok = false;
    }
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    return ok;
}

}  // namespace flr
