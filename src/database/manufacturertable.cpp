#include "database/manufacturertable.h"

namespace flr {

CManufacturerTable::CManufacturerTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("Index", &m_Index);
    BindInteger("SupplierNO", &m_SupplierNO);
    BindText("Name", &m_Name);
    BindText("ContactTitle", &m_ContactTitle);
    BindText("ContactName", &m_ContactName);
    BindText("Address", &m_Address);
    BindText("City", &m_City);
    BindText("ZipCode", &m_ZipCode);
    BindText("Region", &m_Region);
    BindText("Tel", &m_Tel);
    BindText("Mob", &m_Mob);
    BindText("Fax", &m_Fax);
    BindText("E-Mail", &m_EMail);
    BindText("Notes", &m_Notes);
    BindInteger("CountryID", &m_CountryID);
    SetKey(0, true);
}

bool CManufacturerTable::OpenTable()
{
    if (IsOpen()) return true;
    return OpenWithReport(OpenType::Dynaset,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
