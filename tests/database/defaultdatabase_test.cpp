#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "database/colortable.h"
#include "database/datasource.h"
#include "support/dbfixture.h"

namespace flr::test {

namespace fs = std::filesystem;

using DefaultDatabaseTest = IsolatedHomeTest;

// cron and systemd start programs without HOME: the catalogue must still be the user's own,
// never one under a folder every user can write to. (The fixture sets HOME again.)
TEST_F(DefaultDatabaseTest, WithoutHomeTheFolderComesFromThePasswordDatabase)
{
    ::unsetenv("XDG_DATA_HOME");
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_TRUE(user && user->pw_dir);
    for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        home ? ::setenv("HOME", home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(DefaultDatabasePath(),
                  (fs::path(user->pw_dir) / ".local/share/Flarion/FLR/Database.sqlite").string());
    }
}

// Programs started together on a fresh account each create the default database, open it and
// write: every write must land in the one database that remains, which is the user's alone.
TEST_F(DefaultDatabaseTest, ProgramsStartedTogetherShareOneDatabase)
{
    constexpr int kPrograms = 4;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const mode_t umask = ::umask(022);
    for (int i = 0; i < kPrograms; ++i) {
        if (::fork() != 0) continue;
        char go;
        ::close(gate[1]);
        (void)::read(gate[0], &go, 1);  // all start at once, when the gate closes
        CDatabase db;
        ::_exit(EnsureDefaultDatabase(nullptr) &&
                        db.OpenEx(SqliteConnectString(DefaultDatabasePath(), 20000)) &&
                        db.ExecuteSQL("INSERT INTO \"tbColors\" (\"Color\") VALUES ('program')")
                    ? 0
                    : 1);
    }
    ::umask(umask);
    ::close(gate[0]);
    ::close(gate[1]);
    for (int i = 0; i < kPrograms; ++i) {
        int status = 0;
        ASSERT_GT(::wait(&status), 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    CDatabase db;
    ASSERT_TRUE(db.OpenEx(SqliteConnectString(DefaultDatabasePath())));
    CColorTable colours(&db);
    ASSERT_TRUE(colours.OpenTable());
    int written = 0;
    for (; !colours.IsEOF(); colours.MoveNext()) written += colours.m_Color == "program";
    EXPECT_EQ(written, kPrograms);
    // No half-made files are left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(DefaultDatabasePath()).parent_path()),
                            fs::directory_iterator()),
              1);
    fs::path path = DefaultDatabasePath();
    for (const mode_t mode : {0600, 0700, 0700}) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode) << path;
        path = path.parent_path();
    }
}

}  // namespace flr::test
