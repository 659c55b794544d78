// The database bar's lists on a real product database: which rows they show, the item filter,
// sorting by a heading, finding a listed row's record again.
#include "database/databaselists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "database/customertable.h"
#include "database/itemfilter.h"
#include "database/itemtable.h"
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
    // An item the catalogue has already (from a show file, say) is listed, the same object,
    // with the stored row's values.
    CEffectRef known = CEffect::Create();
    known->SetArticleNumber("BM-S050-01");
    known->SetName("Red Peony from a show");
    ASSERT_TRUE(m_catalogue.Insert(known));

    const std::vector<CEffect*> rows = Fill({});
    ASSERT_GT(rows.size(), 20u);
    EXPECT_EQ(m_catalogue.Count(), rows.size());
    EXPECT_EQ(rows[0], known.get());
    EXPECT_EQ(ItemCellText(rows[0], 2), "Red Peony 50");
    EXPECT_EQ(ItemCellText(rows[0], 5), "240");
    // Texts as the list shows them: prefire with one decimal, price with two.
    EXPECT_EQ(ItemCellText(rows[1], 3), "1.8");
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
}

TEST_P(DatabaseListsTest, SortingByAHeading)
{
    std::vector<CEffect*> rows = Fill({});
    ListSort sort;
    // A new heading sorts ascending; the same one again the other way round.
    const std::pair<int, bool> clicks[] = {{1, true}, {1, false}, {2, true}};
    for (const auto& [column, ascending] : clicks) {
        sort.Click(column);
        EXPECT_EQ(sort.ascending, ascending);
        SortItems(rows, sort);
        const auto less = [bySize = column == 1](const CEffect* a, const CEffect* b) {
            return bySize ? a->GetSize() < b->GetSize() : a->GetName() < b->GetName();
        };
        EXPECT_TRUE(ascending ? std::is_sorted(rows.begin(), rows.end(), less)
                              : std::is_sorted(rows.rbegin(), rows.rend(), less))
            << column;
    }
}

TEST_P(DatabaseListsTest, ContactsAreListedOnceAndSortedByTheirKey)
{
    struct Case {
        const CContactKind& kind;
        std::string newKey;
        std::string firstByKey;  // a numeric key sorts as a number
    };
    for (const Case& c :
         {Case{CustomerKind(), "C-9999", "C-1001"}, Case{ManufacturerKind(), "999", "999"}}) {
        SCOPED_TRACE(std::string(c.kind.what));
        const std::unique_ptr<CRecordset> table = c.kind.MakeTable(&m_db);
        ASSERT_TRUE(c.kind.OpenTable(*table));
        std::vector<ContactRow> rows;
        ASSERT_TRUE(FillContacts(c.kind, *table, rows));
        ASSERT_GE(rows.size(), 5u);
        for (const ContactRow& row : rows) EXPECT_NE(ContactCellText(row.get(), 1), "No Customer");
        const size_t count = rows.size();

        // A row added with a key already listed does not appear twice.
        for (const std::string& key : {rows[0]->Key(), c.newKey}) {
            ContactForm form;
            form.texts = {key, "Row " + key};
            form.texts.resize(c.kind.fields.size());
            table->AddNew();
            c.kind.Write(*table, form, {});
            ASSERT_TRUE(table->Update());
        }
        ASSERT_TRUE(FillContacts(c.kind, *table, rows));
        ASSERT_EQ(rows.size(), count + 1);
        EXPECT_EQ(ContactCellText(rows.back().get(), 0), c.newKey);
        EXPECT_EQ(ContactCellText(rows.back().get(), 1), "Row " + c.newKey);
        EXPECT_EQ(ContactCellText(nullptr, 0), "ERR!");

        ListSort byKey;
        byKey.Click(0);
        SortContacts(c.kind, rows, byKey);
        EXPECT_EQ(rows.front()->Key(), c.firstByKey);
        byKey.Click(0);
        SortContacts(c.kind, rows, byKey);
        EXPECT_EQ(rows.back()->Key(), c.firstByKey);

        EXPECT_TRUE(FindContactRecord(c.kind, *table, c.newKey));
        EXPECT_EQ(c.kind.List(*table).cells[1], "Row " + c.newKey);
        EXPECT_FALSE(FindContactRecord(c.kind, *table, "C-0000"));
    }

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
    std::vector<ContactRow> people;
    EXPECT_FALSE(FillContacts(CustomerKind(), customers, people));
    EXPECT_TRUE(people.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseListsTest, kEngines, EngineName);

}  // namespace
}  // namespace flr::test
