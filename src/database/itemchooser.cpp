#include "database/itemchooser.h"

#include "database/itemtable.h"
#include "model/effectcatalogue.h"

namespace flr {

CItemChooser::CItemChooser(CDatabase* database, CEffectCatalogue& catalogue, MissingItems missing)
    : m_database(database), m_catalogue(catalogue), m_missing(missing)
{
}

void CItemChooser::SetItem(CEffectRef item)
{
    if (item == m_item) return;
    m_item = std::move(item);
    m_chosenSize = m_item ? m_item->GetSize() : -1;
    if (m_initialised) UpdateDescription();
}

void CItemChooser::UpdateDescription()
{
    m_description = m_item && !m_item->GetDescription().empty() ? m_item->GetDescription()
                                                                : std::string(kNoDescription);
}

CEffectRef CItemChooser::ItemFor(const CItemTable& row)
{
    if (CEffect* held = m_catalogue.Find(row.m_SerialID)) return CEffectRef(held);
    if (m_missing == MissingItems::NoItem) return {};
    CEffectRef made = row.MakeItem();
    m_catalogue.Insert(made);
    return made;
}

void CItemChooser::Open()
{
    m_sizes.clear();
    m_sizeIndex = -1;
    bool read = false;
    if (m_database) {
        CItemTable rs(m_database);
        read = rs.OpenTable(FireworksQuery::OrderedBy(FireworksQuery::Order::Size));
        int32_t last = -1;
        for (; read && !rs.IsEOF(); rs.MoveNext()) {
            if (rs.m_Size > last) m_sizes.push_back(last = rs.m_Size);
        }
    }
    // A refused query has said so once; the other lists stay empty.
    if (read) {
        if (m_chosenSize == -1 && !m_sizes.empty()) m_chosenSize = m_sizes.front();
        for (size_t i = 0; i < m_sizes.size(); ++i) {
            if (m_sizes[i] == m_chosenSize) m_sizeIndex = int(i);
        }
        const int32_t size = m_chosenSize;
        FillNames(size);
        FillSerials(size);
    }
    SelectItemInLists();
    m_initialised = true;
    // Shows the chosen item's description from the start, not only after the first change.
    UpdateDescription();
}

void CItemChooser::FillNames(int32_t size)
{
    m_names.clear();
    m_nameIndex = -1;
    if (!m_database) return;
    CItemTable rs(m_database);
    if (!rs.OpenTable(FireworksQuery::OfSize(size, FireworksQuery::Order::ProductName))) return;
    if (!m_item && !rs.IsEOF()) SetItem(ItemFor(rs));
    for (; !rs.IsEOF(); rs.MoveNext()) m_names.push_back({rs.m_ProductName, rs.m_ProductNO});
}

void CItemChooser::FillSerials(int32_t size)
{
    m_serials.clear();
    m_serialIndex = -1;
    if (!m_database) return;
    CItemTable rs(m_database);
    if (!rs.OpenTable(FireworksQuery::OfSize(size, FireworksQuery::Order::SerialID))) return;
    for (; !rs.IsEOF(); rs.MoveNext()) m_serials.push_back(rs.m_SerialID);
}

int CItemChooser::SerialIndexOf(const std::string& serial) const
{
    for (size_t i = 0; i < m_serials.size(); ++i) {
        if (m_serials[i] == serial) return int(i);
    }
    return -1;
}

void CItemChooser::SelectItemInLists()
{
    if (!m_item) return;
    m_serialIndex = SerialIndexOf(m_item->GetArticleNumber());
    // Equal names are told apart by the record number.
    int byName = -1;
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i].name != m_item->GetName()) continue;
        if (m_names[i].productNo == m_item->GetRecordNumber()) {
            byName = int(i);
            break;
        }
        if (byName < 0) byName = int(i);
    }
    m_nameIndex = byName;
}

void CItemChooser::ChangeSize(int index)
{
    if (index < 0 || size_t(index) >= m_sizes.size()) return;
    m_sizeIndex = index;
    const int32_t size = m_sizes[size_t(index)];
    if (m_item && m_item->GetSize() == size) return;
    SetItem({});
    FillNames(size);
    FillSerials(size);
    SelectItemInLists();
}

void CItemChooser::ChangeSerial(int index)
{
    if (index < 0 || size_t(index) >= m_serials.size()) return;
    m_serialIndex = index;
    const std::string serial = m_serials[size_t(index)];
    if (m_item && m_item->GetArticleNumber() == serial) return;
    if (!m_database) return;
    CItemTable rs(m_database);
    if (!rs.OpenTable(FireworksQuery::WithSerialID(serial))) return;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (rs.m_SerialID != serial) continue;
        SetItem(ItemFor(rs));
        if (m_item) {
            for (size_t i = 0; i < m_names.size(); ++i) {
                if (m_names[i].productNo == rs.m_ProductNO) {
                    m_nameIndex = int(i);
                    break;
                }
            }
        }
        return;
    }
}

void CItemChooser::ChangeName(int index)
{
    if (index < 0 || size_t(index) >= m_names.size()) return;
    m_nameIndex = index;
    const int32_t number = m_names[size_t(index)].productNo;
    if (!m_database) return;
    CItemTable rs(m_database);
    if (!rs.OpenTable(FireworksQuery::WithProductNO(number))) return;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (rs.m_ProductNO != number) continue;
        SetItem(ItemFor(rs));
        if (m_item) m_serialIndex = SerialIndexOf(rs.m_SerialID);
        return;
    }
}

}  // namespace flr
