#include <gtest/gtest.h>

#include "model/flrdoc.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::ExpectInvariants;
using test::FiringAddresses;
using test::FiringNumbers;

TEST(Ordering, EqualInTimesSortByBankThenNumber)
{
    CFLRDoc doc;
    AppendEntry(doc, "00:00:01:00", "B01");
    AppendEntry(doc, "00:00:01:00", "A02");
    AppendEntry(doc, "00:00:01:00", "A01");
    EXPECT_EQ(FiringAddresses(doc), "A01 A02 B01");
    EXPECT_EQ(FiringNumbers(doc), "0 1 2");
    ExpectInvariants(doc);
}

TEST(Ordering, PrefireReordersFiringAgainstSchedule)
{
    CFLRDoc doc;
    AppendEntry(doc, "00:00:01:00", "A01");
    AppendEntry(doc, "00:00:02:00", "A02", test::MakeItem("SHELL", 1.5));  // fires at 00:00:00:13
    AppendEntry(doc, "00:00:03:00", "A03", test::MakeItem("BIG", 3.0));    // fires at 0
    EXPECT_EQ(FiringAddresses(doc), "A03 A02 A01");
    EXPECT_EQ(FiringNumbers(doc), "0 1 2");
    EXPECT_EQ(FormatTimeCode(doc.FirstFiring()->GetNextFiring()->GetInTime()), "00:00:00:13");
    ExpectInvariants(doc);
}

TEST(Numbering, EntriesFiringTogetherShareANumber)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c = AppendEntry(doc, "00:00:02:00", "A01");
    CIgnition* d = AppendEntry(doc, "00:00:02:00", "A02");
    EXPECT_EQ(a->GetNumber(), 0);
    EXPECT_EQ(b->GetNumber(), 0);
    EXPECT_FALSE(a->HasAddressConflict());
    EXPECT_FALSE(b->HasAddressConflict());
    // Same address, another In Time: a conflict, with a number of its own.
    EXPECT_EQ(c->GetNumber(), 1);
    EXPECT_TRUE(c->HasAddressConflict());
    EXPECT_EQ(d->GetNumber(), 2);
    EXPECT_FALSE(d->HasAddressConflict());
    ExpectInvariants(doc);
}

TEST(Numbering, ChainedEffectsTakeNoNumber)
{
    CFLRDoc doc;
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01");
    AppendEntry(doc, "00:00:05:00", "A02");
    AppendChained(doc, p, "1.00");
    EXPECT_EQ(FiringNumbers(doc), "0 -1 1");
    ExpectInvariants(doc);

    // Numbering from a chained first entry passes the count on unchanged.
    CIgnition* chained = p->GetChainNext();
    chained->SetNumbers(0);
    EXPECT_EQ(chained->GetNumber(), -1);
    EXPECT_EQ(chained->GetNextFiring()->GetNumber(), 0);
    // -1 stops the walk at once.
    p->SetNumbers(-1);
    EXPECT_EQ(p->GetNumber(), -1);
    EXPECT_EQ(chained->GetNextFiring()->GetNumber(), 0);
}

TEST(Conflicts, AddressesOutsideTheTableAreLeftUnchecked)
{
    CFLRDoc doc;
    int second = 1;
    for (const char* address : {"Z01", "Z01", "A33", "A33", "a01", "a01",
                                "\xFF"
                                "01",
                                "\xFF"
                                "01",
                                "A255", "A255"}) {
        AppendEntry(doc, FormatTimeCode(CTimeCode::FromParts(0, 0, second++, 0)), address);
    }
    CIgnition* y32 = AppendEntry(doc, "00:00:20:00", "Y32");
    CIgnition* again = AppendEntry(doc, "00:00:21:00", "Y32");
    for (CIgnition* e : test::FiringOrder(doc)) {
        EXPECT_EQ(e->HasAddressConflict(), e == again) << e->AddressText();
    }
    EXPECT_FALSE(y32->HasAddressConflict());
    ExpectInvariants(doc);
}

TEST(Chains, InsertionByInTime)
{
    CFLRDoc doc;
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c1 = AppendChained(doc, p, "1.00");  // 2 s
    CIgnition* c2 = AppendChained(doc, p, "1.00");  // 3 s

    auto effectAt = [](int seconds) {
        auto* e = new CIgnition;
        e->SetInTimeRaw(CTimeCode::FromParts(0, 0, seconds, 0));
        return e;
    };
    // Between the second and third member.
    CIgnition* between = effectAt(2);
    between->SetInTimeRaw(CTimeCode::FromParts(0, 0, 2, 12));
    ASSERT_TRUE(p->AddChained(between));
    EXPECT_EQ(c1->GetChainNext(), between);
    EXPECT_EQ(between->GetChainNext(), c2);
    EXPECT_TRUE(between->IsChained());

    // Forwards, an equal In Time goes before; backwards (from c2), after.
    CIgnition* tieForward = effectAt(2);
    ASSERT_TRUE(p->AddChained(tieForward));
    EXPECT_EQ(p->GetChainNext(), tieForward);
    EXPECT_EQ(tieForward->GetChainNext(), c1);
    CIgnition* tieBackward = effectAt(2);
    ASSERT_TRUE(c2->AddChained(tieBackward));
    EXPECT_EQ(c1->GetChainNext(), tieBackward);

    // After the end.
    CIgnition* late = effectAt(9);
    ASSERT_TRUE(c1->AddChained(late));
    EXPECT_EQ(c2->GetChainNext(), late);
    EXPECT_EQ(late->GetChainNext(), nullptr);

    // Before the primary entry: refused, left outside.
    CIgnition* early = effectAt(0);
    EXPECT_FALSE(c2->AddChained(early));
    EXPECT_FALSE(p->AddChained(early));
    EXPECT_EQ(early->GetChainPrev(), nullptr);
    EXPECT_FALSE(early->IsChained());
    // An effect already in a chain, itself, or nothing: refused.
    EXPECT_FALSE(p->AddChained(c1));
    EXPECT_FALSE(p->AddChained(p));
    EXPECT_FALSE(p->AddChained(nullptr));

    for (CIgnition* e : {between, tieForward, tieBackward, late, early}) delete e;
    EXPECT_EQ(p->GetChainNext(), c1);
    EXPECT_EQ(c1->GetChainNext(), c2);
    ExpectInvariants(doc);
}

TEST(Linking, RelinkingAndMovingKeepBothOrders)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:02:00", "A02");
    CIgnition* c = AppendEntry(doc, "00:00:03:00", "A03");
    // Relinking an entry that is already linked takes it out first.
    b->SetTime({0, 0, 4, 0}, {.fps = 25});
    b->LinkAfter(c);
    EXPECT_EQ(test::ScheduleOrder(doc), (std::vector<CIgnition*>{a, c, b}));
    EXPECT_EQ(FiringAddresses(doc), "A01 A03 A02");
    EXPECT_EQ(FiringNumbers(doc), "0 1 2");
    ExpectInvariants(doc);

    a->SetTime({0, 0, 5, 0}, {.fps = 25});
    a->MoveBefore(nullptr);  // no place given: only resorts
    EXPECT_EQ(FiringAddresses(doc), "A03 A02 A01");
    a->LinkAfter(b);
    EXPECT_EQ(test::ScheduleOrder(doc), (std::vector<CIgnition*>{c, b, a}));
    b->MoveBefore(c);
    EXPECT_EQ(test::ScheduleOrder(doc).front(), b);
}

TEST(Search, FindByNumberInBothDirections)
{
    CFLRDoc doc;
    CIgnition* p0 = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* chained = AppendChained(doc, p0, "1.00");
    CIgnition* p1 = AppendEntry(doc, "00:00:03:00", "A02");
    CIgnition* p2 = AppendEntry(doc, "00:00:04:00", "A03");
    EXPECT_EQ(chained->FindByNumber(0), p0);
    EXPECT_EQ(chained->FindByNumber(2), p2);
    EXPECT_EQ(chained->FindByNumber(-1), chained);
    EXPECT_EQ(p1->FindByNumber(0), p0);
    EXPECT_EQ(p1->FindByNumber(2), p2);
    EXPECT_EQ(p0->FindByNumber(3), nullptr);
    EXPECT_EQ(p2->FindByNumber(-5), nullptr);

    EXPECT_EQ(p1->PreviousPrimary(), p0);  // skips the chained effect
    EXPECT_EQ(p0->NextPrimary(), p1);
    EXPECT_EQ(p2->NextPrimary(), nullptr);
    EXPECT_EQ(p0->PreviousPrimary(), nullptr);
}

}  // namespace
}  // namespace flr
