#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The colours: colour n is bit n-1 of an item's Color mask. A name beginning with "-" is hidden.
// Columns bound in this order: ColorID, Color.
class CColorTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CColorTable(CDatabase* database);

    // "SELECT * FROM tbColors" as a snapshot. A failure shows "Unable to connect to FLR
    // database - [%s]." ("Database Error") and leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbColors"; }

    int32_t m_ColorID = 0;
    std::string m_Color;
};

}  // namespace flr
