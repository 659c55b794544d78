#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/textcodec.h"
#include "database/colortable.h"
#include "database/countrytable.h"
#include "database/customertable.h"
#include "database/dbconnection.h"
#include "database/itemtable.h"
#include "database/racktypetable.h"
#include "database/versiontable.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace {

// The values of one column over the rows `query` gives.
template <class T>
std::vector<T> Column(CItemTable& rs, const FireworksQuery& query, T CItemTable::*member)
{
    rs.Close();
    std::vector<T> values;
    EXPECT_TRUE(rs.OpenTable(query));
    for (; !rs.IsEOF(); rs.MoveNext()) values.push_back(rs.*member);
    return values;
}

}  // namespace

// Texts read with a comma or a point; an item written with two decimals and whole prices.
TEST(DecimalTextTest, ReadsFractionsAndWritesTwoDecimalsAndWholePrices)
{
    const std::pair<const char*, double> cases[] = {
        {"", 0.0},    {"1,5", 1.5},   {"2.25", 2.25},
        {"3", 3.0},   {"0,05", 0.05}, {",5", 0.5},
        {"abc", 0.0}, {"-1,5", -1.5}, {"99999999999999999999", 0.0}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ParseDecimalText(text), value) << text;

    CItemTable rs(nullptr);
    EXPECT_EQ(rs.SetFromItem(nullptr), 0);
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
}

using RecordsetTest = DatabaseTest;

// Opening checks each bound column's name and place (the editors' tests open the other
// tables); the rack types hold the one bit column.
TEST_P(RecordsetTest, RackTypesAndTheVersionAreRead)
{
    CRackTypeTable racks(&m_db);
    ASSERT_TRUE(racks.OpenTable());
    std::vector<std::string> names;
    bool anyHidden = false;
    for (; !racks.IsEOF(); racks.MoveNext()) {
        names.push_back(racks.m_Name);
        anyHidden |= racks.m_Hide;
        EXPECT_GT(std::atoi(racks.m_Config.c_str()), 0) << racks.m_Config;
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_TRUE(anyHidden);

    CVersionTable version(&m_db);
    int32_t major = 0, minor = 0, revision = 0;
    version.ReadVersion(major, minor, revision);
    EXPECT_EQ(std::vector<int32_t>({major, minor, revision}), std::vector<int32_t>({2, 9, 0}));
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(RecordsetTest, ItemRowsBecomeItemsFieldByField)
{
    CItemTable rs(&m_db);
    ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("AB-K050-02")));
    ASSERT_FALSE(rs.IsEOF());
    const CEffectRef item = rs.MakeItem();
    EXPECT_EQ(item->GetRecordNumber(), rs.m_ProductNO);
    EXPECT_EQ(item->GetArticleNumber(), "AB-K050-02");
    EXPECT_EQ(item->GetName(), Utf8ToCp1252("Comète Dorée Crépitante 50"));
    EXPECT_EQ(std::vector<int32_t>({item->GetSize(), item->GetColor(), item->GetWeight(),
                                    item->GetCategory(), item->GetStock(), item->GetReserved(),
                                    item->GetManufacturer()}),
              std::vector<int32_t>({50, (1 << 7) | (1 << 13), 160, 3, 110, 11, 3}));
    EXPECT_EQ(std::vector<double>({item->GetPrefire(), item->GetDuration(), item->GetInPrice(),
                                   item->GetOutPrice()}),
              std::vector<double>({0.3, 3.0, 3.0, 6.0}));
    rs.Close();

    // A shared catalogue may hold characters Windows-1252 lacks: they read as '?', the rest
    // of the row and table as stored.
    if (GetParam() == Engine::PostgreSQL) {
        DBError error;
        ASSERT_TRUE(m_db.ExecuteSQL(
            "UPDATE \"tbFireworks\" SET \"ProductName\" = U&'Hv\\011Bzdn\\00E1 Noc' "
            "WHERE \"SerialID\" = 'AB-K050-02'",
            &error))
            << error.text;
        ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("AB-K050-02")));
        EXPECT_EQ(rs.m_ProductName, Utf8ToCp1252("Hv?zdná Noc"));
        rs.Close();
    }

    // Empty PreFire and Hold texts give 0.
    ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("XX-SSH-01")));
    EXPECT_DOUBLE_EQ(rs.MakeItem()->GetPrefire(), 0.0);
    EXPECT_DOUBLE_EQ(rs.MakeItem()->GetDuration(), 2.0);
}

// Sizes, names and their order by size are the item chooser's, which checks them.
TEST_P(RecordsetTest, ItemQueriesSortAndFilterWithBoundValues)
{
    CItemTable rs(&m_db);
    const auto serials = Column(rs, FireworksQuery::OrderedBy(FireworksQuery::Order::SerialID),
                                &CItemTable::m_SerialID);
    EXPECT_EQ(serials.size(), 63u);
    EXPECT_TRUE(std::is_sorted(serials.begin(), serials.end()));

    // A calibre typed as text: a number finds its items; anything else finds none, quietly.
    const auto order = FireworksQuery::Order::None;
    EXPECT_EQ(Column(rs, FireworksQuery::OfSizeText(" 100 ", order), &CItemTable::m_Size),
              std::vector<int32_t>(6, 100));
    EXPECT_TRUE(Column(rs, FireworksQuery::OfSizeText("100; DROP TABLE tbFireworks", order),
                       &CItemTable::m_Size)
                    .empty());
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(RecordsetTest, ItemsAreAddedEditedAndDeleted)
{
    CEffectRef source = CEffect::Create();
    source->SetArticleNumber("O'NEILL-125");  // a quote is a value like any other
    source->SetDescription("from a show " + std::string(243, 'x'));  // the full 255
    source->SetWeight(1111);
    source->SetInPrice(20.5);
    source->SetOutPrice(12.75);

    CItemTable rs(&m_db);
    ASSERT_TRUE(rs.OpenTable());
    const std::string firstSerial = rs.m_SerialID;
    rs.AddNew();
    rs.SetFromItem(source.get());
    ASSERT_TRUE(rs.Update());
    // The row current before AddNew is current again; the new row shows after Requery.
    EXPECT_EQ(rs.m_SerialID, firstSerial);
    ASSERT_TRUE(rs.OpenTable());  // open already: no new query
    EXPECT_EQ(rs.GetRecordCount(), 63u);
    ASSERT_TRUE(rs.Requery());
    EXPECT_EQ(rs.GetRecordCount(), 64u);
    rs.Close();

    ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("O'NEILL-125")));
    ASSERT_EQ(rs.GetRecordCount(), 1u);
    EXPECT_GT(rs.m_ProductNO, 63);  // numbered by the data source
    EXPECT_EQ(std::vector<int32_t>({rs.m_Price, rs.m_PriceOut, rs.m_Weight}),
              std::vector<int32_t>({20, 12, 1111}));
    EXPECT_EQ(rs.m_ProductDescription, "from a show " + std::string(243, 'x'));

    rs.Edit();
    rs.m_ProductName = "Renamed Shell";
    rs.m_Stock = 9;
    ASSERT_TRUE(rs.Update());
    rs.Edit();
    EXPECT_TRUE(rs.Update());  // nothing changed is no failure
    ASSERT_TRUE(rs.Requery());
    EXPECT_EQ(rs.m_ProductName, "Renamed Shell");
    EXPECT_EQ(rs.m_Stock, 9);

    ASSERT_TRUE(rs.Delete());
    EXPECT_TRUE(rs.IsEOF());
    ASSERT_TRUE(rs.Requery());
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(m_prompter->Messages().empty());
}

// The program only reads the lookup tables: as snapshots, which refuse every change.
TEST_P(RecordsetTest, SnapshotsStayReadOnlyAndADynasetWritesWindows1252Text)
{
    CColorTable colors(&m_db);
    ASSERT_TRUE(colors.OpenTable());
    EXPECT_FALSE(colors.CanAppend());
    colors.AddNew();  // a snapshot ignores it
    colors.Edit();
    EXPECT_FALSE(colors.Update());
    EXPECT_FALSE(colors.Delete());
    colors.Close();
    ASSERT_TRUE(colors.OpenTable());
    EXPECT_EQ(colors.GetRecordCount(), 16u);

    DBError error;
    CCountryTable countries(&m_db);
    ASSERT_TRUE(countries.Open(OpenType::Dynaset, {}, {}, &error)) << error.text;
    countries.AddNew();
    countries.m_CountryID = 40;
    countries.m_Country = Utf8ToCp1252("Österreich");
    ASSERT_TRUE(countries.Update(&error)) << error.text;
    countries.Close();
    ASSERT_TRUE(countries.OpenTable());
    while (!countries.IsEOF() && countries.m_CountryID != 40) countries.MoveNext();
    EXPECT_EQ(countries.m_Country, Utf8ToCp1252("Österreich"));
}

// An old version's refusal is flr-cli's to check (`items`).
TEST_P(RecordsetTest, WithoutAVersionTableStartUpGoesOn)
{
    CSettingsStore settings((m_home / "FLR.ini").string());
    CDBConnection connection(settings, m_connect);
    ASSERT_TRUE(connection.OpenDatabase());
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbVersion")));
    EXPECT_TRUE(connection.CheckVersion());
    EXPECT_EQ(m_prompter->Messages().size(), 1u);  // the connect message
}

TEST_P(RecordsetTest, AFailedOpenSaysSoAndLeavesTheRecordsetClosed)
{
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbCustomers")));
    CCustomerTable customers(&m_db);
    EXPECT_FALSE(customers.OpenTable());
    EXPECT_FALSE(customers.IsOpen());
    EXPECT_TRUE(customers.IsEOF());
    EXPECT_FALSE(customers.CanAppend());
    ASSERT_EQ(m_prompter->Messages().size(), 1u);
    const auto message = m_prompter->Messages()[0];
    EXPECT_EQ(message.caption, "Database Error");
    EXPECT_EQ(message.text.rfind("Unable to connect to FLR database - [", 0), 0u) << message.text;
    EXPECT_EQ(message.text.substr(message.text.size() - 2), "].");

    // A table whose columns are not in the bound order is refused rather than misread.
    ASSERT_TRUE(m_db.ExecuteSQL("CREATE TABLE " + m_db.QuoteIdentifier("tbCustomers") + " (" +
                                m_db.QuoteIdentifier("CustomerNo") + " varchar(255), " +
                                m_db.QuoteIdentifier("Index") + " integer)"));
    EXPECT_FALSE(customers.OpenTable());
    ASSERT_EQ(m_prompter->Messages().size(), 2u);
    EXPECT_NE(m_prompter->Messages()[1].text.find("16"), std::string::npos)
        << m_prompter->Messages()[1].text;
    // As are columns of the right count under other names.
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbColors")));
    ASSERT_TRUE(m_db.ExecuteSQL("CREATE TABLE " + m_db.QuoteIdentifier("tbColors") + " (" +
                                m_db.QuoteIdentifier("Color") + " varchar(255), " +
                                m_db.QuoteIdentifier("ColorID") + " integer)"));
    EXPECT_FALSE(CColorTable(&m_db).OpenTable());
    ASSERT_EQ(m_prompter->Messages().size(), 3u);
    // The other tables carry on.
    CItemTable items(&m_db);
    EXPECT_TRUE(items.OpenTable());
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest, kEngines, EngineName);

}  // namespace flr::test
