// The item chooser's lists and the setup's customer list on the real sample catalogue.
#include "database/itemchooser.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "database/customernames.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace {

class ItemChooserTest : public DatabaseTest {
protected:
    void AddItem(const std::string& serial, const std::string& name, int32_t size)
    {
        CItemTable rs(&m_db);
        ASSERT_TRUE(rs.OpenTable());
        rs.AddNew();
        rs.m_SerialID = serial;
        rs.m_ProductName = name;
        rs.m_Size = size;
        rs.m_ProductDescription = "about " + serial;
        DBError error;
        ASSERT_TRUE(rs.Update(&error)) << error.text;
    }

    static std::vector<std::string> Names(const CItemChooser& c)
    {
        std::vector<std::string> out;
        for (const auto& n : c.Names()) out.push_back(n.name);
        return out;
    }
    static std::string SelectedSerial(const CItemChooser& c)
    {
        return c.SerialIndex() < 0 ? "" : c.Serials()[size_t(c.SerialIndex())];
    }
    static std::string SelectedName(const CItemChooser& c)
    {
        return c.NameIndex() < 0 ? "" : c.Names()[size_t(c.NameIndex())].name;
    }
    template <class T>
    static int IndexOf(const std::vector<T>& list, const std::type_identity_t<T>& value)
    {
        const auto it = std::find(list.begin(), list.end(), value);
        return it == list.end() ? -1 : int(it - list.begin());
    }

    CEffectCatalogue m_catalogue;
};

}  // namespace

TEST_P(ItemChooserTest, OpensOnTheSmallestSizeAndLinksTheThreeLists)
{
    CItemChooser chooser(&m_db, m_catalogue, CItemChooser::MissingItems::AddFromRow);
    chooser.Open();
    ASSERT_FALSE(chooser.Sizes().empty());
    // Sorted, each size once.
    EXPECT_EQ(
        std::adjacent_find(chooser.Sizes().begin(), chooser.Sizes().end(), std::greater_equal<>()),
        chooser.Sizes().end());
    EXPECT_EQ(chooser.SizeIndex(), 0);
    EXPECT_EQ(chooser.ChosenSize(), 20);
    EXPECT_EQ(Names(chooser),
              (std::vector<std::string>{"Glitzerregen 100", "Silk Road 150", "Traca 50 Truenos"}));
    EXPECT_EQ(chooser.Serials(),
              (std::vector<std::string>{"GM-C020-01", "JL-C020-01", "PS-T020-01"}));
    ASSERT_TRUE(chooser.Item());
    EXPECT_EQ(m_catalogue.Find("GM-C020-01"), chooser.Item().get());
    EXPECT_EQ(SelectedName(chooser), "Glitzerregen 100");
    EXPECT_EQ(SelectedSerial(chooser), "GM-C020-01");
    EXPECT_EQ(chooser.Description(), "100 shots, 20 mm");

    // An article number chooses its item and selects its name; a name its article number.
    chooser.ChangeSerial(IndexOf(chooser.Serials(), "JL-C020-01"));
    EXPECT_EQ(chooser.Item()->GetArticleNumber(), "JL-C020-01");
    EXPECT_EQ(SelectedName(chooser), "Silk Road 150");
    chooser.ChangeName(2);
    EXPECT_EQ(chooser.Item()->GetArticleNumber(), "PS-T020-01");
    EXPECT_EQ(SelectedSerial(chooser), "PS-T020-01");
    EXPECT_EQ(chooser.Description(), "Ground salute chain");
}

TEST_P(ItemChooserTest, OpensOnTheGivenItemAndAnotherSizeChoosesItsFirstName)
{
    {
        CItemTable rs(&m_db);
        ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("BM-S075-03")));
        m_catalogue.Insert(rs.MakeItem());
    }
    CItemChooser chooser(&m_db, m_catalogue);
    chooser.SetItem(CEffectRef(m_catalogue.Find("BM-S075-03")));
    chooser.Open();
    EXPECT_EQ(chooser.Sizes()[size_t(chooser.SizeIndex())], 75);
    EXPECT_EQ(SelectedName(chooser), "Gold Willow 75");
    EXPECT_EQ(SelectedSerial(chooser), "BM-S075-03");

    // The catalogue lacks the other items: choosing one gives none, the lists keep theirs.
    chooser.ChangeSerial(IndexOf(chooser.Serials(), "BM-S075-01"));
    EXPECT_FALSE(chooser.Item());
    EXPECT_EQ(chooser.Description(), "No description available.");
    EXPECT_EQ(SelectedName(chooser), "Gold Willow 75");

    // Another size clears the choice and takes the first item of that size by name.
    {
        CItemTable rs(&m_db);
        ASSERT_TRUE(rs.OpenTable(FireworksQuery::WithSerialID("PS-S050-01")));
        m_catalogue.Insert(rs.MakeItem());
    }
    chooser.ChangeSize(IndexOf(chooser.Sizes(), 50));
    ASSERT_TRUE(chooser.Item());
    EXPECT_EQ(chooser.Item()->GetName(), "Carcasa Roja 50");
    EXPECT_EQ(SelectedSerial(chooser), "PS-S050-01");
}

TEST_P(ItemChooserTest, EqualNamesAreToldApartAndQuotesAreOrdinaryCharacters)
{
    AddItem("TW-2", "Twin", 33);
    AddItem("TW-1", "Twin", 33);
    AddItem("O'Brien 1", "Quoted", 33);
    CItemChooser chooser(&m_db, m_catalogue, CItemChooser::MissingItems::AddFromRow);
    chooser.Open();
    chooser.ChangeSize(IndexOf(chooser.Sizes(), 33));
    ASSERT_EQ(Names(chooser), (std::vector<std::string>{"Quoted", "Twin", "Twin"}));
    for (int i : {1, 2}) {
        chooser.ChangeName(i);
        ASSERT_TRUE(chooser.Item());
        EXPECT_EQ(chooser.Item()->GetRecordNumber(), chooser.Names()[size_t(i)].productNo);
        EXPECT_EQ(SelectedSerial(chooser), chooser.Item()->GetArticleNumber());
    }
    EXPECT_NE(chooser.Names()[1].productNo, chooser.Names()[2].productNo);

    chooser.ChangeSerial(IndexOf(chooser.Serials(), "O'Brien 1"));
    ASSERT_TRUE(chooser.Item());
    EXPECT_EQ(chooser.Item()->GetArticleNumber(), "O'Brien 1");
    EXPECT_EQ(SelectedName(chooser), "Quoted");
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(ItemChooserTest, CustomersAreListedSortedAndFoundExactly)
{
    std::vector<std::string> names;
    ASSERT_TRUE(ReadCustomerNames(&m_db, names));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "No Customer"), names.end());
    EXPECT_EQ(FindCustomerName(&m_db, "Harbourside Events Ltd"),
              std::optional<std::string>("Harbourside Events Ltd"));
    EXPECT_EQ(FindCustomerName(&m_db, "harbourside events ltd"), std::nullopt);

    // A table the data source refuses says so once and lists nothing.
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbCustomers")));
    EXPECT_FALSE(ReadCustomerNames(&m_db, names));
    ASSERT_EQ(m_prompter->Messages().size(), 1u);
    EXPECT_EQ(m_prompter->Messages()[0].caption, "Database Error");
}

INSTANTIATE_TEST_SUITE_P(Engines, ItemChooserTest, kEngines, EngineName);

}  // namespace flr::test
