#include "database/dbrscolors.h"

namespace flr {

CDBRSColors::CDBRSColors(CDatabase* database) : CRecordset(database)
{
    BindInteger("ColorID", &m_ColorID);
    BindText("Color", &m_Color);
    SetKey(0, false);
}

bool CDBRSColors::OpenTable()
{
    return OpenWithReport(OpenType::Snapshot,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
