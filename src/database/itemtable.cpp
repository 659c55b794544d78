#include "database/itemtable.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace flr {

namespace {

// atol's reading: optional blanks and sign, then the leading digits; anything else gives 0,
// and so does a number too large for a long. `digits` gets the number of digits read.
long LeadingInteger(std::string_view text, size_t* digits = nullptr)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t first = i;
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + unsigned(text[i] - '0');
        if (value > (unsigned long long)std::numeric_limits<long>::max()) overflow = true;
    }
    if (digits) *digits = i - first;
    if (overflow) return 0;
    return negative ? -long(value) : long(value);
}

// A clipped conversion: a price beyond the column's range is stored at its limit.
int32_t TruncatePrice(double price)
{
    if (std::isnan(price)) return 0;
    const double t = std::trunc(price);
    if (t >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (t <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(t);
}

// "%0.2f" with a "." whatever the process locale says.
std::string TwoDecimals(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0.00");
}

}  // namespace

double ParseDecimalText(std::string_view text)
{
    if (text.empty()) return 0.0;
    // "." counts as ",": the first of either splits whole part and fraction.
    const size_t comma = text.find_first_of(",.");
    if (comma == std::string_view::npos) return double(LeadingInteger(text));
    const std::string_view whole = text.substr(0, comma);
    size_t digits = 0;
    const long fractionValue = LeadingInteger(text.substr(comma + 1), &digits);
    double value = double(LeadingInteger(whole));
    if (digits > 0 && fractionValue > 0) {
        const double part = double(fractionValue) / std::pow(10.0, double(digits));
        // "-1,5" is minus one and a half, not minus a half.
        const bool negative = whole.find('-') != std::string_view::npos;
        value += negative ? -part : part;
    }
    return value;
}

CItemTable::CItemTable(CDatabase* database) : CRecordset(database)
{
    BindInteger("ProductNO", &m_ProductNO);
    BindText("SerialID", &m_SerialID);
    BindText("ProductName", &m_ProductName);
    BindInteger("Size", &m_Size);
    BindInteger("Color", &m_Color);
    BindInteger("Weight", &m_Weight);
    BindText("PreFire", &m_PreFire);
    BindInteger("Altitude", &m_Altitude);
    BindText("Hold", &m_Hold);
    BindInteger("CategoryID", &m_CategoryID);
    BindInteger("SubCategoryID", &m_SubCategoryID);
    BindInteger("Stock", &m_Stock);
    BindInteger("Reserved", &m_Reserved);
    BindInteger("OrderLimit", &m_OrderLimit);
    BindInteger("Price", &m_Price);
    BindInteger("PriceOut", &m_PriceOut);
    BindInteger("SupplierID", &m_SupplierID);
    BindText("ProductDescription", &m_ProductDescription);
    SetKey(0, true);
    SetUniqueColumn(1);
}

bool CItemTable::OpenTable(const FireworksQuery& query)
{
    if (IsOpen()) return true;
    std::vector<DBValue> params;
    bool matchesNothing = false;
    std::vector<std::pair<const char*, DBValue>> where;
    if (query.size) where.emplace_back("Size", DBValue::Integer(*query.size));
    if (query.sizeText) {
        // A calibre typed as text is compared as the number it is; one that is no number
        // matches no item (rather than making the data source refuse the query).
        size_t digits = 0;
        const std::string& text = *query.sizeText;
        const long value = LeadingInteger(text, &digits);
        const size_t end = text.find_last_not_of(" \t");
        const size_t start = text.find_first_not_of(" \t");
        const bool whole =
            digits > 0 && start != std::string::npos &&
            end - start + 1 == digits + ((text[start] == '-' || text[start] == '+') ? 1 : 0) &&
            value >= std::numeric_limits<int32_t>::min() &&
            value <= std::numeric_limits<int32_t>::max();
        if (whole)
            where.emplace_back("Size", DBValue::Integer(int32_t(value)));
        else
            matchesNothing = true;
    }
    if (query.serialId) where.emplace_back("SerialID", DBValue::Text(*query.serialId));
    if (query.productNo) where.emplace_back("ProductNO", DBValue::Integer(*query.productNo));

    for (const auto& [name, value] : where) params.push_back(value);
    return OpenWithReport(
        OpenType::Dynaset,
        [&] {
            std::string sql = "SELECT * FROM " + Quote(TableName());
            for (size_t i = 0; i < where.size(); ++i) {
                sql += i == 0 ? " WHERE " : " AND ";
                sql += Quote(where[i].first) + " = ?";
            }
            if (matchesNothing) sql += where.empty() ? " WHERE 1 = 0" : " AND 1 = 0";
            switch (query.order) {
            case FireworksQuery::Order::None: break;
            case FireworksQuery::Order::ProductName:
                sql += " ORDER BY " + Quote("ProductName");
                break;
            case FireworksQuery::Order::SerialID: sql += " ORDER BY " + Quote("SerialID"); break;
            case FireworksQuery::Order::Size: sql += " ORDER BY " + Quote("Size"); break;
            }
            return sql;
        },
        std::move(params));
}

CEffectRef CItemTable::MakeItem() const
{
    CEffectRef item = CEffect::Create();
    FillItem(*item);
    return item;
}

void CItemTable::FillItem(CEffect& item) const
{
    item.SetRecordNumber(m_ProductNO);
    item.SetArticleNumber(m_SerialID);
    item.SetName(m_ProductName);
    item.SetSize(m_Size);
    item.SetColor(m_Color);
    item.SetWeight(m_Weight);
    item.SetPrefire(ParseDecimalText(m_PreFire));
    item.SetDuration(ParseDecimalText(m_Hold));
    item.SetCategory(m_CategoryID);
    item.SetStock(m_Stock);
    item.SetReserved(m_Reserved);
    item.SetInPrice(double(m_Price));
    item.SetOutPrice(double(m_PriceOut));
    item.SetManufacturer(m_SupplierID);
    item.SetDescription(m_ProductDescription);
}

int CItemTable::SetFromItem(const CEffect* item)
{
    if (!item) return 0;
    m_SerialID = item->GetArticleNumber();
    m_ProductName = item->GetName();
    m_ProductDescription = item->GetDescription();
    m_Size = item->GetSize();
    m_Color = item->GetColor();
    m_Weight = item->GetWeight();
    m_CategoryID = item->GetCategory();
    m_Stock = item->GetStock();
    m_PreFire = TwoDecimals(item->GetPrefire());
    m_Hold = TwoDecimals(item->GetDuration());
    m_Price = TruncatePrice(item->GetInPrice());
    m_PriceOut = TruncatePrice(item->GetOutPrice());
    m_Altitude = 100;
    m_SubCategoryID = 0;
    m_SupplierID = 0;
    m_Reserved = 0;
    m_OrderLimit = 0;
    return 1;
}

}  // namespace flr
