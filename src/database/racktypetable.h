#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The rack (mortar) types; Config begins with the number of positions ("%d (%d:%d").
// Columns bound in this order: ID, TypeNO, Name, Config, Angles, Notes, Image, Hide.
class CRackTypeTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CRackTypeTable(CDatabase* database);

    // "SELECT * FROM tbMortarTypes ORDER BY Name" as a dynaset; true at once when already open. A
    // failure shows "Unable to connect to FLR database - [%s]." ("Database Error") and
    // leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbMortarTypes"; }

    int32_t m_ID = 0;
    int32_t m_TypeNO = 0;
    std::string m_Name;
    std::string m_Config;
    std::string m_Angles;
    std::string m_Notes;
    std::string m_Image;
    bool m_Hide = false;
};

}  // namespace flr
