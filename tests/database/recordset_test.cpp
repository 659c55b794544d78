#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/textcodec.h"
#include "database/categorytable.h"
#include "database/colortable.h"
#include "database/countrytable.h"
#include "database/customertable.h"
#include "database/dbconnection.h"
#include "database/itemtable.h"
#include "database/manufacturertable.h"
#include "database/racktypetable.h"
#include "database/versiontable.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace {

// Walks an open recordset to the first row `match` accepts; false at the end.
template <class Table, class Match>
bool Seek(Table& rs, Match match)
{
    for (; !rs.IsEOF(); rs.MoveNext())
        if (match(rs)) return true;
    return false;
}

}  // namespace

using RecordsetTest = DatabaseTest;

// Opening checks each bound column's name and place, so reading the sample rows covers the
// binding lists.
TEST_P(RecordsetTest, EveryRecordsetReadsTheSampleTables)
{
    CCategoryTable categories(&m_db);
    ASSERT_TRUE(categories.OpenTable());
    EXPECT_FALSE(categories.CanAppend());  // snapshot
    EXPECT_EQ(categories.m_CategoryNo, 1);
    EXPECT_EQ(categories.m_Category, "Shells");
    CColorTable colors(&m_db);
    ASSERT_TRUE(colors.OpenTable());
    EXPECT_EQ(colors.GetRecordCount(), 16u);
    CCountryTable countries(&m_db);
    ASSERT_TRUE(countries.OpenTable());

    CCustomerTable customers(&m_db);
    ASSERT_TRUE(customers.OpenTable());
    EXPECT_TRUE(customers.CanAppend());
    EXPECT_EQ(customers.m_CustomerName, "No Customer");
    customers.MoveNext();
    EXPECT_EQ(customers.m_CustomerName, Utf8ToCp1252("Stadtfest Altenbrück e.V."));
    EXPECT_EQ(customers.m_EMail, "fest@altenbrueck.example");

    CManufacturerTable makers(&m_db);
    ASSERT_TRUE(makers.OpenTable());
    EXPECT_EQ(makers.m_SupplierNO, 1001);
    EXPECT_EQ(makers.m_CountryID, 6);

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
    CEffectRef item = rs.MakeItem();
    EXPECT_EQ(item->GetRecordNumber(), rs.m_ProductNO);
    EXPECT_EQ(item->GetArticleNumber(), "AB-K050-02");
    EXPECT_EQ(item->GetName(), Utf8ToCp1252("Comète Dorée Crépitante 50"));
    EXPECT_EQ(item->GetSize(), 50);
    EXPECT_EQ(item->GetColor(), (1 << 7) | (1 << 13));
    EXPECT_EQ(item->GetWeight(), 160);
    EXPECT_DOUBLE_EQ(item->GetPrefire(), 0.3);
    EXPECT_DOUBLE_EQ(item->GetDuration(), 3.0);
    EXPECT_EQ(item->GetCategory(), 3);
    EXPECT_EQ(item->GetStock(), 110);
    EXPECT_EQ(item->GetReserved(), 11);
    EXPECT_DOUBLE_EQ(item->GetInPrice(), 3.0);
    EXPECT_DOUBLE_EQ(item->GetOutPrice(), 6.0);
    EXPECT_EQ(item->GetManufacturer(), 3);
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

TEST_P(RecordsetTest, ItemQueriesFilterAndSortWithBoundValues)
{
    CItemTable rs(&m_db);
    ASSERT_TRUE(rs.OpenTable());
    const size_t all = rs.GetRecordCount();
    EXPECT_GE(all, 60u);
    rs.Close();

    ASSERT_TRUE(rs.OpenTable(FireworksQuery::OrderedBy(FireworksQuery::Order::SerialID)));
    std::vector<std::string> serials;
    for (; !rs.IsEOF(); rs.MoveNext()) serials.push_back(rs.m_SerialID);
    EXPECT_EQ(serials.size(), all);
    EXPECT_TRUE(std::is_sorted(serials.begin(), serials.end()));
    rs.Close();

    ASSERT_TRUE(rs.OpenTable(FireworksQuery::OfSize(75, FireworksQuery::Order::ProductName)));
    std::vector<std::string> names;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        EXPECT_EQ(rs.m_Size, 75);
        names.push_back(rs.m_ProductName);
    }
    EXPECT_GE(names.size(), 5u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    rs.Close();

    ASSERT_TRUE(rs.OpenTable(FireworksQuery::OrderedBy(FireworksQuery::Order::Size)));
    for (int previous = 0; !rs.IsEOF(); rs.MoveNext()) {
        EXPECT_GE(rs.m_Size, previous);
        previous = rs.m_Size;
    }
    rs.Close();

    // A calibre typed as text: a number finds its items; anything else finds none, quietly.
    ASSERT_TRUE(
        rs.OpenTable(FireworksQuery::OfSizeText(" 100 ", FireworksQuery::Order::ProductName)));
    EXPECT_EQ(rs.GetRecordCount(), 6u);
    rs.Close();
    ASSERT_TRUE(rs.OpenTable(
        FireworksQuery::OfSizeText("100; DROP TABLE tbFireworks", FireworksQuery::Order::None)));
    EXPECT_TRUE(rs.IsBOF());
    rs.Close();

    ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithProductNO(5)));
    ASSERT_EQ(rs.GetRecordCount(), 1u);
    EXPECT_EQ(rs.m_ProductNO, 5);
    rs.Close();
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(RecordsetTest, ItemsAreAddedEditedAndDeleted)
{
    CEffectRef source = CEffect::Create();
    source->SetArticleNumber("O'NEILL-125");  // a quote is a value like any other
    source->SetName("Imported Shell");
    source->SetDescription("from a show " + std::string(243, 'x'));  // the full 255
    source->SetSize(125);
    source->SetWeight(1111);
    source->SetPrefire(3.8);
    source->SetDuration(4.256);
    source->SetInPrice(20.5);
    source->SetOutPrice(12.75);

    CItemTable rs(&m_db);
    ASSERT_TRUE(rs.OpenTable());
    ASSERT_TRUE(rs.CanAppend());
    const std::string firstSerial = rs.m_SerialID;
    rs.AddNew();
    EXPECT_EQ(rs.SetFromItem(nullptr), 0);
    EXPECT_EQ(rs.SetFromItem(source.get()), 1);
    EXPECT_EQ(rs.m_PreFire, "3.80");
    EXPECT_EQ(rs.m_Hold, "4.26");
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
    EXPECT_EQ(rs.m_Price, 20);
    EXPECT_EQ(rs.m_PriceOut, 12);
    EXPECT_EQ(rs.m_Weight, 1111);
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
    ASSERT_TRUE(Seek(countries, [](auto& rs) { return rs.m_CountryID == 40; }));
    EXPECT_EQ(countries.m_Country, Utf8ToCp1252("Österreich"));
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(RecordsetTest, VersionCheckAcceptsTwoNineAndLaterAndAnUnreadableTable)
{
    CSettingsStore settings((m_home / "FLR.ini").string());
    CDBConnection connection(settings, m_connect);
    ASSERT_TRUE(connection.OpenDatabase());
    EXPECT_TRUE(connection.CheckVersion());

    const auto sql = [&](const std::string& text) {
        DBError error;
        ASSERT_TRUE(m_db.ExecuteSQL(text, &error)) << error.text;
    };
    const std::string table = m_db.QuoteIdentifier("tbVersion");
    sql("UPDATE " + table + " SET " + m_db.QuoteIdentifier("Minor") + " = 8");
    EXPECT_FALSE(connection.CheckVersion());
    ASSERT_EQ(m_prompter->Messages().size(), 1u);
    EXPECT_EQ(m_prompter->Messages()[0].text,
              "This FLR version is not compatible with the selected database.\n\n"
              "Please contact FLR Software for the latest database revision.");
    EXPECT_EQ(m_prompter->Messages()[0].caption, "Database Error");

    // No version table: the connect message, -1s, and start-up goes on.
    sql("DROP TABLE " + table);
    CVersionTable version(&m_db);
    int32_t major = 0, minor = 0, revision = 0;
    version.ReadVersion(major, minor, revision);
    EXPECT_EQ(std::vector<int32_t>({major, minor, revision}), std::vector<int32_t>(3, -1));
    EXPECT_FALSE(version.IsOpen());
    EXPECT_TRUE(connection.CheckVersion());
    ASSERT_EQ(m_prompter->Messages().size(), 3u);
    EXPECT_EQ(m_prompter->Messages().back().text.rfind("Unable to connect to FLR database - [", 0),
              0u);
}

TEST_P(RecordsetTest, AFailedOpenSaysSoAndLeavesTheRecordsetClosed)
{
    DBError error;
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbCustomers"), &error))
        << error.text;
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
                                    m_db.QuoteIdentifier("Index") + " integer)",
                                &error))
        << error.text;
    EXPECT_FALSE(customers.OpenTable());
    ASSERT_EQ(m_prompter->Messages().size(), 2u);
    EXPECT_NE(m_prompter->Messages()[1].text.find("16"), std::string::npos)
        << m_prompter->Messages()[1].text;

    // The other tables carry on.
    CItemTable items(&m_db);
    EXPECT_TRUE(items.OpenTable());
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest,
                         testing::Values(Engine::SQLite, Engine::PostgreSQL), EngineName);

}  // namespace flr::test
