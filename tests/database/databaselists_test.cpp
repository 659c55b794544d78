// The database bar's lists on a real product database: which rows they show, the item filter,
// sorting by a heading, finding a listed row's record again.
#include "database/databaselists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "database/customertable.h"
#include "database/itemdrag.h"
#include "database/itemfilter.h"
#include "database/itemtable.h"
#include "database/manufacturertable.h"
#include "model/effectcatalogue.h"
#include "support/dbfixture.h"

namespace flr::test {
namespace {

class DatabaseListsTest : public DatabaseTest {
protected:
    std::vector<CEffect*> Fill(const ItemFilter& filter)
    {
        CItemTable items(&m_db);
        EXPECT_TRUE(items.OpenTable());
        std::vector<CEffect*> rows;
        EXPECT_TRUE(FillItems(items, m_catalogue, filter, rows));
        return rows;
    }
    static std::vector<std::string> Column(const std::vector<CEffect*>& rows, int column)
    {
        std::vector<std::string> out;
        for (const CEffect* e : rows) out.push_back(ItemCellText(e, column));
        return out;
    }

    CEffectCatalogue m_catalogue;
};

TEST_P(DatabaseListsTest, ItemsComeFromTheCatalogueOrJoinIt)
{
    // An item the catalogue has already (from a show file, say) is listed as it stands.
    CEffectRef known = CEffect::Create();
    known->SetArticleNumber("BM-S050-01");
    known->SetName("Red Peony from a show");
    ASSERT_TRUE(m_catalogue.Insert(known));

    const std::vector<CEffect*> rows = Fill({});
    ASSERT_GT(rows.size(), 20u);
    EXPECT_EQ(m_catalogue.Count(), rows.size());
    EXPECT_EQ(rows[0], known.get());
    EXPECT_EQ(ItemCellText(rows[0], 2), "Red Peony from a show");
    // Texts as the list shows them: calibre, prefire and duration with one decimal, price.
    EXPECT_EQ(ItemCellText(rows[1], 1), "50");
    EXPECT_EQ(ItemCellText(rows[1], 3), "1.8");
    EXPECT_EQ(ItemCellText(rows[1], 4), "3.0");
    EXPECT_EQ(ItemCellText(rows[1], 6), "5.00");
    EXPECT_EQ(ItemCellText(nullptr, 0), "ERR!");
    // Filling again lists the same objects.
    EXPECT_EQ(Fill({}), rows);
}

TEST_P(DatabaseListsTest, TheFilterBySizeNameAndDescription)
{
    const size_t all = Fill({}).size();
    ItemFilter filter;
    filter.filtering = true;
    filter.SetSizeText("75");
    // The comparison is none until the user picks one: the size hides nothing yet.
    EXPECT_EQ(Fill(filter).size(), all);

    filter.comparison = ItemFilter::EqualTo;
    for (const std::string& size : Column(Fill(filter), 1)) EXPECT_EQ(size, "75");
    filter.comparison = ItemFilter::GreaterThan;
    for (const CEffect* e : Fill(filter)) EXPECT_GT(e->GetSize(), 75);
    // "less than" an empty size edit (0): only negative calibres, and there are none.
    filter.comparison = ItemFilter::LessThan;
    filter.SetSizeText("");
    EXPECT_EQ(filter.size, 0);
    EXPECT_TRUE(Fill(filter).empty());

    filter.comparison = ItemFilter::None;
    filter.SetName("PEONY");
    const std::vector<std::string> names = Column(Fill(filter), 2);
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_NE(LowerCp1252(name).find("peony"), std::string::npos);
    filter.SetName("");
    filter.SetDescription("shell");
    const size_t shells = Fill(filter).size();
    EXPECT_GT(shells, 0u);
    EXPECT_LT(shells, all);
    filter.filtering = false;
    EXPECT_EQ(Fill(filter).size(), all);
}

TEST(ItemFilterText, LowerCaseAndSizeText)
{
    // Windows-1252 bytes: "Comète DORÉE ŠŸ".
    EXPECT_EQ(LowerCp1252("Com\xE8"
                          "te DOR\xC9"
                          "E \x8A\x9F"),
              "com\xE8"
              "te dor\xE9"
              "e \x9A\xFF");
    EXPECT_EQ(LowerCp1252("\xD7"), "\xD7");  // the multiplication sign has no lower case
    ItemFilter f;
    f.SetSizeText("  125mm");
    EXPECT_EQ(f.size, 125);
    f.SetSizeText("-30");
    EXPECT_EQ(f.size, -30);
    f.SetSizeText("99999999999999999999");  // only 19 characters read, then saturated
    EXPECT_EQ(f.size, INT32_MAX);
    f.SetSizeText("abc");
    EXPECT_EQ(f.size, 0);

    EXPECT_EQ(DecodeDraggedItem(EncodeDraggedItem({"AB-1", true}))->articleNumber, "AB-1");
    EXPECT_TRUE(DecodeDraggedItem(EncodeDraggedItem({"AB-1", true}))->replace);
    EXPECT_FALSE(DecodeDraggedItem("X"));
    EXPECT_FALSE(DropReplaces({"AB-1", true}, false));  // Ctrl let go before the drop
    EXPECT_FALSE(DropReplaces({"AB-1", false}, true));  // never turned on on the way
}

TEST_P(DatabaseListsTest, SortingByAHeading)
{
    std::vector<CEffect*> rows = Fill({});
    ListSort sort;
    sort.Click(1);
    EXPECT_TRUE(sort.ascending);
    SortItems(rows, sort);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                               [](auto* a, auto* b) { return a->GetSize() < b->GetSize(); }));
    sort.Click(1);  // the same heading again: the other way round
    EXPECT_FALSE(sort.ascending);
    SortItems(rows, sort);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                               [](auto* a, auto* b) { return a->GetSize() > b->GetSize(); }));
    sort.Click(2);  // another heading: ascending
    EXPECT_TRUE(sort.ascending);
    SortItems(rows, sort);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                               [](auto* a, auto* b) { return a->GetName() < b->GetName(); }));
}

TEST_P(DatabaseListsTest, CustomersAndManufacturersAreListedOnce)
{
    CCustomerTable customers(&m_db);
    ASSERT_TRUE(customers.OpenTable());
    std::vector<CustomerRow> rows;
    ASSERT_TRUE(FillCustomers(customers, rows));
    ASSERT_FALSE(rows.empty());
    for (const CustomerRow& c : rows) EXPECT_NE(c->customerName, "No Customer");
    const size_t count = rows.size();

    // A customer added with a number already listed does not appear twice.
    customers.AddNew();
    customers.m_CustomerNo = rows[0]->customerNo;
    customers.m_CustomerName = "Same Number";
    ASSERT_TRUE(customers.Update());
    customers.AddNew();
    customers.m_CustomerNo = "C-9999";
    customers.m_CustomerName = "New Customer";
    ASSERT_TRUE(customers.Update());
    ASSERT_TRUE(FillCustomers(customers, rows));
    ASSERT_EQ(rows.size(), count + 1);
    EXPECT_EQ(rows.back()->customerName, "New Customer");
    EXPECT_TRUE(FindCustomerRecord(customers, "C-9999"));
    EXPECT_EQ(customers.m_CustomerName, "New Customer");
    EXPECT_FALSE(FindCustomerRecord(customers, "C-0000"));

    CManufacturerTable manufacturers(&m_db);
    ASSERT_TRUE(manufacturers.OpenTable());
    std::vector<ManufacturerRow> makers;
    ASSERT_TRUE(FillManufacturers(manufacturers, makers));
    ASSERT_GE(makers.size(), 2u);
    ASSERT_TRUE(FillManufacturers(manufacturers, makers));
    EXPECT_EQ(ManufacturerCellText(makers[0].get(), 0), std::to_string(makers[0]->supplierNo));
    ListSort byNumber;
    byNumber.Click(0);
    byNumber.Click(0);
    SortManufacturers(makers, byNumber);
    EXPECT_GT(makers.front()->supplierNo, makers.back()->supplierNo);
    EXPECT_TRUE(FindManufacturerRecord(manufacturers, makers.back()->supplierNo));

    CItemTable items(&m_db);
    EXPECT_TRUE(FindItemRecord(items, "BM-S050-02"));
    EXPECT_EQ(items.m_ProductName, "Green Peony 50");
    EXPECT_FALSE(FindItemRecord(items, "NO-SUCH"));
}

TEST_P(DatabaseListsTest, ClosedRecordsetsFillNothing)
{
    CItemTable items(&m_db);
    std::vector<CEffect*> rows{nullptr};
    EXPECT_FALSE(FillItems(items, m_catalogue, {}, rows));
    EXPECT_EQ(rows.size(), 1u);
    CCustomerTable customers(&m_db);
    std::vector<CustomerRow> people;
    EXPECT_FALSE(FillCustomers(customers, people));
    EXPECT_TRUE(people.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseListsTest,
                         testing::Values(Engine::SQLite, Engine::PostgreSQL), EngineName);

}  // namespace
}  // namespace flr::test
