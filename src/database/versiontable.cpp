#include "database/versiontable.h"

namespace flr {

CVersionTable::CVersionTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("Major", &m_Major);
    BindInteger("Minor", &m_Minor);
    BindInteger("Revision", &m_Revision);
}

void CVersionTable::ReadVersion(int32_t& major, int32_t& minor, int32_t& revision)
{
    major = minor = revision = -1;
    if (!OpenWithReport(OpenType::Snapshot,
                        [this] { return "SELECT * FROM " + Quote(TableName()); }) ||
        IsEOF())
        return;
    major = m_Major;
    minor = m_Minor;
    revision = m_Revision;
}

}  // namespace flr
