#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The database version, one row.
// Columns bound in this order: Major, Minor, Revision.
class CVersionTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CVersionTable(CDatabase* database);

    // Sets all three to -1, then reads the first row of "SELECT * FROM tbVersion" as a
    // snapshot. An open failure shows the connect message and leaves the -1s.
    void ReadVersion(int32_t& major, int32_t& minor, int32_t& revision);
    std::string TableName() const override { return "tbVersion"; }

    int32_t m_Major = 0;
    int32_t m_Minor = 0;
    int32_t m_Revision = 0;
};

}  // namespace flr
