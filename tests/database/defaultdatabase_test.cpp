#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "database/colortable.h"
#include "database/datasource.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace fs = std::filesystem;

namespace {

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

mode_t ModeOf(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

}  // namespace

using DefaultDatabaseTest = IsolatedHomeTest;

// cron and systemd start programs without HOME: the catalogue must still be the user's own,
// never one under a folder every user can write to.
TEST_F(DefaultDatabaseTest, WithoutHomeTheFolderComesFromThePasswordDatabase)
{
    const ScopedEnv noData("XDG_DATA_HOME", nullptr);
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_TRUE(user && user->pw_dir);
    const std::string expected =
        (fs::path(user->pw_dir) / ".local/share/Flarion/FLR/Database.sqlite").string();
    for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        const ScopedEnv env("HOME", home);
        EXPECT_EQ(DefaultDatabasePath(), expected) << (home ? home : "(unset)");
    }
}

TEST_F(DefaultDatabaseTest, TheFolderAndFileAreTheUsersAlone)
{
    const mode_t previous = ::umask(022);
    DBError error;
    const bool made = EnsureDefaultDatabase(&error);
    ::umask(previous);
    ASSERT_TRUE(made) << error.text;
    const fs::path file = DefaultDatabasePath();
    EXPECT_EQ(ModeOf(file), 0600u);
    EXPECT_EQ(ModeOf(file.parent_path()), 0700u);
    EXPECT_EQ(ModeOf(file.parent_path().parent_path()), 0700u);
}

// Programs started together on a fresh account each create the default database, open it and
// write: every write must land in the one database that remains.
TEST_F(DefaultDatabaseTest, ProgramsStartedTogetherShareOneDatabase)
{
    constexpr int kPrograms = 4;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    pid_t children[kPrograms];
    for (int i = 0; i < kPrograms; ++i) {
        children[i] = ::fork();
        ASSERT_GE(children[i], 0);
        if (children[i] == 0) {
            ::close(gate[1]);
            char go;
            (void)::read(gate[0], &go, 1);  // all start at once
            DBError ignored;
            CDatabase db;
            const bool ok = EnsureDefaultDatabase(&ignored) &&
                            db.OpenEx(SqliteConnectString(DefaultDatabasePath(), 20000)) &&
                            db.ExecuteSQL("INSERT INTO \"tbColors\" (\"Color\") VALUES ('program " +
                                          std::to_string(i) + "')");
            db.Close();
            ::_exit(ok ? 0 : 1);
        }
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    CDatabase db;
    DBError error;
    ASSERT_TRUE(db.OpenEx(SqliteConnectString(DefaultDatabasePath()), &error)) << error.text;
    CColorTable colours(&db);
    ASSERT_TRUE(colours.OpenTable());
    int written = 0;
    for (; !colours.IsEOF(); colours.MoveNext()) written += colours.m_Color.starts_with("program ");
    EXPECT_EQ(written, kPrograms);
    // No half-made files are left beside it.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(DefaultDatabasePath()).parent_path()))
        files += entry.path().filename() != "Database.sqlite";
    EXPECT_EQ(files, 0);
}

}  // namespace flr::test
