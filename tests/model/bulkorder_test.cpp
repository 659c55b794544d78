// The ignition-point order resorted in bulk against the same order resorted entry by entry.
#include <gtest/gtest.h>

#include <random>

#include "model/flrdoc.h"
#include "model/ignition.h"

namespace flr {
namespace {

// Entries with In Times and addresses drawn from few values (many ties), in a random
// ignition-point order; the schedule order is creation order.
std::vector<CIgnition*> Scrambled(CFLRDoc& doc, std::mt19937& random, int n)
{
    std::vector<CIgnition*> entries;
    for (int i = 0; i < n; ++i) {
        auto* e = new CIgnition;
        e->SetInTimeRaw(CTimeCode(random() % 5 << 8));
        e->SetAddress(static_cast<char>('A' + random() % 2), static_cast<uint8_t>(random() % 3));
        e->LinkScheduleAfter(entries.empty() ? nullptr : entries.back());
        entries.push_back(e);
    }
    std::vector<CIgnition*> order = entries;
    std::shuffle(order.begin(), order.end(), random);
    CIgnition::LinkFiringOrder(order);
    doc.SetIgnitions(entries.front());
    return entries;
}

std::vector<size_t> Positions(const CFLRDoc& doc, const std::vector<CIgnition*>& entries)
{
    std::vector<size_t> out;
    for (CIgnition* e = doc.FirstFiring(); e; e = e->GetNextFiring()) {
        out.push_back(size_t(std::find(entries.begin(), entries.end(), e) - entries.begin()));
    }
    return out;
}

TEST(BulkOrder, ResortingInBulkMatchesDoingItEntryByEntry)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 a(seed), b(seed);
        CFLRDoc bulk, each;
        const int n = 1 + int(seed % 40);
        const auto bulkEntries = Scrambled(bulk, a, n);
        const auto eachEntries = Scrambled(each, b, n);
        const bool moved = bulk.FirstFiring()->Resort(true);
        bool movedEach = false;
        for (CIgnition* e = each.FirstFiring(); e;) {
            CIgnition* next = e->GetNextFiring();
            movedEach = e->Resort(false, false) || movedEach;
            e = next;
        }
        each.FirstFiring()->SetNumbers(0);
        ASSERT_EQ(Positions(bulk, bulkEntries), Positions(each, eachEntries)) << seed;
        EXPECT_EQ(moved, movedEach) << seed;
        for (size_t i = 0; i < bulkEntries.size(); ++i) {
            EXPECT_EQ(bulkEntries[i]->GetNumber(), eachEntries[i]->GetNumber()) << seed;
        }
    }
}

}  // namespace
}  // namespace flr
