#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>

#include "app/updatesettings.h"
#include "base/settingsstore.h"
#include "support/hardwareemulator.h"
#include "support/scriptedprompter.h"
#include "ui/frames/preferencesdialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

// One stable link names a pseudo-terminal; COM2 is set to a device that has gone.
TEST(Preferences, CancelWritesNothingAndOkWritesTheChosenDevicesKeepingTheGoneOne)
{
    const fs::path root = testing::TempDir() + "/preferences-" + std::to_string(getpid());
    fs::remove_all(root);
    fs::create_directories(root / "by-id");
    test::HardwareEmulator pty;
    const std::string link = (root / "by-id" / "usb-Firing_Box").string();
    fs::create_symlink(pty.SlavePath(), link);
    test::ScriptedPrompter prompter;
    CSettingsStore store((root / "FLR.ini").string());
    store.WriteText("Ports/COM2", "/dev/ttyUSB7");
    CUpdateSettings update(store);
    const auto open = [&] {
        return std::make_unique<CPreferencesDialog>(
            update, store, nullptr,
            SerialDeviceFolders{(root / "by-id").string(), (root / "sys").string(), "/dev"});
    };

    auto dialog = open();
    dialog->PortBox(1)->setEditText("ttyS3");
    dialog->PortBox(2)->setCurrentIndex(0);
    dialog->AutoUpdateBox()->setChecked(true);
    dialog->reject();
    EXPECT_EQ(CSettingsStore(store.FilePath()).ReadText("Ports/COM1"), std::nullopt);

    dialog = open();
    EXPECT_EQ(dialog->Pages()->tabText(1), "Serial Ports");
    EXPECT_EQ(dialog->PortBox(1)->currentText(), "Automatic");
    EXPECT_EQ(dialog->PortBox(2)->currentText(), "/dev/ttyUSB7 (absent)");
    QComboBox* com3 = dialog->PortBox(3);
    const QString label = QString::fromStdString(link + " \u2192 " + pty.SlavePath());
    ASSERT_EQ(com3->itemText(2), label);
    com3->setCurrentIndex(2);
    EXPECT_EQ(dialog->PortStatus(3)->text(), "Ready");
    dialog->PortBox(4)->setEditText("(none)");
    // A device plugged in while the page is open shows after Refresh; the choices stay.
    fs::create_symlink(pty.SlavePath(), root / "by-id" / "usb-Another");
    dialog->RefreshButton()->click();
    EXPECT_EQ(com3->count(), 5);
    EXPECT_EQ(com3->currentText(), label);
    dialog->accept();

    EXPECT_TRUE(prompter.Messages().empty());
    CSettingsStore reread(store.FilePath());
    EXPECT_EQ(reread.ReadText("Ports/COM1"), std::nullopt);
    EXPECT_EQ(reread.ReadText("Ports/COM2"), "/dev/ttyUSB7");
    EXPECT_EQ(reread.ReadText("Ports/COM3"), link);
    EXPECT_EQ(reread.ReadText("Ports/COM4"), "");
    EXPECT_EQ(reread.ReadText("Settings/Update/AUTOUPDATE"), std::nullopt);
}

}  // namespace
}  // namespace flr
