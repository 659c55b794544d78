#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

namespace flr {

// How a recordset is opened: a snapshot is a read-only copy of the rows; a dynaset can add,
// change and delete rows.
enum class OpenType { Snapshot, Dynaset };

// The states Update reports when another connection got to the row first: it was deleted, it
// was changed, or (for a column kept unique) the value is taken.
inline constexpr std::string_view kRowGoneState = "01001";
inline constexpr std::string_view kRowChangedState = "40001";
inline constexpr std::string_view kValueTakenState = "23505";

// How Update treats a row someone else changed since it was read: refuse, or write over it.
enum class UpdateCheck { Refuse, Overwrite };

// The three kinds columns are bound as.
enum class FieldKind { Integer, Text, Bit };

// One bound parameter or column value.
struct DBValue {
    FieldKind kind = FieldKind::Integer;
    int32_t integer = 0;
    std::string text;
    bool bit = false;

    static DBValue Integer(int32_t value) { return {FieldKind::Integer, value, {}, false}; }
    static DBValue Text(std::string value) { return {FieldKind::Text, 0, std::move(value), false}; }
    static DBValue Bit(bool value) { return {FieldKind::Bit, 0, {}, value}; }
    friend bool operator==(const DBValue&, const DBValue&) = default;
};

// The recordset base of the eight table classes: the rows of one query, walked with a current
// row whose columns are copied into the members the derived class binds, in binding order.
// The rows are read when the recordset opens (and again on Requery); changes go to the data
// source at once with bound parameters, rows identified by the record key. Every value a user
// typed travels as a parameter, never inside the SQL text. User-interface thread only.
class CRecordset {
public:
    // `database` is not owned and must outlive the recordset. nullptr: the recordset opens a
    // connection of its own with DefaultConnectString() and closes it with itself.
    explicit CRecordset(CDatabase* database);
    virtual ~CRecordset();
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Runs `sql` ("SELECT * FROM" the table when empty) with `params` for its "?" markers and
    // reads every row; the first row is current. A failure (no connection, a query the data
    // source refuses, a result whose columns are not the bound ones in their order) leaves
    // the recordset closed and is returned in `error`; nothing is shown.
    bool Open(OpenType type, std::string_view sql = {}, std::vector<DBValue> params = {},
              DBError* error = nullptr);
    void Close();
    bool IsOpen() const { return m_open; }

    // Before the first row: only when the result is empty (or the recordset is closed).
    bool IsBOF() const { return !m_open || m_rows.empty(); }
    bool IsEOF() const { return !m_open || m_current >= m_rows.size(); }
    void MoveFirst();
    void MoveNext();
    size_t GetRecordCount() const { return m_rows.size(); }

    // Whether rows can be added / changed: an open dynaset.
    bool CanAppend() const { return m_open && m_type == OpenType::Dynaset; }
    bool CanUpdate() const { return CanAppend(); }

    // AddNew clears the members for a new row; Edit starts changing the current row. Update
    // writes the row: an insert after AddNew (the data source numbers an assigned key; the new
    // row is listed after Requery, and the row that was current before AddNew becomes current
    // again), an update of the changed columns after Edit. False with `error` when the data
    // source refuses; true when nothing changed. Others share the data source, so an insert
    // whose unique column's value is there already fails with kValueTakenState (one atomic
    // step, with or without a constraint), and an edit fails with kRowChangedState when a
    // changed column no longer holds the value read, or kRowGoneState when the row is gone,
    // unless `check` is Overwrite, which writes the changed columns (or the whole row again).
    // The edit stays open after a failure.
    void AddNew();
    void Edit();
    void CancelUpdate();
    bool Update(DBError* error = nullptr, UpdateCheck check = UpdateCheck::Refuse);
    // Reads the current row again from the data source (its key names it). False with
    // kRowGoneState when it is gone, which drops it from the recordset (the next row becomes
    // current), or with the data source's failure.
    bool RefreshRow(DBError* error = nullptr);
    // Deletes the current row from the data source and the recordset; the next row becomes
    // current. False with `error` when the data source refuses or the row is gone.
    bool Delete(DBError* error = nullptr);
    // Runs the query again and makes the first row current. A failure closes the recordset.
    bool Requery(DBError* error = nullptr);

    // "ODBC;DSN=FLR Database" for every table.
    virtual std::string DefaultConnectString() const;
    // The table the recordset reads, as "tbFireworks".
    virtual std::string TableName() const = 0;

    struct FieldInfo {
        std::string name;
        FieldKind kind;
    };
    std::vector<FieldInfo> GetFields() const;
    size_t GetFieldCount() const { return m_fields.size(); }
    // The current row's value of `column` (binding order), as the members hold it.
    DBValue GetFieldValue(size_t column) const { return MemberValue(column); }

    // The connection in use: the one given, the recordset's own, or nullptr.
    CDatabase* GetDatabase() const { return m_database; }

protected:
    // Derived constructors bind their members in column order.
    void BindInteger(const char* name, int32_t* member);
    void BindText(const char* name, std::string* member);
    void BindBit(const char* name, bool* member);
    // The record key by which changed rows are found; `assignedBySource`: left out of
    // inserts, the data source numbers it. Without a key a row is found by all its values.
    void SetKey(int column, bool assignedBySource);
    // A column no two rows may share: inserts check and write in one step.
    void SetUniqueColumn(int column) { m_uniqueColumn = column; }

    // Opens as Open does, building the query once the connection is there (so that names are
    // quoted as its driver wants). A failure shows "Unable to connect to FLR database - [%s]."
    // titled "Database Error" through the prompt layer and leaves the recordset closed.
    bool OpenWithReport(OpenType type, const std::function<std::string()>& sql,
                        std::vector<DBValue> params = {});

    // A name quoted as the driver wants it.
    std::string Quote(std::string_view name) const;

private:
    struct Field {
        std::string name;
        FieldKind kind;
        void* member;
    };
    using Row = std::vector<DBValue>;
    enum class EditMode { None, Editing, Adding };

    bool Connect(DBError* error);
    bool Run(DBError* error);
    void LoadMembers();
    void ClearMembers();
    DBValue MemberValue(size_t column) const;
    void WhereRow(const Row& row, std::string& sql, std::vector<DBValue>& params) const;
    bool Execute(const std::string& sql, const std::vector<DBValue>& params, DBError* error,
                 long* affected);
    bool Insert(const Row& values, bool withKey, DBError& error);
    // The stored rows with `row`'s key (none or one).
    bool ReadRow(const Row& row, std::vector<Row>& found, DBError& error);
    std::string ColumnList() const;

    CDatabase* m_database;
    std::unique_ptr<CDatabase> m_ownDatabase;
    std::vector<Field> m_fields;
    int m_keyColumn = -1;
    bool m_keyAssigned = false;
    int m_uniqueColumn = -1;

    bool m_open = false;
    OpenType m_type = OpenType::Snapshot;
    std::string m_sql;
    std::vector<DBValue> m_params;
    std::vector<Row> m_rows;
    size_t m_current = 0;
    EditMode m_editMode = EditMode::None;
};

}  // namespace flr
