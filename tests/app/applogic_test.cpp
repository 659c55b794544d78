#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <filesystem>
#include <set>
#include <tuple>

#include "app/commands.h"
#include "app/recentfilelist.h"
#include "app/updatecheck.h"
#include "app/updatesettings.h"
#include "app/windowplacement.h"
#include "base/settingsstore.h"
#include "support/scriptedprompter.h"

namespace flr {
namespace {

class TempStore : public testing::Test {
protected:
    QTemporaryDir m_dir;
    const std::string m_path = m_dir.filePath("FLR.ini").toStdString();
};

TEST_F(TempStore, AutoUpdateIsOnOnlyForExactlyYesAndAnUnchangedValueIsNotWritten)
{
    CSettingsStore store(m_path);
    CUpdateSettings settings(store);
    EXPECT_FALSE(settings.GetAutoUpdate());
    EXPECT_TRUE(settings.Save());
    EXPECT_FALSE(std::filesystem::exists(m_path));
    settings.SetAutoUpdate(true);
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(*store.ReadText("Settings/Update/AUTOUPDATE"), "yes");
    settings.SetAutoUpdate(false);
    settings.Save();
    EXPECT_EQ(*store.ReadText("Settings/Update/AUTOUPDATE"), "no");
    for (const auto& [stored, expected] : std::vector<std::pair<const char*, bool>>{
             {"yes", true}, {"Yes", false}, {"YES", false}, {"", false}}) {
        store.WriteText("Settings/Update/AUTOUPDATE", stored);
        EXPECT_EQ(CUpdateSettings(store).GetAutoUpdate(), expected) << stored;
    }
}

TEST_F(TempStore, RecentFilesKeepTheNewestFour)
{
    {
        CSettingsStore store(m_path);
        CRecentFileList recent(store);
        for (const char* f : {"/a.flr", "/b.flr", "/c.flr", "/d.flr", "/e.flr", "/c.flr"}) {
            recent.Add(f);
        }
        EXPECT_EQ(recent.Files(),
                  (std::vector<std::string>{"/c.flr", "/e.flr", "/d.flr", "/b.flr"}));
        recent.Remove("/e.flr");
    }
    CSettingsStore store(m_path);
    CRecentFileList recent(store);
    EXPECT_EQ(recent.Files(), (std::vector<std::string>{"/c.flr", "/d.flr", "/b.flr"}));
}

TEST(WindowPlacement, RoundTripsAndRefusesDamagedRecords)
{
    const WindowPlacement p{.showState = WindowPlacement::kShowMaximized,
                            .left = 10,
                            .top = 20,
                            .right = 810,
                            .bottom = 620};
    const auto bytes = p.Encode();
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes[0], 44);  // the record starts with its own length
    const auto back = WindowPlacement::Decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->right, 810);
    EXPECT_EQ(back->showState, WindowPlacement::kShowMaximized);

    EXPECT_FALSE(WindowPlacement::Decode({}));
    EXPECT_FALSE(
        WindowPlacement::Decode(std::vector<unsigned char>(bytes.begin(), bytes.end() - 1)));
    auto wrongLength = bytes;
    wrongLength[0] = 40;
    EXPECT_FALSE(WindowPlacement::Decode(wrongLength));
    WindowPlacement empty;  // zero-sized rectangle
    EXPECT_FALSE(WindowPlacement::Decode(empty.Encode()));
}

TEST(UpdateReply, ParsesTheThreeValuesInOrder)
{
    const auto info =
        ParseUpdateLine("FILEVERS=[2.1.0]PRODVERS=[2.1]DLOADURL=[https://x.test/flr.deb]", "2.0.0");
    ASSERT_TRUE(info);
    EXPECT_EQ(std::tie(info->fileVersion, info->productVersion, info->downloadUrl, info->newer),
              std::make_tuple("2.1.0", "2.1", "https://x.test/flr.deb", true));

    // Any difference counts, not an ordering; an equal file version is not newer even when
    // the product version differs.
    EXPECT_TRUE(ParseUpdateLine("FILEVERS=[1.0]PRODVERS=[]DLOADURL=[u]", "2.0")->newer);
    EXPECT_FALSE(ParseUpdateLine("FILEVERS=[2.0]PRODVERS=[9]DLOADURL=[u]", "2.0")->newer);
    // Keys are searched after the previous value.
    const auto later = ParseUpdateLine(
        "DLOADURL=[https://early.test]FILEVERS=[3]PRODVERS=[p]DLOADURL=[https://late.test/f]", "");
    EXPECT_EQ(later->downloadUrl, "https://late.test/f");
    // Only an https address is offered: no other scheme, no markup, no blanks.
    for (const char* hostile :
         {"http://plain.test/f", "file:///etc/passwd", "javascript:alert(1)",
          "https://x.test/<a href=\"y\">", "https:///nohost", "https://x.test/a b"}) {
        const std::string line = std::string("FILEVERS=[3]PRODVERS=[]DLOADURL=[") + hostile + "]";
        EXPECT_EQ(ParseUpdateLine(line, "")->downloadUrl, "") << hostile;
    }
    EXPECT_FALSE(ParseUpdateLine("<html>Not Found</html>", "2.0"));
    EXPECT_EQ(ParseUpdateLine("FILEVERS=[2.2", "2.0")->fileVersion, "2.2");

    EXPECT_EQ(BuildUpdateQuery("http://h/p", "1.2.3", "1.2"), "http://h/p?fv=1.2.3&pv=1.2");
    EXPECT_EQ(BuildUpdateQuery("http://h/p", "1.2.3", ""), "http://h/p?fv=1.2.3");
}

// A one-shot HTTP server on 127.0.0.1 that answers with `reply` (and keeps the connection
// open when `hang` is set).
class TinyServer {
public:
    TinyServer(QByteArray reply, bool hang) : m_reply(std::move(reply)), m_hang(hang)
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                m_request += socket->readAll();
                if (!m_request.contains("\r\n\r\n")) return;
                socket->write(m_reply);
                socket->flush();
                if (!m_hang) socket->disconnectFromHost();
            });
        });
    }
    QString Url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/flr").arg(m_server.serverPort());
    }
    const QByteArray& Request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_reply;
    bool m_hang;
    QByteArray m_request;
};

class UpdateCheckTest : public TempStore {
protected:
    std::optional<UpdateInfo> Check(const QString& url, int timeoutMs = 3000)
    {
        CSettingsStore store(m_path);
        store.WriteText("Settings/Update/URL", url.toStdString());
        return CheckForUpdate(store, "2.0.0", "2.0", timeoutMs);
    }
};

// The server's line is read; failures are silent and bounded.
TEST_F(UpdateCheckTest, ReadsTheServersLineAndFailsQuietly)
{
    test::ScriptedPrompter prompter;
    {
        TinyServer server(
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
            "FILEVERS=[2.1.0]PRODVERS=[2.1]DLOADURL=[https://d.test/flr]\r\n",
            false);
        const auto info = Check(server.Url());
        ASSERT_TRUE(info);
        EXPECT_EQ(info->downloadUrl, "https://d.test/flr");
        EXPECT_TRUE(server.Request().startsWith("GET /flr?fv=2.0.0&pv=2.0 "));
    }
    // Garbled, missing, endless, a line longer than the server's answer ever is (refused and
    // read no further), headers and then nothing on an open connection.
    const std::tuple<QByteArray, bool, int> failures[] = {
        {"HTTP/1.0 200 OK\r\n\r\n<html>oops</html>\n", false, 3000},
        {"HTTP/1.0 404 Not Found\r\n\r\nFILEVERS=[9]\n", false, 3000},
        {"HTTP/1.0 200 OK\r\n\r\nFILEVERS=[9]" + QByteArray(200000, 'x'), true, 3000},
        {"HTTP/1.0 200 OK\r\n\r\nFILEVERS=[9]" + QByteArray(2000, 'x') + "\n", false, 3000},
        {"HTTP/1.0 200 OK\r\n\r\nFILEVERS=[9", true, 300}};
    for (const auto& [reply, hang, timeoutMs] : failures) {
        TinyServer server(reply, hang);
        EXPECT_FALSE(Check(server.Url(), timeoutMs)) << reply.left(40).toStdString();
    }
    // Nobody listening.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    EXPECT_FALSE(Check(QStringLiteral("http://127.0.0.1:%1/flr").arg(port)));
    EXPECT_TRUE(prompter.Messages().empty());

    // Without a version of our own there is nothing to ask.
    CSettingsStore store(m_path);
    EXPECT_FALSE(CheckForUpdate(store, "", "", 100));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "Unable to retrieve version information");
    EXPECT_EQ(prompter.Messages()[0].caption, "Version Error");
}

TEST(Commands, EveryMenuCommandHasAPrompt)
{
    std::set<int> ids;
    std::function<void(const std::vector<MenuEntry>&)> collect = [&](const auto& entries) {
        for (const MenuEntry& e : entries) {
            if (e.IsPopup())
                collect(e.entries);
            else if (!e.IsSeparator())
                ids.insert(e.id);
        }
    };
    for (const auto* bar : {&MenuBarWithoutShow(), &MenuBarWithShow(), &ContextMenus()}) {
        for (const Menu& m : *bar) collect(m.entries);
    }
    for (int id : ids) EXPECT_FALSE(CommandPrompt(id).empty()) << id;
}

}  // namespace
}  // namespace flr

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
