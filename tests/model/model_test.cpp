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
    EXPECT_EQ(doc.GetFrameRate(), 25);  // no setup yet
    EXPECT_FALSE(doc.IsModified());

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

TEST(Ignition, DroppingTheItemMakesTheInTimeTheTimeAndClearsAPrefireError)
{
    CIgnition e;
    e.SetItem(test::MakeItem("X", 0.5));
    e.SetTime({0, 0, 0, 5}, {.fps = 25});
    EXPECT_TRUE(e.HasPrefireError());
    e.SetItem({});
    EXPECT_EQ(e.GetInTime(), e.GetTime());
    EXPECT_FALSE(e.HasPrefireError());
}

TEST(Ignition, DelayTextOfAChainedEntryNeedsForce)
{
    CIgnition e;
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

TEST(Document, DestroysEveryEntryExactlyOnce)
{
    int deaths = 0;
    {
        CFLRDoc doc;
        CIgnition* previous = nullptr;
        for (int i = 0; i < 6; ++i) {
            auto* e = new CountedIgnition(deaths);
            e->SetTime({0, 0, i, 0}, {.fps = 25});
            if (i % 3 != 0) {
                ASSERT_TRUE(previous->ChainHead()->AddChained(e));
            }
            e->LinkAfter(previous);
            if (!previous) doc.SetIgnitions(e);
            previous = e;
        }
        // A chained effect that could not join a chain still belongs to the show.
        auto* stray = new CountedIgnition(deaths);
        stray->SetChained(true);
        stray->LinkAfter(previous);
    }
    EXPECT_EQ(deaths, 7);
}

}  // namespace
}  // namespace flr
