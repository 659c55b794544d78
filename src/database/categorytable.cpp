#include "database/categorytable.h"

namespace flr {

CCategoryTable::CCategoryTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("CategoryNo", &m_CategoryNo);
    BindText("Category", &m_Category);
    BindInteger("BitValue", &m_BitValue);
    SetKey(0, false);
}

bool CCategoryTable::OpenTable()
{
    return OpenWithReport(OpenType::Snapshot,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
