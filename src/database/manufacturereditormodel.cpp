#include "database/manufacturereditormodel.h"

#include "database/manufacturertable.h"

namespace flr {

CManufacturerEditorModel::CManufacturerEditorModel(CDatabase* database, CManufacturerTable* row)
    : m_database(database), m_row(row)
{
    m_countries = LoadCountryChoices(database);
    if (!m_row) return;
    const CManufacturerTable& r = *m_row;
    m_initial = {DecimalText(r.m_SupplierNO),
                 r.m_Name,
                 r.m_Address,
                 r.m_ZipCode,
                 r.m_City,
                 r.m_ContactName,
                 r.m_Tel,
                 r.m_Mob,
                 r.m_Fax,
                 r.m_EMail,
                 r.m_Notes,
                 FindChoice(m_countries, r.m_CountryID)};
}

int32_t CManufacturerEditorModel::NumberValue(std::string_view text)
{
    return IntegerValue(text.substr(0, 30));
}

void CManufacturerEditorModel::WriteRow(CManufacturerTable& row, const ManufacturerForm& form) const
{
    row.m_SupplierNO = NumberValue(form.number);
    row.m_Name = form.name;
    row.m_Address = form.address;
    row.m_ZipCode = form.zipCode;
    row.m_City = form.city;
    row.m_ContactName = form.contact;
    row.m_Tel = form.tel;
    row.m_Mob = form.mob;
    row.m_Fax = form.fax;
    row.m_EMail = form.email;
    row.m_Notes = form.notes;
    row.m_CountryID = ChoiceData(m_countries, form.country);
}

void CManufacturerEditorModel::Save(const ManufacturerForm& form)
{
    if (!m_database) return;
    if (m_row) {
        m_row->Edit();
        WriteRow(*m_row, form);
        if (!m_row->Update()) {
            m_row->CancelUpdate();
            ReportDatabaseError("Unable to edit manufacturer in FLR database.");
        }
        return;
    }
    CManufacturerTable rows(m_database);
    bool stored = false;
    if (rows.OpenTable() && rows.CanAppend()) {
        rows.AddNew();
        WriteRow(rows, form);
        stored = rows.Update();
    }
    if (!stored) ReportDatabaseError("Unable to append manufacturer to FLR database.");
}

int CManufacturerEditorModel::Delete(const ManufacturerForm& form)
{
    if (!m_database) return 0;
    CManufacturerTable rows(m_database);
    if (!rows.OpenTable()) return 0;
    const int32_t number = NumberValue(form.number);
    bool found = false;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        if (rows.m_SupplierNO == number) {
            found = true;
            break;
        }
    }
    if (!found) return kEditorDeleted;
    if (!ConfirmDelete(rows.m_Name, "manufacturer")) return 0;
    DBError error;
    if (!rows.Delete(&error) && error.state != "01001") {
        ReportDatabaseError("Unable to delete manufacturer from FLR database.");
        return 0;
    }
    return kEditorDeleted;
}

}  // namespace flr
