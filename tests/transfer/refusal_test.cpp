// The engine refuses, whatever its caller checked, records it cannot send as they stand: not a
// byte reaches the line.
#include <gtest/gtest.h>

#include <thread>

#include "model/showcheck.h"
#include "support/showbuilder.h"
#include "support/showgenerator.h"
#include "support/transfertestsupport.h"
#include "transfer/transferengine.h"

namespace flr {
namespace {

using namespace std::chrono_literals;

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
        SCOPED_TRACE(c.name);
        test::TransferRig rig;
        test::BuildShow(rig.doc, c.points);
        c.spoil(rig.doc);
        rig.hardware.Start();
        {
            auto engine = rig.MakeEngine();
            EXPECT_EQ(rig.observer.downloadEnabled, c.downloadEnabled);
            engine->SelectBankItem(c.bank);
            engine->Download();
            EXPECT_EQ(engine->GetState(), 0);
            EXPECT_FALSE(rig.timer.running);
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_EQ(rig.hardware.ReceivedCount(), 0u);
        const auto messages = rig.prompter.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].caption, "Download Refused");
        EXPECT_EQ(rig.observer.status.rfind("Download refused: ", 0), 0u);
    }
}

// On realistic shows (chains, shared numbers, conflicts) the hardware receives exactly the
// records the check judged: one per number, with the In Time and address the check read.
TEST(TransferRefusal, TheCheckAndTheDownloadAgreeOnEveryRecord)
{
    using Record = test::HardwareEmulator::Record;
    const auto items = test::MakeCatalogueItems(12);
    int downloads = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        test::TransferRig rig;
        CFLRDoc& doc = rig.doc;
        test::MakeRealisticShow(doc, 40, seed, items);
        const ShowCheckResult check = CheckShow(doc, {});
        std::vector<Record> judged;
        for (const CIgnition* e = doc.FirstFiring(); e; e = e->GetNextFiring()) {
            if (!HasFiringRecord(*e) ||
                (!judged.empty() && judged.back().number == e->GetNumber())) {
                continue;
            }
            const CTimeCode t = e->GetInTime();
            judged.push_back({uint16_t(e->GetNumber()), uint8_t(t.Hours()), uint8_t(t.Minutes()),
                              uint8_t(t.Seconds()), uint8_t(t.Frames()), e->GetLetter(),
                              e->GetAddressNumber()});
        }
        ASSERT_EQ(judged.size(), CountRecords(doc.FirstFiring()));
        judged.push_back({uint16_t(judged.size()), 0, 0, 0, 0, 'A', 0});
        for (const ShowFinding& f : check.findings) {
            if (f.number < 0 || f.address.empty()) continue;
            ASSERT_LT(size_t(f.number), judged.size() - 1);
            const Record& r = judged[size_t(f.number)];
            EXPECT_EQ(f.address, std::string(1, r.letter) + (r.address < 10 ? "0" : "") +
                                     std::to_string(r.address));
        }

        // What the engine refuses, the check refuses too.
        if (FirstUnsendableRecord(doc.FirstFiring(), 0)) {
            EXPECT_TRUE(check.HasErrors());
            continue;
        }
        ++downloads;
        rig.hardware.Start();
        auto engine = rig.MakeEngine();
        engine->Download();
        ASSERT_TRUE(rig.RunToEnd(*engine));
        EXPECT_EQ(rig.hardware.Records(), judged);
    }
    EXPECT_GT(downloads, 0);
}

}  // namespace
}  // namespace flr
