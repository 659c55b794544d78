#include "ui/transfer/transferdialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

#include "support/hardwareemulator.h"
#include "support/scriptedprompter.h"
#include "support/transfertestsupport.h"

namespace flr {
namespace {

using test::HardwareEmulator;
using Fault = HardwareEmulator::Fault;

// Runs the event loop until `done` holds; false after the shared time limit, so that a fault
// shows as a failure rather than a hang.
bool PumpUntil(const std::function<bool()>& done)
{
    return test::WaitFor([&] {
        QCoreApplication::processEvents();
        return done();
    });
}

// A show and the hardware on COM2 (no other port), with the watchdog's time in the test's hand.
class TransferDialogTest : public testing::Test {
protected:
    std::unique_ptr<CTransferDialog> Open(HardwareEmulator& device)
    {
        device.Start();
        auto dialog = std::make_unique<CTransferDialog>(
            doc.FirstFiring(), CPortMap::Explicit({{2, device.SlavePath()}}), nullptr, &clock);
        dialog->show();
        return dialog;
    }
    // Every byte the hardware sent has been handled: the dialog waits for the next.
    static bool Quiet(const CTransferDialog& dialog, const HardwareEmulator& device)
    {
        return dialog.Engine() && dialog.Engine()->GetBytesReceived(2) == device.SentCount();
    }
    void Stall(CTransferDialog& dialog, PromptAnswer answer)
    {
        prompter.Answer(answer);
        clock.Advance(CTransferEngine::kWatchdogPeriodMs + 1);
        dialog.OnWatchdog();
    }

    test::ScriptedPrompter prompter;
    test::ManualClock clock;
    CFLRDoc doc;
    HardwareEmulator hardware;
};

TEST_F(TransferDialogTest, DownloadsIntoTheChosenBankAndClosesWhenDone)
{
    test::BuildShow(doc, 5);
    auto dialog = Open(hardware);
    ASSERT_EQ(dialog->PortList()->count(), 1);
    EXPECT_EQ(dialog->PortList()->itemText(0), "COM2");
    EXPECT_EQ(dialog->StatusText()->text(), "Select bank and port and press \"Download\" ...");

    // The user settles on bank 3 in the drop-down list.
    dialog->BankList()->setCurrentIndex(3);
    emit dialog->BankList()->activated(3);
    EXPECT_EQ(dialog->Engine()->GetBankOffset(), 300u);

    dialog->DownloadButton()->click();
    EXPECT_FALSE(dialog->BankList()->isEnabled());
    EXPECT_EQ(dialog->WatchdogTimerObject().interval(), 5000);

    ASSERT_TRUE(PumpUntil([&] { return !dialog->isVisible() && hardware.Finished(); }))
        << hardware.Transcript();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Engine(), nullptr);  // the ports closed with the window
    EXPECT_EQ(dialog->ProgressBar()->value(), 100);
    EXPECT_EQ(dialog->PercentText()->text(), "120%");  // the closing record counts too
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(TransferDialogTest, StallAnsweredRetryRestartsTheRecordThenCancelCloses)
{
    test::BuildShow(doc, 4);
    hardware.AddFault(1, 3, Fault::Stall);
    hardware.AddFault(2, 5, Fault::Stall);
    auto dialog = Open(hardware);
    dialog->DownloadButton()->click();
    ASSERT_TRUE(PumpUntil([&] { return hardware.Stalled() && Quiet(*dialog, hardware); }));

    Stall(*dialog, PromptAnswer::Retry);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_TRUE(prompter.Messages()[0].text.ends_with("download mode.\n\nCOM2 (" +
                                                      hardware.SlavePath() + ")"))
        << prompter.Messages()[0].text;
    EXPECT_TRUE(dialog->WatchdogTimerObject().isActive());

    ASSERT_TRUE(PumpUntil(
        [&] { return hardware.Starts() == 2 && hardware.Stalled() && Quiet(*dialog, hardware); }));
    Stall(*dialog, PromptAnswer::Cancel);
    EXPECT_EQ(prompter.Messages().size(), 2u);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);  // Cancel after a failure closes with OK
    EXPECT_FALSE(dialog->WatchdogTimerObject().isActive());
}

TEST_F(TransferDialogTest, NoPortOpensSaysWhichDevicesWereTriedAndWhy)
{
    test::BuildShow(doc, 2);
    CTransferDialog dialog(doc.FirstFiring(),
                           CPortMap::Explicit({{1, "/dev/no-such-tty"}, {3, "/proc/self/stat"}}),
                           nullptr, &clock);
    EXPECT_FALSE(dialog.DownloadButton()->isEnabled());
    EXPECT_EQ(dialog.StatusText()->text(),
              "No serial port could be opened.\n"
              "COM1 (/dev/no-such-tty): not present (unplugged, or another name now)\n"
              "COM3 (/proc/self/stat): not a serial device\n"
              "The devices are chosen in Settings..., Serial Ports.");
}

TEST_F(TransferDialogTest, ClosingMidDownloadLetsThePortGoAndNeverAsksLater)
{
    test::BuildShow(doc, 200);
    auto dialog = Open(hardware);
    dialog->DownloadButton()->click();
    ASSERT_TRUE(PumpUntil([&] { return hardware.Records().size() >= 2; }));
    dialog->CancelButton()->click();  // a monitor thread may be waiting on the window
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->Engine(), nullptr);  // the port is free for the next program at once

    // A closed window neither drains its old mailbox nor asks about a stall.
    clock.Advance(CTransferEngine::kWatchdogPeriodMs + 1);
    dialog->OnWatchdog();
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_FALSE(hardware.Finished());

    // Destroying a window in the middle of the exchange, with a drain maybe queued, returns.
    HardwareEmulator second;
    auto another = Open(second);
    another->DownloadButton()->click();
    ASSERT_TRUE(PumpUntil([&] { return second.Records().size() >= 1; }));
    another.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(second.Finished());
}

}  // namespace
}  // namespace flr
