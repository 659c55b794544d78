#include "database/databaselists.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "database/itemfilter.h"
#include "database/itemtable.h"
#include "model/effect.h"
#include "model/effectcatalogue.h"

namespace flr {

namespace {

template <typename... Values>
std::string Format(const char* format, Values... values)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// Sorts `rows` by `less` in the click's direction; lists of fewer than two rows stay.
template <typename Row, typename Less>
void SortRows(std::vector<Row>& rows, bool ascending, Less less)
{
    if (rows.size() < 2) return;
    if (ascending) {
        std::stable_sort(rows.begin(), rows.end(), less);
    } else {
        std::stable_sort(rows.begin(), rows.end(),
                         [&less](const Row& a, const Row& b) { return less(b, a); });
    }
}

}  // namespace

bool FillItems(CItemTable& items, CEffectCatalogue& catalogue, const ItemFilter& filter,
               std::vector<CEffect*>& rows, bool* itemsChanged)
{
    if (!items.IsOpen() || !items.Requery()) return false;
    rows.clear();
    for (items.MoveFirst(); !items.IsEOF(); items.MoveNext()) {
        CEffect* item = catalogue.Find(items.m_SerialID);
        if (item) {
            // The stored row wins over a show file's copy and over what another user changed
            // since the last fill.
            const auto shown = [](const CEffect& e) {
                return std::tuple(e.GetName(), e.GetSize(), e.GetPrefire(), e.GetDuration(),
                                  e.GetWeight(), e.GetOutPrice());
            };
            const auto before = shown(*item);
            items.FillItem(*item);
            if (itemsChanged && shown(*item) != before) *itemsChanged = true;
        } else {
            CEffectRef made = items.MakeItem();
            // A row the catalogue refuses (an empty article number) cannot be listed.
            if (!catalogue.Insert(made)) continue;
            item = made.get();
        }
        if (!filter.IsFilteredOut(*item)) rows.push_back(item);
    }
    return true;
}

bool FillContacts(const CContactKind& kind, CRecordset& rows, std::vector<ContactRow>& list)
{
    if (!rows.IsOpen() || !rows.Requery()) return false;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        auto contact = std::make_shared<CContact>(kind.List(rows));
        const bool listed = std::any_of(list.begin(), list.end(), [&](const ContactRow& c) {
            return c && c->Key() == contact->Key();
        });
        if (listed || (!kind.hiddenName.empty() && contact->cells[1] == kind.hiddenName)) continue;
        list.push_back(std::move(contact));
    }
    return true;
}

std::string ItemCellText(const CEffect* item, int column)
{
    if (!item) return "ERR!";
    switch (column) {
    case 0: return item->GetArticleNumber();
    case 1: return Format("%d", item->GetSize());
    case 2: return item->GetName();
    case 3: return Format("%.1f", item->GetPrefire());
    case 4: return Format("%.1f", item->GetDuration());
    case 5: return Format("%d", item->GetStock());
    case 6: return Format("%0.2f", item->GetOutPrice());
    case 7: return item->GetDescription();
    default: return {};
    }
}

std::string ContactCellText(const CContact* contact, int column)
{
    if (!contact) return "ERR!";
    return column >= 0 && column < kContactColumns ? contact->cells[size_t(column)] : "";
}

void ListSort::Click(int clicked)
{
    ascending = clicked != column || !ascending;
    column = clicked;
}

void SortItems(std::vector<CEffect*>& rows, const ListSort& sort)
{
    const int column = sort.column;
    SortRows(rows, sort.ascending, [column](const CEffect* a, const CEffect* b) {
        if (!a || !b) return !a && b;  // rows without an item first
        switch (column) {
        case 1: return a->GetSize() < b->GetSize();
        case 3: return a->GetPrefire() < b->GetPrefire();
        case 4: return a->GetDuration() < b->GetDuration();
        case 5: return a->GetStock() < b->GetStock();
        case 6: return a->GetOutPrice() < b->GetOutPrice();
        default: return ItemCellText(a, column) < ItemCellText(b, column);
        }
    });
}

void SortContacts(const CContactKind& kind, std::vector<ContactRow>& rows, const ListSort& sort)
{
    const int column = sort.column;
    const bool numeric = column == 0 && kind.numericKey;
    SortRows(rows, sort.ascending, [column, numeric](const ContactRow& a, const ContactRow& b) {
        if (numeric && a && b) return IntegerValue(a->Key()) < IntegerValue(b->Key());
        return ContactCellText(a.get(), column) < ContactCellText(b.get(), column);
    });
}

bool FindItemRecord(CItemTable& items, std::string_view articleNumber)
{
    if (!items.IsOpen() && !items.OpenTable()) return false;
    if (!items.Requery()) return false;
    for (items.MoveFirst(); !items.IsEOF(); items.MoveNext()) {
        if (items.m_SerialID == articleNumber) return true;
    }
    return false;
}

bool FindContactRecord(const CContactKind& kind, CRecordset& rows, std::string_view key)
{
    if (!rows.IsOpen() && !kind.OpenTable(rows)) return false;
    if (!rows.Requery()) return false;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        if (kind.List(rows).Key() == key) return true;
    }
    return false;
}

}  // namespace flr
