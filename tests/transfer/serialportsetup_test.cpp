#include "transfer/serialportsetup.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/settingsstore.h"
#include "support/hardwareemulator.h"
#include "transfer/devicecheck.h"

namespace flr {
namespace {

namespace fs = std::filesystem;
using Kind = CSerialPortSetup::Kind;

// The state CheckDevice finds from a child process (as `uid` unless -1): the lock holder must
// be another process, and root passes every permission test.
DeviceState CheckInChild(const std::string& path, uid_t uid = uid_t(-1))
{
    const pid_t child = fork();
    if (child == 0) {
        if (uid != uid_t(-1) && (setgroups(0, nullptr) || setgid(uid) || setuid(uid))) _exit(99);
        _exit(static_cast<int>(CheckDevice(path).state));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<DeviceState>(WEXITSTATUS(status));
}

// Temporary folders for the kernel's tty list, /dev and /dev/serial/by-id, whose links name
// pseudo-terminals (idle emulators).
class SerialPortSetupTest : public testing::Test {
protected:
    SerialPortSetupTest()
    {
        fs::remove_all(root);
        for (const char* name : {"ttyACM0", "ttyUSB2"}) {
            fs::create_directories(root / "sys" / name / "device");
        }
        fs::create_directories(root / "by-id");
        fs::create_symlink(ptyB.SlavePath(), Link("usb-B"));
        fs::create_symlink(ptyA.SlavePath(), Link("usb-A"));
        fs::create_symlink(root / "gone", Link("usb-unplugged"));
    }
    std::string Link(const char* name) const { return (root / "by-id" / name).string(); }
    std::string Dev(const char* name) const { return (root / "dev" / name).string(); }

    const fs::path root = testing::TempDir() + "/serialports-" + std::to_string(getpid());
    test::HardwareEmulator ptyA, ptyB;
    SerialDeviceFolders folders{(root / "by-id").string(), (root / "sys").string(),
                                (root / "dev").string()};
    CSettingsStore store{(root / "FLR.ini").string()};
};

TEST_F(SerialPortSetupTest, StableNamesFirstThenKernelNamesAndChosenAbsentDevicesStay)
{
    store.WriteText("Ports/COM2", "/dev/ttyUSB9");
    store.WriteText("Ports/COM3", ptyA.SlavePath());
    CSerialPortSetup setup(store, folders);
    std::vector<std::string> labels;
    for (const SerialDeviceEntry& d : setup.Devices()) labels.push_back(d.Label());
    EXPECT_EQ(labels, (std::vector<std::string>{Link("usb-A") + " \u2192 " + ptyA.SlavePath(),
                                                Link("usb-B") + " \u2192 " + ptyB.SlavePath(),
                                                Dev("ttyUSB2"), Dev("ttyACM0"),
                                                "/dev/ttyUSB9 (absent)", ptyA.SlavePath()}));
    EXPECT_EQ(setup.ResolvedDevice(4), std::nullopt);  // Automatic, and no fourth device
    EXPECT_EQ(setup.StatusText(1),
              Dev("ttyUSB2") + ": not present (unplugged, or another name now)");
    EXPECT_EQ(setup.StatusText(3), "Ready");
    // A stable link and the name it points to are one device.
    setup.SetChoice(1, setup.ChoiceForText(labels[0]));
    EXPECT_EQ(setup.StatusText(3), "Ready; the same device as COM1");
}

TEST_F(SerialPortSetupTest, TextsBecomeChoicesAndOnlyChangesAreWritten)
{
    store.WriteText("Ports/COM1", "/dev/ttyS0");
    store.WriteText("Ports/COM2", "");
    CSerialPortSetup setup(store, folders);
    const std::string linkLabel = Link("usb-B") + " \u2192 " + ptyB.SlavePath();
    const std::pair<std::string, CSerialPortSetup::Choice> cases[] = {
        {"Automatic", {Kind::Automatic, ""}},         {"(none)", {Kind::None, ""}},
        {linkLabel, {Kind::Device, Link("usb-B")}},   {"  ", {Kind::None, ""}},
        {" /dev/ttyX ", {Kind::Device, "/dev/ttyX"}}, {"ttyUSB5", {Kind::Device, Dev("ttyUSB5")}}};
    for (const auto& [text, choice] : cases) EXPECT_EQ(setup.ChoiceForText(text), choice) << text;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(setup.TextForChoice(cases[i].second), cases[i].first);

    // Another program's change to a port left alone survives a save.
    CSettingsStore(store.FilePath()).WriteText("Ports/COM2", "/dev/other");
    setup.SetChoice(1, {Kind::Automatic, ""});
    setup.SetChoice(3, {Kind::None, ""});
    setup.SetChoice(4, setup.ChoiceForText(ptyB.SlavePath()));
    ASSERT_TRUE(setup.Save(store));
    CSettingsStore reread(store.FilePath());
    EXPECT_EQ(reread.ReadText("Ports/COM1"), std::nullopt);
    EXPECT_EQ(reread.ReadText("Ports/COM2"), "/dev/other");
    EXPECT_EQ(reread.ReadText("Ports/COM3"), "");
    EXPECT_EQ(reread.ReadText("Ports/COM4"), ptyB.SlavePath());
    EXPECT_EQ(setup.StatusText(3), "Not offered for downloads");
}

TEST(DeviceCheck, StatesOfPseudoTerminalsAndFilesAndTheirTexts)
{
    test::HardwareEmulator pty;
    const std::string path = pty.SlavePath();
    EXPECT_EQ(CheckDevice(path).state, DeviceState::Ready);
    EXPECT_EQ(CheckDevice("/dev/no-such-tty").state, DeviceState::Absent);
    EXPECT_EQ(CheckDevice("/proc/self/status").state, DeviceState::NotSerial);

    // This process's own lock is no obstacle; another's is.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(CheckDevice(path).state, DeviceState::Ready);
    EXPECT_EQ(CheckInChild(path), DeviceState::InUse);
    close(fd);

    ASSERT_EQ(chmod(path.c_str(), geteuid() == 0 ? 0600 : 0), 0);
    EXPECT_EQ(geteuid() == 0 ? CheckInChild(path, 65534) : CheckDevice(path).state,
              DeviceState::NoPermission);

    const std::pair<DeviceCheck, std::string> texts[] = {
        {{DeviceState::NoPermission, EACCES, "", false, 0},
         "no permission: join the group \"dialout\" (sudo adduser $USER dialout), then log out "
         "and in again"},
        {{DeviceState::NoPermission, EACCES, "uucp", true, 0},
         "no permission: you are in the group \"uucp\" since this session started; log out and "
         "in again"},
    };
    for (const auto& [check, text] : texts) EXPECT_EQ(DescribeDeviceCheck(check), text);
}

}  // namespace
}  // namespace flr
