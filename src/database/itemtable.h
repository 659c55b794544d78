#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "database/recordset.h"
#include "model/effect.h"

namespace flr {

// PreFire and Hold texts to seconds: empty gives 0; "." counts as ","; without "," the text
// is an integer; otherwise whole part "," fraction digits ("1,5" 1.5, "2.25" 2.25).
double ParseDecimalText(std::string_view text);

// The restriction and order of an item query: the clauses the item choices use, with the
// values they carry sent as bound parameters.
struct FireworksQuery {
    enum class Order { None, ProductName, SerialID, Size };

    Order order = Order::None;
    std::optional<int32_t> size;          // WHERE Size = n
    std::optional<std::string> sizeText;  // WHERE Size = the calibre as the user typed it
    std::optional<std::string> serialId;  // WHERE SerialID = the article number
    std::optional<int32_t> productNo;     // WHERE ProductNO = n

    static FireworksQuery OrderedBy(Order order) { return {order, {}, {}, {}, {}}; }
    static FireworksQuery OfSize(int32_t size, Order order) { return {order, size, {}, {}, {}}; }
    static FireworksQuery OfSizeText(std::string text, Order order)
    {
        return {order, {}, std::move(text), {}, {}};
    }
    static FireworksQuery WithSerialID(std::string serial)
    {
        return {Order::None, {}, {}, std::move(serial), {}};
    }
    static FireworksQuery WithProductNO(int32_t number)
    {
        return {Order::None, {}, {}, {}, number};
    }
};

// The firework items, one row of tbFireworks per item. Columns bound in this order:
// ProductNO, SerialID, ProductName, Size, Color, Weight, PreFire, Altitude, Hold, CategoryID,
// SubCategoryID, Stock, Reserved, OrderLimit, Price, PriceOut, SupplierID, ProductDescription.
class CItemTable : public CRecordset {
public:
    // `database` as for CRecordset: not owned; nullptr opens a connection of its own.
    explicit CItemTable(CDatabase* database);

    // "SELECT * FROM tbFireworks" restricted and ordered by `query`, as a dynaset; true at once
    // when already open (close it first for another query). A failure shows "Unable to
    // connect to FLR database - [%s]." ("Database Error") and leaves the recordset closed.
    bool OpenTable(const FireworksQuery& query = {});
    std::string TableName() const override { return "tbFireworks"; }

    // A new item from the member values (the current row, or the row being added).
    CEffectRef MakeItem() const;
    // Fills `item` from the member values, field by field.
    void FillItem(CEffect& item) const;
    // Fills the columns from `item` for an import: prices truncated to whole units, Altitude
    // 100, SubCategoryID, SupplierID, Reserved and OrderLimit 0; ProductNO is the data
    // source's. Returns 1, or 0 changing nothing when `item` is null.
    int SetFromItem(const CEffect* item);

    int32_t m_ProductNO = 0;
    std::string m_SerialID;
    std::string m_ProductName;
    int32_t m_Size = 0;
    int32_t m_Color = 0;
    int32_t m_Weight = 0;
    std::string m_PreFire;
    int32_t m_Altitude = 0;
    std::string m_Hold;
    int32_t m_CategoryID = 0;
    int32_t m_SubCategoryID = 0;
    int32_t m_Stock = 0;
    int32_t m_Reserved = 0;
    int32_t m_OrderLimit = 0;
    int32_t m_Price = 0;
    int32_t m_PriceOut = 0;
    int32_t m_SupplierID = 0;
    std::string m_ProductDescription;
};

}  // namespace flr
