// The record editors' rules on a real product database: what may be saved, what is stored,
// and what deleting asks and removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

#include "base/prompt.h"
#include "database/customereditormodel.h"
#include "database/customertable.h"
#include "database/databaselists.h"
#include "database/itemeditormodel.h"
#include "database/itemfilter.h"
#include "database/itemtable.h"
#include "database/manufacturereditormodel.h"
#include "database/manufacturertable.h"
#include "model/effectcatalogue.h"
#include "support/dbfixture.h"

namespace flr::test {
namespace {

std::vector<std::string> Names(const std::vector<EditorChoice>& list)
{
    std::vector<std::string> out;
    for (const EditorChoice& c : list) out.push_back(c.name);
    return out;
}

int Position(const std::vector<EditorChoice>& list, std::string_view name)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].name == name) return int(i);
    }
    return -1;
}

TEST(RecordEditorRulesTest, TextsNumbersColoursAndChoices)
{
    for (const char* good : {"", "2", "2,5", "12,50", ",5", "123456789"}) {
        EXPECT_TRUE(IsDecimalTextAccepted(good)) << good;
    }
    for (const char* bad : {"2.5", "2,505", "1,2,3", "-1", "2 ", "a"}) {
        EXPECT_FALSE(IsDecimalTextAccepted(bad)) << bad;
    }

    EXPECT_EQ(IntegerValue("12"), 12);
    EXPECT_EQ(IntegerValue(""), 0);
    EXPECT_EQ(IntegerValue(" 7x"), 7);
    // Too many digits for the column are held at its limit, not wrapped.
    EXPECT_EQ(IntegerValue("99999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CManufacturerEditorModel::NumberValue(std::string(30, '0') + "5"), 0);

    std::vector<EditorChoice> list;
    for (const char* name : {"b", "B", "-hidden", "a", "\xE9t\xE9", "Z"})
        InsertInOrder(list, {name, 0});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B", "Z", "a", "b", "\xE9t\xE9"}));

    const std::vector<EditorChoice> colours = {{"Blue", 3}, {"High", 32}, {"None", 0}, {"Red", 1}};
    EXPECT_EQ(ColourMask(colours, {true, false, false, true}), 5);
    // Bit 31 and an identifier without a bit: no overflow, nothing added.
    EXPECT_EQ(ColourMask(colours, {false, true, true, false}), std::numeric_limits<int32_t>::min());
    EXPECT_TRUE(HasColour(5, 3));
    EXPECT_FALSE(HasColour(5, 2));
    EXPECT_FALSE(HasColour(-1, 33));

    EXPECT_EQ(JudgeComboEntry("Shells"), ComboVerdict::Take);
    EXPECT_EQ(JudgeComboEntry("-Retired"), ComboVerdict::RestoreSilently);
    EXPECT_EQ(JudgeComboEntry("Edit list..."), ComboVerdict::RestoreWithBeep);
}

class RecordEditorsTest : public DatabaseTest {
protected:
    ItemForm NewItem(CItemEditorModel& model, const std::string& article)
    {
        ItemForm form = model.Initial();
        form.article = article;
        form.name = "Test Comet";
        form.size = "100";
        return form;
    }
    // Positions `rows` on the item and returns whether it is there.
    bool Read(CItemTable& rows, const std::string& article)
    {
        return rows.OpenTable(FireworksQuery::WithSerialID(article)) && !rows.IsEOF();
    }

    CEffectCatalogue m_catalogue;
};

TEST_P(RecordEditorsTest, ANewItemIsStoredAsTypedAndJoinsTheCatalogue)
{
    CItemEditorModel model(&m_db, nullptr);
    EXPECT_EQ(model.Mode(), EditorMode::Add);
    // Hidden names are left out and the rest sorted; "Other" closes the manufacturers.
    EXPECT_EQ(Position(model.Categories(), "-Retired"), -1);
    const std::vector<std::string> categories = Names(model.Categories());
    EXPECT_TRUE(std::is_sorted(categories.begin(), categories.end()));
    EXPECT_EQ(model.Initial().category, Position(model.Categories(), "Other"));
    ASSERT_EQ(model.Manufacturers().back(), (EditorChoice{"Other", 0}));
    EXPECT_EQ(model.Initial().manufacturer, int(model.Manufacturers().size()) - 1);
    ASSERT_EQ(model.Colours().size(), 15u);
    EXPECT_EQ(model.Colours().front().name, "Aqua");
    EXPECT_EQ(model.BoxCount(), 15u);

    ItemForm form = NewItem(model, "T-100");
    EXPECT_TRUE(model.IsChanged(form));
    form.prefire = "2,5";
    form.duration = "4";
    form.price = "12";
    form.priceOut = "20";
    form.colours[size_t(Position(model.Colours(), "Red"))] = true;
    form.colours[size_t(Position(model.Colours(), "Blue"))] = true;
    ASSERT_TRUE(model.IsValid(form));
    ASSERT_TRUE(model.Save(form, m_catalogue));

    CItemTable rows(&m_db);
    ASSERT_TRUE(Read(rows, "T-100"));
    EXPECT_EQ(rows.m_PreFire, "2,5");
    EXPECT_EQ(rows.m_Hold, "4");
    EXPECT_EQ(rows.m_Price, 12);
    EXPECT_EQ(rows.m_PriceOut, 20);
    EXPECT_EQ(rows.m_Size, 100);
    EXPECT_EQ(rows.m_Color, 5);
    EXPECT_EQ(rows.m_CategoryID, 32);
    EXPECT_EQ(rows.m_SupplierID, 0);
    const CEffect* item = m_catalogue.Find("T-100");
    ASSERT_NE(item, nullptr);
    EXPECT_DOUBLE_EQ(item->GetPrefire(), 2.5);
    EXPECT_EQ(item->GetColor(), 5);
    EXPECT_EQ(item->GetRecordNumber(), rows.m_ProductNO);
    EXPECT_TRUE(m_prompter->Messages().empty());

    // The same number again cannot be saved, and nothing is written.
    CItemEditorModel again(&m_db, nullptr);
    const ItemForm twice = NewItem(again, "T-100");
    EXPECT_FALSE(again.IsValid(twice));
    EXPECT_FALSE(again.Save(twice, m_catalogue));
    // Case counts.
    EXPECT_TRUE(again.IsValid(NewItem(again, "t-100")));
}

TEST_P(RecordEditorsTest, MissingFieldsOrNoDatabaseBlockSaving)
{
    CItemEditorModel model(&m_db, nullptr);
    ItemForm form = NewItem(model, "BM-S050-01");
    EXPECT_FALSE(model.IsValid(form));
    form.article = "T-1";
    form.size.clear();
    EXPECT_FALSE(model.IsValid(form));
    EXPECT_FALSE(model.Save(form, m_catalogue));
    form.size = "1";
    form.name.clear();
    EXPECT_FALSE(model.IsValid(form));

    CItemEditorModel none(nullptr, nullptr);
    EXPECT_TRUE(none.Categories().empty());
    EXPECT_FALSE(none.IsValid(NewItem(none, "T-2")));
    EXPECT_EQ(m_catalogue.Count(), 0u);
}

TEST_P(RecordEditorsTest, WithoutSuppliersOrOtherTheChoicesAreStoredAsMinusOne)
{
    ASSERT_TRUE(m_db.ExecuteSQL("DELETE FROM \"tbSuppliers\""));
    ASSERT_TRUE(m_db.ExecuteSQL(
        "UPDATE \"tbCategories\" SET \"Category\" = 'Misc' WHERE \"Category\" = 'Other'"));
    CItemEditorModel model(&m_db, nullptr);
    EXPECT_TRUE(model.Manufacturers().empty());
    EXPECT_EQ(model.Initial().manufacturer, -1);
    EXPECT_EQ(model.Initial().category, -1);
    ASSERT_TRUE(model.Save(NewItem(model, "T-3"), m_catalogue));
    CItemTable rows(&m_db);
    ASSERT_TRUE(Read(rows, "T-3"));
    EXPECT_EQ(rows.m_SupplierID, -1);
    EXPECT_EQ(rows.m_CategoryID, -1);
}

TEST_P(RecordEditorsTest, EditingAnItemChangesItsRowAndKeepsColoursWithoutABox)
{
    // ColorID 16 is hidden ("-Reserved"): no box shows it, and saving keeps it.
    ASSERT_TRUE(m_db.ExecuteSQL(
        "UPDATE \"tbFireworks\" SET \"Color\" = 32769 WHERE \"SerialID\" = 'BM-S050-01'"));
    CItemTable rows(&m_db);
    ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
    CItemEditorModel model(&m_db, &rows);
    EXPECT_EQ(model.Mode(), EditorMode::Edit);
    ItemForm form = model.Initial();
    EXPECT_EQ(form.name, "Red Peony 50");
    EXPECT_EQ(form.prefire, "1,80");
    EXPECT_EQ(form.size, "50");
    EXPECT_EQ(model.Categories()[size_t(form.category)].name, "Shells");
    EXPECT_EQ(model.Manufacturers()[size_t(form.manufacturer)].data, 1);
    EXPECT_TRUE(form.colours[size_t(Position(model.Colours(), "Red"))]);
    EXPECT_FALSE(model.IsChanged(form));

    form.size.clear();
    EXPECT_TRUE(model.IsChanged(form));
    EXPECT_FALSE(model.IsValid(form));
    form.size = "55";
    form.colours[size_t(Position(model.Colours(), "Red"))] = false;
    form.colours[size_t(Position(model.Colours(), "Green"))] = true;
    form.manufacturer = int(model.Manufacturers().size()) - 1;
    ASSERT_TRUE(model.IsValid(form));
    ASSERT_TRUE(model.Save(form, m_catalogue));
    EXPECT_EQ(rows.m_Size, 55);

    CItemTable check(&m_db);
    ASSERT_TRUE(Read(check, "BM-S050-01"));
    EXPECT_EQ(check.m_Size, 55);
    EXPECT_EQ(check.m_Color, 32768 | 2);
    EXPECT_EQ(check.m_SupplierID, 0);
    EXPECT_EQ(check.m_PreFire, "1,80");
}

TEST_P(RecordEditorsTest, DeletingAnItemAsksAndLeavesTheCatalogue)
{
    CItemTable list(&m_db);
    ASSERT_TRUE(list.OpenTable());
    std::vector<CEffect*> shown;
    ASSERT_TRUE(FillItems(list, m_catalogue, {}, shown));
    ASSERT_NE(m_catalogue.Find("BM-S050-01"), nullptr);

    CItemTable rows(&m_db);
    ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
    CItemEditorModel model(&m_db, &rows);
    m_prompter->Answer(PromptAnswer::No);
    EXPECT_EQ(model.Delete(model.Initial(), m_catalogue), 0);
    ASSERT_EQ(m_prompter->Messages().size(), 1u);
    EXPECT_EQ(m_prompter->Messages()[0].text,
              "Are you sure that you want to delete Red Peony 50\nfrom the fireworks database?");
    EXPECT_EQ(m_prompter->Messages()[0].caption, "Confirm Delete");
    EXPECT_NE(m_catalogue.Find("BM-S050-01"), nullptr);

    m_prompter->Answer(PromptAnswer::Yes);
    EXPECT_EQ(model.Delete(model.Initial(), m_catalogue), kEditorDeleted);
    EXPECT_EQ(m_catalogue.Find("BM-S050-01"), nullptr);
    CItemTable check(&m_db);
    EXPECT_FALSE(Read(check, "BM-S050-01"));
    // Gone already: no question.
    EXPECT_EQ(model.Delete(model.Initial(), m_catalogue), kEditorDeleted);
    EXPECT_EQ(m_prompter->Messages().size(), 2u);
}

TEST_P(RecordEditorsTest, CustomersAreAddedEditedAndDeleted)
{
    CCustomerEditorModel add(&m_db, nullptr);
    CustomerForm form;
    EXPECT_FALSE(add.CanSave(form));
    form.customerNo = "C-1001";
    EXPECT_FALSE(add.CanSave(form));
    form.customerNo = "C-9000";
    form.name = "Lakeside Gala";
    form.tel2 = "555";
    ASSERT_TRUE(add.CanSave(form));
    add.Save(form);

    CCustomerTable rows(&m_db);
    ASSERT_TRUE(FindCustomerRecord(rows, "C-9000"));
    EXPECT_EQ(rows.m_CustomerName, "Lakeside Gala");
    EXPECT_EQ(rows.m_Tel2, "555");

    CCustomerEditorModel edit(&m_db, &rows);
    EXPECT_EQ(edit.Initial(), form);
    EXPECT_TRUE(edit.CanSave(edit.Initial()));
    form.notes = "Every June";
    edit.Save(form);
    CCustomerTable check(&m_db);
    ASSERT_TRUE(FindCustomerRecord(check, "C-9000"));
    EXPECT_EQ(check.m_Notes, "Every June");

    m_prompter->Answer(PromptAnswer::Yes);
    EXPECT_EQ(edit.Delete(form), kEditorDeleted);
    EXPECT_EQ(m_prompter->Messages().at(0).text,
              "Are you sure that you want to delete Lakeside Gala\nfrom the customer database?");
    EXPECT_FALSE(FindCustomerRecord(check, "C-9000"));
    EXPECT_EQ(m_prompter->Messages().size(), 1u);
    EXPECT_FALSE(CCustomerEditorModel(nullptr, nullptr).CanSave(form));
}

// The editor's timer asks again while a message box runs its loop; a failed look-up must be
// reported once, not once per tick.
class ReenteringPrompter final : public CPrompter {
public:
    std::function<void()> again;
    int messages = 0;
    PromptAnswer Ask(std::string_view, std::string_view, PromptButtons, PromptIcon) override
    {
        if (++messages < 5 && again) again();
        return PromptAnswer::Ok;
    }
    void Beep(BeepKind) override {}
};

TEST_P(RecordEditorsTest, AFailedArticleLookUpIsReportedOnceWhileTheTimerTicks)
{
    CItemEditorModel model(&m_db, nullptr);
    ASSERT_TRUE(m_db.ExecuteSQL("DROP TABLE " + m_db.QuoteIdentifier("tbFireworks")));
    ItemForm form;
    form.article = "NEW-1";
    form.name = "New";
    form.size = "50";
    ReenteringPrompter prompter;
    prompter.again = [&] { model.IsValid(form); };
    CPrompter* previous = InstallPrompter(&prompter);
    EXPECT_FALSE(model.IsValid(form));
    InstallPrompter(previous);
    EXPECT_EQ(prompter.messages, 1);
}

TEST_P(RecordEditorsTest, DeletingACustomerWhoseRowHasGoneAsksNothing)
{
    CCustomerTable rows(&m_db);
    ASSERT_TRUE(FindCustomerRecord(rows, "C-1002"));
    CCustomerEditorModel edit(&m_db, &rows);
    ASSERT_TRUE(m_db.ExecuteSQL("DELETE FROM \"tbCustomers\" WHERE \"CustomerNo\" = 'C-1002'"));
    EXPECT_EQ(edit.Delete(edit.Initial()), kEditorDeleted);
    EXPECT_TRUE(m_prompter->Messages().empty());
}

TEST_P(RecordEditorsTest, ManufacturersAreAddedEditedAndDeleted)
{
    CManufacturerEditorModel add(&m_db, nullptr);
    EXPECT_EQ(Position(add.Countries(), "-Unused"), -1);
    EXPECT_EQ(add.Countries().front().name, "China");
    EXPECT_EQ(add.Initial().country, -1);
    ManufacturerForm form;
    form.number = "2001";
    form.name = "Nordlicht AB";
    form.country = Position(add.Countries(), "Poland");
    ASSERT_TRUE(add.CanSave());
    add.Save(form);

    CManufacturerTable rows(&m_db);
    ASSERT_TRUE(FindManufacturerRecord(rows, 2001));
    EXPECT_EQ(rows.m_Name, "Nordlicht AB");
    EXPECT_EQ(rows.m_CountryID, 3);

    CManufacturerEditorModel edit(&m_db, &rows);
    EXPECT_EQ(edit.Initial(), form);
    form.country = -1;
    form.city = "Visby";
    edit.Save(form);
    CManufacturerTable check(&m_db);
    ASSERT_TRUE(FindManufacturerRecord(check, 2001));
    EXPECT_EQ(check.m_City, "Visby");
    EXPECT_EQ(check.m_CountryID, -1);

    m_prompter->Answer(PromptAnswer::Yes);
    EXPECT_EQ(edit.Delete(form), kEditorDeleted);
    EXPECT_EQ(m_prompter->Messages().at(0).text,
              "Are you sure that you want to delete Nordlicht AB\nfrom the manufacturer database?");
    EXPECT_FALSE(FindManufacturerRecord(check, 2001));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordEditorsTest,
                         testing::Values(Engine::SQLite, Engine::PostgreSQL), EngineName);

}  // namespace
}  // namespace flr::test
