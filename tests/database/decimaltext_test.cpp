#include <gtest/gtest.h>

#include <tuple>

#include "database/dbconnection.h"
#include "database/itemtable.h"

namespace flr {

TEST(DecimalTextTest, ReadsCommaAndPointFractionsAndWholeNumbers)
{
    const std::pair<const char*, double> cases[] = {
        {"", 0.0},    {"1,5", 1.5},   {"2.25", 2.25},
        {"3", 3.0},   {"0,05", 0.05}, {",5", 0.5},
        {"abc", 0.0}, {"-1,5", -1.5}, {"99999999999999999999", 0.0}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ParseDecimalText(text), value) << text;
}

TEST(DecimalTextTest, SetFromItemWritesTwoDecimalsAndWholePrices)
{
    CItemTable rs(nullptr);
    CEffectRef item = CEffect::Create();
    item->SetPrefire(1.005);
    item->SetDuration(12.0);
    item->SetInPrice(-3.9);
    item->SetOutPrice(1e12);
    ASSERT_EQ(rs.SetFromItem(item.get()), 1);
    EXPECT_EQ(rs.m_PreFire.substr(0, 3), "1.0");
    EXPECT_EQ(rs.m_Hold, "12.00");
    EXPECT_EQ(rs.m_Price, -3);
    EXPECT_EQ(rs.m_PriceOut, 2147483647);  // clipped, not undefined
    EXPECT_EQ(rs.m_Altitude, 100);
    EXPECT_EQ(rs.m_CategoryID, 32);
    // An item made without a row takes the fresh recordset's zeros.
    EXPECT_EQ(CItemTable(nullptr).MakeItem()->GetCategory(), 0);
}

TEST(DataSourceNameTest, KeepsTheDsnPartAndChecksTheVersion)
{
    EXPECT_EQ(ExtractDataSourceName("DSN=FLR Database;UID=admin;PWD=x"), "DSN=FLR Database");
    EXPECT_EQ(ExtractDataSourceName("ODBC;DSN=Shared Catalogue"), "DSN=Shared Catalogue");
    EXPECT_EQ(ExtractDataSourceName("DRIVER={SQLite3};Database=/x.sqlite"),
              "DRIVER={SQLite3};Database=/x.sqlite");
    // 2.9 and later, and an unreadable version (-1), are compatible.
    const std::tuple<int, int, bool> versions[] = {{-1, -1, true}, {2, 9, true},   {3, 0, true},
                                                   {2, 8, false},  {1, 99, false}, {0, 0, false}};
    for (const auto& [major, minor, ok] : versions)
        EXPECT_EQ(IsCompatibleVersion(major, minor), ok) << major << "." << minor;
}

}  // namespace flr
