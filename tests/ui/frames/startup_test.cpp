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

// Only a database older than 2.9 ends start-up; one that cannot be opened has said so and
// start-up goes on (the connection's own tests check the messages). A start without files
// begins a new show.
TEST_F(StartupTest, TheDatabaseVersionDecidesWhetherStartUpGoesOn)
{
    struct Case {
        const char* change;  // nullptr: no database file at all
        bool starts;
        size_t messages;
    };
    const Case cases[] = {
        {"UPDATE tbVersion SET Major = 2, Minor = 8", false, 1},
        {"UPDATE tbVersion SET Major = 3, Minor = 0", true, 0},
        {nullptr, true, 2},
    };
    for (const Case& c : cases) {
        const std::string label = c.change ? c.change : "no file";
        UseDatabase(c.change ? MakeDatabase("db.db", c.change)
                             : QDir(g_home->path()).filePath("gone.db").toStdString());
        CFLRApp app;
        test::ScriptedPrompter prompter;  // after the app, which installs the program's own
        app.SetDataSourceChooser([] { return std::nullopt; });
        EXPECT_EQ(app.Start({"flr"}), c.starts) << label;
        EXPECT_EQ(prompter.Messages().size(), c.messages) << label;
        EXPECT_EQ(app.MainFrame() && app.MainFrame()->isVisible(), c.starts) << label;
        if (c.starts) {
            ASSERT_EQ(app.MainFrame()->Children().size(), 1u) << label;
            EXPECT_EQ(app.MainFrame()->Children()[0]->Title(), "FLR1") << label;
        }
        app.Shutdown();
    }
}

// The print verbs print the field list and end without a window unless a show opens too. They
// read `--opt=value` as `--opt value`; an unknown option ends start-up with exit code 2 and the
// usage on stderr, before any file is opened or printed.
TEST_F(StartupTest, TheCommandLineOpensAndPrintsOrEndsStartUp)
{
    UseDatabase(MakeDatabase("print.db", nullptr));
    const QString pdf = QDir(g_home->path()).filePath(QStringLiteral("field.pdf"));
    const QString show = FLR_SAMPLE_SHOW;
    const std::string kNeedsFile = "--print-to needs a printer and a show file.";
    struct Case {
        QStringList arguments;
        int exitCode;  // -1: the program goes on; 0 or -1: the field list was printed
        size_t children;
        std::string message;  // the one message shown, or none
        bool usage;           // the usage text on stderr
    };
    const Case cases[] = {
        {{"flr", "--print-to", pdf, show}, 0, 0, "", false},
        {{"flr", show, "--print-to", pdf, show}, -1, 1, "", false},
        // The printer takes the file after it; the next one opens.
        {{"flr", "--print-to=" + pdf, show, show}, -1, 1, "", false},
        {{"flr", "--print-to", "No Such Printer", show},
         1,
         0,
         "The printer \"No Such Printer\" is not installed, so \"" + show.toStdString() +
             "\" cannot be printed.",
         false},
        {{"flr", "--print"}, 1, 0, "--print needs a show file.", false},
        {{"flr", "--print-to", pdf}, 1, 0, kNeedsFile, false},
        {{"flr", show, "--print-to"}, 1, 1, kNeedsFile, false},
        {{"flr", "--bogus", show}, 2, 0, "", true},
        {{"flr", show, "-x"}, 2, 1, "", true},
        {{"flr", "--print-to=" + pdf, "--unknown", show}, 2, 0, "", true},
    };
    for (const Case& c : cases) {
        const std::string what = c.arguments.join(' ').toStdString();
        QFile::remove(pdf);
        CFLRApp app;
        test::ScriptedPrompter prompter;
        testing::internal::CaptureStderr();
        const bool started = app.Start(c.arguments);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(started ? -1 : app.ExitCode(), c.exitCode) << what;
        EXPECT_EQ(app.MainFrame()->isVisible(), started) << what;
        EXPECT_EQ(app.MainFrame()->Children().size(), c.children) << what;
        ASSERT_EQ(prompter.Messages().size(), c.message.empty() ? 0u : 1u) << what;
        if (!c.message.empty()) {
            EXPECT_EQ(prompter.Messages()[0].text, c.message) << what;
        }
        EXPECT_EQ(err.find("Usage: flr ") != std::string::npos, c.usage) << what << "\n" << err;
        EXPECT_EQ(QFileInfo(pdf).size() > 1000, c.exitCode <= 0) << what;
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
