#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/settingsstore.h"
#include "database/database.h"
#include "support/scriptedprompter.h"
#include "ui/frames/mainframe.h"

namespace flr::test {

// A shown main frame with settings in a folder of the test's own, optionally on a fresh
// SQLite product database.
class FrameTest : public testing::Test {
protected:
    void StartFrame(bool withDatabase, bool restoreLayout = false);
    void TearDown() override;

    std::filesystem::path m_dir;
    ScriptedPrompter m_prompter;
    CDatabase m_db;
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CUpdateSettings> m_update;
    std::unique_ptr<CRecentFileList> m_recent;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace flr::test
