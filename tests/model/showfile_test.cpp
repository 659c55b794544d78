// The show file reader and writer: the layout byte by byte, round trips, golden files, the
// linking of chains, and damaged files of every kind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <unordered_map>

#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"
#include "support/filebytes.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "support/showgenerator.h"

namespace flr {
namespace {

using test::FileBytes;
using Status = CShowFileReader::Status;

constexpr const char* kUnknownEffect = "Error. Unknown data found in effect list.";
constexpr const char* kUnknownIgnition = "Error. Unknown data found in ignition list.";
constexpr const char* kFailedToRead = "Error. FLR failed to read some of the data.";

std::string ReadFileBytes(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

std::string GoldenPath(const std::string& name)
{
    return std::string(FLR_TEST_DATA_DIR) + "/" + name;
}

// Everything the model says about a show's entries, by schedule index. The setup's fields are
// compared as the bytes written back.
std::string Snapshot(const CFLRDoc& doc)
{
    std::unordered_map<const CIgnition*, int> index;
    int i = 0;
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) index[e] = i++;
    auto at = [&index](const CIgnition* e) { return e ? std::to_string(index.at(e)) : "-"; };
    std::string out;
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        const CEffect* item = e->GetItem();
        out += std::to_string(index.at(e)) + ": #" + std::to_string(e->GetNumber()) + " f" +
               std::to_string(e->GetFlags()) + " d=" + e->GetDelayText().value_or("(none)") +
               " n=" + e->GetNote().value_or("(none)") +
               " item=" + (item ? item->GetArticleNumber() + "/" + item->GetName() : "(none)") +
               " " + FormatTimeCode(e->GetInTime()) + " " + FormatTimeCode(e->GetTime()) + " " +
               std::to_string(static_cast<unsigned char>(e->GetLetter())) + "/" +
               std::to_string(e->GetAddressNumber()) + " p" + std::to_string(e->GetPosition()) +
               (e->IsChained() ? " chained" : "") + (e->GetIgnorePrefire() ? " ignore" : "") +
               " chain " + at(e->GetChainPrev()) + "<>" + at(e->GetChainNext()) + "\n";
    }
    out += "firing:";
    for (const CIgnition* e = doc.FirstFiring(); e; e = e->GetNextFiring()) out += " " + at(e);
    return out + "\n";
}

// The snapshot's line of the entry at schedule index `index`.
std::string EntryLine(const CFLRDoc& doc, size_t index)
{
    std::string all = Snapshot(doc);
    size_t start = 0;
    for (size_t line = 0; line < index; ++line) start = all.find('\n', start) + 1;
    return all.substr(start, all.find('\n', start) - start);
}

class ShowFileTest : public ::testing::Test {
protected:
    Status Read(const std::string& bytes, CFLRDoc& doc)
    {
        CShowFileReader reader(m_catalogue, [this](const std::vector<CEffectRef>& items) {
            for (const CEffectRef& item : items) m_missing.push_back(item->GetArticleNumber());
        });
        return reader.ReadBytes(bytes, doc);
    }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> out;
        for (const auto& m : m_prompter.Messages()) {
            EXPECT_EQ(m.caption, "File Error");
            out.push_back(m.text);
        }
        return out;
    }

    CEffectCatalogue m_catalogue;
    test::ScriptedPrompter m_prompter;
    std::vector<std::string> m_missing;
};

// ---- A small show

struct SmallShow {
    CFLRDoc doc;
    CEffectRef rocket = test::MakeItem("A-1", 0.5);
    CEffectRef comet = test::MakeItem("B-2", 0.0);

    SmallShow()
    {
        auto setup = std::make_unique<CFireworkSetup>();
        setup->SetEstimatedLength(7500);
        setup->SetDate(2026, 12, 31);
        setup->SetPriceLimit(5000);
        setup->SetFixedDiscount(250);
        setup->SetPropDiscount(10);
        setup->SetCustomerName(std::string("M\xFCller"));
        setup->SetCustomerNameStored(std::string("M\xFCller"));
        setup->SetContact1Name(std::string("Ann"));
        setup->SetContact1Tel(std::string("0123"));
        setup->SetMusicFile(std::string("show.wav"));
        doc.ResetSetup(std::move(setup));
        rocket->SetName("Rocket");
        rocket->SetSize(65);
        rocket->SetWeight(120);
        rocket->SetDuration(3.0);
        rocket->SetColor(4);
        comet->SetName("Comet");
        comet->SetSize(30);
        comet->SetWeight(45);
        comet->SetDuration(1.25);
        comet->SetColor(2);

        CIgnition* first = test::AppendEntry(doc, "00:00:05:00", "A01", rocket);
        test::AppendChained(doc, first, "1.00", comet);
        test::AppendEntry(doc, "00:00:06:00", "B02", rocket);
        CIgnition* last = test::AppendEntry(doc, "00:00:07:00", "C03");
        last->SetNote(std::string("Finale \xE4"));
        last->SetIgnorePrefire(true);
    }
};

// The small show as the golden file holds it.
std::string SmallShowBytes() { return ReadFileBytes(GoldenPath("show-small.flr")); }

TEST_F(ShowFileTest, ShowWithoutSetupReadsBackWithTheDefaultSetup)
{
    CFLRDoc doc, loaded;
    ASSERT_EQ(Read(CShowFileWriter::ToBytes(doc), loaded), Status::Ok);
    EXPECT_EQ(loaded.GetFrameRate(), 25);
    EXPECT_TRUE(loaded.GetSetup()->GetPrefireOff());
}

// ---- Round trips and golden files

// Files are read a block at a time: a large show, whole or cut anywhere, must come out as
// the same bytes read from memory give, and whole as the show that was written.
TEST_F(ShowFileTest, LargeShowRoundTripsAndReadsFromDiskAcrossBlocksAsFromMemory)
{
    CFLRDoc doc;
    test::MakeRealisticShow(doc, 3000, 5, test::MakeCatalogueItems(30));
    const std::string bytes = CShowFileWriter::ToBytes(doc);
    ASSERT_GT(bytes.size(), 3u * 64 * 1024);
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.flr").toStdString();
    for (size_t cut : {bytes.size(), size_t(65536), size_t(65537), size_t(65535 + 64 * 1024),
                       bytes.size() - 5}) {
        WriteFileBytes(path, bytes.substr(0, cut));
        CFLRDoc fromDisk;
        CFLRDoc fromMemory;
        CEffectCatalogue diskCatalogue;
        CEffectCatalogue memoryCatalogue;
        test::ScriptedPrompter diskPrompter;
        const Status expected = cut == bytes.size() ? Status::Ok : Status::Damaged;
        ASSERT_EQ(CShowFileReader(diskCatalogue).Read(path, fromDisk), expected);
        const size_t diskMessages = diskPrompter.Messages().size();
        test::ScriptedPrompter memoryPrompter;
        ASSERT_EQ(CShowFileReader(memoryCatalogue).ReadBytes(bytes.substr(0, cut), fromMemory),
                  expected);
        EXPECT_EQ(diskMessages, memoryPrompter.Messages().size()) << cut;
        EXPECT_EQ(diskMessages, cut == bytes.size() ? 0u : 1u) << cut;
        EXPECT_EQ(Snapshot(fromDisk), Snapshot(fromMemory)) << cut;
        test::ExpectInvariants(fromDisk);
    }
    CFLRDoc loaded;
    ASSERT_EQ(Read(bytes, loaded), Status::Ok);
    EXPECT_EQ(Snapshot(loaded), Snapshot(doc));
    EXPECT_EQ(CShowFileWriter::ToBytes(loaded), bytes);
}

// The committed files were written by this writer; FLR_WRITE_GOLDEN=1 rewrites the empty and
// the small one. The rich one (every setup field, chains, notes, non-ASCII texts, 30 frames per
// second, prefire off) must read and write back byte for byte.
TEST_F(ShowFileTest, GoldenFilesReadAndWriteBackUnchanged)
{
    CFLRDoc empty;
    empty.ResetSetup(std::make_unique<CFireworkSetup>());
    SmallShow small;
    const std::vector<std::pair<std::string, CFLRDoc*>> golden = {{"show-empty.flr", &empty},
                                                                  {"show-small.flr", &small.doc},
                                                                  {"show-rich-30fps.flr", nullptr}};
    for (const auto& [name, doc] : golden) {
        if (doc && qEnvironmentVariableIsSet("FLR_WRITE_GOLDEN"))
            WriteFileBytes(GoldenPath(name), CShowFileWriter::ToBytes(*doc));
        const std::string onDisk = ReadFileBytes(GoldenPath(name));
        ASSERT_FALSE(onDisk.empty()) << name;
        CFLRDoc loaded;
        CShowFileReader reader(m_catalogue);
        ASSERT_EQ(reader.Read(GoldenPath(name), loaded), Status::Ok) << name;
        test::ExpectInvariants(loaded);
        EXPECT_EQ(CShowFileWriter::ToBytes(loaded), onDisk) << name;
        if (doc) {
            EXPECT_EQ(CShowFileWriter::ToBytes(*doc), onDisk) << name;
            EXPECT_EQ(Snapshot(loaded), Snapshot(*doc)) << name;
        }
    }
    EXPECT_TRUE(MessageTexts().empty());
}

// ---- Chains

TEST_F(ShowFileTest, ChainedRecordCarriesItsPrimaryRecordIndexAndIsLinkedBack)
{
    FileBytes f;
    f.Header().DefaultSetupChunks().U32(0x500);
    for (uint32_t i = 0; i < 5; ++i) {
        f.Entry(i, true, static_cast<int32_t>(i), "", 0, "", false, 0x100 * (i + 1),
                0x100 * (i + 1), 'A', static_cast<uint8_t>(i + 1), 1);
    }
    // Record 5 hangs behind record 2; its own address in the file does not count.
    f.Entry(5, false, 2, "", 0, "", false, 0x0601, 0x0601, 'C', 7, 1);
    f.End().End();

    CFLRDoc doc;
    ASSERT_EQ(Read(f.Bytes(), doc), Status::Ok);
    // Its delay runs from its predecessor's In Time: 00:00:03:00 to 00:00:06:01.
    EXPECT_EQ(EntryLine(doc, 5),
              "5: #-1 f0 d=3.04 n=(none) item=(none) 00:00:06:01 00:00:06:01 "
              "65/0 p1 chained chain 2<>-");
    EXPECT_TRUE(EntryLine(doc, 2).ends_with(" chain -<>5"));
    test::ExpectInvariants(doc);

    // Written again, record 5 says "no number" and points at record 2.
    const std::string bytes = CShowFileWriter::ToBytes(doc);
    FileBytes record5;
    record5.Field32(0x1522, 5).Field16(0x1521, 0).Field32(0x1510, 2);
    EXPECT_NE(bytes.find(record5.Bytes()), std::string::npos);
}

TEST_F(ShowFileTest, ChainedEffectBeforeItsPrimaryIsWrittenWithoutPrimaryAndReadOutsideChains)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    // The primary's item needs 3 s of prefire, so its chained effect (no prefire) is seen
    // before the primary's effect and stands before it in schedule order.
    CIgnition* primary = test::AppendEntry(doc, "00:00:10:00", "A01", test::MakeItem("SLOW", 3.0));
    CIgnition* effect = test::AppendChained(doc, primary, "0.40", test::MakeItem("FAST", 0.0));
    ASSERT_EQ(test::ScheduleOrder(doc).front(), effect);
    ASSERT_EQ(effect->GetChainPrev(), primary);

    const std::string bytes = CShowFileWriter::ToBytes(doc);
    FileBytes record0;
    record0.Field32(0x1522, 0).Field16(0x1521, 0).Field32(0x1510, 0xFFFFFFFF);
    EXPECT_EQ(bytes.find(record0.Bytes()), bytes.find(std::string("\x00\x05\x00\x00", 4)) + 4);

    CFLRDoc loaded;
    ASSERT_EQ(Read(bytes, loaded), Status::Ok);
    EXPECT_EQ(test::FiringNumbers(loaded), "0 -1");
    EXPECT_TRUE(EntryLine(loaded, 0).ends_with(" chained chain -<>-"));
    EXPECT_TRUE(EntryLine(loaded, 1).ends_with(" p1 chain -<>-"));
    // And it stays so: the next save writes the same bytes.
    EXPECT_EQ(CShowFileWriter::ToBytes(loaded), bytes);
}

// The fast load (numbering once at the end) against renumbering after every link, on files
// whose records come in any order, with ties of In Time and address, and chains pointing
// anywhere.
TEST_F(ShowFileTest, FastLoadGivesTheSameShowAsRenumberingAfterEveryLink)
{
    std::mt19937 random(2026);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 150; ++round) {
        FileBytes f;
        f.Header().DefaultSetupChunks().U32(0x600);
        const char* artNos[] = {"P0", "P1", "P2"};
        const double prefires[] = {0.0, 0.5, 1.5};
        for (int i = 0; i < 3; ++i) {
            f.Field(0x1610, artNos[i]).FieldF64(0x1614, prefires[i]).End();
        }
        f.End().U32(0x500);
        const int n = 1 + pick(80);
        for (int i = 0; i < n; ++i) {
            const bool chained = i > 0 && pick(3) == 0;
            const int primary = pick(i + 2) - 1;  // -1 to i: also out of range
            const uint32_t inTime =
                static_cast<uint32_t>(pick(6)) << 8 | static_cast<uint32_t>(pick(3));
            const uint32_t time = inTime + static_cast<uint32_t>(pick(2) << 8);
            const std::string artNo = pick(4) == 0 ? "" : artNos[pick(3)];
            f.Entry(static_cast<uint32_t>(i), !chained, chained ? primary : pick(50), artNo, 50, "",
                    pick(5) == 0, inTime, time, static_cast<char>('A' + pick(2)),
                    static_cast<uint8_t>(pick(3)), 1);
        }
        f.End().End();

        CFLRDoc fast;
        CFLRDoc straightforward;
        CEffectCatalogue catalogue;
        CShowFileReader fastReader(catalogue);
        CShowFileReader slowReader(catalogue);
        slowReader.SetRenumberEachLink(true);
        ASSERT_EQ(fastReader.ReadBytes(f.Bytes(), fast), Status::Ok);
        ASSERT_EQ(slowReader.ReadBytes(f.Bytes(), straightforward), Status::Ok);
        ASSERT_EQ(Snapshot(fast), Snapshot(straightforward)) << "round " << round;
    }
}

// ---- Items and the catalogue

TEST_F(ShowFileTest, CatalogueItemsStandAndOnlyMissingOnesAreOffered)
{
    CEffectRef known = test::MakeItem("A-1", 0.5);
    known->SetName("Rocket from the database");
    m_catalogue.Insert(known);

    CFLRDoc doc;
    test::AppendEntry(doc, "00:00:01:00", "Y01");  // reading replaces it
    ASSERT_EQ(Read(SmallShowBytes(), doc), Status::Ok);
    EXPECT_EQ(test::FiringAddresses(doc), "A01  B02 C03");
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(m_missing, std::vector<std::string>{"B-2"});
    EXPECT_EQ(test::FiringOrder(doc)[0]->GetItem(), known.get());
    EXPECT_EQ(m_catalogue.Find("A-1")->GetName(), "Rocket from the database");
    EXPECT_EQ(m_catalogue.Count(), 2u);
    // The missing item now stands in the catalogue with the file's values.
    EXPECT_EQ(m_catalogue.Find("B-2")->GetName(), "Comet");
    EXPECT_DOUBLE_EQ(m_catalogue.Find("B-2")->GetDuration(), 1.25);
}

TEST_F(ShowFileTest, EntryWhoseItemIsNotInTheCatalogueStaysWithoutItem)
{
    FileBytes f;
    f.Header().DefaultSetupChunks().U32(0x500);
    f.Entry(0, true, 0, "NOWHERE", 50, "", false, 0x0200, 0x0300, 'A', 1, 1);
    f.End().End();
    CFLRDoc doc;
    ASSERT_EQ(Read(f.Bytes(), doc), Status::Ok);
    // Without item the In Time follows the Time, as for every entry without item.
    EXPECT_EQ(EntryLine(doc, 0),
              "0: #0 f0 d=3.00 n=(none) item=(none) 00:00:03:00 00:00:03:00 65/1 p1 chain -<>-");
}

TEST_F(ShowFileTest, ItemWithoutArticleNumberIsLeftOutOfTheEffectListAndReported)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    test::AppendEntry(doc, "00:00:01:00", "A01", test::MakeItem("", 0.0));
    test::AppendEntry(doc, "00:00:02:00", "A02", test::MakeItem("GOOD", 0.0));
    int leftOut = 0;
    const std::string bytes = CShowFileWriter::ToBytes(doc, &leftOut);
    EXPECT_EQ(leftOut, 1);

    CFLRDoc loaded;
    ASSERT_EQ(Read(bytes, loaded), Status::Ok);
    EXPECT_TRUE(MessageTexts().empty());  // the effect list reads to its end
    EXPECT_NE(EntryLine(loaded, 0).find(" item=(none) "), std::string::npos);
    EXPECT_NE(EntryLine(loaded, 1).find(" item=GOOD/"), std::string::npos);

    QTemporaryDir dir;
    const std::string path = dir.filePath("show.flr").toStdString();
    EXPECT_TRUE(CShowFileWriter::Save(doc, path));
    EXPECT_EQ(ReadFileBytes(path), bytes);
    const auto messages = MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("article number"), std::string::npos);
}

// ---- Refused files

TEST_F(ShowFileTest, ForeignMagicIsRefusedWithABeepAndFirstWordNotZeroSilently)
{
    const std::string good = SmallShowBytes();
    CFLRDoc doc;
    test::AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* kept = doc.GetIgnitions();

    std::string foreign = good;
    foreign.replace(4, 12, std::string("RIFFWAVEfmt\0", 12));
    EXPECT_EQ(Read(foreign, doc), Status::WrongMagic);
    EXPECT_EQ(m_prompter.Beeps(BeepKind::Exclamation), 1);

    std::string unterminated = good;
    unterminated[15] = 'X';  // "FLRFIREWORK" followed by another letter
    EXPECT_EQ(Read(unterminated, doc), Status::WrongMagic);
    EXPECT_EQ(Read(good.substr(0, 10), doc), Status::WrongMagic);

    std::string notZero = good;
    notZero[0] = 1;
    EXPECT_EQ(Read(notZero, doc), Status::NotShowFile);
    EXPECT_EQ(Read(std::string(), doc), Status::NotShowFile);
    EXPECT_EQ(Read(std::string("\0\0", 2), doc), Status::NotShowFile);
    EXPECT_EQ(m_prompter.BeepCount(), 3);
    EXPECT_TRUE(MessageTexts().empty());
    // The document was not touched.
    EXPECT_EQ(doc.GetIgnitions(), kept);
    EXPECT_EQ(doc.GetSetup(), nullptr);

    CShowFileReader reader(m_catalogue);
    EXPECT_EQ(reader.Read("/nonexistent/folder/show.flr", doc), Status::CannotOpen);
    EXPECT_FALSE(reader.ErrorString().empty());
}

// ---- Damaged files

FileBytes WithTwoEntries()
{
    FileBytes f;
    f.Header().DefaultSetupChunks().U32(0x600);
    f.Field(0x1610, "A-1").Field(0x1611, "Rocket").End();
    f.End().U32(0x500);
    f.Entry(0, true, 0, "A-1", 0, "", false, 0x0100, 0x0100, 'A', 1, 1);
    f.Entry(1, true, 1, "A-1", 0, "", false, 0x0200, 0x0200, 'A', 2, 1);
    return f;
}

// Each damaged file says what it lost, at most once, and keeps a consistent show of what
// came before: its firing order, numbers, frame rate and catalogue.
TEST_F(ShowFileTest, DamagedFilesKeepWhatCameBeforeAndSayWhy)
{
    struct Damaged {
        std::string what;
        FileBytes bytes;
        const char* message;
        std::string kept;
    };
    std::vector<Damaged> cases;
    // An unknown field in the effect list ends the list.
    for (uint16_t id : {0x1616, 0x1617, 0x1618, 0x1700, 0x0001}) {
        FileBytes f;
        f.Header().DefaultSetupChunks().U32(0x600);
        f.Field(0x1610, "GOOD").End();
        f.Field(0x1610, "BAD").Field(id, "xy").End();
        f.Field(0x1610, "NEVER").End();
        cases.push_back(
            {"effect field " + std::to_string(id), f.End(), kUnknownEffect, "||25|1|-"});
    }
    // An unknown field in the ignition list keeps the entries before it, numbered.
    for (uint16_t id : {0x151A, 0x151F, 0x1524, 0x1400}) {
        FileBytes f = WithTwoEntries();
        f.Field32(0x1522, 2).Field16(0x1521, 1).Field32(0x1510, 2).Field(id, "??").End();
        f.Entry(3, true, 3, "", 0, "", false, 0x0300, 0x0300, 'A', 3, 1);
        cases.push_back({"entry field " + std::to_string(id), f.End().End(), kUnknownIgnition,
                         "A01 A02|0 1|25|1|1.00"});
    }
    // Entry fields before the number, or none at all, end the list too.
    for (uint16_t id : {0x1511, 0x1520, 0x1523, 0x1513, 0x1514, 0x1515, 0x1516}) {
        FileBytes f = WithTwoEntries();
        f.Field32(0x1522, 2).Field16(0x1521, 1).Field(id, std::string("\x01\x02\x03\x04", 4));
        cases.push_back({"before the number " + std::to_string(id),
                         f.Field32(0x1510, 2).End().End().End(), kUnknownIgnition,
                         "A01 A02|0 1|25|1|1.00"});
    }
    FileBytes noNumber = WithTwoEntries();
    noNumber.Field32(0x1522, 2).Field16(0x1521, 1).End().End().End();
    cases.push_back({"no number", noNumber, kUnknownIgnition, "A01 A02|0 1|25|1|1.00"});
    // A frame rate the program cannot count in keeps 25.
    FileBytes noRate;
    noRate.Header().U32(0x100).Field16(0x1111, 0).End().U32(0x500);
    noRate.Entry(0, true, 0, "", 0, "", false, 0x0100, 0x0100, 'A', 1, 1);
    noRate.Entry(1, true, 0, "", 0, "", false, 0x0200, 0x0200, 'A', 2, 1);
    cases.push_back({"frame rate 0", noRate.End().End(), kFailedToRead, "A01 A02|0 1|25|0|1.00"});
    // A second ignition list replaces the first, unless it is empty.
    FileBytes twoLists = WithTwoEntries();
    twoLists.End();
    twoLists.U32(0x500).Entry(0, true, 0, "", 0, "", false, 0x0900, 0x0900, 'B', 9, 1).End();
    cases.push_back({"second list", twoLists.U32(0x500).End().End(), nullptr, "B09|0|25|1|9.00"});

    for (const Damaged& c : cases) {
        m_catalogue.Clear();
        test::ScriptedPrompter prompter;
        CFLRDoc doc;
        ASSERT_EQ(Read(c.bytes.Bytes(), doc), c.message ? Status::Damaged : Status::Ok) << c.what;
        EXPECT_EQ(doc.IsOpenedDamaged(), c.message != nullptr) << c.what;
        std::vector<std::string> messages;
        for (const auto& m : prompter.Messages()) {
            EXPECT_EQ(m.buttons, PromptButtons::Ok);
            messages.push_back(m.caption + ": " + m.text);
        }
        EXPECT_EQ(messages, c.message
                                ? std::vector<std::string>{std::string("File Error: ") + c.message}
                                : std::vector<std::string>{})
            << c.what;
        const CIgnition* last = doc.FirstSchedule() ? doc.FirstSchedule()->LastSchedule() : nullptr;
        EXPECT_EQ(test::FiringAddresses(doc) + "|" + test::FiringNumbers(doc) + "|" +
                      std::to_string(doc.GetFrameRate()) + "|" +
                      std::to_string(m_catalogue.Count()) + "|" +
                      (last ? last->GetDelayText().value_or("") : "-"),
                  c.kept)
            << c.what;
        test::ExpectInvariants(doc);
    }
}

TEST_F(ShowFileTest, TruncatedFilesKeepWhatWasReadAndSaySoOnce)
{
    const std::string whole = SmallShowBytes();
    const size_t ignitionList = whole.find(std::string("\x00\x05\x00\x00", 4));
    for (size_t cut = 16; cut < whole.size(); ++cut) {
        m_catalogue.Clear();
        test::ScriptedPrompter prompter;
        CFLRDoc doc;
        const Status status = Read(whole.substr(0, cut), doc);
        // Only a cut between chunks (or in the closing zero) loses nothing.
        const auto messages = prompter.Messages();
        EXPECT_EQ(status, messages.empty() ? Status::Ok : Status::Damaged) << cut;
        ASSERT_LE(messages.size(), 1u) << cut;
        if (!messages.empty()) {
            EXPECT_EQ(messages[0].text, kFailedToRead) << cut;
        }
        if (cut > ignitionList + 4 && cut < whole.size() - 4) {
            EXPECT_EQ(messages.size(), 1u) << cut;
        }
        // Whatever was read is a consistent show.
        test::ExpectInvariants(doc);
        CShowFileWriter::ToBytes(doc);
    }
    // Cut inside the third record: the first two entries stay.
    const size_t third = whole.find(FileBytes().Field32(0x1522, 2).Bytes());
    CFLRDoc doc;
    ASSERT_EQ(Read(whole.substr(0, third + 20), doc), Status::Damaged);
    EXPECT_EQ(test::ScheduleOrder(doc).size(), 2u);
    EXPECT_EQ(test::FiringNumbers(doc), "0 -1");
}

TEST_F(ShowFileTest, OverlongTextsAreCutAndTheNextFieldIsReadWhereItStarts)
{
    const std::string longName(300, 'n');
    const std::string longPath(3000, 'p');
    FileBytes f;
    f.Header().DefaultSetupChunks();
    f.U32(0x200).Field(0x1211, longName).Field(0x1213, "after").End();
    f.U32(0x400).Field(0x1410, longPath).End();
    f.U32(0x600)
        .Field(0x1610, std::string(256, 'a'))
        .Field(0x1611, longName)
        .Field16(0x1612, 77)
        .End();
    f.End().U32(0x500);
    f.Entry(0, true, 0, std::string(400, 'a'), 0, longName, false, 0x0100, 0x0100, 'A', 1, 1);
    f.End().End();

    CFLRDoc doc;
    ASSERT_EQ(Read(f.Bytes(), doc), Status::Ok);
    EXPECT_TRUE(MessageTexts().empty());
    const CFireworkSetup& s = *doc.GetSetup();
    EXPECT_EQ(s.GetCustomerName(), std::string(255, 'n'));
    EXPECT_EQ(s.GetContact1Name(), "after");
    EXPECT_EQ(s.GetMusicFile(), std::string(2047, 'p'));
    const CEffect* item = m_catalogue.Find(std::string(255, 'a'));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetName(), std::string(255, 'n'));
    EXPECT_EQ(item->GetSize(), 77);
    ASSERT_NE(doc.GetIgnitions(), nullptr);
    EXPECT_EQ(doc.GetIgnitions()->GetItem(), item);  // both article numbers were cut alike
    EXPECT_EQ(doc.GetIgnitions()->GetNote(), std::string(255, 'n'));
}

TEST_F(ShowFileTest, OddFieldsAndChunksArePassedOverSafely)
{
    FileBytes f;
    f.Header();
    f.U32(0x100).Field(0x1199, "skip me").Field16(0x1111, 30).Field16(0x1112, 1).End();
    f.U32(0x200).Field(0x12FF, "skip").Field(0x1212, std::string_view("1999-07-04\0", 11)).End();
    // Price fields: eight bytes fill four and pass over four, two replace the low bytes.
    f.U32(0x300).Field(0x1310, std::string("\x10\x00\x00\x00\xAA\xBB\xCC\xDD", 8));
    f.Field(0x1313, std::string("\x05\x00", 2)).Field(0x1399, "zz").Field32(0x1311, 15).End();
    f.U32(0x400).Field(0x1499, "skip").Field(0x1410, "song.wav").End();
    f.U32(0x700);   // carries nothing
    f.U32(0x4242);  // unknown: passed over
    f.U32(0x500);
    f.Entry(0, true, 0, "", 0, "", false, 0x0100, 0x0100, 'A', 1, 1);
    f.End().End();

    CFLRDoc doc;
    ASSERT_EQ(Read(f.Bytes(), doc), Status::Ok);
    EXPECT_TRUE(MessageTexts().empty());
    const CFireworkSetup& s = *doc.GetSetup();
    EXPECT_EQ(s.GetFrameRate(), 30);
    EXPECT_TRUE(s.GetPrefireOff());
    int32_t y, m, d;
    s.GetDate(y, m, d);
    EXPECT_EQ((std::vector<int32_t>{y, m, d}), (std::vector<int32_t>{1999, 7, 4}));
    EXPECT_EQ(s.GetPriceLimit(), 0x10);
    EXPECT_EQ(s.GetFixedPrice(), static_cast<int32_t>(0xFFFF0005u));
    EXPECT_EQ(s.GetPropDiscount(), 15);
    EXPECT_EQ(s.GetMusicFile(), "song.wav");
    EXPECT_EQ(test::ScheduleOrder(doc).size(), 1u);
}

// ---- Saving

// A save replaces the file, through a link its target; a full disk, a folder that is gone, a name
// taken by a folder or a read-only file leave the old file and say why.
TEST_F(ShowFileTest, SaveReplacesTheOldFileOrLeavesItAndSaysWhy)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("show.flr").toStdString();
    WriteFileBytes(path, "the previous file");
    SmallShow show;
    show.doc.GetSetup()->SetContact2Name(std::string("new"));

    // Under a file size limit writes beyond it fail (EFBIG), as on a full disk.
    struct sigaction ignore = {};
    struct sigaction previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit saved = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = CShowFileWriter::Save(show.doc, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadFileBytes(path), "the previous file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"show.flr"});
    EXPECT_EQ(MessageTexts().size(), 1u);

    const std::string link = dir.filePath("link.flr").toStdString();
    ASSERT_EQ(::symlink("show.flr", link.c_str()), 0);
    ASSERT_TRUE(CShowFileWriter::Save(show.doc, link));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(ReadFileBytes(path), CShowFileWriter::ToBytes(show.doc));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{"link.flr", "show.flr"}));
    EXPECT_EQ(MessageTexts().size(), 1u);

    WriteFileBytes(path, "the previous file");
    EXPECT_FALSE(CShowFileWriter::Save(show.doc, dir.filePath("gone/show.flr").toStdString()));
    QDir(dir.path()).mkdir("taken.flr");
    EXPECT_FALSE(CShowFileWriter::Save(show.doc, dir.filePath("taken.flr").toStdString()));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.flr")).isDir());
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(CShowFileWriter::Save(show.doc, link));
    const auto messages = MessageTexts();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[1].find("failed to save"), std::string::npos);
    EXPECT_NE(messages[3].find("read-only"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), "the previous file");
}

}  // namespace
}  // namespace flr
