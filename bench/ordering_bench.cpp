// The ordering work of loading a show, of one edit and of the show check, at 1,000 to 100,000
// entries.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "model/flrdoc.h"
#include "model/showcheck.h"

namespace flr {
namespace {

struct Plan {
    std::vector<CTimeCode> times;
    std::vector<std::pair<char, uint8_t>> addresses;
    std::vector<int> items;
};

Plan MakePlan(int n)
{
    std::mt19937 random(42);
    Plan plan;
    uint32_t frames = 0;
    for (int i = 0; i < n; ++i) {
        frames += random() % 20;  // effects every 0 to 0.8 s
        const uint32_t s = frames / 25;
        plan.times.push_back(CTimeCode::FromParts(s / 3600, s / 60 % 60, s % 60, frames % 25));
        plan.addresses.emplace_back(static_cast<char>('A' + random() % 25),
                                    static_cast<uint8_t>(1 + random() % 32));
        plan.items.push_back(random() % 4);
    }
    return plan;
}

std::vector<CEffectRef> MakeItems()
{
    std::vector<CEffectRef> items;
    for (double prefire : {0.0, 0.5, 1.2, 2.5}) {
        items.push_back(CEffect::Create());
        items.back()->SetPrefire(prefire);
    }
    return items;
}

// Creates and links the entries in schedule order, as the show file reader does.
void Build(CFLRDoc& doc, const Plan& plan, const std::vector<CEffectRef>& items, bool renumberEach)
{
    CIgnition* previous = nullptr;
    for (size_t i = 0; i < plan.times.size(); ++i) {
        auto* e = new CIgnition;
        e->SetItem(items[plan.items[i]]);
        e->SetAddress(plan.addresses[i].first, plan.addresses[i].second);
        const TimeCodeParts t = plan.times[i].Parts();
        e->SetTime(t, {.fps = 25});
        e->LinkAfter(previous, renumberEach);
        if (!previous) doc.SetIgnitions(e);
        previous = e;
    }
    doc.FirstFiring()->SetNumbers(0);
    doc.FirstFiring()->CheckAddresses();
}

void BM_LinkInScheduleOrder(benchmark::State& state)
{
    const Plan plan = MakePlan(static_cast<int>(state.range(0)));
    const auto items = MakeItems();
    for (auto _ : state) {
        CFLRDoc doc;
        Build(doc, plan, items, false);
        state.PauseTiming();
        doc.DeleteAllIgnitions();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LinkInScheduleOrder)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// The same, renumbering from the first entry after every link: quadratic, so only the
// smaller sizes.
void BM_LinkInScheduleOrderRenumberingEach(benchmark::State& state)
{
    const Plan plan = MakePlan(static_cast<int>(state.range(0)));
    const auto items = MakeItems();
    for (auto _ : state) {
        CFLRDoc doc;
        Build(doc, plan, items, true);
        state.PauseTiming();
        doc.DeleteAllIgnitions();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LinkInScheduleOrderRenumberingEach)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

class BuiltShow {
public:
    explicit BuiltShow(int n) : m_items(MakeItems()) { Build(m_doc, MakePlan(n), m_items, false); }
    CFLRDoc& Doc() { return m_doc; }

private:
    std::vector<CEffectRef> m_items;
    CFLRDoc m_doc;
};

void BM_ResortAll(benchmark::State& state)
{
    BuiltShow show(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(show.Doc().FirstFiring()->Resort(true));
}
BENCHMARK(BM_ResortAll)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_SetNumbers(benchmark::State& state)
{
    BuiltShow show(static_cast<int>(state.range(0)));
    for (auto _ : state) show.Doc().FirstFiring()->SetNumbers(0);
}
BENCHMARK(BM_SetNumbers)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_CheckAddresses(benchmark::State& state)
{
    BuiltShow show(static_cast<int>(state.range(0)));
    for (auto _ : state) show.Doc().FirstFiring()->CheckAddresses();
}
BENCHMARK(BM_CheckAddresses)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One edit as the schedule list makes it: a new Time for an entry in the middle, with
// propagation, then the resort, numbering and conflict check the view runs after it.
void BM_EditOneTime(benchmark::State& state)
{
    BuiltShow show(static_cast<int>(state.range(0)));
    CIgnition* e = show.Doc().FirstSchedule();
    for (int64_t i = 0; i < state.range(0) / 2; ++i) e = e->GetNextSchedule();
    const TimeCodeParts t = e->GetTime().Parts();
    bool later = false;
    for (auto _ : state) {
        later = !later;
        e->SetTime({t.hours, t.minutes, t.seconds, later ? t.frames + 1 : t.frames},
                   {.fps = 25, .propagate = true});
        e->Resort(false);
        show.Doc().FirstFiring()->CheckAddresses();
    }
}
BENCHMARK(BM_EditOneTime)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The show check before a download, with every item known to the database.
void BM_CheckShow(benchmark::State& state)
{
    BuiltShow show(static_cast<int>(state.range(0)));
    show.Doc().ResetSetup(std::make_unique<CFireworkSetup>());
    ShowCheckOptions options;
    options.knowsItem = [](const std::string&) { return true; };
    for (auto _ : state) benchmark::DoNotOptimize(CheckShow(show.Doc(), options).errors);
}
BENCHMARK(BM_CheckShow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
