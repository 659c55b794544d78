#include "support/framefixture.h"

#include <unistd.h>

#include <QApplication>

#include "database/datasource.h"

namespace flr::test {

namespace fs = std::filesystem;

void FrameTest::StartFrame(bool withDatabase, bool restoreLayout)
{
    m_dir =
        fs::temp_directory_path() / ("flr-frame-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    if (withDatabase) {
        const std::string path = (m_dir / "db.sqlite").string();
        DBError error;
        ASSERT_TRUE(CreateSqliteDatabase(path, &error)) << error.text;
        ASSERT_TRUE(m_db.OpenEx(SqliteConnectString(path), &error)) << error.text;
    }
    m_store = std::make_unique<CSettingsStore>((m_dir / "FLR.ini").string());
    m_update = std::make_unique<CUpdateSettings>(*m_store);
    m_recent = std::make_unique<CRecentFileList>(*m_store);
    m_frame = std::make_unique<CMainFrame>(*m_store, *m_update, *m_recent,
                                           withDatabase ? &m_db : nullptr);
    if (restoreLayout) m_frame->RestoreLayout();
    m_frame->show();
    QApplication::processEvents();
}

void FrameTest::TearDown()
{
    m_frame.reset();
    m_db.Close();
    fs::remove_all(m_dir);
}

}  // namespace flr::test
