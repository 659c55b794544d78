#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

class CCustomerTable;
class CItemTable;
class CManufacturerTable;
class CEffect;
class CEffectCatalogue;
struct ItemFilter;

// A customer as the database bar lists it: one tbCustomers row's texts (City, Region, Ext and
// Index are not carried).
struct CCustomer {
    std::string customerNo, customerName, contactName, billingAddr, zipCode, tel, tel2, mob, mob2,
        fax, email, notes;
    void RefreshFrom(const CCustomerTable& row);
};

// A manufacturer as the database bar lists it: one tbSuppliers row. `mobile` is a column of
// the list that no field of the table fills.
struct CManufacturer {
    int32_t supplierNo = 0;
    int32_t countryId = 0;
    std::string address, city, contactName, email, fax, name, notes, tel, zipCode, mobile;
    void RefreshFrom(const CManufacturerTable& row);
};

// The lists' rows, shared with the record editors that change them.
using CustomerRow = std::shared_ptr<CCustomer>;
using ManufacturerRow = std::shared_ptr<CManufacturer>;

// Requeries `items` and lists every row's item that `filter` lets through, in table order.
// A row's item is taken from `catalogue` by article number, or made from the row and added to
// it; an item already there is listed as it stands. False (rows untouched) when `items` is
// not open or the requery failed.
bool FillItems(CItemTable& items, CEffectCatalogue& catalogue, const ItemFilter& filter,
               std::vector<CEffect*>& rows);
// Requery, then append the customers not yet listed (by CustomerNo); "No Customer" is never
// listed. Listed rows are not refreshed.
bool FillCustomers(CCustomerTable& customers, std::vector<CustomerRow>& rows);
// The same for manufacturers, by SupplierNO; every row is listed.
bool FillManufacturers(CManufacturerTable& manufacturers, std::vector<ManufacturerRow>& rows);

// Columns and cell texts (bytes, Windows-1252); "ERR!" for a row without its object.
inline constexpr int kItemColumns =
    8;  // Art No, Size, Name, PF, Dur., Stock, Out Price, Description
inline constexpr int kCustomerColumns = 7;  // No, Name, Contact, Telephone, Mobile, E-Mail, Notes
inline constexpr int kManufacturerColumns = 7;  // the same headings
std::string ItemCellText(const CEffect* item, int column);
std::string CustomerCellText(const CCustomer* customer, int column);
std::string ManufacturerCellText(const CManufacturer* manufacturer, int column);

// A click on a column heading: ascending for a new column, else the other way round.
struct ListSort {
    int column = -1;
    bool ascending = true;
    void Click(int clicked);
};
void SortItems(std::vector<CEffect*>& rows, const ListSort& sort);
void SortCustomers(std::vector<CustomerRow>& rows, const ListSort& sort);
void SortManufacturers(std::vector<ManufacturerRow>& rows, const ListSort& sort);

// Positions the recordset on the row of a listed object (requerying first). False when the
// table is empty or has no such row any more.
bool FindItemRecord(CItemTable& items, std::string_view articleNumber);
bool FindCustomerRecord(CCustomerTable& customers, std::string_view customerNo);
bool FindManufacturerRecord(CManufacturerTable& manufacturers, int32_t supplierNo);

}  // namespace flr
