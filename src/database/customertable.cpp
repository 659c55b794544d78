#include "database/customertable.h"

namespace flr {

CCustomerTable::CCustomerTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("Index", &m_Index);
    BindText("CustomerNo", &m_CustomerNo);
    BindText("CustomerName", &m_CustomerName);
    BindText("ContactName", &m_ContactName);
    BindText("BillingAddr", &m_BillingAddr);
    BindText("City", &m_City);
    BindText("Region", &m_Region);
    BindText("ZipCode", &m_ZipCode);
    BindText("Tel", &m_Tel);
    BindText("Tel2", &m_Tel2);
    BindText("Mob", &m_Mob);
    BindText("Mob2", &m_Mob2);
    BindText("Ext", &m_Ext);
    BindText("Fax", &m_Fax);
    BindText("E-Mail", &m_EMail);
    BindText("Notes", &m_Notes);
    SetKey(0, true);
}

bool CCustomerTable::OpenTable()
{
    if (IsOpen()) return true;
    return OpenWithReport(OpenType::Dynaset,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
