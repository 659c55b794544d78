// flr-cli as a user runs it: a real process on real files.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliRun FlrCli(const QStringList& arguments)
{
    QProcess process;
    process.start(FLR_CLI_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
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

    const Json& setup = j.at("setup");
    EXPECT_EQ(setup.at("frameRate"), 25);
    EXPECT_EQ(setup.at("estimatedLength"), 7500);
    EXPECT_EQ(setup.at("lengthUnit"), "Minutes");
    EXPECT_EQ(setup.at("date"), Json::array({2026, 12, 31}));
    EXPECT_EQ(setup.at("priceLimit"), 5000);
    EXPECT_EQ(setup.at("fixedPrice"), -1);
    EXPECT_EQ(setup.at("fixedDiscount"), 250);
    EXPECT_EQ(setup.at("propDiscount"), 10);
    EXPECT_EQ(setup.at("customerName"), "M\u00fcller");  // decoded from Windows-1252
    EXPECT_EQ(setup.at("contact1Tel"), "0123");
    EXPECT_TRUE(setup.at("contact2Name").is_null());
    EXPECT_EQ(setup.at("musicFile"), "show.wav");
    EXPECT_EQ(setup.at("prefireOff"), false);

    ASSERT_EQ(j.at("effects").size(), 2u);
    EXPECT_EQ(j.at("effects")[0].at("artNo"), "A-1");
    EXPECT_EQ(j.at("effects")[0].at("name"), "Rocket");
    EXPECT_EQ(j.at("effects")[0].at("size"), 65);
    EXPECT_EQ(j.at("effects")[0].at("prefire"), 0.5);
    EXPECT_EQ(j.at("effects")[1].at("artNo"), "B-2");
    EXPECT_EQ(j.at("effects")[1].at("duration"), 1.25);

    const Json& schedule = j.at("schedule");
    ASSERT_EQ(schedule.size(), 4u);
    EXPECT_EQ(schedule[0].at("number"), 0);
    EXPECT_EQ(schedule[0].at("inTime"), "00:00:04:13");
    EXPECT_EQ(schedule[0].at("time"), "00:00:05:00");
    EXPECT_EQ(schedule[0].at("bank"), 'A');
    EXPECT_EQ(schedule[0].at("address"), 1);
    EXPECT_EQ(schedule[0].at("chainNext"), 1);
    EXPECT_EQ(schedule[0].at("delay"), "5.00");
    EXPECT_EQ(schedule[1].at("chained"), true);
    EXPECT_EQ(schedule[1].at("number"), -1);
    EXPECT_EQ(schedule[1].at("chainPrev"), 0);
    EXPECT_TRUE(schedule[1].at("chainNext").is_null());
    EXPECT_EQ(schedule[1].at("delay"), "1.00");
    EXPECT_TRUE(schedule[3].at("artNo").is_null());
    EXPECT_EQ(schedule[3].at("note"), "Finale \u00e4");
    EXPECT_EQ(schedule[3].at("ignorePrefire"), true);
    EXPECT_TRUE(schedule[2].at("note").is_null());
    EXPECT_EQ(schedule[2].at("flags"), 0);
    EXPECT_EQ(j.at("firing"), Json::array({0, 1, 2, 3}));

    // The catalogue is empty: both items are listed as missing.
    EXPECT_EQ(Lines(run.err), 2) << run.err;
    EXPECT_NE(run.err.find("A-1"), std::string::npos);
}

TEST(FlrCli, DumpRefusesWhatTheProgramRefusesWithOneLine)
{
    QTemporaryDir dir;
    const QByteArray good = ReadAll(Golden("show-small.flr"));
    QByteArray wrongMagic = good;
    wrongMagic.replace(4, 4, "RIFF");
    WriteAll(dir.filePath("magic.flr"), wrongMagic);
    QByteArray notZero = good;
    notZero[0] = 7;
    WriteAll(dir.filePath("notzero.flr"), notZero);

    for (const QString& path : {dir.filePath("magic.flr"), dir.filePath("notzero.flr"),
                                dir.filePath("missing.flr"), dir.path()}) {
        const CliRun run = FlrCli({"dump", path});
        EXPECT_EQ(run.exitCode, 1) << path.toStdString();
        EXPECT_EQ(Lines(run.err), 1) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(FlrCli, DumpOfADamagedFileReportsAndPrintsWhatWasRead)
{
    QTemporaryDir dir;
    const QByteArray good = ReadAll(Golden("show-small.flr"));
    // Cut inside the last record of the ignition list.
    WriteAll(dir.filePath("cut.flr"), good.left(good.size() - 20));
    const CliRun run = FlrCli({"dump", dir.filePath("cut.flr")});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find("File Error: Error. FLR failed to read some of the data."),
              std::string::npos);
    EXPECT_EQ(Json::parse(run.out).at("schedule").size(), 3u);
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
    EXPECT_EQ(FlrCli({"save", dir.filePath("missing.flr"), dir.filePath("x.flr")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.flr")));
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

    EXPECT_EQ(
        FlrCli({"print", sample, "--pdf", dir.filePath("x.pdf"), "--report", "racks"}).exitCode, 2);
    EXPECT_EQ(FlrCli({"print", sample}).exitCode, 2);
    const CliRun unwritable = FlrCli({"print", sample, "--pdf", dir.filePath("no/such/x.pdf")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos);
    EXPECT_EQ(
        FlrCli({"print", dir.filePath("missing.flr"), "--pdf", dir.filePath("m.pdf")}).exitCode, 1);
}

// Every verb reads `--opt=value` as `--opt value` and answers what it does not know, a
// missing value or a stray file name with its usage and exit code 2.
TEST(FlrCli, OptionsWithEqualsSignsAndUsageErrors)
{
    QTemporaryDir dir;
    const QString show = Golden("show-small.flr");
    const QString sample = FLR_SAMPLE_SHOW;
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        {{"print", sample, "--pdf=" + dir.filePath("a.pdf"), "--report=effects",
          "--page-size=Letter"},
         0,
         ""},
        {{"print", sample, "--report=racks", "--pdf", dir.filePath("b.pdf")}, 2, "'racks'"},
        {{"print", sample, "--pdf=" + dir.filePath("no/such/c.pdf")}, 1, "cannot write"},
        {{"transfer", show, "--device=/dev/no-such-port"}, 1, "cannot open /dev/no-such-port"},
        {{"transfer", show, "--device=/dev/null", "--bank=x"}, 2, "bank number, not 'x'"},
        {{"transfer", show, "--device", "/dev/null", "--retries=-1"}, 2, "count, not '-1'"},
        {{"--bogus"}, 2, "Usage: flr-cli COMMAND"},
        {{"dump", show, "--bogus"}, 2, "Usage: flr-cli dump SHOW.flr"},
        {{"dump", show, "extra.flr"}, 2, "Usage: flr-cli dump SHOW.flr"},
        {{"save", "-x", show, dir.filePath("x.flr")}, 2, "Usage: flr-cli save"},
        {{"print", sample, "--pdf", dir.filePath("d.pdf"), "--colour"}, 2, "Usage: flr-cli print"},
        {{"print", sample, "--pdf", dir.filePath("e.pdf"), "--hide-chained=yes"},
         2,
         "Usage: flr-cli print"},
        {{"transfer", show, "--device=/dev/null", "--speed=9600"}, 2, "Usage: flr-cli transfer"},
        {{"transfer", show, "--device"}, 2, "Usage: flr-cli transfer"},
    };
    for (const Case& c : cases) {
        const CliRun run = FlrCli(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << what << "\n" << run.err;
        // The one that prints: the effect summary's page count.
        EXPECT_EQ(run.out, c.exitCode == 0 ? "1\n" : "") << what;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.flr")));
}

TEST(FlrCli, VersionAndHelp)
{
    const CliRun version = FlrCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("flr-cli ", 0), 0u);
    const CliRun help = FlrCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("dump SHOW.flr"), std::string::npos);
    EXPECT_NE(help.out.find("save IN.flr OUT.flr"), std::string::npos);
}

}  // namespace
