#pragma once

#include <optional>
#include <string>

#include "database/recordeditors.h"

namespace flr {

class CDatabase;
class CCustomerTable;

// The customer editor's fields, Windows-1252 bytes (Region and Ext are not edited).
struct CustomerForm {
    std::string customerNo, name, address, zipCode, city, contact, tel, tel2, mob, mob2, fax, email,
        notes;
    friend bool operator==(const CustomerForm&, const CustomerForm&) = default;
};

// The customer editor without its window. Failures are reported through the prompt layer.
// User-interface thread only.
class CCustomerEditorModel {
public:
    // As CItemEditorModel: `row` nullptr for add mode, else the caller's positioned recordset
    // (not owned; it must outlive the model).
    CCustomerEditorModel(CDatabase* database, CCustomerTable* row);

    EditorMode Mode() const { return m_row ? EditorMode::Edit : EditorMode::Add; }
    const CustomerForm& Initial() const { return m_initial; }
    // Whether OK may be pressed: never without a database; in add mode only for a customer
    // number that is filled in and not in tbCustomers yet.
    bool CanSave(const CustomerForm& form);
    // Writes the row; a failure has been reported. The dialog then closes with OK either way.
    void Save(const CustomerForm& form);
    // As CItemEditorModel::Delete.
    int Delete(const CustomerForm& form);

private:
    void WriteRow(CCustomerTable& row, const CustomerForm& form) const;

    CDatabase* m_database;
    CCustomerTable* m_row;
    CustomerForm m_initial;
    std::optional<std::string> m_checkedNo;
    bool m_checkedNoIsNew = false;
};

}  // namespace flr
