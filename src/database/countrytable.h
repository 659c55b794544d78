#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The countries of the manufacturers. A name beginning with "-" is hidden.
// Columns bound in this order: CountryID, Country.
class CCountryTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CCountryTable(CDatabase* database);

    // "SELECT * FROM tbCountries" as a snapshot. A failure shows "Unable to connect to FLR
    // database - [%s]." ("Database Error") and leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbCountries"; }

    int32_t m_CountryID = 0;
    std::string m_Country;
};

}  // namespace flr
