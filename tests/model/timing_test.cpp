#include <gtest/gtest.h>

#include "model/flrdoc.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::ExpectInvariants;

std::string In(const CIgnition* e) { return FormatTimeCode(e->GetInTime()); }
std::string At(const CIgnition* e) { return FormatTimeCode(e->GetTime()); }
// "In Time/Time" of every entry in schedule order.
std::string Times(const CFLRDoc& doc)
{
    std::string out;
    for (const CIgnition* e : test::ScheduleOrder(doc)) out += " " + In(e) + "/" + At(e);
    return out.substr(1);
}

TEST(Timing, PrefireLongerThanTheTimeIsAnError)
{
    CIgnition e;
    e.SetItem(test::MakeItem("SHELL", 2.5));
    EXPECT_FALSE(e.SetTimeText("00:00:02:00", {.fps = 25}));
    EXPECT_EQ(In(&e), "00:00:00:00");
    EXPECT_TRUE(e.HasPrefireError());

    // Ignoring prefire on the entry or for the whole show: In Time is the Time.
    e.SetIgnorePrefire(true);
    EXPECT_FALSE(e.SetTimeText("00:00:02:00", {.fps = 25}));  // Time unchanged
    EXPECT_EQ(In(&e), "00:00:02:00");
    EXPECT_FALSE(e.HasPrefireError());
    EXPECT_TRUE(e.SetTimeText("00:00:03:00", {.fps = 25}));
    e.SetIgnorePrefire(false);
    EXPECT_TRUE(e.SetTimeText("00:00:02:00", {.prefireOff = true, .fps = 25}));
    EXPECT_EQ(In(&e), "00:00:02:00");
    EXPECT_FALSE(e.HasPrefireError());

    EXPECT_TRUE(e.SetTimeText("00:00:03:00", {.fps = 25}));
    EXPECT_EQ(In(&e), "00:00:00:13");
    EXPECT_FALSE(e.HasPrefireError());

    // A text that is not a time code changes nothing.
    EXPECT_FALSE(e.SetTimeText("soon", {.fps = 25}));
    EXPECT_EQ(At(&e), "00:00:03:00");
}

TEST(Timing, RetimingFromDelaysMovesEntriesTowardTheFront)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:02:00", "A02");
    CIgnition* c = AppendEntry(doc, "00:00:04:00", "A03");
    CIgnition* d = AppendEntry(doc, "00:00:05:00", "A04");

    // Lengthening a's delay pushes everything after it by the same amount.
    a->SetDelayText("3.00", false);
    EXPECT_TRUE(a->RetimeFromDelays(25, false));
    EXPECT_EQ(Times(doc),
              "00:00:03:00/00:00:03:00 00:00:04:00/00:00:04:00 "
              "00:00:06:00/00:00:06:00 00:00:07:00/00:00:07:00");

    // A chained effect whose delay now puts it before its predecessor's successor in the
    // schedule moves toward the front.
    CIgnition* chained = AppendChained(doc, c, "0.20");
    EXPECT_EQ(At(chained), "00:00:06:05");
    chained->SetDelayText("2.00", true);
    d->SetDelayText("0.04", false);
    EXPECT_TRUE(c->RetimeFromDelays(25, false));
    EXPECT_EQ(At(d), "00:00:06:01");
    EXPECT_EQ(test::ScheduleOrder(doc), (std::vector<CIgnition*>{a, b, c, d, chained}));
    EXPECT_EQ(At(chained), "00:00:08:00");

    // An earlier Time for a moves it before b in both orders once the caller resorts.
    b->SetDelayText("0.00", false);
    a->SetDelayText("5.00", false);
    b->SetTimeText("00:00:01:00", {.fps = 25});
    b->SetDelayText("1.00", false);
    EXPECT_TRUE(b->RetimeFromDelays(25, false));
    doc.FirstFiring()->Resort(true);
    test::Renumber(doc);
    EXPECT_EQ(test::ScheduleOrder(doc).front(), a);
    ExpectInvariants(doc);
}

TEST(Timing, RetimingReportsAPrefireErrorAnywhereOnTheWay)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:05:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:06:00", "A02", test::MakeItem("LONG", 4.0));
    AppendEntry(doc, "00:00:07:00", "A03");
    a->SetDelayText("1.00", false);
    // b now comes at 2 s with a prefire of 4 s; the last entry is fine.
    EXPECT_FALSE(a->RetimeFromDelays(25, false));
    EXPECT_TRUE(b->HasPrefireError());
    // With the show's prefire off there is no such error.
    EXPECT_TRUE(a->RetimeFromDelays(25, true));
    EXPECT_FALSE(b->HasPrefireError());
}

TEST(Timing, ChainDelaysDoNotCreepWhenRetimedAgainAndAgain)
{
    CFLRDoc doc;
    CIgnition* p = AppendEntry(doc, "00:00:10:00", "A01");
    CIgnition* c = AppendChained(doc, p, "1.00", test::MakeItem("X", 0.99));
    for (int i = 0; i < 5; ++i) {
        p->RetimeFromDelays(25, false);
        c->UpdateDelay(25);
        EXPECT_EQ(*c->GetDelayText(), "1.00");
        EXPECT_EQ(In(c), "00:00:11:00");
    }
}

TEST(Timing, ChangingTheShowsPrefireKeepsChainsInOrder)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    doc.GetSetup()->SetPrefireOff(true);
    CIgnition* p = AppendEntry(doc, "00:00:10:00", "A01", test::MakeItem("H", 2.0));
    CIgnition* c = AppendChained(doc, p, "1.00", test::MakeItem("L", 5.0));
    EXPECT_EQ(In(c), "00:00:11:00");
    // Prefire on: every In Time follows from its Time, then the chain from its delays.
    for (CIgnition* e : test::ScheduleOrder(doc)) {
        e->SetTimeText(At(e), {.fps = 25});
    }
    p->RetimeChain(25, false);
    EXPECT_EQ(Times(doc), "00:00:08:00/00:00:10:00 00:00:09:00/00:00:14:00");
    doc.FirstFiring()->Resort(true);
    test::Renumber(doc);
    test::ExpectInvariants(doc);
}

TEST(Timing, PropagationKeepsTheLaterEntriesOwnPrefire)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:02:00", "A02", test::MakeItem("X", 0.5));
    a->SetIgnorePrefire(true);
    // Moving a past b re-times b from its delay, with b's prefire still applied.
    EXPECT_TRUE(a->SetTimeText("00:00:03:00", {.fps = 25, .propagate = true}));
    EXPECT_EQ(*a->GetDelayText(), "3.00");
    EXPECT_EQ(Times(doc), "00:00:03:00/00:00:03:00 00:00:03:13/00:00:04:00");

    // Without overtaking, only the successor's delay follows.
    EXPECT_TRUE(a->SetTimeText("00:00:03:10", {.fps = 25, .propagate = true}));
    EXPECT_EQ(*b->GetDelayText(), "0.60");
    EXPECT_EQ(At(b), "00:00:04:00");
}

TEST(Timing, ThirtyFramesPerSecond)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    doc.GetSetup()->SetFrameRate(30);
    CIgnition* a = AppendEntry(doc, "00:00:01:29", "A01", test::MakeItem("X", 0.5));
    EXPECT_EQ(In(a), "00:00:01:14");
    EXPECT_EQ(*a->GetDelayText(), "1.97");
    CIgnition* b = AppendEntry(doc, "00:00:03:00", "A02");
    b->SetDelayText("1.50", false);
    b->RetimeFromDelays(30, false);
    EXPECT_EQ(At(b), "00:00:03:14");
}

}  // namespace
}  // namespace flr
