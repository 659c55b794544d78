#include "base/settingsstore.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace flr {

namespace fs = std::filesystem;

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("flr-settings-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(SettingsStoreTest, KeepsTextsAndBytesAcrossInstances)
{
    const std::string path = (m_dir / "FLR.ini").string();
    {
        CSettingsStore store(path);
        EXPECT_FALSE(store.ReadText("Settings/DBSTRING"));
        EXPECT_TRUE(store.WriteText("Settings/DBSTRING", "DSN=FLR Database;UID=\u00e9"));
        EXPECT_TRUE(store.WriteText("Settings/Update/AUTOUPDATE", "yes"));
        EXPECT_TRUE(store.WriteBytes("MainFrame/PLACEMENT", {0, 1, 2, 255}));
    }
    CSettingsStore store(path);
    EXPECT_EQ(*store.ReadText("Settings/DBSTRING"), "DSN=FLR Database;UID=\u00e9");
    EXPECT_EQ(*store.ReadText("Settings/Update/AUTOUPDATE"), "yes");
    EXPECT_EQ(*store.ReadBytes("MainFrame/PLACEMENT"), (std::vector<unsigned char>{0, 1, 2, 255}));
    EXPECT_TRUE(store.Remove("Settings/Update/AUTOUPDATE"));
    EXPECT_FALSE(store.ReadText("Settings/Update/AUTOUPDATE"));
}

TEST_F(SettingsStoreTest, UserStoreFollowsXdgConfigHomeAndWithoutHomeThePasswordDatabase)
{
    ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    EXPECT_EQ(CSettingsStore().FilePath(), (m_dir / "Flarion" / "FLR.ini").string());

    // Started by cron or systemd: no HOME, no XDG_CONFIG_HOME. Never "/" or /tmp.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    const std::string path = CSettingsStore().FilePath();
    home.empty() ? ::unsetenv("HOME") : ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(path, std::string(user->pw_dir) + "/.config/Flarion/FLR.ini");
}

TEST_F(SettingsStoreTest, AnUnwritableStoreSaysSo)
{
    // A file where the store's folder should be: nobody, root included, can write there.
    const fs::path blocker = m_dir / "blocker";
    std::ofstream{blocker};
    CSettingsStore store((blocker / "FLR.ini").string());
    EXPECT_FALSE(store.WriteText("Settings/DBSTRING", "DSN=x"));
}

}  // namespace flr
