// The serial line misbehaving under a download: writes interrupted, refused for a while or
// failed, and a device that floods the line. Writes to the emulator's line are
// intercepted in this test program.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "support/showbuilder.h"
#include "support/transfertestsupport.h"
#include "transfer/transferengine.h"

namespace {

enum class WriteFault { None, Interrupted, WouldBlock, Failed };
std::atomic<WriteFault> g_fault{WriteFault::None};
std::atomic<int> g_faultsLeft{0};
char g_line[256] = {};  // the emulator's line, set before the port opens

bool OnTheLine(int fd)
{
    char name[256];
    return isatty(fd) && ttyname_r(fd, name, sizeof name) == 0 && std::strcmp(name, g_line) == 0;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* buffer, size_t count)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    static const Write next = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    const WriteFault fault = g_fault.load();
    if (fault != WriteFault::None && g_faultsLeft > 0 && OnTheLine(fd)) {
        --g_faultsLeft;
        switch (fault) {
        case WriteFault::Interrupted: errno = EINTR; return -1;
        case WriteFault::WouldBlock: errno = EAGAIN; return -1;
        case WriteFault::Failed: errno = EIO; return -1;
        case WriteFault::None: break;
        }
    }
    return next(fd, buffer, count);
}

namespace flr {
namespace {

using test::HardwareEmulator;

// A three-point show downloading to the emulated hardware on COM1 (and `extra` ports).
class LineTest : public testing::Test, public test::TransferRig {
protected:
    LineTest()
    {
        std::strncpy(g_line, hardware.SlavePath().c_str(), sizeof g_line - 1);
        test::BuildShow(doc, 3);
    }
    ~LineTest() override { g_fault = WriteFault::None; }
    std::unique_ptr<CTransferEngine> Download(WriteFault fault, int faults,
                                              std::map<unsigned, std::string> extra = {})
    {
        hardware.Start();
        extra[1] = hardware.SlavePath();
        auto engine = MakeEngine(CPortMap::Explicit(extra));
        g_fault = fault;
        g_faultsLeft = faults;
        engine->Download();
        return engine;
    }
};

class LineFaultsTest : public LineTest, public testing::WithParamInterface<WriteFault> {};

// Interrupted or refused for a moment: the bytes still go out whole, in order. (The program
// writes one byte at a time, so a short write cannot happen.)
TEST_P(LineFaultsTest, PassingWriteTroubleLeavesTheDownloadExact)
{
    auto engine = Download(GetParam(), 1000);
    ASSERT_TRUE(RunToEnd(*engine));
    EXPECT_EQ(engine->GetResult(), CTransferEngine::Result::Completed);
    EXPECT_EQ(hardware.Records().size(), 4u);
    EXPECT_TRUE(hardware.Problems().empty()) << hardware.Problems().front();
    EXPECT_TRUE(prompter.Messages().empty());
}
INSTANTIATE_TEST_SUITE_P(Faults, LineFaultsTest,
                         testing::Values(WriteFault::Interrupted, WriteFault::WouldBlock));

TEST_F(LineTest, AFailedWriteIsReportedOnceAndNothingWrongIsAcknowledged)
{
    auto engine = Download(WriteFault::Failed, 1);
    // The exchange halts where the byte was lost; the watchdog asks, and the user cancels.
    ASSERT_TRUE(test::RunUntil(*engine, [&] { return !prompter.Messages().empty(); }));
    prompter.Answer(PromptAnswer::Cancel);
    clock.Advance(CTransferEngine::kWatchdogPeriodMs + 1);
    engine->OnTimer(CTransferEngine::kWatchdogId);
    g_fault = WriteFault::None;
    ASSERT_EQ(prompter.Messages().size(), 2u);
    EXPECT_NE(prompter.Messages()[0].text.find("write() on " + hardware.SlavePath()),
              std::string::npos)
        << prompter.Messages()[0].text;
    EXPECT_EQ(engine->GetResult(), CTransferEngine::Result::Cancelled);
    EXPECT_TRUE(hardware.Records().empty());
    EXPECT_TRUE(hardware.Problems().empty()) << hardware.Problems().front();
}

// A device that pours bytes onto the line while the download runs: the program keeps up and
// the download still ends with exactly the show.
TEST_F(LineTest, AFloodingDeviceNeitherFreezesNorCorruptsTheDownload)
{
    HardwareEmulator flood;
    flood.SetSilent();
    flood.Start();
    auto engine = Download(WriteFault::None, 0, {{2, flood.SlavePath()}});
    std::atomic<bool> stop{false};
    std::atomic<bool> poured{false};
    std::thread pour([&] {
        const std::vector<uint8_t> junk(512, 0xD3);
        while (!stop) flood.SendRaw(junk);
        poured = true;
    });
    const bool ended = RunToEnd(*engine);
    // The flood's last bytes still reach the program, which keeps taking them.
    stop = true;
    EXPECT_TRUE(test::RunUntil(*engine, [&] { return poured.load(); }));
    pour.join();
    ASSERT_TRUE(ended);
    EXPECT_EQ(engine->GetResult(), CTransferEngine::Result::Completed);
    EXPECT_EQ(hardware.Records().size(), 4u);
    EXPECT_TRUE(hardware.Problems().empty()) << hardware.Problems().front();
}

}  // namespace
}  // namespace flr
