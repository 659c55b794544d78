// Importing a show's missing items: which are offered, the rows' texts and edits, and writing
// the chosen rows into tbFireworks with the summary the user sees.
#include "database/effectimport.h"

#include <gtest/gtest.h>

#include "database/itemtable.h"
#include "support/dbfixture.h"

namespace flr::test {
namespace {

CEffectRef Item(const std::string& article, int size, const std::string& name = "Imported")
{
    CEffectRef item = CEffect::Create();
    item->SetArticleNumber(article);
    item->SetName(name);
    item->SetSize(size);
    item->SetWeight(120);
    item->SetPrefire(1.5);
    item->SetDuration(3.25);
    item->SetInPrice(7.9);
    item->SetOutPrice(15);
    item->SetDescription("from a show");
    return item;
}

TEST(EffectImportRows, SortedByCalibreWithTheirTextsAndEdits)
{
    CEffectImport rows;
    const int sizes[] = {100, 50, 75, 50, 30, 125, 65};
    for (int i = 0; i < 7; ++i) rows.AddEffect(Item("X-" + std::to_string(i), sizes[i]));
    rows.SortBySize();
    std::vector<std::string> order;
    for (size_t i = 0; i < rows.Count(); ++i) order.push_back(rows.CellText(i, 1));
    EXPECT_EQ(order, (std::vector<std::string>{"30", "50", "50", "65", "75", "100", "125"}));

    // Decimals with two places and a "." whatever the locale; the row's number and its choice.
    const std::pair<int, const char*> cells[] = {{0, "1"},    {2, "X-4"},   {5, "1.50"},
                                                 {6, "3.25"}, {8, "15.00"}, {9, "YES"}};
    for (const auto& [column, text] : cells) EXPECT_EQ(rows.CellText(0, column), text) << column;
    rows.ToggleImport(0);
    EXPECT_EQ(rows.CellText(0, 9), "NO");
    EXPECT_EQ(rows.CellText(99, 1), "");

    // Edits change the show's own item; decimals stop at the first character that is not
    // part of a "." number; the article number and the choice are not edited as text.
    CEffect* item = rows.Entry(0).item.get();
    EXPECT_TRUE(rows.ApplyEdit(0, 7, "12,5"));
    EXPECT_EQ(item->GetInPrice(), 12.0);
    EXPECT_TRUE(rows.ApplyEdit(0, 4, "99999"));
    EXPECT_EQ(item->GetWeight(), 99999);
    EXPECT_FALSE(rows.ApplyEdit(0, 2, "Y-1"));
    EXPECT_EQ(item->GetArticleNumber(), "X-4");
    EXPECT_FALSE(rows.ApplyEdit(0, 9, "NO"));
    const std::pair<const char*, double> decimals[] = {
        {" -3.5x", -3.5}, {"+.25", 0.25}, {",5", 0.0}, {"", 0.0}};
    for (const auto& [text, value] : decimals) EXPECT_EQ(LeadingDecimal(text), value) << text;
}

class EffectImportTest : public DatabaseTest {
protected:
    // The stored row of an article number; false when there is none or more than one.
    bool Stored(const std::string& article, CItemTable& row)
    {
        if (!row.OpenTable(FireworksQuery::WithSerialID(article))) return false;
        return row.GetRecordCount() == 1;
    }
};

TEST_P(EffectImportTest, OnlyItemsTheTableLacksAreOffered)
{
    // BM-S050-01 is in the sample catalogue: a show brought it while the bar had not listed it.
    const std::vector<CEffectRef> missing = {Item("NEW-1", 50), Item("BM-S050-01", 50),
                                             Item("NEW-2", 75)};
    const std::vector<CEffectRef> offered = ItemsToOffer(&m_db, missing);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].get(), missing[0].get());
    EXPECT_EQ(offered[1].get(), missing[2].get());
    EXPECT_TRUE(ItemsToOffer(nullptr, missing).empty());
    EXPECT_TRUE(m_prompter->Messages().empty());
}

// One row unchosen, one whose article number is stored already: the others go on.
TEST_P(EffectImportTest, ChosenRowsAreStoredAndCounted)
{
    CEffectImport rows;
    rows.AddEffect(Item("NEW-1", 100, "Big Willow"));
    rows.AddEffect(Item("NEW-2", 50));
    rows.AddEffect(Item("NEW-3", 75));
    rows.AddEffect(Item("BM-S050-01", 60));
    rows.SortBySize();  // NEW-2, BM-S050-01, NEW-3, NEW-1
    rows.ToggleImport(2);
    ASSERT_TRUE(rows.ApplyEdit(3, 7, "12,5"));
    std::vector<std::pair<int, int>> progress;
    const ImportResult result =
        rows.Import(&m_db, [&](int done, int count) { progress.emplace_back(done, count); });
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    const auto messages = m_prompter->Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "2 of 4 effects was succesfully imported.\n"
              "1 effects could not be imported due to unknown errors.");
    EXPECT_EQ(messages[0].caption, "Imported effects");

    // The row as the show's item has it, edits included.
    CItemTable big(&m_db);
    ASSERT_TRUE(Stored("NEW-1", big));
    EXPECT_EQ(big.m_ProductName, "Big Willow");
    EXPECT_EQ(big.m_Price, 12);
    CItemTable small(&m_db), skipped(&m_db), existing(&m_db);
    EXPECT_TRUE(Stored("NEW-2", small));
    EXPECT_FALSE(Stored("NEW-3", skipped));
    EXPECT_TRUE(Stored("BM-S050-01", existing));  // still one row
}

INSTANTIATE_TEST_SUITE_P(Engines, EffectImportTest, kEngines, EngineName);

}  // namespace
}  // namespace flr::test
