#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The customers a show is made for; Index is the record key, numbered by the data source.
// Columns bound in this order: Index, CustomerNo, CustomerName, ContactName, BillingAddr, City,
// Region, ZipCode, Tel, Tel2, Mob, Mob2, Ext, Fax, E-Mail, Notes.
class CCustomerTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CCustomerTable(CDatabase* database);

    // "SELECT * FROM tbCustomers" as a dynaset; true at once when already open. A
    // failure shows "Unable to connect to FLR database - [%s]." ("Database Error") and
    // leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbCustomers"; }

    int32_t m_Index = 0;
    std::string m_CustomerNo;
    std::string m_CustomerName;
    std::string m_ContactName;
    std::string m_BillingAddr;
    std::string m_City;
    std::string m_Region;
    std::string m_ZipCode;
    std::string m_Tel;
    std::string m_Tel2;
    std::string m_Mob;
    std::string m_Mob2;
    std::string m_Ext;
    std::string m_Fax;
    std::string m_EMail;
    std::string m_Notes;
};

}  // namespace flr
