// Setup, document, catalogue and entries: their links, conflicts, chains and search.
#include <gtest/gtest.h>

#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

TEST(Setup, TextsAreCutAtAZeroByteAndEmptyIsNotNone)
{
    CFireworkSetup s;
    s.SetCustomerName(std::string("Caf\xE9\0tail", 9));
    EXPECT_EQ(*s.GetCustomerName(), "Caf\xE9");
    s.SetCustomerName(std::string());
    EXPECT_EQ(s.GetCustomerName(), std::optional<std::string>(""));
}

class RecordingObserver : public CFLRDocObserver {
public:
    std::vector<int> hints;
    void OnDocumentUpdate(CFLRDoc&, int hint) override { hints.push_back(hint); }
};

TEST(Document, SetupChangesNotifyWithTheSetupHint)
{
    CFLRDoc doc;
    RecordingObserver observer;
    doc.AddObserver(&observer);

    auto setup = std::make_unique<CFireworkSetup>();
    setup->SetFrameRate(30);
    CFireworkSetup* raw = setup.get();
    doc.SetSetup(std::move(setup));
    EXPECT_EQ(doc.GetFrameRate(), 30);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(observer.hints, std::vector<int>{136});

    // Handing the same setup back changes nothing and tells nobody.
    doc.SetModifiedFlag(false);
    doc.SetSetup(std::unique_ptr<CFireworkSetup>(raw));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(observer.hints.size(), 1u);

    doc.NotifyChanged();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(observer.hints, (std::vector<int>{136, 0}));
    doc.RemoveObserver(&observer);
    doc.NotifyChanged();
    EXPECT_EQ(observer.hints.size(), 2u);
}

TEST(Catalogue, ByteWiseUniqueKeys)
{
    CEffectCatalogue catalogue;
    CEffectRef ab = test::MakeItem("AB-1");
    EXPECT_TRUE(catalogue.Insert(ab));
    EXPECT_EQ(ab->GetRefCount(), 2);
    EXPECT_EQ(catalogue.Find("AB-1"), ab.get());
    EXPECT_EQ(catalogue.Find("ab-1"), nullptr);
    EXPECT_FALSE(catalogue.Insert(test::MakeItem("AB-1")));
    EXPECT_EQ(catalogue.Count(), 1u);
    EXPECT_FALSE(catalogue.Insert(CEffectRef()));

    for (const char* key : {"b", "B", "\xE9t\xE9", "a", "Z9"})
        catalogue.Insert(test::MakeItem(key));
    std::string order;
    catalogue.ForEach([&](const CEffect& e) { order += e.GetArticleNumber() + "|"; });
    // Upper case before lower case, bytes above 127 last: no locale folding.
    EXPECT_EQ(order, "AB-1|B|Z9|a|b|\xE9t\xE9|");

    EXPECT_TRUE(catalogue.Remove("AB-1"));
    EXPECT_EQ(ab->GetRefCount(), 1);
    EXPECT_FALSE(catalogue.Remove("AB-1"));
    catalogue.Clear();
    EXPECT_EQ(catalogue.Count(), 0u);
}

TEST(Ignition, DroppingTheItemClearsAPrefireErrorAndAChainedDelayNeedsForce)
{
    CIgnition e;
    e.SetItem(test::MakeItem("X", 0.5));
    e.SetTime({0, 0, 0, 5}, {.fps = 25});
    EXPECT_TRUE(e.HasPrefireError());
    e.SetItem({});
    EXPECT_EQ(e.GetInTime(), e.GetTime());
    EXPECT_FALSE(e.HasPrefireError());

    // A chained entry's delay, once set, changes only by force.
    e.SetChained(true);
    EXPECT_TRUE(e.SetDelayText("1.00", false));  // a first delay needs none
    EXPECT_FALSE(e.SetDelayText("2.00", false));
    EXPECT_EQ(*e.GetDelayText(), "1.00");
    EXPECT_TRUE(e.SetDelayText("2.00", true));
}

// Counts destructions, to prove that every entry dies exactly once.
struct CountedIgnition : CIgnition {
    explicit CountedIgnition(int& deaths) : deaths(deaths) {}
    ~CountedIgnition() override { ++deaths; }
    int& deaths;
};

TEST(Ignition, APrimaryEntryTakesItsChainWithIt)
{
    int deaths = 0;
    CFLRDoc doc;
    CEffectRef item = test::MakeItem("X");
    auto* head = new CountedIgnition(deaths);
    head->SetItem(item);
    head->SetAddress('A', 1);
    head->SetTime({0, 0, 1, 0}, {.fps = 25});
    head->LinkAfter(nullptr);
    doc.SetIgnitions(head);
    CIgnition* previous = head;
    for (int i = 0; i < 3; ++i) {
        auto* c = new CountedIgnition(deaths);
        c->SetItem(item);
        c->SetTime({0, 0, 2 + i, 0}, {.fps = 25});
        ASSERT_TRUE(previous->AddChained(c));
        c->LinkAfter(previous);
        previous = c;
    }
    CIgnition* other = test::AppendEntry(doc, "00:00:09:00", "A02", item);
    EXPECT_EQ(item->GetRefCount(), 6);

    // A chained effect leaves its chain joined behind it.
    CIgnition* second = head->GetChainNext()->GetChainNext();
    doc.DeleteIgnition(head->GetChainNext());
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(head->GetChainNext(), second);
    EXPECT_EQ(second->GetChainPrev(), head);

    doc.DeleteIgnition(head);  // the anchor: the document moves it to a survivor
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(doc.GetIgnitions(), other);
    EXPECT_EQ(test::ScheduleOrder(doc).size(), 1u);
    EXPECT_EQ(test::FiringOrder(doc).size(), 1u);
    EXPECT_EQ(item->GetRefCount(), 2);
}

TEST(Conflicts, AddressesOutsideTheTableAreLeftUnchecked)
{
    CFLRDoc doc;
    int second = 1;
    for (const char* address :
         {"Z01", "Z01", "A33", "A33", "a01", "a01", "\37701", "\37701", "A255", "A255"}) {
        test::AppendEntry(doc, FormatTimeCode(CTimeCode::FromParts(0, 0, second++, 0)), address);
    }
    CIgnition* y32 = test::AppendEntry(doc, "00:00:20:00", "Y32");
    CIgnition* again = test::AppendEntry(doc, "00:00:21:00", "Y32");
    for (CIgnition* e : test::FiringOrder(doc)) {
        EXPECT_EQ(e->HasAddressConflict(), e == again) << e->AddressText();
    }
    EXPECT_FALSE(y32->HasAddressConflict());
    test::ExpectInvariants(doc);
}

TEST(Chains, InsertionByInTime)
{
    CFLRDoc doc;
    CIgnition* p = test::AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c1 = test::AppendChained(doc, p, "1.00");  // 2 s
    CIgnition* c2 = test::AppendChained(doc, p, "1.00");  // 3 s

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
    test::ExpectInvariants(doc);
}

TEST(Search, FindByNumberInBothDirections)
{
    CFLRDoc doc;
    CIgnition* p0 = test::AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* chained = test::AppendChained(doc, p0, "1.00");
    CIgnition* p1 = test::AppendEntry(doc, "00:00:03:00", "A02");
    CIgnition* p2 = test::AppendEntry(doc, "00:00:04:00", "A03");
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
