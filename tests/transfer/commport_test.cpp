#include "transfer/commport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/settingsstore.h"
#include "support/hardwareemulator.h"
#include "support/scriptedprompter.h"
#include "support/transfertestsupport.h"
#include "transfer/portmap.h"

namespace flr {
namespace {

using namespace std::chrono_literals;

// The owner side of a port in a test: records what it is handed, optionally acts on it.
class CollectingOwner final : public CCommPortOwner {
public:
    void OnPortNotification(const PortNotification& n) override
    {
        received.push_back(n);
        if (onNotification) onNotification(n);
    }
    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out;
        for (const PortNotification& n : received) {
            if (n.message == kNotifyByte) out.push_back(static_cast<uint8_t>(n.param));
        }
        return out;
    }

    std::vector<PortNotification> received;
    std::function<void(const PortNotification&)> onNotification;
};

bool DispatchUntil(CPortMailbox& mailbox, const std::function<bool()>& done)
{
    return test::WaitFor([&] {
        if (done()) return true;
        mailbox.Dispatch(10ms);
        return false;
    });
}

bool OpenTransferPort(CCommPort& port, CPortMailbox& mailbox, const std::string& path,
                      uint32_t mask = kWatchByte | kWatchCts, unsigned baud = 9600)
{
    return port.OpenDevice(mailbox, path, 1, {.baud = baud, .eventMask = mask});
}

int QueuedInput(int fd)
{
    int count = -1;
    ioctl(fd, FIONREAD, &count);
    return count;
}

TEST(PortWarning, TextAndItsCutToTheBuffer)
{
    EXPECT_EQ(FormatPortWarning("SetCommState()", "Invalid argument", 3),
              "WARNING:  SetCommState() Failed with the following error: \n"
              "Invalid argument\nPort: 3\n");

    // A long reason is cut, the port line kept, and no UTF-8 sequence split wherever the cut
    // falls.
    for (size_t lead = 100; lead < 140; ++lead) {
        const std::string reason =
            std::string(lead, 'x') + "\xC3\xA9\xC3\xA9" + std::string(100, 'y');
        const std::string text = FormatPortWarning("read() on /dev/ttyUSB0", reason, 2);
        EXPECT_LE(text.size(), 199u);
        ASSERT_TRUE(text.ends_with("\nPort: 2\n")) << text;
        EXPECT_EQ(text.rfind("WARNING:  read() on /dev/ttyUSB0 Failed", 0), 0u);
        EXPECT_NE(static_cast<unsigned char>(text[text.size() - 10]), 0xC3) << lead;
    }
}

// A port's owner and mailbox, and a silent device on a pseudo-terminal.
class CommPortTest : public testing::Test {
protected:
    CommPortTest()
    {
        line->SetSilent();
        line->Start();
    }
    void OpenAndMonitor(CCommPort& port, uint32_t mask = kWatchByte | kWatchCts)
    {
        ASSERT_TRUE(OpenTransferPort(port, mailbox, line->SlavePath(), mask));
        ASSERT_TRUE(port.StartMonitor());
        ASSERT_TRUE(test::WaitFor(
            [&] { return port.GetMonitorState() == CCommPort::MonitorState::Running; }));
    }

    test::ScriptedPrompter prompter;
    CollectingOwner owner;
    CPortMailbox mailbox{owner};
    std::unique_ptr<test::HardwareEmulator> line = std::make_unique<test::HardwareEmulator>();
};

// Nothing is written to what is no serial line; a line that cannot be configured is said once.
TEST_F(CommPortTest, DevicesThatAreNoSerialLineAndLinesThatCannotBeConfigured)
{
    {
        CCommPort port;
        EXPECT_FALSE(OpenTransferPort(port, mailbox, "/dev/no-such-serial-device"));
        EXPECT_FALSE(port.StartMonitor());
        EXPECT_EQ(port.GetMonitorState(), CCommPort::MonitorState::Idle);
        EXPECT_FALSE(port.Write(reinterpret_cast<const uint8_t*>("x"), 1));
    }
    const std::string file = testing::TempDir() + "/not-a-port-" + std::to_string(getpid());
    std::ofstream(file) << "keep";
    CCommPort port;
    EXPECT_FALSE(OpenTransferPort(port, mailbox, file));
    // A numbered port without a device in the map.
    EXPECT_FALSE(port.Open(mailbox, CPortMap(), 2, CommSettings{}));
    EXPECT_TRUE(prompter.Messages().empty());

    {
        // A character device that is no terminal fails at the first step.
        CCommPort null;
        EXPECT_TRUE(OpenTransferPort(null, mailbox, "/dev/null"));
    }
    {
        CCommPort odd;
        EXPECT_TRUE(OpenTransferPort(odd, mailbox, line->SlavePath(), kWatchByte, 12345));
    }
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].caption, "Application Error");
    EXPECT_EQ(messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(messages[0].text.rfind("WARNING:  SetCommTimeouts() Failed", 0), 0u)
        << messages[0].text;
    EXPECT_TRUE(messages[0].text.ends_with("\nPort: 1\n"));
    EXPECT_EQ(messages[1].text.rfind("WARNING:  BuildCommDCB() Failed", 0), 0u) << messages[1].text;
}

TEST_F(CommPortTest, OpensExclusivelyAndConfiguresTheLine)
{
    {
        CCommPort first;
        ASSERT_TRUE(OpenTransferPort(first, mailbox, line->SlavePath()));
        CCommPort second;
        EXPECT_FALSE(OpenTransferPort(second, mailbox, line->SlavePath()));

        const int probe = open(line->SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(probe, 0);  // we are allowed to look (root ignores the exclusive mark)
        termios t{};
        ASSERT_EQ(tcgetattr(probe, &t), 0);
        EXPECT_EQ(cfgetospeed(&t), B9600);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
        EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
        EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
        close(probe);
    }
    // Closing releases it for the next program.
    CCommPort again;
    EXPECT_TRUE(OpenTransferPort(again, mailbox, line->SlavePath()));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(CommPortTest, WriteSendsExactlyItsBytesAfterDiscardingUnreadInput)
{
    CCommPort port;
    // Line events other than a received character: input stays unread until a write.
    OpenAndMonitor(port, kWatchCts);
    const int probe = open(line->SlavePath().c_str(), O_RDWR | O_NOCTTY);
    line->SendRaw({1, 2, 3});
    ASSERT_TRUE(DispatchUntil(mailbox, [&] { return QueuedInput(probe) == 3; }));

    const uint8_t reply = 0x42;
    ASSERT_TRUE(port.Write(&reply, 1));
    ASSERT_TRUE(port.WaitWritten(60s));
    EXPECT_EQ(QueuedInput(probe), 0);
    close(probe);
    ASSERT_TRUE(test::WaitFor([&] { return line->ReceivedCount() == 1; }));
    EXPECT_EQ(line->ReceivedBytes(), std::vector<uint8_t>{0x42});

    // More than the buffer holds is refused, not written past it.
    std::vector<uint8_t> big(513, 0x55);
    EXPECT_FALSE(port.Write(big.data(), big.size()));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(CommPortTest, DeliversEachByteInOrderAfterTheConfiguredLineEvents)
{
    CCommPort port;
    OpenAndMonitor(port);
    // A wake-up announces the configured line events, then delivers what has arrived.
    line->SendRaw({0xD0});
    ASSERT_TRUE(DispatchUntil(mailbox, [&] { return owner.received.size() >= 2; }));
    ASSERT_EQ(owner.received.size(), 2u);
    EXPECT_EQ(owner.received[0].message, kNotifyCts);
    EXPECT_EQ(owner.received[1].message, kNotifyByte);
    EXPECT_EQ(owner.received[1].param, 0xD0u);
    EXPECT_EQ(owner.received[1].port, 1u);
    // A burst, 0x00 and 0xFF among it, arrives whole and in order.
    std::vector<uint8_t> burst;
    for (int i = 0; i < 200; ++i) burst.push_back(static_cast<uint8_t>(i * 7));
    burst.push_back(0xFF);
    line->SendRaw(burst);
    ASSERT_TRUE(DispatchUntil(mailbox, [&] { return owner.Bytes().size() == 202; }));
    const std::vector<uint8_t> bytes = owner.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1, bytes.end()), burst);

    // The handler's reply is written by the monitor thread.
    owner.onNotification = [&](const PortNotification& n) {
        if (n.message == kNotifyByte) {
            const uint8_t echo = static_cast<uint8_t>(n.param + 1);
            port.Write(&echo, 1);
        }
    };
    line->SendRaw({0x10});
    ASSERT_TRUE(DispatchUntil(mailbox, [&] { return line->ReceivedCount() == 1; }));
    EXPECT_EQ(line->ReceivedBytes(), std::vector<uint8_t>{0x11});
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(CommPortTest, ShutdownWhileTheMonitorWaitsOnTheOwnerDoesNotHang)
{
    {
        // The owner never drains: the monitor thread waits on the first byte.
        CCommPort port;
        OpenAndMonitor(port);
        line->SendRaw({1, 2, 3});
    }
    // Withdrawn notifications are not handed out later from a port that is gone.
    mailbox.Dispatch(0ms);
    EXPECT_TRUE(owner.received.empty());

    // The owner may also close the port from inside that port's own notification.
    auto port = std::make_unique<CCommPort>();
    OpenAndMonitor(*port);
    owner.onNotification = [&](const PortNotification& n) {
        if (n.message == kNotifyByte) port.reset();
    };
    line->SendRaw({4, 5});
    ASSERT_TRUE(DispatchUntil(mailbox, [&] { return port == nullptr; }));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(CommPortTest, VanishedDeviceIsReportedOnceAndItsThreadEnds)
{
    CCommPort port;
    const std::string slavePath = line->SlavePath();
    OpenAndMonitor(port);
    line.reset();  // the far end closes
    ASSERT_TRUE(DispatchUntil(
        mailbox, [&] { return port.GetMonitorState() == CCommPort::MonitorState::Stopped; }));
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Application Error");
    EXPECT_EQ(messages[0].text.rfind("WARNING:  read() on " + slavePath +
                                         " Failed with the following error: \n"
                                         "No such device\nPort: ",
                                     0),
              0u)
        << messages[0].text;
    // A write to the dead port is not reported as written.
    const uint8_t byte = 0xE0;
    port.Write(&byte, 1);
    EXPECT_FALSE(port.WaitWritten(10s));
}

TEST(CPortMap, SettingsMappingAndTheSerialDevicesFound)
{
    const std::filesystem::path root =
        testing::TempDir() + "/portmap-sys-" + std::to_string(getpid());
    std::filesystem::remove_all(root);
    const auto device = [&](const std::string& name, const char* type) {
        std::filesystem::create_directories(root / name / "device");
        if (type) std::ofstream(root / name / "type") << type << "\n";
    };
    device("ttyS0", "0");  // a port the UART driver lists without a chip behind it
    device("ttyS1", "4");
    device("ttyUSB10", nullptr);
    device("ttyUSB2", nullptr);
    device("ttyACM0", nullptr);
    std::filesystem::create_directories(root / "tty1");  // a virtual terminal: no device
    EXPECT_EQ(
        CPortMap::FindSerialDevices(root.string(), "/dev"),
        (std::vector<std::string>{"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS1"}));

    CSettingsStore settings(testing::TempDir() + "/portmap-" + std::to_string(getpid()) + ".ini");
    settings.WriteText("Ports/COM1", "/dev/pts/7");
    settings.WriteText("Ports/COM2", "");
    const CPortMap map = CPortMap::FromSettings(settings);
    EXPECT_EQ(map.DevicePath(1), "/dev/pts/7");
    EXPECT_EQ(map.DevicePath(2), std::nullopt);
    EXPECT_EQ(CPortMap::Explicit({{3, "/dev/x"}}).DevicePath(3), "/dev/x");
    EXPECT_EQ(CPortMap::Explicit({{3, "/dev/x"}}).DevicePath(1), std::nullopt);
}

}  // namespace
}  // namespace flr
