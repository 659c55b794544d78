// The engine refuses, whatever its caller checked, records it cannot send as they stand: not a
// byte reaches the line.
#include <gtest/gtest.h>

#include <thread>

#include "model/showcheck.h"
#include "support/hardwareemulator.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "support/transfertestsupport.h"
#include "transfer/transferengine.h"

namespace flr {
namespace {

using namespace std::chrono_literals;

struct Window final : CTransferObserver {
    void OnStatusText(const std::string& text) override { status = text; }
    void OnDownloadEnabled(bool enabled) override { downloadEnabled = enabled; }
    std::string status;
    bool downloadEnabled = false;
};

TEST(TransferRefusal, UnsendableShowsLeaveTheLineSilent)
{
    struct Case {
        const char* name;
        int points;
        const char* bank;
        std::function<void(CFLRDoc&)> spoil;
        bool downloadEnabled;
    };
    const std::vector<Case> cases = {
        {"more points than the hardware holds", 1001, "0", [](CFLRDoc&) {}, false},
        {"a bank the show does not fit", 150, "9", [](CFLRDoc&) {}, true},
        {"bank letter outside A to Y", 3, "0",
         [](CFLRDoc& d) { d.FirstFiring()->GetNextFiring()->SetAddress('Z', 1); }, true},
        {"address number 0", 3, "0", [](CFLRDoc& d) { d.FirstFiring()->SetAddress('B', 0); }, true},
        {"prefire that does not fit", 3, "0",
         [](CFLRDoc& d) {
             CIgnition* e = d.FirstFiring();
             e->SetItem(test::MakeItem("1", 30.0));
             e->SetTimeText("00:00:01:00", {});
         },
         true},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter prompter;
        test::ManualClock clock;
        test::ManualTimer timer;
        Window observer;
        CFLRDoc doc;
        test::BuildShow(doc, c.points);
        c.spoil(doc);
        test::HardwareEmulator hardware;
        hardware.Start();
        {
            CTransferEngine engine(doc.FirstFiring(),
                                   CPortMap::Explicit({{1, hardware.SlavePath()}}), observer, clock,
                                   timer);
            engine.Start();
            EXPECT_EQ(observer.downloadEnabled, c.downloadEnabled) << c.name;
            engine.SelectBankItem(c.bank);
            engine.Download();
            EXPECT_EQ(engine.GetState(), 0) << c.name;
            EXPECT_FALSE(timer.running) << c.name;
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_EQ(hardware.ReceivedCount(), 0u) << c.name;
        const auto messages = prompter.Messages();
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0].caption, "Download Refused") << c.name;
        EXPECT_EQ(observer.status.rfind("Download refused: ", 0), 0u) << c.name;
    }
}

}  // namespace
}  // namespace flr
