// flr-cli transfer as a user runs it: a real process on a real show file, the hardware on a
// pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <thread>

#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/hardwareemulator.h"
#include "support/transfertestsupport.h"

namespace flr {
namespace {

using test::HardwareEmulator;
using Record = HardwareEmulator::Record;

struct CliRun {
    int exitCode = -1;
    std::string err;
};

CliRun Transfer(const QStringList& arguments)
{
    QProcess process;
    process.start(FLR_CLI_PATH, QStringList{"transfer"} + arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString WriteShow(int points)
{
    CFLRDoc doc;
    test::BuildShow(doc, points);
    const std::string path = testing::TempDir() + "/transfer-" + std::to_string(getpid()) + "-" +
                             std::to_string(points) + ".flr";
    EXPECT_TRUE(CShowFileWriter::Save(doc, path));
    return QString::fromStdString(path);
}

TEST(TransferCli, DownloadsIntoTheChosenBank)
{
    HardwareEmulator hardware;
    hardware.Start();
    const CliRun run = Transfer(
        {WriteShow(3), "--device", QString::fromStdString(hardware.SlavePath()), "--bank", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The program has written the last byte; the hardware's thread takes it a moment later.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!hardware.Finished() && std::chrono::steady_clock::now() < end) {
        std::this_thread::yield();
    }
    EXPECT_EQ(hardware.Records(), (std::vector<Record>{{200, 0, 0, 1, 0, 'A', 1},
                                                       {201, 0, 0, 2, 0, 'A', 2},
                                                       {202, 0, 0, 3, 0, 'A', 3},
                                                       {3, 0, 0, 0, 0, 'A', 0}}));
    EXPECT_NE(run.err.find("Sending address 4 of 3 ..."), std::string::npos) << run.err;
}

TEST(TransferCli, RefusesBanksAndDevicesItCannotUse)
{
    HardwareEmulator hardware;
    const QString device = QString::fromStdString(hardware.SlavePath());
    const QString show = WriteShow(3);
    EXPECT_EQ(Transfer({show, "--device", device, "--bank", "10"}).exitCode, 2);
    EXPECT_EQ(Transfer({show, "--device", device, "--bank", "x"}).exitCode, 2);
    EXPECT_EQ(Transfer({show, "--bank", "1"}).exitCode, 2);  // no device
    EXPECT_EQ(Transfer({show, "--device", "/dev/no-such-port"}).exitCode, 1);
    EXPECT_TRUE(hardware.ReceivedBytes().empty());
}

// Runs on the real five-second watchdog: two stalls take 10 to 20 seconds.
TEST(TransferCli, RetriesAStallThenGivesUp)
{
    HardwareEmulator hardware;
    hardware.AddFault(1, 0, HardwareEmulator::Fault::Stall);
    hardware.AddFault(1, 3, HardwareEmulator::Fault::Stall);
    hardware.Start();
    const CliRun run = Transfer(
        {WriteShow(3), "--device", QString::fromStdString(hardware.SlavePath()), "--retries", "1"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(hardware.Starts(), 2);
    EXPECT_NE(run.err.find("Communications Failure"), std::string::npos) << run.err;
    EXPECT_TRUE(hardware.Problems().empty());
}

}  // namespace
}  // namespace flr
