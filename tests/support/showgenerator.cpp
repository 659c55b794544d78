#include "support/showgenerator.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

#include "model/flrdoc.h"

namespace flr::test {

std::vector<CEffectRef> MakeCatalogueItems(int count)
{
    const double prefires[] = {0.0, 0.5, 1.2, 2.5};
    std::vector<CEffectRef> items;
    for (int i = 0; i < count; ++i) {
        CEffectRef item = CEffect::Create();
        char artNo[16];
        std::snprintf(artNo, sizeof artNo, "FX-%03d", i + 1);
        item->SetArticleNumber(artNo);
        item->SetName(std::string("Effect ") + artNo);
        item->SetSize(30 + 5 * (i % 10));
        item->SetWeight(100 + 17 * i);
        item->SetPrefire(prefires[i % 4]);
        item->SetDuration(1.5 + 0.25 * (i % 8));
        item->SetColor(i % 7);
        items.push_back(item);
    }
    return items;
}

namespace {

struct Planned {
    CTimeCode time;
    int primary = -1;  // plan index of the chain's primary entry; -1 for a primary
    int item = 0;
    char letter = 'A';
    uint8_t number = 0;
    uint8_t position = 1;
    int order = 0;  // generation order, which breaks ties of Time
};

}  // namespace

void MakeRealisticShow(CFLRDoc& doc, int entries, unsigned seed,
                       const std::vector<CEffectRef>& items)
{
    constexpr int kFps = 25;
    std::mt19937 random(seed);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    doc.ResetSetup(std::make_unique<CFireworkSetup>());

    std::vector<Planned> plan;
    plan.reserve(static_cast<size_t>(entries) + 4);
    uint32_t frames = 100;  // later than every prefire: no prefire errors
    int nextAddress = 0;
    while (static_cast<int>(plan.size()) < entries) {
        frames += static_cast<uint32_t>(pick(21));  // 0 to 0.8 s apart
        const uint32_t s = frames / kFps;
        Planned p;
        p.time = CTimeCode::FromParts(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60),
                                      static_cast<int>(s % 60), static_cast<int>(frames % kFps));
        p.item = pick(static_cast<int>(items.size()));
        p.position = static_cast<uint8_t>(1 + pick(4));
        const int roll = pick(20);
        if (roll == 0 && !plan.empty()) {
            // Fires together with the previous primary entry.
            const Planned& last = plan.back();
            p.letter = last.letter;
            p.number = last.number;
            p.time = last.time;
            p.item = last.item;
        } else if (roll == 1) {
            // An address used before, at another moment: a conflict.
            p.letter = static_cast<char>('A' + pick(25));
            p.number = static_cast<uint8_t>(1 + pick(32));
        } else {
            p.letter = static_cast<char>('A' + nextAddress / 32 % 25);
            p.number = static_cast<uint8_t>(1 + nextAddress % 32);
            ++nextAddress;
        }
        p.order = static_cast<int>(plan.size());
        const int primaryIndex = static_cast<int>(plan.size());
        plan.push_back(p);

        if (pick(5) == 0) {
            // A chain of 2 to 4 effects, each 0.2 to 1 s after its predecessor fires.
            const int length = 2 + pick(3);
            const double primaryPrefire = items[static_cast<size_t>(p.item)]->GetPrefire();
            double fireAt = 0.0;
            for (int c = 0; c < length; ++c) {
                fireAt += 0.2 + 0.04 * pick(21);
                Planned q;
                q.primary = primaryIndex;
                q.item = pick(static_cast<int>(items.size()));
                q.letter = 'A';
                q.number = 0;
                q.position = p.position;
                const double prefire = items[static_cast<size_t>(q.item)]->GetPrefire();
                q.time = AddSeconds(p.time, fireAt - primaryPrefire + prefire, kFps);
                q.order = static_cast<int>(plan.size());
                plan.push_back(q);
            }
        }
    }

    std::vector<int> order(plan.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&plan](int a, int b) { return plan[a].time < plan[b].time; });

    std::vector<CIgnition*> made(plan.size(), nullptr);
    CIgnition* previous = nullptr;
    for (int i : order) {
        const Planned& p = plan[static_cast<size_t>(i)];
        auto* e = new CIgnition;
        e->SetItem(items[static_cast<size_t>(p.item)]);
        e->SetAddress(p.letter, p.number);
        e->SetPosition(p.position);
        const TimeCodeParts t = p.time.Parts();
        e->SetTime(t, {.fps = kFps});
        e->LinkAfter(previous, false);
        if (p.primary >= 0) {
            CIgnition* primary = made[static_cast<size_t>(p.primary)];
            if (!primary->AddChained(e)) e->SetChained(true);
        }
        made[static_cast<size_t>(i)] = e;
        previous = e;
    }
    if (!previous) return;
    doc.SetIgnitions(previous->FirstFiring());
    doc.FirstFiring()->SetNumbers(0);
    doc.FirstFiring()->CheckAddresses();
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) e->UpdateDelay(kFps);
}

}  // namespace flr::test
