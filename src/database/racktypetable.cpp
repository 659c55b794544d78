#include "database/racktypetable.h"

namespace flr {

CRackTypeTable::CRackTypeTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("ID", &m_ID);
    BindInteger("TypeNO", &m_TypeNO);
    BindText("Name", &m_Name);
    BindText("Config", &m_Config);
    BindText("Angles", &m_Angles);
    BindText("Notes", &m_Notes);
    BindText("Image", &m_Image);
    BindBit("Hide", &m_Hide);
    SetKey(0, true);
}

bool CRackTypeTable::OpenTable()
{
    if (IsOpen()) return true;
    return OpenWithReport(OpenType::Dynaset, [this] {
        return "SELECT * FROM " + Quote(TableName()) + " ORDER BY " + Quote("Name");
    });
}

}  // namespace flr
