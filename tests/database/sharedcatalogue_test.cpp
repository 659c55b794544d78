#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "database/customertable.h"
#include "database/databaselists.h"
#include "database/itemeditormodel.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "support/dbfixture.h"

namespace flr::test {

// Two designers on one catalogue: the fixture's connection and a second one to the same
// SQLite file or PostgreSQL database.
class SharedCatalogueTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        DBError error;
        ASSERT_TRUE(m_other.OpenEx(m_connect, &error)) << error.text;
    }
    void TearDown() override
    {
        m_other.Close();
        DatabaseTest::TearDown();
    }
    // What the second designer stores in one column of an item.
    void OtherSets(const std::string& article, const std::string& assignment)
    {
        DBError error;
        ASSERT_TRUE(m_other.ExecuteSQL(
            "UPDATE \"tbFireworks\" SET " + assignment + " WHERE \"SerialID\" = '" + article + "'",
            &error))
            << error.text;
    }
    // One column of the stored item, as the second designer reads it; nullopt when it is gone.
    template <class T>
    std::optional<T> Stored(const std::string& article, T CItemTable::*member)
    {
        CItemTable rows(&m_other);
        EXPECT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID(article)));
        if (rows.IsEOF()) return std::nullopt;
        return rows.*member;
    }
    size_t CountOf(const std::string& article)
    {
        CItemTable rows(&m_other);
        EXPECT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID(article)));
        return rows.GetRecordCount();
    }

    CDatabase m_other;
    CEffectCatalogue m_catalogue;
};

TEST_P(SharedCatalogueTest, AnEditOfARowChangedMeanwhileIsRefusedButOtherColumnsMerge)
{
    CItemTable rows(&m_db);
    ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
    // A different column changed meanwhile: both changes stay.
    OtherSets("BM-S050-01", "\"Weight\" = 99");
    rows.Edit();
    rows.m_Size = 55;
    DBError error;
    ASSERT_TRUE(rows.Update(&error)) << error.text;
    EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_Weight), 99);

    // The same column: refused, nothing written, until the user says to overwrite.
    OtherSets("BM-S050-01", "\"ProductName\" = 'Theirs'");
    rows.Edit();
    rows.m_ProductName = "Mine";
    EXPECT_FALSE(rows.Update(&error));
    EXPECT_EQ(error.state, kRowChangedState) << error.text;
    EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_ProductName), "Theirs");
    ASSERT_TRUE(rows.Update(&error, UpdateCheck::Overwrite)) << error.text;
    EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_ProductName), "Mine");

    // Deleted meanwhile: said so; overwriting stores it again.
    ASSERT_TRUE(m_other.ExecuteSQL("DELETE FROM \"tbFireworks\" WHERE \"SerialID\" = 'BM-S050-01'",
                                   &error));
    rows.Edit();
    rows.m_ProductName = "Again";
    EXPECT_FALSE(rows.Update(&error));
    EXPECT_EQ(error.state, kRowGoneState);
    ASSERT_TRUE(rows.Update(&error, UpdateCheck::Overwrite)) << error.text;
    EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_ProductName), "Again");
    EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_Size), 55);
}

// The editor on a row of the database bar read long ago: the user is asked, and each answer
// does what it says.
TEST_P(SharedCatalogueTest, TheItemEditorAsksBeforeWritingOverAnotherUsersChange)
{
    struct Case {
        PromptAnswer answer;
        bool deleted;
        int result;
        const char* stored;  // the name afterwards, nullptr: no row
        const char* shown;   // what the bar's row holds afterwards
    };
    const Case cases[] = {
        {PromptAnswer::Cancel, false, 0, "Theirs", "Red Peony 50"},
        {PromptAnswer::No, false, kEditorOk, "Theirs", "Theirs"},
        {PromptAnswer::Yes, false, kEditorOk, "Mine", "Mine"},
        {PromptAnswer::Cancel, true, 0, nullptr, "Red Peony 50"},
        {PromptAnswer::No, true, kEditorDeleted, nullptr, nullptr},
        {PromptAnswer::Yes, true, kEditorOk, "Mine", "Mine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.answer) << (c.deleted ? " deleted" : " changed"));
        DBError error;
        ASSERT_TRUE(m_db.ExecuteSQL("DELETE FROM \"tbFireworks\" WHERE \"SerialID\" = 'BM-S050-01'",
                                    &error));
        ASSERT_TRUE(m_db.ExecuteSQL(
            "INSERT INTO \"tbFireworks\" (\"SerialID\", \"ProductName\", \"Size\") VALUES "
            "('BM-S050-01', 'Red Peony 50', 50)",
            &error))
            << error.text;
        CItemTable rows(&m_db);
        ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
        m_catalogue.Insert(rows.MakeItem());
        CItemEditorModel model(&m_db, &rows);
        if (c.deleted) {
            ASSERT_TRUE(m_other.ExecuteSQL(
                "DELETE FROM \"tbFireworks\" WHERE \"SerialID\" = 'BM-S050-01'", &error));
        } else {
            OtherSets("BM-S050-01", "\"ProductName\" = 'Theirs'");
        }
        const size_t asked = m_prompter->Messages().size();
        m_prompter->Answer(c.answer);
        ItemForm form = model.Initial();
        form.name = "Mine";
        EXPECT_EQ(model.Save(form, m_catalogue), c.result);
        ASSERT_EQ(m_prompter->Messages().size(), asked + 1);
        EXPECT_NE(m_prompter->Messages().back().text.find(c.deleted ? "deleted by another user"
                                                                    : "changed by another user"),
                  std::string::npos);
        EXPECT_EQ(Stored("BM-S050-01", &CItemTable::m_ProductName),
                  c.stored ? std::optional<std::string>(c.stored) : std::nullopt);
        if (c.shown) {
            EXPECT_EQ(rows.m_ProductName, c.shown);
        }
        EXPECT_EQ(m_catalogue.Find("BM-S050-01") != nullptr, c.result != kEditorDeleted);
    }
}

TEST_P(SharedCatalogueTest, TwoDesignersCannotAddTheSameArticleNumber)
{
    // Both checked that the number is new; the second to store it is told.
    CItemEditorModel mine(&m_db, nullptr), theirs(&m_other, nullptr);
    ItemForm form = mine.Initial();
    form.article = "NEW-1";
    form.name = "Comet";
    form.size = "100";
    ASSERT_TRUE(mine.IsValid(form));
    ASSERT_TRUE(theirs.IsValid(form));
    CItemTable rows(&m_db);
    ASSERT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID("NEW-1")));
    rows.AddNew();
    rows.m_SerialID = "NEW-1";
    ASSERT_EQ(theirs.Save(form, m_catalogue), kEditorOk);
    DBError error;
    EXPECT_FALSE(rows.Update(&error));
    EXPECT_EQ(error.state, kValueTakenState) << error.text;
    EXPECT_EQ(CountOf("NEW-1"), 1u);
    // The editor stays open and says why.
    EXPECT_EQ(mine.Save(form, m_catalogue), 0);
    EXPECT_EQ(CountOf("NEW-1"), 1u);
}

// Databases made before article numbers were kept unique: their index allows duplicates, and
// adding still never makes one.
TEST_P(SharedCatalogueTest, AnOlderDatabaseWithoutTheConstraintStillGetsNoDuplicates)
{
    DBError error;
    // New databases refuse a duplicate outright.
    EXPECT_FALSE(
        m_other.ExecuteSQL("INSERT INTO \"tbFireworks\" (\"SerialID\") VALUES "
                           "('BM-S050-01')",
                           &error));
    ASSERT_TRUE(m_db.ExecuteSQL("DROP INDEX \"ixFireworksSerialID\"", &error)) << error.text;
    ASSERT_TRUE(m_db.ExecuteSQL(
        "CREATE INDEX \"ixFireworksSerialID\" ON \"tbFireworks\" (\"SerialID\")", &error));
    CItemTable rows(&m_db);
    ASSERT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID("NEW-2")));
    rows.AddNew();
    rows.m_SerialID = "NEW-2";
    rows.m_ProductName = "Mine";
    ASSERT_TRUE(
        m_other.ExecuteSQL("INSERT INTO \"tbFireworks\" (\"SerialID\") VALUES ('NEW-2')", &error));
    EXPECT_FALSE(rows.Update(&error));
    EXPECT_EQ(error.state, kValueTakenState) << error.text;
    EXPECT_EQ(CountOf("NEW-2"), 1u);
    rows.m_SerialID = "NEW-3";
    ASSERT_TRUE(rows.Update(&error)) << error.text;
    EXPECT_EQ(Stored("NEW-3", &CItemTable::m_ProductName), "Mine");
}

// A key once deleted is never handed out again: an editor still open on the deleted row
// cannot change the next new one.
TEST_P(SharedCatalogueTest, ADeletedKeyIsNeverGivenToANewRow)
{
    CCustomerTable rows(&m_db);
    ASSERT_TRUE(rows.OpenTable());
    rows.AddNew();
    rows.m_CustomerNo = "C-1";
    DBError error;
    ASSERT_TRUE(rows.Update(&error)) << error.text;
    ASSERT_TRUE(rows.Requery());
    int32_t last = 0;
    for (; !rows.IsEOF(); rows.MoveNext()) last = std::max(last, rows.m_Index);
    ASSERT_TRUE(m_other.ExecuteSQL(
        "DELETE FROM \"tbCustomers\" WHERE \"Index\" = " + std::to_string(last), &error));
    ASSERT_TRUE(rows.Requery());
    rows.AddNew();
    rows.m_CustomerNo = "C-2";
    ASSERT_TRUE(rows.Update(&error)) << error.text;
    ASSERT_TRUE(rows.Requery());
    for (; !rows.IsEOF(); rows.MoveNext()) {
        if (rows.m_CustomerNo == "C-2") {
            EXPECT_GT(rows.m_Index, last);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SharedCatalogueTest,
                         testing::Values(Engine::SQLite, Engine::PostgreSQL), EngineName);

}  // namespace flr::test
