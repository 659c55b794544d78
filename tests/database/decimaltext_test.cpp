#include <gtest/gtest.h>

#include "database/dbconnection.h"
#include "database/itemtable.h"

namespace flr {

TEST(DecimalTextTest, ReadsCommaAndPointFractionsAndWholeNumbers)
{
    EXPECT_DOUBLE_EQ(ParseDecimalText(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimalText("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(ParseDecimalText("2.25"), 2.25);
    EXPECT_DOUBLE_EQ(ParseDecimalText("3"), 3.0);
    EXPECT_DOUBLE_EQ(ParseDecimalText("0,05"), 0.05);
    EXPECT_DOUBLE_EQ(ParseDecimalText("4.50"), 4.5);
    EXPECT_DOUBLE_EQ(ParseDecimalText(",5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseDecimalText("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimalText("-1,5"), -1.5);
    EXPECT_DOUBLE_EQ(ParseDecimalText("99999999999999999999"), 0.0);  // out of range: nothing
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

    // An item made without a row: numbers 0 but the category, 32.
    CItemTable blank(nullptr);
    CEffectRef fresh = blank.MakeItem();
    EXPECT_EQ(fresh->GetCategory(), 0);  // the row's CategoryID, 0 in a fresh recordset
    EXPECT_DOUBLE_EQ(fresh->GetPrefire(), 0.0);
}

TEST(DataSourceNameTest, KeepsTheDsnPartAlone)
{
    EXPECT_EQ(ExtractDataSourceName("DSN=FLR Database;UID=admin;PWD=x"), "DSN=FLR Database");
    EXPECT_EQ(ExtractDataSourceName("ODBC;DSN=Shared Catalogue"), "DSN=Shared Catalogue");
    EXPECT_EQ(ExtractDataSourceName("DRIVER={SQLite3};Database=/x.sqlite"),
              "DRIVER={SQLite3};Database=/x.sqlite");
    EXPECT_EQ(ExtractDataSourceName(""), "");
}

TEST(DataSourceNameTest, VersionTwoNineAndLaterIsCompatible)
{
    EXPECT_TRUE(IsCompatibleVersion(-1, -1));
    EXPECT_TRUE(IsCompatibleVersion(2, 9));
    EXPECT_TRUE(IsCompatibleVersion(3, 0));
    EXPECT_FALSE(IsCompatibleVersion(2, 8));
    EXPECT_FALSE(IsCompatibleVersion(1, 99));
    EXPECT_FALSE(IsCompatibleVersion(0, 0));
}

}  // namespace flr
