// Builds, edits and destroys shows at random, the way the schedule view drives the model,
// and checks the invariants after every step.
#include <gtest/gtest.h>

#include <random>

#include "model/flrdoc.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

class RandomShow {
public:
    explicit RandomShow(unsigned seed) : m_random(seed)
    {
        for (double prefire : {0.0, 0.5, 1.5, 3.0}) {
            m_items.push_back(test::MakeItem("P" + std::to_string(prefire), prefire));
        }
    }

    void Step()
    {
        const int size = static_cast<int>(test::ScheduleOrder(m_doc).size());
        switch (Pick(size < 5 ? 2 : 8)) {
        case 0:
        case 1: AddPrimary(); break;
        case 2: AddChained(); break;
        case 3: Delete(); break;
        case 4: ChangeDelay(); break;
        case 5: MoveInTime(); break;
        case 6: ToggleIgnorePrefire(); break;
        case 7: Readdress(); break;
        }
        // What every editing command finishes with.
        if (CIgnition* first = m_doc.FirstFiring()) {
            first->Resort(true);
            m_doc.FirstFiring()->CheckAddresses();
        }
    }

    CFLRDoc& Doc() { return m_doc; }
    const std::vector<CEffectRef>& Items() const { return m_items; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    CIgnition* RandomEntry(bool primaryWithoutChain)
    {
        std::vector<CIgnition*> candidates;
        for (CIgnition* e : test::ScheduleOrder(m_doc)) {
            if (!primaryWithoutChain || (!e->GetChainPrev() && !e->GetChainNext())) {
                candidates.push_back(e);
            }
        }
        return candidates.empty() ? nullptr : candidates[Pick(int(candidates.size()))];
    }

    // Puts a just-timed entry at its place in the schedule order.
    void Place(CIgnition* e)
    {
        CIgnition* after = nullptr;
        for (CIgnition* x : test::ScheduleOrder(m_doc)) {
            if (x != e && x->GetTime() <= e->GetTime()) after = x;
        }
        if (after) {
            e->LinkAfter(after);
        } else if (CIgnition* first = m_doc.FirstSchedule(); first && first != e) {
            e->LinkAfter(first);
            e->MoveBefore(first);
        } else {
            e->LinkAfter(nullptr);
        }
        if (!m_doc.GetIgnitions()) m_doc.SetIgnitions(e);
    }

    void AddPrimary()
    {
        auto* e = new CIgnition;
        e->SetAddress(static_cast<char>('A' + Pick(3)), static_cast<uint8_t>(1 + Pick(4)));
        if (Pick(4)) e->SetItem(m_items[Pick(int(m_items.size()))]);
        e->SetTime({0, Pick(2), Pick(60), Pick(25)}, {.fps = 25});
        Place(e);
        e->UpdateDelay(25);
        if (CIgnition* next = e->GetNextSchedule()) next->UpdateDelay(25);
    }

    void AddChained()
    {
        // Chains hang behind primaries without prefire, whose effects come at their In Time,
        // so a chain never reaches back before its primary in the schedule.
        std::vector<CIgnition*> heads;
        for (CIgnition* e : test::ScheduleOrder(m_doc)) {
            if (!e->GetChainPrev() && (!e->GetItem() || e->GetItem()->GetPrefire() == 0)) {
                heads.push_back(e);
            }
        }
        if (heads.empty()) return;
        CIgnition* head = heads[Pick(int(heads.size()))];
        CIgnition* tail = head;
        while (tail->GetChainNext()) tail = tail->GetChainNext();
        auto* e = new CIgnition;
        e->SetChained(true);
        e->SetAddress('A', 0);
        if (Pick(2)) e->SetItem(m_items[0]);
        e->SetDelayText(std::to_string(Pick(3)) + "." + std::to_string(10 + Pick(90)), true);
        e->SetTime(tail->GetInTime().Parts(), {.fps = 25});
        ASSERT_TRUE(tail->AddChained(e));
        e->LinkAfter(tail);
        head->RetimeFromDelays(25, false);
    }

    void Delete()
    {
        CIgnition* e = RandomEntry(false);
        if (!e) return;
        m_doc.DeleteIgnition(e);
    }

    void ChangeDelay()
    {
        CIgnition* e = RandomEntry(false);
        if (!e) return;
        if (e->GetChainPrev() && e->GetChainPrev()->GetItem() &&
            e->GetChainPrev()->GetItem()->GetPrefire() > 0) {
            return;
        }
        e->SetDelayText(std::to_string(Pick(5)) + "." + std::to_string(10 + Pick(90)), true);
        e->RetimeFromDelays(25, false);
    }

    void MoveInTime()
    {
        CIgnition* e = RandomEntry(true);
        if (!e) return;
        // As the Time cell applies an edit: set, move to its place, recompute the delays.
        e->SetTime({0, Pick(2), Pick(60), Pick(25)}, {.fps = 25});
        Place(e);
        e->UpdateDelay(25);
        if (CIgnition* next = e->GetNextSchedule()) next->UpdateDelay(25);
    }

    void ToggleIgnorePrefire()
    {
        CIgnition* e = RandomEntry(true);
        if (!e) return;
        e->SetIgnorePrefire(!e->GetIgnorePrefire());
        e->RetimeFromDelays(25, false);
    }

    void Readdress()
    {
        CIgnition* e = RandomEntry(true);
        if (!e) return;
        e->SetAddress(static_cast<char>('A' + Pick(3)), static_cast<uint8_t>(1 + Pick(4)));
    }

    std::mt19937 m_random;
    std::vector<CEffectRef> m_items;
    CFLRDoc m_doc;
};

TEST(RandomisedShow, InvariantsHoldAfterEveryEdit)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::vector<CEffectRef> items;
        {
            RandomShow show(seed);
            for (int step = 0; step < 1500; ++step) {
                show.Step();
                test::ExpectInvariants(show.Doc());
                if (testing::Test::HasFatalFailure()) {
                    FAIL() << "seed " << seed << " step " << step;
                }
            }
            items = show.Items();
        }
        // The show is gone: only our own references remain.
        for (const CEffectRef& item : items) EXPECT_EQ(item->GetRefCount(), 1);
    }
}

}  // namespace
}  // namespace flr
