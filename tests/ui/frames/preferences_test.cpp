#include <fcntl.h>
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
#include "support/scriptedprompter.h"
#include "ui/frames/preferencesdialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

// The "Serial Ports" page on a machine of temporary folders whose one stable link names a
// pseudo-terminal; COM2 is set to a device that has gone.
class PreferencesTest : public testing::Test {
protected:
    PreferencesTest()
    {
        grantpt(m_master);
        unlockpt(m_master);
        fs::remove_all(m_root);
        fs::create_directories(m_root / "by-id");
        fs::create_directories(m_root / "sys");
        fs::create_symlink(ptsname(m_master), Link("usb-Firing_Box-if00"));
        m_store.WriteText("Ports/COM2", "/dev/ttyUSB7");
    }
    ~PreferencesTest() override { close(m_master); }
    std::string Link(const char* name) const { return (m_root / "by-id" / name).string(); }
    std::unique_ptr<CPreferencesDialog> Open()
    {
        auto dialog = std::make_unique<CPreferencesDialog>(
            m_update, m_store, nullptr,
            SerialDeviceFolders{(m_root / "by-id").string(), (m_root / "sys").string(), "/dev"});
        return dialog;
    }
    // What a user sees chosen for COMn.
    static QString Chosen(const CPreferencesDialog& d, unsigned n)
    {
        return d.PortBox(n)->currentText();
    }

    const fs::path m_root = testing::TempDir() + "/preferences-" + std::to_string(getpid());
    int m_master = posix_openpt(O_RDWR | O_NOCTTY);
    test::ScriptedPrompter m_prompter;
    CSettingsStore m_store{(m_root / "FLR.ini").string()};
    CUpdateSettings m_update{m_store};
};

TEST_F(PreferencesTest, ChosenDeviceIsWrittenOnOkAndTheGoneOneIsKept)
{
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "FLR Preferences");
    EXPECT_EQ(dialog->Pages()->tabText(1), "Serial Ports");
    EXPECT_EQ(Chosen(*dialog, 1), "Automatic");
    EXPECT_EQ(Chosen(*dialog, 2), "/dev/ttyUSB7 (absent)");
    EXPECT_EQ(dialog->PortStatus(1)->text(), "No serial device found for it");

    // The device list: stable link (where it points), then the absent choice.
    const QString link = QString::fromStdString(Link("usb-Firing_Box-if00")) + " \u2192 " +
                         QString::fromLatin1(ptsname(m_master));
    QComboBox* com3 = dialog->PortBox(3);
    ASSERT_EQ(com3->count(), 4);
    EXPECT_EQ(com3->itemText(2), link);
    com3->setCurrentIndex(2);
    EXPECT_EQ(dialog->PortStatus(3)->text(), "Ready");
    dialog->PortBox(4)->setEditText("(none)");

    // A device plugged in while the page is open shows after Refresh; choices stay.
    fs::create_symlink("/dev/no-such-tty", Link("usb-Later"));
    fs::create_symlink(ptsname(m_master), Link("usb-Another"));
    dialog->RefreshButton()->click();
    EXPECT_EQ(com3->count(), 5);
    EXPECT_EQ(Chosen(*dialog, 3), link);

    dialog->accept();
    EXPECT_TRUE(m_prompter.Messages().empty());
    CSettingsStore reread(m_store.FilePath());
    EXPECT_EQ(reread.ReadText("Ports/COM1"), std::nullopt);
    EXPECT_EQ(reread.ReadText("Ports/COM2"), "/dev/ttyUSB7");
    EXPECT_EQ(reread.ReadText("Ports/COM3"), Link("usb-Firing_Box-if00"));
    EXPECT_EQ(reread.ReadText("Ports/COM4"), "");
}

TEST_F(PreferencesTest, CancelWritesNothing)
{
    auto dialog = Open();
    dialog->PortBox(1)->setEditText("ttyS3");
    dialog->PortBox(2)->setCurrentIndex(0);
    dialog->AutoUpdateBox()->setChecked(true);
    dialog->reject();
    CSettingsStore reread(m_store.FilePath());
    EXPECT_EQ(reread.ReadText("Ports/COM1"), std::nullopt);
    EXPECT_EQ(reread.ReadText("Ports/COM2"), "/dev/ttyUSB7");
    EXPECT_EQ(reread.ReadText("Settings/Update/AUTOUPDATE"), std::nullopt);
}

}  // namespace
}  // namespace flr
