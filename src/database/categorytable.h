#pragma once

#include <cstdint>
#include <string>

#include "database/recordset.h"

namespace flr {

// The categories of items (`tbFireworks` CategoryID refers to CategoryNo). A name beginning with
// "-" is hidden. Columns bound in this order: CategoryNo, Category, BitValue.
class CCategoryTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CCategoryTable(CDatabase* database);

    // "SELECT * FROM tbCategories" as a snapshot. A failure shows "Unable to connect to FLR
    // database - [%s]." ("Database Error") and leaves the recordset closed.
    bool OpenTable();
    std::string TableName() const override { return "tbCategories"; }

    int32_t m_CategoryNo = 0;
    std::string m_Category;
    int32_t m_BitValue = 0;
};

}  // namespace flr
