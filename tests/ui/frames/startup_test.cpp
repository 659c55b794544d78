// Start-up of the desktop program against real product databases (SQLite through ODBC), in a
// home folder of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "base/settingsstore.h"
#include "database/database.h"
#include "database/datasource.h"
#include "support/scriptedprompter.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/childframe.h"
#include "ui/frames/flrapp.h"
#include "ui/frames/mainframe.h"

namespace flr {
namespace {

QTemporaryDir* g_home = nullptr;

std::string MakeDatabase(const std::string& name, const char* change)
{
    const std::string path =
        QDir(g_home->path()).filePath(QString::fromStdString(name)).toStdString();
    std::remove(path.c_str());
    DBError error;
    EXPECT_TRUE(CreateSqliteDatabase(path, &error)) << error.text;
    if (change) {
        CDatabase db;
        EXPECT_TRUE(db.OpenEx(SqliteConnectString(path), &error)) << error.text;
        EXPECT_TRUE(db.ExecuteSQL(change, &error)) << error.text;
    }
    return path;
}

class StartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        CSettingsStore store;
        store.Remove("Settings/DBSTRING");
        store.Remove("MainFrame/PLACEMENT");
    }
    void UseDatabase(const std::string& path)
    {
        CSettingsStore store;
        ASSERT_TRUE(store.WriteText("Settings/DBSTRING", SqliteConnectString(path)));
    }
};

TEST_F(StartupTest, AnEmptyConnectStringRegistersTheDefaultDataSource)
{
    {
        CSettingsStore store;
        store.WriteText("Settings/DBSTRING", "");
    }
    CFLRApp app;
    test::ScriptedPrompter prompter;
    app.SetDataSourceChooser([] { return std::nullopt; });
    ASSERT_TRUE(app.Start({"flr"}));
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_EQ(*app.Settings().ReadText("Settings/DBSTRING"), "DSN=FLR Database");
    EXPECT_TRUE(prompter.Messages().empty());
    // A start without files begins a new show.
    ASSERT_EQ(app.MainFrame()->Children().size(), 1u);
    EXPECT_EQ(app.MainFrame()->Children()[0]->Title(), "FLR1");
    app.Shutdown();
}

// Only a database older than 2.9 ends start-up; a missing or unreadable one is reported.
TEST_F(StartupTest, TheDatabaseVersionDecidesWhetherStartUpGoesOn)
{
    const char* const kTooOld =
        "This FLR version is not compatible with the selected database.\n\n"
        "Please contact FLR Software for the latest database revision.";
    const char* const kConnect = "Unable to connect to FLR database - [";
    struct Case {
        const char* change;  // nullptr: no database file at all
        bool starts;
        std::vector<std::string> messages;  // each message's beginning
    };
    const Case cases[] = {
        {"UPDATE tbVersion SET Major = 2, Minor = 8", false, {kTooOld}},
        {"UPDATE tbVersion SET Major = 3, Minor = 0", true, {}},
        {"DROP TABLE tbVersion", true, {kConnect}},
        {nullptr, true, {"Unable to open database :\n\n[", kConnect}},
    };
    for (const Case& c : cases) {
        const std::string label = c.change ? c.change : "no file";
        UseDatabase(c.change ? MakeDatabase("db.db", c.change)
                             : QDir(g_home->path()).filePath("gone.db").toStdString());
        CFLRApp app;
        test::ScriptedPrompter prompter;  // after the app, which installs the program's own
        app.SetDataSourceChooser([] { return std::nullopt; });
        EXPECT_EQ(app.Start({"flr"}), c.starts) << label;
        EXPECT_EQ(app.MainFrame() && app.MainFrame()->isVisible(), c.starts) << label;
        const auto messages = prompter.Messages();
        ASSERT_EQ(messages.size(), c.messages.size()) << label;
        for (size_t i = 0; i < messages.size(); ++i) {
            EXPECT_EQ(messages[i].text.rfind(c.messages[i], 0), 0u) << messages[i].text;
            EXPECT_EQ(messages[i].caption, "Database Error") << label;
        }
        app.Shutdown();
    }
}

TEST_F(StartupTest, ThePrintVerbsPrintTheFieldListAndEndWithoutAWindow)
{
    UseDatabase(MakeDatabase("print.db", nullptr));
    const QString pdf = QDir(g_home->path()).filePath(QStringLiteral("field.pdf"));
    struct Case {
        QStringList arguments;
        bool starts;  // a show opened on the same command line stays open
        int exitCode;
        const char* message;  // a part of the one message, or nullptr for none
    };
    const Case cases[] = {
        {{"flr", "--print-to", pdf, FLR_SAMPLE_SHOW}, false, 0, nullptr},
        {{"flr", FLR_SAMPLE_SHOW, "--print-to", pdf, FLR_SAMPLE_SHOW}, true, 0, nullptr},
        {{"flr", "--print-to", "No Such Printer", FLR_SAMPLE_SHOW},
         false,
         1,
         "\"No Such Printer\" is not installed"},
        {{"flr", "--print"}, false, 1, "--print needs a show file."},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        QFile::remove(pdf);
        CFLRApp app;
        test::ScriptedPrompter prompter;
        EXPECT_EQ(app.Start(c.arguments), c.starts) << label;
        if (!c.starts) EXPECT_EQ(app.ExitCode(), c.exitCode) << label;
        CMainFrame* frame = app.MainFrame();
        EXPECT_EQ(frame && frame->isVisible(), c.starts) << label;
        EXPECT_EQ(frame ? frame->Children().size() : 0u, c.starts ? 1u : 0u) << label;
        EXPECT_EQ(QFileInfo(pdf).size() > 1000, c.exitCode == 0) << label;
        ASSERT_EQ(prompter.Messages().size(), c.message ? 1u : 0u) << label;
        if (c.message)
            EXPECT_NE(prompter.Messages()[0].text.find(c.message), std::string::npos) << label;
        app.Shutdown();
    }
}

// The print verbs read `--opt=value` as `--opt value`; an unknown option ends start-up with
// exit code 2 and the usage on stderr, before any file is opened or printed.
TEST_F(StartupTest, TheCommandLineTakesEqualsSignsAndRefusesUnknownOptions)
{
    UseDatabase(MakeDatabase("options.db", nullptr));
    const QString pdf = QDir(g_home->path()).filePath(QStringLiteral("options.pdf"));
    const QString show = FLR_SAMPLE_SHOW;
    struct Case {
        QStringList arguments;
        int exitCode;  // -1: the program goes on
        size_t children;
        const char* message;  // the one message shown, or null
        bool usage;           // the usage text on stderr
        bool printed;
    };
    const Case cases[] = {
        {{"flr", "--print-to=" + pdf, show}, 0, 0, nullptr, false, true},
        // The printer takes the file after it; the next one opens.
        {{"flr", "--print-to=" + pdf, show, show}, -1, 1, nullptr, false, true},
        {{"flr", "--bogus", show}, 2, 0, nullptr, true, false},
        {{"flr", show, "-x"}, 2, 1, nullptr, true, false},
        {{"flr", "--print-to=" + pdf, "--unknown", show}, 2, 0, nullptr, true, false},
        {{"flr", "--print-to", pdf},
         1,
         0,
         "--print-to needs a printer and a show file.",
         false,
         false},
        {{"flr", show, "--print-to"},
         1,
         1,
         "--print-to needs a printer and a show file.",
         false,
         false},
    };
    for (const Case& c : cases) {
        const std::string what = c.arguments.join(' ').toStdString();
        QFile::remove(pdf);
        CFLRApp app;
        test::ScriptedPrompter prompter;
        testing::internal::CaptureStderr();
        const bool started = app.Start(c.arguments);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(started, c.exitCode < 0) << what;
        if (!started) EXPECT_EQ(app.ExitCode(), c.exitCode) << what;
        EXPECT_EQ(app.MainFrame()->Children().size(), c.children) << what;
        EXPECT_EQ(prompter.Messages().size(), c.message ? 1u : 0u) << what;
        if (c.message && !prompter.Messages().empty()) {
            EXPECT_EQ(prompter.Messages()[0].text, c.message) << what;
        }
        EXPECT_EQ(err.find("Usage: flr ") != std::string::npos, c.usage) << what << "\n" << err;
        EXPECT_EQ(QFileInfo(pdf).size() > 1000, c.printed) << what;
        app.Shutdown();
    }
}

}  // namespace
}  // namespace flr

int main(int argc, char** argv)
{
    // One home for the whole run: the settings library fixes its paths on first use.
    QTemporaryDir home;
    flr::g_home = &home;
    const QByteArray path = home.path().toUtf8();
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/config");
    qputenv("XDG_DATA_HOME", path + "/data");
    qputenv("ODBCINI", path + "/.odbc.ini");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // A start without files begins a new show, which asks for its setup: take the defaults.
    flr::InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
