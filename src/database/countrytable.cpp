#include "database/countrytable.h"

namespace flr {

CCountryTable::CCountryTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("CountryID", &m_CountryID);
    BindText("Country", &m_Country);
    SetKey(0, false);
}

bool CCountryTable::OpenTable()
{
    return OpenWithReport(OpenType::Snapshot,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
