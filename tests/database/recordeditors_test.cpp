// The record editors' rules on a real product database: what may be saved, what is stored,
// and what deleting asks and removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <tuple>
#include <utility>

#include "base/prompt.h"
#include "database/contacteditormodel.h"
#include "database/customertable.h"
#include "database/databaselists.h"
#include "database/itemeditormodel.h"
#include "database/itemtable.h"
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
    for (const char* good : {"", "2,5", "12,50", ",5", "123456789"})
        EXPECT_TRUE(IsDecimalTextAccepted(good)) << good;
    for (const char* bad : {"2.5", "2,505", "1,2,3", "-1", "2 "})
        EXPECT_FALSE(IsDecimalTextAccepted(bad)) << bad;

    // Too many digits for the column are held at its limit, not wrapped.
    const std::pair<const char*, int32_t> integers[] = {
        {"", 0}, {" 7x", 7}, {"-12", -12}, {"99999999999999999999", INT32_MAX}};
    for (const auto& [text, value] : integers) EXPECT_EQ(IntegerValue(text), value) << text;
    // A manufacturer number is read from its first 30 characters only.
    EXPECT_EQ(ManufacturerKind().StoredKey(std::string(30, '0') + "5"), "0");
    EXPECT_EQ(ManufacturerKind().StoredKey(" 0042x"), "42");
    EXPECT_EQ(CustomerKind().StoredKey(" 0042x"), " 0042x");

    std::vector<EditorChoice> list;
    for (const char* name : {"b", "B", "-hidden", "a", "\xE9t\xE9", "Z"})
        InsertInOrder(list, {name, 0});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B", "Z", "a", "b", "\xE9t\xE9"}));

    // Bit 31 and an identifier without a bit: no overflow, nothing added.
    const std::vector<EditorChoice> colours = {{"Blue", 3}, {"High", 32}, {"None", 0}, {"Red", 1}};
    EXPECT_EQ(ColourMask(colours, {true, false, false, true}), 5);
    EXPECT_EQ(ColourMask(colours, {false, true, true, false}), std::numeric_limits<int32_t>::min());
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

    ItemForm form = NewItem(model, "T-100");
    EXPECT_TRUE(model.IsChanged(form));
    form.prefire = "2,5";
    form.duration = "4";
    form.price = "12";
    form.priceOut = "20";
    form.colours[size_t(Position(model.Colours(), "Red"))] = true;
    form.colours[size_t(Position(model.Colours(), "Blue"))] = true;
    ASSERT_TRUE(model.Save(form, m_catalogue));

    CItemTable rows(&m_db);
    ASSERT_TRUE(Read(rows, "T-100"));
    EXPECT_EQ(rows.m_PreFire, "2,5");
    EXPECT_EQ(rows.m_Hold, "4");
    EXPECT_EQ(std::vector<int32_t>({rows.m_Price, rows.m_PriceOut, rows.m_Size, rows.m_Color,
                                    rows.m_CategoryID, rows.m_SupplierID}),
              std::vector<int32_t>({12, 20, 100, 5, 32, 0}));
    const CEffect* item = m_catalogue.Find("T-100");
    ASSERT_NE(item, nullptr);
    EXPECT_DOUBLE_EQ(item->GetPrefire(), 2.5);
    EXPECT_EQ(item->GetRecordNumber(), rows.m_ProductNO);
    EXPECT_TRUE(m_prompter->Messages().empty());

    // A number taken (case counts), a missing field or no database: nothing can be saved.
    CItemEditorModel again(&m_db, nullptr);
    EXPECT_FALSE(again.Save(NewItem(again, "T-100"), m_catalogue));
    EXPECT_TRUE(again.IsValid(NewItem(again, "t-100")));
    for (std::string ItemForm::*field : {&ItemForm::article, &ItemForm::name, &ItemForm::size}) {
        ItemForm missing = NewItem(again, "T-1");
        missing.*field = "";
        EXPECT_FALSE(again.IsValid(missing));
    }
    CItemEditorModel none(nullptr, nullptr);
    EXPECT_FALSE(none.IsValid(NewItem(none, "T-2")));
    EXPECT_EQ(m_catalogue.Count(), 1u);
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

    form.size = "55";
    EXPECT_TRUE(model.IsChanged(form));
    form.colours[size_t(Position(model.Colours(), "Red"))] = false;
    form.colours[size_t(Position(model.Colours(), "Green"))] = true;
    form.manufacturer = int(model.Manufacturers().size()) - 1;
    ASSERT_TRUE(model.Save(form, m_catalogue));
    EXPECT_EQ(rows.m_Size, 55);

    CItemTable check(&m_db);
    ASSERT_TRUE(Read(check, "BM-S050-01"));
    EXPECT_EQ(std::vector<int32_t>({check.m_Size, check.m_Color, check.m_SupplierID}),
              std::vector<int32_t>({55, 32768 | 2, 0}));
    EXPECT_EQ(check.m_PreFire, "1,80");
}

TEST_P(RecordEditorsTest, DeletingAnItemAsksAndLeavesTheCatalogue)
{
    CItemTable rows(&m_db);
    ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
    m_catalogue.Insert(rows.MakeItem());
    CItemEditorModel model(&m_db, &rows);
    m_prompter->Answer(PromptAnswer::No);
    EXPECT_EQ(model.Delete(model.Initial(), m_catalogue), 0);
    ASSERT_EQ(m_prompter->Messages().size(), 1u);
    EXPECT_EQ(m_prompter->Messages()[0].text,
              "Are you sure that you want to delete Red Peony 50\nfrom the fireworks database?");
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

// The customer and manufacturer editors: one model over two kinds.
struct ContactCase {
    const CContactKind& kind;
    std::string listedKey;  // a row of the sample data
    std::string newKey;
    bool keyMustBeNew;
    std::string choice;  // a country to pick, "" for a kind without the box
    std::string deleteQuestion;
    // Checks columns of the row written from the case's form.
    std::function<void(const CRecordset&)> checkStored;
};

TEST_P(RecordEditorsTest, ContactsAreAddedEditedAndDeleted)
{
    const ContactCase cases[] = {
        {CustomerKind(), "C-1002", "C-9000", true, "",
         "Are you sure that you want to delete Lakeside Gala\nfrom the customer database?",
         [](const CRecordset& row) {
             const auto& r = static_cast<const CCustomerTable&>(row);
             EXPECT_EQ(std::tie(r.m_CustomerName, r.m_ContactName, r.m_Tel2, r.m_Notes),
                       std::make_tuple("Lakeside Gala", "line 5", "line 7", "line 12"));
         }},
        {ManufacturerKind(), "1004", "2001", false, "Poland",
         "Are you sure that you want to delete Lakeside Gala\nfrom the manufacturer database?",
         [](const CRecordset& row) {
             const auto& r = static_cast<const CManufacturerTable&>(row);
             EXPECT_EQ(std::tie(r.m_Name, r.m_ContactName, r.m_Mob, r.m_Notes),
                       std::make_tuple("Lakeside Gala", "line 5", "line 7", "line 10"));
             EXPECT_EQ(std::tie(r.m_SupplierNO, r.m_CountryID), std::make_tuple(2001, 3));
         }}};
    for (const ContactCase& c : cases) {
        SCOPED_TRACE(std::string(c.kind.what));
        const CContactKind& kind = c.kind;
        CContactEditorModel add(kind, &m_db, nullptr);
        EXPECT_EQ(add.Mode(), EditorMode::Add);
        ContactForm form = add.Initial();
        ASSERT_EQ(form.texts.size(), kind.fields.size());
        EXPECT_EQ(form.choice, -1);
        // An empty form is refused; only customer numbers must be new.
        EXPECT_FALSE(add.CanSave(form));
        EXPECT_EQ(std::string(kind.showAll).find("(no filter"), std::string::npos);
        form.texts[0] = c.listedKey;
        EXPECT_EQ(add.CanSave(form), !c.keyMustBeNew);
        for (size_t i = 1; i < form.texts.size(); ++i) form.texts[i] = "line " + std::to_string(i);
        form.texts[0] = c.newKey;
        form.texts[1] = "Lakeside Gala";
        if (!c.choice.empty()) {
            // Hidden countries are left out, the rest sorted.
            EXPECT_EQ(Position(add.Choices(), "-Unused"), -1);
            EXPECT_EQ(add.Choices().front().name, "China");
            form.choice = Position(add.Choices(), c.choice);
        } else {
            EXPECT_TRUE(add.Choices().empty());
        }
        ASSERT_TRUE(add.CanSave(form));
        add.Save(form);

        const std::unique_ptr<CRecordset> rows = kind.MakeTable(&m_db);
        ASSERT_TRUE(FindContactRecord(kind, *rows, c.newKey));
        c.checkStored(*rows);

        CContactEditorModel edit(kind, &m_db, rows.get());
        EXPECT_EQ(edit.Mode(), EditorMode::Edit);
        EXPECT_EQ(edit.Initial(), form);
        EXPECT_TRUE(edit.CanSave(edit.Initial()));
        form.choice = -1;
        form.texts[4] = "Visby";
        edit.Save(form);
        const std::unique_ptr<CRecordset> check = kind.MakeTable(&m_db);
        ASSERT_TRUE(FindContactRecord(kind, *check, c.newKey));
        EXPECT_EQ(kind.Read(*check, edit.Choices()), form);

        // The question names the row found by the typed key; a row gone asks nothing.
        const size_t before = m_prompter->Messages().size();
        m_prompter->Answer(PromptAnswer::No);
        EXPECT_EQ(edit.Delete(form), 0);
        m_prompter->Answer(PromptAnswer::Yes);
        EXPECT_EQ(edit.Delete(form), kEditorDeleted);
        EXPECT_EQ(edit.Delete(form), kEditorDeleted);
        ASSERT_EQ(m_prompter->Messages().size(), before + 2);
        EXPECT_EQ(m_prompter->Messages().back().text, c.deleteQuestion);
        EXPECT_EQ(m_prompter->Messages().back().caption, "Confirm Delete");
        EXPECT_FALSE(FindContactRecord(kind, *check, c.newKey));
        EXPECT_FALSE(CContactEditorModel(kind, nullptr, nullptr).CanSave(form));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordEditorsTest, kEngines, EngineName);

}  // namespace
}  // namespace flr::test
