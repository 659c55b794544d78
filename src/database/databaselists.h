#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/contactkind.h"

namespace flr {

class CItemTable;
class CRecordset;
class CEffect;
class CEffectCatalogue;
struct ItemFilter;

// Requeries `items` and lists every row's item that `filter` lets through, in table order.
// A row's item is taken from `catalogue` by article number, or made from the row and added to
// it; an item already there takes the row's values, so the database's stock, prices and
// timings win over a show file's copy. False (rows untouched) when `items` is not open or the
// requery failed. `itemsChanged`, when given, says whether an item the catalogue already held
// took other values (what open shows show of it).
bool FillItems(CItemTable& items, CEffectCatalogue& catalogue, const ItemFilter& filter,
               std::vector<CEffect*>& rows, bool* itemsChanged = nullptr);
// Requeries `rows` (of `kind`'s table), then appends the contacts not yet listed (by key)
// but for the kind's hidden name. Listed rows are not refreshed.
bool FillContacts(const CContactKind& kind, CRecordset& rows, std::vector<ContactRow>& list);

// Columns and cell texts (bytes, Windows-1252); "ERR!" for a row without its object.
std::string ItemCellText(const CEffect* item, int column);
std::string ContactCellText(const CContact* contact, int column);

// A click on a column heading: ascending for a new column, else the other way round.
struct ListSort {
    int column = -1;
    bool ascending = true;
    void Click(int clicked);
};
void SortItems(std::vector<CEffect*>& rows, const ListSort& sort);
// A numeric key sorts as a number.
void SortContacts(const CContactKind& kind, std::vector<ContactRow>& rows, const ListSort& sort);

// Positions the recordset on the row of a listed object (requerying first). False when the
// table is empty or has no such row any more.
bool FindItemRecord(CItemTable& items, std::string_view articleNumber);
bool FindContactRecord(const CContactKind& kind, CRecordset& rows, std::string_view key);

}  // namespace flr
