// flr-cli as a user runs it: a real process on real files, a database in a home of its own,
// the hardware on a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <numeric>

#include "database/datasource.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/dbfixture.h"
#include "support/hardwareemulator.h"
#include "support/showbuilder.h"
#include "support/transfertestsupport.h"
#include "support/wavebuilder.h"

namespace flr::test {
namespace {

using Json = nlohmann::json;
using Record = HardwareEmulator::Record;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliRun FlrCli(const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.start(FLR_CLI_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(timeoutMs));
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString Golden(const char* name) { return QString(FLR_TEST_DATA_DIR) + "/" + name; }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FlrCli, DumpPrintsTheShowAsTheProgramOpensIt)
{
    const CliRun run = FlrCli({"dump", Golden("show-small.flr")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json j = Json::parse(run.out);

    // Texts decoded from Windows-1252; entries named by their place in the schedule.
    const std::pair<const char*, Json> values[] = {{"/setup/estimatedLength", 7500},
                                                   {"/setup/date", {2026, 12, 31}},
                                                   {"/setup/customerName", "M\u00fcller"},
                                                   {"/setup/contact2Name", nullptr},
                                                   {"/effects/1/duration", 1.25},
                                                   {"/schedule/0/inTime", "00:00:04:13"},
                                                   {"/schedule/0/chainNext", 1},
                                                   {"/schedule/1/number", -1},
                                                   {"/schedule/1/delay", "1.00"},
                                                   {"/schedule/3/artNo", nullptr},
                                                   {"/schedule/3/ignorePrefire", true},
                                                   {"/firing", {0, 1, 2, 3}},
                                                   {"/schedule/0/bank", 'A'}};
    for (const auto& [pointer, value] : values)
        EXPECT_EQ(j.at(Json::json_pointer(pointer)), value) << pointer;
    EXPECT_EQ(j.at("schedule").size(), 4u);

    // The catalogue is empty: both items are listed as missing.
    EXPECT_EQ(Lines(run.err), 2) << run.err;
    EXPECT_NE(run.err.find("A-1"), std::string::npos);
}

// What the program refuses is refused; a damaged show is read up to the damage, reported, and
// never saved: not over itself, not anywhere else.
TEST(FlrCli, ForeignFilesAreRefusedAndADamagedShowIsReadButNeverSaved)
{
    QTemporaryDir dir;
    const QByteArray good = ReadAll(Golden("show-small.flr"));
    WriteAll(dir.filePath("magic.flr"), QByteArray(good).replace(4, 4, "RIFF"));
    WriteAll(dir.filePath("notzero.flr"), QByteArray(good).replace(0, 1, "\x07"));
    for (const QString& path : {dir.filePath("magic.flr"), dir.filePath("notzero.flr"),
                                dir.filePath("missing.flr"), dir.path()}) {
        const CliRun run = FlrCli({"dump", path});
        EXPECT_EQ(run.exitCode, 1) << path.toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
        EXPECT_TRUE(run.out.empty());
    }

    // Cut inside the last record of the ignition list.
    const QString cut = dir.filePath("cut.flr");
    WriteAll(cut, good.left(good.size() - 20));
    const CliRun dump = FlrCli({"dump", cut});
    ASSERT_EQ(dump.exitCode, 0);
    EXPECT_NE(dump.err.find("File Error: Error. FLR failed to read some of the data."),
              std::string::npos);
    EXPECT_EQ(Json::parse(dump.out).at("schedule").size(), 3u);
    for (const QString& out : {cut, dir.filePath("out.flr")}) {
        const CliRun run = FlrCli({"save", cut, out});
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadAll(cut), good.left(good.size() - 20));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.flr")));
}

TEST(FlrCli, SaveWritesWhatTheProgramsSaveWrites)
{
    QTemporaryDir dir;
    for (const char* name : {"show-small.flr", "show-rich-30fps.flr", "show-empty.flr"}) {
        const QString out = dir.filePath(name);
        const CliRun run = FlrCli({"save", Golden(name), out});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadAll(out), ReadAll(Golden(name))) << name;
    }
    const CliRun failed =
        FlrCli({"save", Golden("show-small.flr"), dir.filePath("no/such/folder.flr")});
    EXPECT_NE(failed.exitCode, 0);
    EXPECT_NE(failed.err.find("File Error"), std::string::npos);
}

TEST(FlrCli, CheckListsFindingsAndExitsByTheWorst)
{
    QTemporaryDir dir;
    const QByteArray good = ReadAll(Golden("show-small.flr"));
    WriteAll(dir.filePath("cut.flr"), good.left(good.size() - 20));
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* out;
    };
    const Case cases[] = {
        {{Golden("show-small.flr")}, 0, "WARNING 002 C03 00:00:07:00 no-item"},
        {{Golden("show-rich-30fps.flr"), "--bank=9"},
         4,
         "ERROR 002 A01 00:00:05:29 conflict address A01 fires at two In Times"},
        {{dir.filePath("cut.flr")}, 1, "ERROR damaged"},
        {{dir.filePath("missing.flr")}, 1, ""},
        {{Golden("show-small.flr"), "--bank", "10"}, 2, ""},
        {{Golden("show-small.flr"), "--verbose"}, 2, ""},
    };
    for (const Case& c : cases) {
        const CliRun run = FlrCli(QStringList{"check"} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    }
    const CliRun json = FlrCli({"check", Golden("show-rich-30fps.flr"), "--json"});
    ASSERT_EQ(json.exitCode, 4) << json.err;
    const Json j = Json::parse(json.out);
    EXPECT_EQ(j.at("errors"), 2);
    EXPECT_EQ(j.at("warnings"), 1);
    const Json& conflict = j.at("findings")[0];
    EXPECT_EQ(conflict.at("kind"), "conflict");
    EXPECT_EQ(conflict.at("severity"), "error");
    EXPECT_EQ(conflict.at("number"), 2);
    EXPECT_EQ(conflict.at("address"), "A01");
    EXPECT_EQ(conflict.at("time"), "00:00:05:29");
}

int PdfPages(const QByteArray& pdf)
{
    int pages = 0;
    for (const QByteArray& line : pdf.split('\n')) pages += line == "/Type /Page";
    return pages;
}

TEST(FlrCli, PrintWritesEachReportIntoAPdf)
{
    QTemporaryDir dir;
    const QString sample = FLR_SAMPLE_SHOW;
    // The sample's 40 cues fill one page; with their chained effects, two.
    const std::pair<const char*, int> expected[] = {{"field", 2},   {"complete", 2}, {"shoot", 2},
                                                    {"effects", 1}, {"pods", 1},     {"chains", 1}};
    for (const auto& [kind, pages] : expected) {
        const QString out = dir.filePath(QString(kind) + ".pdf");
        const CliRun run = FlrCli({"print", sample, "--pdf", out, "--report", kind});
        ASSERT_EQ(run.exitCode, 0) << kind << run.err;
        EXPECT_EQ(run.out, std::to_string(pages) + "\n") << kind;
        EXPECT_EQ(PdfPages(ReadAll(out)), pages) << kind;
    }
    const CliRun hidden = FlrCli({"print", sample, "--pdf", dir.filePath("h.pdf"), "--report",
                                  "shoot", "--hide-chained", "--page-size", "Letter"});
    EXPECT_EQ(hidden.out, "1\n");
}

// Every verb reads `--opt=value` as `--opt value` and answers what it does not know, a
// missing value or a stray file name with its usage and exit code 2; a failure is 1.
TEST(FlrCli, OptionsUsageErrorsAndFailures)
{
    QTemporaryDir dir;
    const QString show = Golden("show-small.flr");
    const QString sample = FLR_SAMPLE_SHOW;
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* err;
        const char* out = "";  // the start of stdout
    };
    const Case cases[] = {
        {{"--version"}, 0, "", "flr-cli "},
        {{"--help"}, 0, "", "Usage: flr-cli COMMAND"},
        {{"print", sample, "--pdf=" + dir.filePath("a.pdf"), "--report=effects",
          "--page-size=Letter"},
         0,
         "",
         "1\n"},  // the effect summary's page count
        {{"print", sample, "--report=racks", "--pdf", dir.filePath("b.pdf")}, 2, "'racks'"},
        {{"print", sample}, 2, "Usage: flr-cli print"},
        {{"print", sample, "--pdf=" + dir.filePath("no/such/c.pdf")}, 1, "cannot write"},
        {{"print", dir.filePath("missing.flr"), "--pdf", dir.filePath("m.pdf")}, 1, "missing"},
        {{"transfer", show, "--device=/dev/no-such-port"}, 1, "cannot open /dev/no-such-port"},
        {{"transfer", show, "--device=/dev/null", "--bank=x"}, 2, "bank number, not 'x'"},
        {{"transfer", show, "--device=/dev/null", "--bank=10"}, 2, "bank 10 is not offered"},
        {{"transfer", show, "--device", "/dev/null", "--retries=-1"}, 2, "count, not '-1'"},
        {{"transfer", show, "--bank", "1"}, 2, "Usage: flr-cli transfer"},
        {{}, 2, "Usage: flr-cli COMMAND"},
        {{"bogus"}, 2, "unknown command 'bogus'"},
        {{"--bogus"}, 2, "Usage: flr-cli COMMAND"},
        {{"dump"}, 2, "Usage: flr-cli dump SHOW.flr"},
        {{"dump", show, "extra.flr"}, 2, "Usage: flr-cli dump SHOW.flr"},
        {{"save", show}, 2, "Usage: flr-cli save"},
        {{"print", sample, "--pdf", dir.filePath("e.pdf"), "--hide-chained=yes"},
         2,
         "Usage: flr-cli print"},
        {{"transfer", show, "--device"}, 2, "Usage: flr-cli transfer"},
        {{"wave", "a.wav", "b.wav"}, 2, "Usage: flr-cli wave"},
        {{"wave", "a.wav", "--chunk=0"}, 2, "--chunk wants a count above 0, not '0'"},
        {{"wave", "a.wav", "--count=+5"}, 2, "Usage: flr-cli wave"},
        {{"wave", "a.wav", "--seek=18446744073709551616"}, 2, "Usage: flr-cli wave"},
    };
    for (const Case& c : cases) {
        const CliRun run = FlrCli(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << what << "\n" << run.err;
        EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << what << "\n" << run.out;
        if (!*c.out) {
            EXPECT_EQ(run.out, "") << what;
        }
    }
}

// The reader as the program opens a track, then reads from OFFSET, SIZE bytes at a time.
TEST(FlrCli, WavePrintsTheFormatAndEveryRead)
{
    using OJson = nlohmann::ordered_json;
    test::TempFolder dir;
    const std::vector<uint8_t> pcm = test::Pattern(10000), adpcm = test::Pattern(101, 2);
    ASSERT_TRUE(test::WriteFile(dir / "pcm.wav", test::PcmWave(2, 8000, 16, pcm)));
    ASSERT_TRUE(test::WriteFile(
        dir / "adpcm.wav",
        test::WaveBytes().Format(1, 8000, 4, 2, {1, 0xab, 0}).Chunk("data", adpcm).Bytes()));
    const std::vector<std::string> keys = {
        "formatTag",     "channels",  "sampleRate", "avgBytesPerSec", "blockAlign",
        "bitsPerSample", "extraSize", "extraHex",   "dataSize",       "lengthMs"};
    const OJson formats[] = {{1, 2, 8000, 32000, 4, 16, 0, "", 10000, 312},
                             {2, 1, 8000, 8000, 1, 4, 3, "01ab00", 101, 12}};
    // The file (0 PCM), the options, and what each Read returns (none when the seek fails).
    const std::tuple<int, QStringList, uint64_t, std::vector<uint64_t>> cases[] = {
        {0, {}, 0, {4096, 4096, 1808, 0}},
        {0, {"--seek=10", "--count", "9000", "--chunk=4000"}, 10, {4000, 4000, 1000}},
        {0, {"--seek", "9990", "--count=100"}, 9990, {10, 0}},
        {0, {"--seek", "10001", "--count", "5"}, 10001, {}},
        {0, {"--count", "0"}, 0, {}},
        {0, {"--chunk", "18446744073709551615"}, 0, {10000, 0}},
        {1, {"--seek", "99", "--chunk", "1"}, 99, {1, 1, 0}},
    };
    for (const auto& [file, options, offset, returns] : cases) {
        const std::string path = dir / (file == 0 ? "pcm.wav" : "adpcm.wav");
        const CliRun run = FlrCli(QStringList{"wave", QString::fromStdString(path)} + options);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        OJson j = OJson::parse(run.out);
        for (size_t k = 0; k < keys.size(); ++k) EXPECT_EQ(j.at(keys[k]), formats[file][k]);
        const std::vector<uint8_t>& data = file == 0 ? pcm : adpcm;
        const bool seek = offset <= data.size();
        const uint64_t from = seek ? offset : 0;
        const uint64_t bytes = std::accumulate(returns.begin(), returns.end(), uint64_t(0));
        const QByteArray read(reinterpret_cast<const char*>(data.data() + from), qsizetype(bytes));
        const QByteArray sha256 = QCryptographicHash::hash(read, QCryptographicHash::Sha256);
        EXPECT_EQ(j.at("read"), (OJson{{"offset", offset},
                                       {"seek", seek},
                                       {"position", from + bytes},
                                       {"bytes", bytes},
                                       {"sha256", sha256.toHex().toStdString()},
                                       {"returns", returns},
                                       {"lastError", seek ? 0 : 263}}))
            << options.join(' ').toStdString();
        EXPECT_EQ(j.size(), keys.size() + 1);
    }

    // What the reader refuses: its error as JSON, the program's message, exit 1.
    std::vector<uint8_t> cut = test::PcmWave(1, 8000, 8, test::Pattern(100));
    cut.resize(cut.size() - 10);
    ASSERT_TRUE(test::WriteFile(dir / "cut.wav", cut));
    for (const auto& [path, error] : {std::pair{dir / "cut.wav", 272}, {dir.Path(), 259}}) {
        const CliRun run = FlrCli({"wave", QString::fromStdString(path)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(Json::parse(run.out), (Json{{"lastError", error}})) << path;
        EXPECT_EQ(run.err, "Unable to open file \"" + path + "\".\n");
    }
}

using CliItemsTest = IsolatedHomeTest;

TEST_F(CliItemsTest, PrintsTheDefaultCatalogueAsJsonInRecordsetOrder)
{
    const CliRun run = FlrCli({"items"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json items = Json::parse(run.out);
    ASSERT_TRUE(items.is_array());
    ASSERT_EQ(items.size(), 63u);
    const Json& first = items[0];
    EXPECT_EQ(first["artNo"], "BM-S050-01");
    EXPECT_DOUBLE_EQ(first["prefire"].get<double>(), 1.8);
    EXPECT_EQ(first["stock"], 240);
    EXPECT_EQ(items[30]["name"], "Comète Argentée 50");  // Windows-1252 in the database, UTF-8 out
    // The default was made and registered as the program does at start-up.
    EXPECT_TRUE(std::filesystem::exists(DefaultDatabasePath()));
}

// A run's own connect string is used, not saved, and judges `check`'s items; without a data
// source the file's items stand for themselves.
TEST_F(CliItemsTest, AConnectStringOverridesAndFailuresExitWithTheDatabaseError)
{
    const std::string path = (m_home / "Old.sqlite").string();
    ASSERT_TRUE(CreateSqliteDatabase(path, nullptr));
    const QString connect = QString::fromStdString(SqliteConnectString(path));
    CliRun run = FlrCli({"items", "--connect", connect});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(Json::parse(run.out).size(), 63u);
    EXPECT_FALSE(std::filesystem::exists(m_home / "config" / "Flarion" / "FLR.ini"));
    run = FlrCli({"check", FLR_SAMPLE_SHOW, "--connect=" + connect});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("unknown-item"), std::string::npos) << run.out;
    run = FlrCli({"check", Golden("show-small.flr"), "--connect=" + connect});
    EXPECT_NE(run.out.find("unknown-item item A-1 \"Rocket\""), std::string::npos) << run.out;
    EXPECT_EQ(FlrCli({"check", Golden("show-small.flr")}).out.find("unknown-item"),
              std::string::npos);

    CDatabase db;
    ASSERT_TRUE(db.OpenEx(SqliteConnectString(path)));
    ASSERT_TRUE(db.ExecuteSQL("UPDATE \"tbVersion\" SET \"Minor\" = 8"));
    db.Close();
    run = FlrCli({"items", "--connect=" + connect});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Database Error"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("This FLR version is not compatible"), std::string::npos) << run.err;

    run = FlrCli({"items", "--connect",
                  QString::fromStdString(SqliteConnectString((m_home / "none.sqlite").string()))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Database Error: Unable to open database"), std::string::npos)
        << run.err;
    EXPECT_EQ(FlrCli({"items", "--bogus"}).exitCode, 2);
}

CliRun Transfer(const QStringList& arguments)
{
    return FlrCli(QStringList{"transfer"} + arguments, 120000);
}

QString WriteShow(const CFLRDoc& doc, const std::string& name)
{
    const std::string path = testing::TempDir() + "/" + name + std::to_string(getpid()) + ".flr";
    EXPECT_TRUE(CShowFileWriter::Save(doc, path));
    return QString::fromStdString(path);
}

// The file goes out with the In Times the program derives from the items' prefire; a stray
// byte after the last question still lets the closing byte out; a show the check refuses
// leaves the line silent.
TEST(TransferCli, DownloadsIntoTheChosenBankAsTheProgramWould)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    BuildShow(doc, 3);
    CIgnition* e = doc.FirstFiring();
    e->SetItem(MakeItem("P", 1.0));
    e->SetInTimeRaw(e->GetTime());  // as stored by an older catalogue without prefire
    HardwareEmulator hardware;
    hardware.AddFault(3, 9, HardwareEmulator::Fault::StrayBytes, {0x55});
    hardware.Start();
    const CliRun run = Transfer({WriteShow(doc, "stale"), "--device",
                                 QString::fromStdString(hardware.SlavePath()), "--bank", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The program has written the last byte; the hardware's thread takes it a moment later.
    EXPECT_TRUE(WaitFor([&] { return hardware.Finished(); }));
    EXPECT_EQ(hardware.Records(), (std::vector<Record>{{200, 0, 0, 0, 0, 'A', 1},
                                                       {201, 0, 0, 2, 0, 'A', 2},
                                                       {202, 0, 0, 3, 0, 'A', 3},
                                                       {3, 0, 0, 0, 0, 'A', 0}}));
    EXPECT_NE(run.err.find("flr-cli: record 4 of 4\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("flr-cli: downloaded 3 points to bank 2\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("Download"), std::string::npos) << run.err;  // the window's words
    EXPECT_EQ(run.err.find("not in the catalogue"), std::string::npos) << run.err;

    HardwareEmulator silent;
    silent.Start();
    const CliRun refused = Transfer(
        {Golden("show-rich-30fps.flr"), "--device", QString::fromStdString(silent.SlavePath())});
    EXPECT_EQ(refused.exitCode, 4) << refused.err;
    EXPECT_NE(refused.err.find("ERROR 002 A01"), std::string::npos) << refused.err;
    EXPECT_EQ(silent.ReceivedCount(), 0u);
}

// Runs on the real five-second watchdog: two stalls take 10 to 20 seconds.
TEST(TransferCli, RetriesAStallThenGivesUp)
{
    HardwareEmulator hardware;
    hardware.AddFault(1, 0, HardwareEmulator::Fault::Stall);
    hardware.AddFault(1, 3, HardwareEmulator::Fault::Stall);
    hardware.Start();
    CFLRDoc doc;
    BuildShow(doc, 3);
    const CliRun run = Transfer({WriteShow(doc, "three"), "--device",
                                 QString::fromStdString(hardware.SlavePath()), "--retries", "1"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(hardware.Starts(), 2);
    EXPECT_NE(run.err.find("Communications Failure"), std::string::npos) << run.err;
    EXPECT_TRUE(hardware.Problems().empty());
}

// Exit 0 written (or would be), 1 nothing written, 2 bad usage; the catalogue is read back
// with `items` after every run.
TEST_F(CliItemsTest, ExportAndImportItemsWriteAllOrNothingAndSayWhy)
{
    const auto count = [] { return Json::parse(FlrCli({"items"}).out).size(); };
    const QString dir = QString::fromStdString(m_home.string());
    const QString all = dir + "/all.csv", good = dir + "/good.csv", bad = dir + "/bad.csv";
    CliRun run = FlrCli({"export-items", all});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "63 items written to " + all.toStdString() + "\n");
    WriteAll(good, "SerialID;Size;PreFire\nCLI-1;50;1,5\nCLI-2;75;2\n");
    WriteAll(bad, "SerialID;Size\nCLI-3;50\nCLI-4;big\n");

    struct Case {
        QStringList arguments;
        int exitCode;
        std::string out;
        size_t items;
    } cases[] = {
        {{"import-items", all}, 0, "0 new, 0 updated, 63 skipped, 0 refused\n", 63},
        {{"import-items", all, "--existing", "add"}, 1, "", 63},
        {{"import-items", bad},
         1,
         "1 new, 0 updated, 1 refused: see the list\nLine 3: Size \"big\" is not a whole number\n",
         63},
        {{"import-items", bad, "--dry-run"}, 1, "", 63},
        {{"import-items", good, "--dry-run"}, 0, "2 new, 0 updated, 0 refused\n", 63},
        {{"import-items", good}, 0, "2 new, 0 updated, 0 refused\n", 65},
        {{"import-items", all, "--existing=update"}, 0, "0 new, 63 updated, 0 refused\n", 65},
        {{"import-items", dir + "/none.csv"}, 1, "", 65},
        {{"import-items"}, 2, "", 65},
        {{"import-items", good, "--existing", "merge"}, 2, "", 65},
        {{"export-items", all, good}, 2, "", 65},
    };
    for (const Case& c : cases) {
        run = FlrCli(c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << name << run.err;
        if (!c.out.empty()) {
            EXPECT_EQ(run.out, c.out) << name;
        }
        EXPECT_EQ(count(), c.items) << name;
    }
}

}  // namespace
}  // namespace flr::test
