// CSV files in and out of the catalogue: reading what other programs write, the row checks,
// and writing all rows or none on both engines.
#include "database/catalogueimport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "database/catalogueexport.h"
#include "database/itemtable.h"
#include "support/dbfixture.h"

namespace flr::test {
namespace {

using Records = std::vector<std::pair<size_t, std::vector<std::string>>>;

Records RecordsOf(const CsvTable& table)
{
    Records records;
    for (const CsvTable::Record& r : table.records) records.emplace_back(r.line, r.fields);
    return records;
}

TEST(CsvReading, FilesFromOtherProgramsReadAsTheyWereMeant)
{
    using E = CsvTable::Encoding;
    const std::string nul("a\0b", 3);
    struct Case {
        std::string bytes;
        char separator;
        E encoding;
        std::vector<std::string> header;
        Records records;
    } cases[] = {
        {"\xEF\xBB\xBFSerialID;Size\r\nA-1;50\r\n",
         ';',
         E::Utf8Bom,
         {"SerialID", "Size"},
         {{2, {"A-1", "50"}}}},
        {"Name\tSize\nCom\xE8te\t50\n",
         '\t',
         E::Windows1252,
         {"Name", "Size"},
         {{2, {"Com\xC3\xA8te", "50"}}}},
        // A quoted line break and quote, a blank line and a line of empty fields between.
        {"a,b\r\n\"x\r\ny \"\"q\"\"\",2\r\n\r\n,\r\nlast,\"3,5\"",
         ',',
         E::Utf8,
         {"a", "b"},
         {{2, {"x\r\ny \"q\"", "2"}}, {6, {"last", "3,5"}}}},
        {"a,b\n" + nul + ", b \n", ',', E::Utf8, {"a", "b"}, {{2, {nul, " b "}}}},
    };
    for (const Case& c : cases) {
        CsvTable table;
        std::string error;
        ASSERT_TRUE(ReadCsv(c.bytes, table, &error)) << error;
        EXPECT_EQ(table.separator, c.separator) << c.bytes;
        EXPECT_EQ(table.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(table.header, c.header) << c.bytes;
        EXPECT_EQ(RecordsOf(table), c.records) << c.bytes;
    }
}

TEST(CsvReading, MalformedFilesAreRefusedWithTheirLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\n1,2\n3,\"open\n4,5\n", "Line 3: a quoted field is not closed."},
        {"a,b\n1,\"x\"y\n", "Line 2: text follows a closing quote."},
        {"\n\n", "The file has no header row."},
    };
    for (const auto& [bytes, message] : cases) {
        CsvTable table;
        std::string error;
        EXPECT_FALSE(ReadCsv(bytes, table, &error));
        EXPECT_EQ(error, message);
        EXPECT_TRUE(table.header.empty() && table.records.empty());
    }
}

TEST(CsvWriting, EveryFieldReadsBackAsWritten)
{
    const std::vector<std::string> fields = {"plain",    "a,b", "say \"hi\"",   "two\r\nlines",
                                             " padded ", "",    "Com\xC3\xA8te"};
    CsvTable table;
    ASSERT_TRUE(ReadCsv(CsvRecord(fields) + CsvRecord(fields), table, nullptr));
    EXPECT_EQ(table.header, fields);
    ASSERT_EQ(table.records.size(), 1u);
    EXPECT_EQ(table.records[0].fields, fields);
    EXPECT_EQ(table.records[0].line, 3u);
}

CCatalogueImport ImportOf(const std::string& csv)
{
    CsvTable table;
    EXPECT_TRUE(ReadCsv(csv, table, nullptr));
    return CCatalogueImport(std::move(table));
}

TEST(CatalogueImportCheck, EachBadRowIsRefusedWithItsLineAndColumn)
{
    // Each row from line 2 on, with the reason it is refused ("" for the one that is not).
    const std::pair<std::string, std::string> rows[] = {
        {"N-1,Good,50,\"1,5\",2.25,3,", ""},
        {"N-2,Bad size,12mm,1,1,0,", "Size \"12mm\" is not a whole number"},
        {"N-3,Bad prefire,50,1;5,1,0,",
         "PreFire \"1;5\" is not a number of seconds (such as 1.5 or 1,5)"},
        {",No number,50,1,1,0,", "the article number (SerialID) is empty"},
        {"N-4," + std::string(256, 'x') + ",50,1,1,0,",
         "ProductName is longer than 255 characters"},
        {"N-5,Huge,50,1,1,0," + std::string(10 << 20, 'y'),
         "ProductDescription is longer than 255 characters"},
        {"N-6;Mixed;50;1;1;0;", "the line has 1 fields where the header has 7"},
        {"N-1,Twice,50,1,1,0,", "the article number \"N-1\" is on line 2 already"},
        {"N-7,Snow \xE2\x98\x83,50,1,1,0,",
         "ProductName holds characters the catalogue cannot store"},
        {"N-8,Nul,50,1,1,0,a" + std::string(1, '\0'), "ProductDescription holds a NUL byte"},
        {"OLD,Stored,50,1,1,x,", "Stock \"x\" is not a whole number"},
        {"OLD2,Stored,50,1,1,,", "the article number \"OLD2\" is in the catalogue already"},
    };
    std::string csv = "Art No,ProductName,Size,PreFire,Hold,Stock,ProductDescription\n";
    std::vector<std::pair<size_t, std::string>> expected;
    for (size_t i = 0; i < std::size(rows); ++i) {
        csv += rows[i].first + "\n";
        if (!rows[i].second.empty()) expected.emplace_back(i + 2, rows[i].second);
    }
    CCatalogueImport import = ImportOf(csv);
    import.SetStored({"OLD", "OLD2"});
    import.SetExisting(ExistingItems::Add);
    const CCatalogueImport::Plan plan = import.Check();
    std::vector<std::pair<size_t, std::string>> refused;
    for (const auto& r : plan.refused) refused.emplace_back(r.line, r.reason);
    EXPECT_EQ(refused, expected);
    EXPECT_EQ(CCatalogueImport::Summary(plan), "1 new, 0 updated, 11 refused: see the list");
}

TEST(CatalogueImportCheck, MatchesExistingItemsAndTheSummaryFollowTheUsersChoices)
{
    CCatalogueImport import = ImportOf("Kaliber,serialid,ProductNO\n50,OLD,1\n75,NEW,2\n");
    EXPECT_EQ(import.Matches(), (std::vector<int>{-1, 0, -1}));
    import.SetStored({"OLD"});
    EXPECT_EQ(import.Check().refused.front().reason, "no column is matched to Size");
    import.SetExisting(ExistingItems::Update);  // updates need no Size; the new row does
    EXPECT_EQ(import.Check().refused.front().line, 3u);
    import.SetMatch(0, 2);
    EXPECT_EQ(CCatalogueImport::Summary(import.Check()), "1 new, 1 updated, 0 refused");
    import.SetExisting(ExistingItems::Skip);
    EXPECT_EQ(CCatalogueImport::Summary(import.Check()), "1 new, 0 updated, 1 skipped, 0 refused");
    import.SetMatch(2, 0);  // takes the article number from column 1
    EXPECT_EQ(import.Matches(), (std::vector<int>{2, -1, 0}));
    EXPECT_EQ(CCatalogueImport::Summary(import.Check()), "2 new, 0 updated, 0 refused");
}

class CatalogueCsvTest : public DatabaseTest {
protected:
    // Every row by article number, PreFire and Hold as the seconds they hold.
    std::map<std::string, std::vector<DBValue>> Rows()
    {
        std::map<std::string, std::vector<DBValue>> rows;
        CItemTable table(&m_db);
        EXPECT_TRUE(table.OpenTable());
        for (; !table.IsEOF(); table.MoveNext()) {
            std::vector<DBValue>& row = rows[table.m_SerialID];
            for (size_t c = 1; c < table.GetFieldCount(); ++c)
                row.push_back(table.GetFieldValue(c));
            row[5] = DBValue::Text(std::to_string(ParseDecimalText(table.m_PreFire)));
            row[7] = DBValue::Text(std::to_string(ParseDecimalText(table.m_Hold)));
        }
        return rows;
    }
    bool Import(const std::string& csv, ExistingItems existing, DBError* error)
    {
        CCatalogueImport import = ImportOf(csv);
        import.SetExisting(existing);
        return import.ReadStored(m_db, error) && import.Write(m_db, nullptr, error);
    }
    QTemporaryDir m_dir;
};

TEST_P(CatalogueCsvTest, ExportThenImportIntoAnEmptyTableGivesTheSameItems)
{
    const auto before = Rows();
    ASSERT_EQ(before.size(), 63u);
    const std::string path = m_dir.filePath("items.csv").toStdString();
    size_t rows = 0;
    std::string error;
    ASSERT_TRUE(ExportCatalogue(m_db, ExportTable::Items, path, &rows, &error)) << error;
    EXPECT_EQ(rows, 63u);
    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains(
        "\r\n1,BM-S050-01,Red Peony 50,50,1,95,1.8,100,3,1,0,240,24,0,2,5,1,Red peony shell\r\n"));
    ASSERT_TRUE(m_db.ExecuteSQL("DELETE FROM " + m_db.QuoteIdentifier("tbFireworks")));

    CsvTable file;
    ASSERT_TRUE(ReadCsvFile(path, file, &error)) << error;
    EXPECT_EQ(file.encoding, CsvTable::Encoding::Utf8);
    CCatalogueImport import(std::move(file));
    ASSERT_TRUE(import.ReadStored(m_db, nullptr));
    CCatalogueImport::Plan plan;
    DBError failure;
    ASSERT_TRUE(import.Write(m_db, &plan, &failure)) << failure.text;
    EXPECT_EQ(CCatalogueImport::Summary(plan), "63 new, 0 updated, 0 refused");
    EXPECT_EQ(Rows(), before);
}

TEST_P(CatalogueCsvTest, ARowTakenMeanwhileRollsBackEveryRowBeforeIt)
{
    const auto before = Rows();
    CCatalogueImport import =
        ImportOf("SerialID,Size,Stock\nNEW-1,50,1\nBM-S050-01,50,999\nNEW-2,75,1\nNEW-3,75,1\n");
    import.SetExisting(ExistingItems::Update);
    ASSERT_TRUE(import.ReadStored(m_db, nullptr));
    // Another program stores NEW-3 between the preview and the confirmation.
    ASSERT_TRUE(Import("SerialID,Size\nNEW-3,100\n", ExistingItems::Skip, nullptr));
    auto expected = Rows();

    DBError error;
    EXPECT_FALSE(import.Write(m_db, nullptr, &error));
    EXPECT_EQ(error.state, kValueTakenState);
    EXPECT_EQ(error.text, "Line 5: the SerialID \"NEW-3\" is in tbFireworks already.");
    EXPECT_EQ(Rows(), expected);  // neither NEW-1, NEW-2 nor the update of BM-S050-01
    EXPECT_EQ(expected.size(), before.size() + 1);

    // Refused rows write nothing either; a good file then writes all its rows.
    EXPECT_FALSE(Import("SerialID,Size\nNEW-4,50\nNEW-5,big\n", ExistingItems::Skip, &error));
    EXPECT_EQ(Rows(), expected);
    ASSERT_TRUE(Import("SerialID,Size,Stock\nNEW-4,50,7\nBM-S050-01,50,999\n",
                       ExistingItems::Update, &error))
        << error.text;
    ASSERT_TRUE(
        Import("SerialID,Size,Stock\nNEW-9,50,1\nBM-S050-01,50,5\n", ExistingItems::Skip, &error));
    expected = Rows();
    EXPECT_EQ(expected.at("NEW-4")[10].integer, 7);
    EXPECT_EQ(expected.at("BM-S050-01")[10].integer, 999);
    EXPECT_EQ(expected.at("BM-S050-01")[1].text, "Red Peony 50");  // unmatched: kept
}

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueCsvTest, kEngines, EngineName);

}  // namespace
}  // namespace flr::test
