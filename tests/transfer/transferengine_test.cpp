#include "transfer/transferengine.h"

#include <gtest/gtest.h>

#include "support/showbuilder.h"
#include "support/transfertestsupport.h"

namespace flr {
namespace {

using namespace std::chrono_literals;
using test::HardwareEmulator;
using Record = HardwareEmulator::Record;
using Fault = HardwareEmulator::Fault;

// The download rig, and what it takes to wait for the hardware and to stall the watchdog.
class TransferTest : public testing::Test, public test::TransferRig {
protected:
    // Every byte the hardware sent has been handled: the engine is waiting for the next.
    bool RunUntilQuiet(CTransferEngine& engine, int port, const std::function<bool()>& also)
    {
        return test::RunUntil(engine, [&] {
            return also() && engine.GetBytesReceived(port) == hardware.SentCount();
        });
    }
    void Stall(CTransferEngine& engine, PromptAnswer answer)
    {
        prompter.Answer(answer);
        clock.Advance(CTransferEngine::kWatchdogPeriodMs + 1);
        engine.OnTimer(CTransferEngine::kWatchdogId);
    }
};

Record Closing(uint16_t number) { return {number, 0, 0, 0, 0, 'A', 0}; }

TEST_F(TransferTest, OneRecordPerNumberThenTheClosingRecord)
{
    CIgnition* first = test::AppendEntry(doc, "00:00:01:00", "A01");
    test::AppendChained(doc, first, "0.00");       // fires with it and sorts before it
    test::AppendEntry(doc, "00:00:01:00", "A01");  // fires together with the first
    CIgnition* third = test::AppendEntry(doc, "00:00:02:00", "A02");
    test::AppendChained(doc, third, "1.00");
    test::AppendEntry(doc, "00:00:05:00", "A03");
    test::AppendEntry(doc, "00:01:02:03", "B07");  // every time field non-zero
    ASSERT_TRUE(doc.FirstFiring()->IsChained()) << test::FiringNumbers(doc);
    ASSERT_EQ(test::FiringNumbers(doc), "-1 0 0 1 -1 2 3");
    hardware.Start();
    auto engine = MakeEngine();
    EXPECT_EQ(engine->GetRecordCount(), 4u);
    EXPECT_EQ(engine->GetTotalSteps(), 68u);
    EXPECT_EQ(observer.portItems, std::vector<std::string>{"COM1"});
    EXPECT_EQ(timer.starts, 0);

    engine->Download();
    EXPECT_TRUE(timer.running);
    ASSERT_TRUE(RunToEnd(*engine));
    ASSERT_TRUE(engine->WaitLastByteWritten(60s));

    EXPECT_EQ(engine->GetResult(), CTransferEngine::Result::Completed);
    EXPECT_EQ(observer.closes, 1);
    EXPECT_FALSE(timer.running);
    // The chained first entry is passed over rather than sent as record 0xFFFF.
    EXPECT_EQ(hardware.Records(), (std::vector<Record>{{0, 0, 0, 1, 0, 'A', 1},
                                                       {1, 0, 0, 2, 0, 'A', 2},
                                                       {2, 0, 0, 5, 0, 'A', 3},
                                                       {3, 0, 1, 2, 3, 'B', 7},
                                                       Closing(4)}));
    // The emulator checks every echo and acknowledgement; the last answer ends the download.
    EXPECT_TRUE(hardware.Transcript().ends_with("hD8 pFB")) << hardware.Transcript();
    EXPECT_TRUE(hardware.Problems().empty());
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(DownloadOutcomeText(*engine), "Downloaded 4 points to bank 0.");

    // 5 x 17 replies; the closing record reads one past the count, the bar stays at its end.
    EXPECT_EQ(engine->GetStepsDone(), 85u);
    EXPECT_EQ(observer.percent, "125%");
    EXPECT_EQ(observer.progress.back(), 100);
    EXPECT_EQ(observer.progress.front(), 1);  // 1 x 100 / 68
}

TEST_F(TransferTest, BankListOffersTheBanksTheWholeShowFitsIn)
{
    const auto banks = [&](int points) {
        CFLRDoc show;
        test::BuildShow(show, points);
        CTransferEngine engine(show.FirstFiring(), CPortMap(), observer, clock, timer);
        engine.Start();
        std::string out;
        for (const std::string& item : engine.GetBankItems()) out += item;
        return out;
    };
    EXPECT_EQ(banks(151), "012345678");  // 800 + 151 fits, 900 + 151 does not
    EXPECT_EQ(banks(100), "0123456789");
    EXPECT_EQ(banks(101), "012345678");
    EXPECT_EQ(banks(1000), "0");
    EXPECT_EQ(banks(1001), "");
    // No port opened: nothing to download through.
    EXPECT_TRUE(observer.portItems.empty());
    EXPECT_FALSE(observer.downloadEnabled);
}

TEST_F(TransferTest, EmptyShowSendsOnlyTheClosingRecord)
{
    hardware.Start();
    auto engine = MakeEngine();
    EXPECT_EQ(engine->GetRecordCount(), 0u);
    engine->Download();
    ASSERT_TRUE(test::RunUntil(
        *engine, [&] { return engine->GetResult() == CTransferEngine::Result::Completed; }));
    EXPECT_EQ(observer.percent, "100%");
    // The window closes at once: the 0xFB it queued still goes out.
    engine.reset();
    EXPECT_TRUE(test::WaitFor([&] { return hardware.Finished(); }));
    EXPECT_EQ(hardware.Records(), std::vector<Record>{Closing(0)});
}

TEST_F(TransferTest, RepeatedRequestsAreAnsweredAgainAndStrayBytesIgnored)
{
    test::BuildShow(doc, 3);
    hardware.AddFault(0, 1, Fault::RepeatRequest);
    hardware.AddFault(1, 0, Fault::StrayBytes, {0x55, 0x13, 0xD1});
    hardware.AddFault(1, 3, Fault::StrayBytes, {0x77, 0xD8});
    hardware.AddFault(2, 8, Fault::StrayBytes, {0x00});
    hardware.Start();
    auto engine = MakeEngine();
    engine->Download();
    ASSERT_TRUE(RunToEnd(*engine));
    EXPECT_TRUE(hardware.Problems().empty());
    EXPECT_EQ(hardware.Records().size(), 4u);
    EXPECT_NE(hardware.Transcript().find("h55 h13 hD1 hD0 p01"), std::string::npos)
        << hardware.Transcript();
    EXPECT_EQ(engine->GetStepsDone(), 4u * 17 + 1);  // the repeated answer counts as a step
}

TEST_F(TransferTest, RetryAfterAStallRestartsTheRecordThatStalled)
{
    test::BuildShow(doc, 4);
    hardware.AddFault(2, 4, Fault::Stall);
    hardware.Start();
    auto engine = MakeEngine();
    engine->Download();
    ASSERT_TRUE(RunUntilQuiet(*engine, 1, [&] { return hardware.Stalled(); }));
    EXPECT_EQ(engine->GetStepsDone(), 2u * 17 + 8);

    // Not yet five seconds since the last byte: no question.
    clock.Advance(CTransferEngine::kWatchdogPeriodMs);
    engine->OnTimer(CTransferEngine::kWatchdogId);
    EXPECT_TRUE(prompter.Messages().empty());
    // Other timers are not the watchdog.
    clock.Advance(1000);
    engine->OnTimer(7);
    EXPECT_TRUE(prompter.Messages().empty());

    Stall(*engine, PromptAnswer::Retry);
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Communications Failure");
    EXPECT_EQ(messages[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(engine->GetStepsDone(), 34u);
    EXPECT_TRUE(timer.running);

    ASSERT_TRUE(RunToEnd(*engine));
    EXPECT_EQ(hardware.Starts(), 2);
    const auto records = hardware.Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].number, 2);
    EXPECT_EQ(records[4], Closing(4));
    EXPECT_EQ(engine->GetStepsDone(), 5u * 17);
    EXPECT_TRUE(hardware.Problems().empty());
}

TEST_F(TransferTest, WrongEchoIsNeverAcknowledgedAndAVanishedDeviceIsReportedOnce)
{
    test::BuildShow(doc, 3);
    hardware.AddFault(1, 2, Fault::WrongEcho);
    hardware.AddFault(2, 0, Fault::Vanish);
    hardware.Start();
    auto engine = MakeEngine();
    engine->Download();
    ASSERT_TRUE(RunUntilQuiet(*engine, 1, [&] { return hardware.Stalled(); }));
    EXPECT_EQ(engine->GetState(), 4);  // still waiting for the echo of the hours
    Stall(*engine, PromptAnswer::Retry);

    // The device goes after the next record: one report, then the watchdog asks.
    ASSERT_TRUE(test::RunUntil(*engine, [&] {
        return engine->GetPort(1)->GetMonitorState() == CCommPort::MonitorState::Stopped;
    }));
    Stall(*engine, PromptAnswer::Cancel);
    std::vector<std::string> captions;
    for (const auto& message : prompter.Messages()) captions.push_back(message.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Communications Failure", "Application Error",
                                                  "Communications Failure"}));
    EXPECT_EQ(engine->GetResult(), CTransferEngine::Result::Cancelled);
    EXPECT_EQ(observer.closes, 1);
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(hardware.Records().size(), 2u);
    EXPECT_EQ(DownloadOutcomeText(*engine),
              "Download cancelled: the hardware took 2 of 3 points; bank 0 now holds part of "
              "the show.");
    EXPECT_TRUE(hardware.Problems().empty()) << hardware.Problems().front();
}

TEST_F(TransferTest, BytesOnThePortNotInUseDoNotDriveTheExchange)
{
    // The hardware on COM2, stalled in the middle of a record while another device on COM1
    // sends what looks like its requests; a reply to those would reach the stalled hardware.
    test::BuildShow(doc, 3);
    HardwareEmulator modem;
    modem.SetSilent();
    modem.Start();
    hardware.AddFault(1, 2, Fault::Stall);
    hardware.Start();
    auto engine =
        MakeEngine(CPortMap::Explicit({{1, modem.SlavePath()}, {2, hardware.SlavePath()}}));
    EXPECT_EQ(engine->GetPortItems(), (std::vector<std::string>{"COM1", "COM2"}));
    EXPECT_EQ(engine->GetPortInUse(), 1);
    engine->SelectPortItem("COM2");
    EXPECT_EQ(engine->GetPortInUse(), 2);
    engine->Download();
    ASSERT_TRUE(RunUntilQuiet(*engine, 2, [&] { return hardware.Stalled(); }));
    modem.SendRaw({0xD2, 0xFA, 0xD8, 0x00});
    ASSERT_TRUE(test::RunUntil(*engine, [&] { return engine->GetBytesReceived(1) == 4; }));

    // Retry keeps the port the user chose.
    Stall(*engine, PromptAnswer::Retry);
    EXPECT_EQ(engine->GetPortInUse(), 2);
    EXPECT_EQ(observer.portSelected, 1);
    ASSERT_TRUE(RunToEnd(*engine));
    EXPECT_EQ(hardware.Records().size(), 4u);
    EXPECT_TRUE(hardware.Problems().empty()) << hardware.Problems().front();
    EXPECT_EQ(modem.ReceivedCount(), 0u);
}

TEST_F(TransferTest, ClosingMidDownloadWithBytesInFlightReturns)
{
    test::BuildShow(doc, 50);
    hardware.Start();
    auto engine = MakeEngine();
    engine->Download();
    ASSERT_TRUE(test::RunUntil(*engine, [&] { return hardware.Records().size() >= 2; }));
    engine.reset();  // the monitor thread may be waiting on us with the next request
    SUCCEED();
}

}  // namespace
}  // namespace flr
