#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <optional>
#include <set>
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
        if (!IsSkipped() && !HasFatalFailure()) {
            ASSERT_TRUE(m_other.OpenEx(m_connect));
        }
    }
    // What the second designer reads: the item's name (nullopt when gone), the item's count.
    std::optional<std::string> StoredName(const std::string& article, size_t* count = nullptr)
    {
        CItemTable rows(&m_other);
        EXPECT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID(article)));
        if (count) *count = rows.GetRecordCount();
        return rows.IsEOF() ? std::nullopt : std::optional(rows.m_ProductName);
    }

    CDatabase m_other;
    CEffectCatalogue m_catalogue;
};

// The editor on a row of the database bar read long ago: the user is asked, and each answer
// does what it says.
TEST_P(SharedCatalogueTest, TheItemEditorAsksBeforeWritingOverAnotherUsersChange)
{
    struct Case {
        PromptAnswer answer;    // Ok: not asked
        const char* meanwhile;  // the second designer's statement
        int result;
        std::optional<std::string> stored;  // the name afterwards
        const char* shown;                  // the bar's row afterwards, nullptr: dropped
    };
    const char* rename = "UPDATE \"tbFireworks\" SET \"ProductName\" = 'Theirs'";
    const char* remove = "DELETE FROM \"tbFireworks\"";
    const Case cases[] = {
        // Another column changed: both changes stay, and a stored NULL (Weight) read as 0
        // still counts as unchanged.
        {PromptAnswer::Ok, "UPDATE \"tbFireworks\" SET \"Size\" = 60", kEditorOk, "Mine", "Mine"},
        {PromptAnswer::Cancel, rename, 0, "Theirs", "Red Peony 50"},
        {PromptAnswer::No, rename, kEditorOk, "Theirs", "Theirs"},
        {PromptAnswer::Yes, rename, kEditorOk, "Mine", "Mine"},
        {PromptAnswer::Cancel, remove, 0, std::nullopt, "Red Peony 50"},
        {PromptAnswer::No, remove, kEditorDeleted, std::nullopt, nullptr},
        {PromptAnswer::Yes, remove, kEditorOk, "Mine", "Mine"},
    };
    const std::string where = " WHERE \"SerialID\" = 'BM-S050-01'";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.meanwhile << ", answer " << int(c.answer));
        ASSERT_TRUE(m_db.ExecuteSQL(remove + where));
        ASSERT_TRUE(
            m_db.ExecuteSQL("INSERT INTO \"tbFireworks\" (\"SerialID\", \"ProductName\", "
                            "\"Size\") VALUES ('BM-S050-01', 'Red Peony 50', 50)"));
        CItemTable rows(&m_db);
        ASSERT_TRUE(FindItemRecord(rows, "BM-S050-01"));
        m_catalogue.Insert(rows.MakeItem());
        CItemEditorModel model(&m_db, &rows);
        ASSERT_TRUE(m_other.ExecuteSQL(c.meanwhile + where));
        const size_t asked = m_prompter->Messages().size();
        if (c.answer != PromptAnswer::Ok) m_prompter->Answer(c.answer);
        ItemForm form = model.Initial();
        form.name = "Mine";
        form.weight = "7";
        EXPECT_EQ(model.Save(form, m_catalogue), c.result);
        ASSERT_EQ(m_prompter->Messages().size(), asked + (c.answer != PromptAnswer::Ok));
        if (c.answer != PromptAnswer::Ok) {
            EXPECT_NE(m_prompter->Messages().back().text.find("by another user since you opened"),
                      std::string::npos);
        }
        EXPECT_EQ(StoredName("BM-S050-01"), c.stored);
        EXPECT_EQ(c.shown ? rows.m_ProductName : "", c.shown ? c.shown : "");
        EXPECT_EQ(m_catalogue.Find("BM-S050-01") != nullptr, c.result != kEditorDeleted);
    }
}

// A key once deleted is never handed out again: an editor still open on the deleted row
// cannot change the next new one.
TEST_P(SharedCatalogueTest, ADeletedKeyIsNeverGivenToANewRow)
{
    CCustomerTable rows(&m_db);
    ASSERT_TRUE(rows.OpenTable());
    int32_t last = 0;
    for (const char* number : {"C-1", "C-2"}) {
        rows.AddNew();
        rows.m_CustomerNo = number;
        ASSERT_TRUE(rows.Update());
        ASSERT_TRUE(rows.Requery());
        int32_t newest = 0;
        for (; !rows.IsEOF(); rows.MoveNext()) newest = std::max(newest, rows.m_Index);
        EXPECT_GT(newest, last);
        last = newest;
        ASSERT_TRUE(m_other.ExecuteSQL("DELETE FROM \"tbCustomers\" WHERE \"Index\" = " +
                                       std::to_string(newest)));
    }
}

// Two designers press OK on the same new number at the same moment, in a database made
// before the constraint: exactly one of them stores it, round after round.
TEST_P(SharedCatalogueTest, SimultaneousAddsOfOneNumberStoreItOnce)
{
    EXPECT_FALSE(
        m_other.ExecuteSQL("INSERT INTO \"tbFireworks\" (\"SerialID\") VALUES "
                           "('BM-S050-01')"));  // new databases have the constraint
    ASSERT_TRUE(m_db.ExecuteSQL("DROP INDEX \"ixFireworksSerialID\""));
    for (int round = 0; round < 30; ++round) {
        const std::string article = "RACE-" + std::to_string(round);
        CItemTable mine(&m_db), theirs(&m_other);
        std::atomic<int> ready{0};
        const auto add = [&](CItemTable& rows) {
            EXPECT_TRUE(rows.OpenTable(FireworksQuery::WithSerialID(article)));
            rows.AddNew();
            rows.m_SerialID = article;
            for (++ready; ready < 2;) {
            }
            DBError error;
            return rows.Update(&error) ? std::string("stored") : error.state;
        };
        std::future<std::string> other = std::async(std::launch::async, add, std::ref(theirs));
        std::set<std::string> outcomes = {add(mine), other.get()};
        size_t count = 0;
        StoredName(article, &count);
        ASSERT_EQ(outcomes, (std::set<std::string>{std::string(kValueTakenState), "stored"}));
        ASSERT_EQ(count, 1u) << article;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SharedCatalogueTest, kEngines, EngineName);

}  // namespace flr::test
