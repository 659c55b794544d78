#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/recordeditors.h"

namespace flr {

class CDatabase;
class CManufacturerTable;

// The manufacturer editor's fields, Windows-1252 bytes; `country` is a position in the
// country list, -1 for none (ContactTitle and Region are not edited).
struct ManufacturerForm {
    std::string number, name, address, zipCode, city, contact, tel, mob, fax, email, notes;
    int country = -1;
    friend bool operator==(const ManufacturerForm&, const ManufacturerForm&) = default;
};

// The manufacturer editor without its window. Failures are reported through the prompt
// layer. User-interface thread only.
class CManufacturerEditorModel {
public:
    // As CItemEditorModel: `row` nullptr for add mode, else the caller's positioned recordset
    // (not owned; it must outlive the model).
    CManufacturerEditorModel(CDatabase* database, CManufacturerTable* row);

    EditorMode Mode() const { return m_row ? EditorMode::Edit : EditorMode::Add; }
    const std::vector<EditorChoice>& Countries() const { return m_countries; }
    const ManufacturerForm& Initial() const { return m_initial; }
    // Only a database is needed: manufacturer numbers need not be unique.
    bool CanSave() const { return m_database != nullptr; }
    // As CCustomerEditorModel.
    void Save(const ManufacturerForm& form);
    int Delete(const ManufacturerForm& form);

    // "Mfr No :" as stored: the integer value of its first 30 characters.
    static int32_t NumberValue(std::string_view text);

private:
    void WriteRow(CManufacturerTable& row, const ManufacturerForm& form) const;

    CDatabase* m_database;
    CManufacturerTable* m_row;
    std::vector<EditorChoice> m_countries;
    ManufacturerForm m_initial;
};

}  // namespace flr
