#include "database/databaselists.h"

#include <algorithm>
#include <cstdio>

#include "database/customertable.h"
#include "database/itemfilter.h"
#include "database/itemtable.h"
#include "database/manufacturertable.h"
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

void CCustomer::RefreshFrom(const CCustomerTable& r)
{
    customerNo = r.m_CustomerNo;
    customerName = r.m_CustomerName;
    contactName = r.m_ContactName;
    billingAddr = r.m_BillingAddr;
    zipCode = r.m_ZipCode;
    tel = r.m_Tel;
    tel2 = r.m_Tel2;
    mob = r.m_Mob;
    mob2 = r.m_Mob2;
    fax = r.m_Fax;
    email = r.m_EMail;
    notes = r.m_Notes;
}

void CManufacturer::RefreshFrom(const CManufacturerTable& r)
{
    supplierNo = r.m_SupplierNO;
    countryId = r.m_CountryID;
    address = r.m_Address;
    city = r.m_City;
    contactName = r.m_ContactName;
    email = r.m_EMail;
    fax = r.m_Fax;
    name = r.m_Name;
    notes = r.m_Notes;
    tel = r.m_Tel;
    zipCode = r.m_ZipCode;
}

bool FillItems(CItemTable& items, CEffectCatalogue& catalogue, const ItemFilter& filter,
               std::vector<CEffect*>& rows)
{
    if (!items.IsOpen() || !items.Requery()) return false;
    rows.clear();
    for (items.MoveFirst(); !items.IsEOF(); items.MoveNext()) {
        CEffect* item = catalogue.Find(items.m_SerialID);
        if (!item) {
            CEffectRef made = items.MakeItem();
            // A row the catalogue refuses (an empty article number) cannot be listed.
            if (!catalogue.Insert(made)) continue;
            item = made.get();
        }
        if (!filter.IsFilteredOut(*item)) rows.push_back(item);
    }
    return true;
}

bool FillCustomers(CCustomerTable& customers, std::vector<CustomerRow>& rows)
{
    if (!customers.IsOpen() || !customers.Requery()) return false;
    for (customers.MoveFirst(); !customers.IsEOF(); customers.MoveNext()) {
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const CustomerRow& c) {
            return c && c->customerNo == customers.m_CustomerNo;
        });
        if (listed || customers.m_CustomerName == "No Customer") continue;
        auto customer = std::make_shared<CCustomer>();
        customer->RefreshFrom(customers);
        rows.push_back(std::move(customer));
    }
    return true;
}

bool FillManufacturers(CManufacturerTable& manufacturers, std::vector<ManufacturerRow>& rows)
{
    if (!manufacturers.IsOpen() || !manufacturers.Requery()) return false;
    for (manufacturers.MoveFirst(); !manufacturers.IsEOF(); manufacturers.MoveNext()) {
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const ManufacturerRow& m) {
            return m && m->supplierNo == manufacturers.m_SupplierNO;
        });
        if (listed) continue;
        auto manufacturer = std::make_shared<CManufacturer>();
        manufacturer->RefreshFrom(manufacturers);
        rows.push_back(std::move(manufacturer));
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

std::string CustomerCellText(const CCustomer* c, int column)
{
    if (!c) return "ERR!";
    switch (column) {
    case 0: return c->customerNo;
    case 1: return c->customerName;
    case 2: return c->contactName;
    case 3: return c->tel;
    case 4: return c->mob;
    case 5: return c->email;
    case 6: return c->notes;
    default: return {};
    }
}

std::string ManufacturerCellText(const CManufacturer* m, int column)
{
    if (!m) return "ERR!";
    switch (column) {
    case 0: return Format("%d", m->supplierNo);
    case 1: return m->name;
    case 2: return m->contactName;
    case 3: return m->tel;
    case 4: return m->mobile;
    case 5: return m->email;
    case 6: return m->notes;
    default: return {};
    }
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

void SortCustomers(std::vector<CustomerRow>& rows, const ListSort& sort)
{
    const int column = sort.column;
    SortRows(rows, sort.ascending, [column](const CustomerRow& a, const CustomerRow& b) {
        return CustomerCellText(a.get(), column) < CustomerCellText(b.get(), column);
    });
}

void SortManufacturers(std::vector<ManufacturerRow>& rows, const ListSort& sort)
{
    const int column = sort.column;
    SortRows(rows, sort.ascending, [column](const ManufacturerRow& a, const ManufacturerRow& b) {
        if (column == 0 && a && b) return a->supplierNo < b->supplierNo;
        return ManufacturerCellText(a.get(), column) < ManufacturerCellText(b.get(), column);
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

bool FindCustomerRecord(CCustomerTable& customers, std::string_view customerNo)
{
    if (!customers.IsOpen() && !customers.OpenTable()) return false;
    if (!customers.Requery()) return false;
    for (customers.MoveFirst(); !customers.IsEOF(); customers.MoveNext()) {
        if (customers.m_CustomerNo == customerNo) return true;
    }
    return false;
}

bool FindManufacturerRecord(CManufacturerTable& manufacturers, int32_t supplierNo)
{
    if (!manufacturers.IsOpen() && !manufacturers.OpenTable()) return false;
    if (!manufacturers.Requery()) return false;
    for (manufacturers.MoveFirst(); !manufacturers.IsEOF(); manufacturers.MoveNext()) {
        if (manufacturers.m_SupplierNO == supplierNo) return true;
    }
    return false;
}

}  // namespace flr
