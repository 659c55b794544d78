#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The manufacturers (suppliers) of the items; Index is the record key (an item's SupplierID).
// Columns bound in this order: Index, SupplierNO, Name, ContactTitle, ContactName, Address, City,
// ZipCode, Region, Tel, Mob, Fax, E-Mail, Notes, CountryID.
class CManufacturerTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CManufacturerTable(CDatabase* database);

    // "SELECT * FROM tbSuppliers" as a dynaset; true at once when already open. A
    // failure shows "Unable to connect to FLR database - [%s]." ("Database Error") and
    // leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbSuppliers"; }

    int32_t m_Index = 0;
    int32_t m_SupplierNO = 0;
    std::string m_Name;
    std::string m_ContactTitle;
    std::string m_ContactName;
    std::string m_Address;
    std::string m_City;
    std::string m_ZipCode;
    std::string m_Region;
    std::string m_Tel;
    std::string m_Mob;
    std::string m_Fax;
    std::string m_EMail;
    std::string m_Notes;
    int32_t m_CountryID = 0;
};

}  // namespace flr
