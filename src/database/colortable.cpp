#include "database/colortable.h"

namespace flr {

CColorTable::CColorTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("ColorID", &m_ColorID);
    BindText("Color", &m_Color);
    SetKey(0, false);
}

bool CColorTable::OpenTable()
{
    return OpenWithReport(OpenType::Snapshot,
                          [this] { return "SELECT * FROM " + Quote(TableName()); });
}

}  // namespace flr
