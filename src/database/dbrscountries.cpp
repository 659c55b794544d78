#include "database/dbrscountries.h"

namespace flr {

CDBRSCountries::CDBRSCountries(CDatabase* database) : CRecordset(database)
{
    BindInteger("CountryID", &m_CountryID);
    BindText("Country", &m_Country);
    SetKey(0, false);
}

bool CDBRSCountries::OpenTable()
{
    return OpenWithReport(OpenType::Snapshot,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
