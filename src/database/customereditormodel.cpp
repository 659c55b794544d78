#include "database/customereditormodel.h"

#include "database/customertable.h"

namespace flr {

namespace {

// The first row of `rows` (open) with this number, made current; false at the end.
bool MoveToCustomer(CCustomerTable& rows, const std::string& customerNo)
{
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        if (rows.m_CustomerNo == customerNo) return true;
    }
    return false;
}

}  // namespace

CCustomerEditorModel::CCustomerEditorModel(CDatabase* database, CCustomerTable* row)
    : m_database(database), m_row(row)
{
    if (!m_row) return;
    const CCustomerTable& r = *m_row;
    m_initial = {r.m_CustomerNo,  r.m_CustomerName, r.m_BillingAddr, r.m_ZipCode, r.m_City,
                 r.m_ContactName, r.m_Tel,          r.m_Tel2,        r.m_Mob,     r.m_Mob2,
                 r.m_Fax,         r.m_EMail,        r.m_Notes};
}

bool CCustomerEditorModel::CanSave(const CustomerForm& form)
{
    if (!m_database) return false;
    if (m_row) return true;
    if (form.customerNo.empty()) return false;
    if (m_checkedNo != form.customerNo) {
        CCustomerTable rows(m_database);
        m_checkedNoIsNew = rows.OpenTable() && !MoveToCustomer(rows, form.customerNo);
        m_checkedNo = form.customerNo;
    }
    return m_checkedNoIsNew;
}

void CCustomerEditorModel::WriteRow(CCustomerTable& row, const CustomerForm& form) const
{
    row.m_CustomerNo = form.customerNo;
    row.m_CustomerName = form.name;
    row.m_BillingAddr = form.address;
    row.m_ZipCode = form.zipCode;
    row.m_City = form.city;
    row.m_ContactName = form.contact;
    row.m_Tel = form.tel;
    row.m_Tel2 = form.tel2;
    row.m_Mob = form.mob;
    row.m_Mob2 = form.mob2;
    row.m_Fax = form.fax;
    row.m_EMail = form.email;
    row.m_Notes = form.notes;
}

void CCustomerEditorModel::Save(const CustomerForm& form)
{
    if (!m_database) return;
    if (m_row) {
        m_row->Edit();
        WriteRow(*m_row, form);
        if (!m_row->Update()) {
            m_row->CancelUpdate();
            ReportDatabaseError("Unable to edit customer in FLR database.");
        }
        return;
    }
    CCustomerTable rows(m_database);
    bool stored = false;
    if (rows.OpenTable() && rows.CanAppend()) {
        rows.AddNew();
        WriteRow(rows, form);
        stored = rows.Update();
    }
    if (!stored) ReportDatabaseError("Unable to append customer to FLR database.");
}

int CCustomerEditorModel::Delete(const CustomerForm& form)
{
    if (!m_database) return 0;
    CCustomerTable rows(m_database);
    if (!rows.OpenTable()) return 0;
    if (!MoveToCustomer(rows, form.customerNo)) return kEditorDeleted;
    if (!ConfirmDelete(rows.m_CustomerName, "customer")) return 0;
    DBError error;
    if (!rows.Delete(&error) && error.state != "01001") {
        ReportDatabaseError("Unable to delete customer from FLR database.");
        return 0;
    }
    return kEditorDeleted;
}

}  // namespace flr
