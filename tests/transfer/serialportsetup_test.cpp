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
#include <fstream>
#include <functional>

#include "base/settingsstore.h"
#include "transfer/devicecheck.h"

namespace flr {
namespace {

namespace fs = std::filesystem;
using Kind = CSerialPortSetup::Kind;

// A pseudo-terminal standing in for a serial device.
struct Pty {
    Pty() : master(posix_openpt(O_RDWR | O_NOCTTY))
    {
        grantpt(master);
        unlockpt(master);
        path = ptsname(master);
    }
    ~Pty() { close(master); }
    int master;
    std::string path;
};

// Runs `check` in a child process (as `uid` when not -1) and returns the state it found: the
// lock holder must be another process, and root passes every permission test.
DeviceState InChild(const std::function<DeviceState()>& check, uid_t uid = uid_t(-1))
{
    const pid_t child = fork();
    if (child == 0) {
        if (uid != uid_t(-1) &&
            (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0))
            _exit(99);
        _exit(static_cast<int>(check()));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<DeviceState>(WEXITSTATUS(status));
}

// A machine of temporary folders: the kernel's tty list, /dev and /dev/serial/by-id.
class SerialPortSetupTest : public testing::Test {
protected:
    SerialPortSetupTest()
    {
        fs::remove_all(root);
        for (const auto& [name, type] : {std::pair{"ttyS0", "0"},
                                         {"ttyS1", "4"},
                                         {"ttyUSB10", ""},
                                         {"ttyACM0", ""},
                                         {"ttyUSB2", ""}}) {
            fs::create_directories(root / "sys" / name / "device");
            if (*type) std::ofstream(root / "sys" / name / "type") << type << "\n";
        }
        fs::create_directories(root / "sys" / "tty1");  // a virtual terminal
        fs::create_directories(root / "dev");
        fs::create_directories(root / "by-id");
        fs::create_symlink(ptyB.path, root / "by-id" / "usb-FTDI_B-port0");
        fs::create_symlink(ptyA.path, root / "by-id" / "usb-FTDI_A-port0");
        fs::create_symlink(root / "gone", root / "by-id" / "usb-unplugged");
        folders = {(root / "by-id").string(), (root / "sys").string(), (root / "dev").string()};
    }
    std::string Link(const char* name) const { return (root / "by-id" / name).string(); }
    std::string Dev(const char* name) const { return (root / "dev" / name).string(); }

    const fs::path root = testing::TempDir() + "/serialports-" + std::to_string(getpid());
    Pty ptyA, ptyB;
    SerialDeviceFolders folders;
    CSettingsStore store{(root / "FLR.ini").string()};
};

TEST_F(SerialPortSetupTest, StableNamesFirstThenUsbAcmOnboardAndChosenAbsentDevicesStay)
{
    store.WriteText("Ports/COM2", "/dev/ttyUSB9");
    store.WriteText("Ports/COM3", ptyA.path);
    CSerialPortSetup setup(store, folders);
    std::vector<std::string> labels;
    for (const SerialDeviceEntry& d : setup.Devices()) labels.push_back(d.Label());
    EXPECT_EQ(labels, (std::vector<std::string>{Link("usb-FTDI_A-port0") + " \u2192 " + ptyA.path,
                                                Link("usb-FTDI_B-port0") + " \u2192 " + ptyB.path,
                                                Dev("ttyUSB2"), Dev("ttyUSB10"), Dev("ttyACM0"),
                                                Dev("ttyS1"), "/dev/ttyUSB9 (absent)", ptyA.path}));
    // Automatic counts the kernel's names as the download window does.
    EXPECT_EQ(setup.ResolvedDevice(1), Dev("ttyUSB2"));
    EXPECT_EQ(setup.ResolvedDevice(4), Dev("ttyS1"));
    EXPECT_EQ(setup.TextForChoice(setup.GetChoice(2)), "/dev/ttyUSB9 (absent)");
    EXPECT_EQ(setup.StatusText(2), "Not present (unplugged, or another name now)");
    EXPECT_EQ(setup.StatusText(3), "Ready");
    EXPECT_EQ(setup.StatusText(1),
              Dev("ttyUSB2") + ": not present (unplugged, or another name now)");
    // A port on the device a stable link names is the same device.
    setup.SetChoice(1, setup.ChoiceForText(labels[0]));
    EXPECT_EQ(setup.StatusText(3), "Ready; the same device as COM1");
}

TEST_F(SerialPortSetupTest, TextsBecomeChoicesAndOnlyChangesAreWritten)
{
    store.WriteText("Ports/COM1", "/dev/ttyS0");
    store.WriteText("Ports/COM2", "");
    CSerialPortSetup setup(store, folders);
    const struct {
        std::string text;
        CSerialPortSetup::Choice choice;
    } cases[] = {{"Automatic", {Kind::Automatic, ""}},
                 {"(none)", {Kind::None, ""}},
                 {"  ", {Kind::None, ""}},
                 {" /dev/ttyX ", {Kind::Device, "/dev/ttyX"}},
                 {"ttyUSB5", {Kind::Device, Dev("ttyUSB5")}},
                 {Link("usb-FTDI_B-port0") + " \u2192 " + ptyB.path,
                  {Kind::Device, Link("usb-FTDI_B-port0")}}};
    for (const auto& c : cases) EXPECT_EQ(setup.ChoiceForText(c.text), c.choice) << c.text;
    for (const auto& c : {cases[0], cases[1], cases[5]}) {
        EXPECT_EQ(setup.TextForChoice(c.choice), c.text);
    }

    // Another program's change to a port left alone survives a save.
    CSettingsStore(store.FilePath()).WriteText("Ports/COM2", "/dev/other");
    setup.SetChoice(1, {Kind::Automatic, ""});
    setup.SetChoice(3, {Kind::None, ""});
    setup.SetChoice(4, setup.ChoiceForText(ptyB.path));
    ASSERT_TRUE(setup.Save(store));
    CSettingsStore reread(store.FilePath());
    EXPECT_EQ(reread.ReadText("Ports/COM1"), std::nullopt);
    EXPECT_EQ(reread.ReadText("Ports/COM2"), "/dev/other");
    EXPECT_EQ(reread.ReadText("Ports/COM3"), "");
    EXPECT_EQ(reread.ReadText("Ports/COM4"), ptyB.path);
    EXPECT_EQ(setup.StatusText(3), "Not offered for downloads");
}

TEST(DeviceCheck, StatesOfPseudoTerminalsAndFilesAndTheirTexts)
{
    Pty pty;
    EXPECT_EQ(CheckDevice(pty.path).state, DeviceState::Ready);
    EXPECT_EQ(CheckDevice("/dev/no-such-tty").state, DeviceState::Absent);
    EXPECT_EQ(CheckDevice("/proc/self/status").state, DeviceState::NotSerial);

    // Held by this process: its own lock is no obstacle. Held by another: in use.
    const int fd = open(pty.path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(CheckDevice(pty.path).state, DeviceState::Ready);
    EXPECT_EQ(InChild([&] { return CheckDevice(pty.path).state; }), DeviceState::InUse);
    close(fd);

    ASSERT_EQ(chmod(pty.path.c_str(), 0600), 0);
    EXPECT_EQ(InChild([&] { return CheckDevice(pty.path).state; }, geteuid() == 0 ? 65534 : -1),
              geteuid() == 0 ? DeviceState::NoPermission : DeviceState::Ready);
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(pty.path.c_str(), 0), 0);
        EXPECT_EQ(CheckDevice(pty.path).state, DeviceState::NoPermission);
    }

    const struct {
        DeviceCheck check;
        std::string text;
    } texts[] = {
        {{DeviceState::NoPermission, EACCES, "dialout", false, 0},
         "no permission: join the group \"dialout\" (sudo adduser $USER dialout), then log out "
         "and in again"},
        {{DeviceState::NoPermission, EACCES, "", false, 0},
         "no permission: join the group \"dialout\" (sudo adduser $USER dialout), then log out "
         "and in again"},
        {{DeviceState::NoPermission, EACCES, "uucp", true, 0},
         "no permission: you are in the group \"uucp\" since this session started; log out and "
         "in again"},
        {{DeviceState::InUse, 0, "", false, 4321}, "in use by another program (process 4321)"},
        {{DeviceState::Error, EIO, "", false, 0}, "cannot be used: Input/output error"},
    };
    for (const auto& t : texts) EXPECT_EQ(DescribeDeviceCheck(t.check), t.text);
}

}  // namespace
}  // namespace flr
