#include "support/showbuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace flr::test {

CEffectRef MakeItem(const std::string& articleNumber, double prefire)
{
    CEffectRef item = CEffect::Create();
    item->SetArticleNumber(articleNumber);
    item->SetPrefire(prefire);
    return item;
}

CIgnition* AppendEntry(CFLRDoc& doc, const std::string& time, const std::string& address,
                       CEffectRef item)
{
    const int fps = doc.GetFrameRate();
    const bool prefireOff = doc.GetSetup() && doc.GetSetup()->GetPrefireOff();
    auto* e = new CIgnition;
    if (!address.empty()) {
        e->SetAddress(address[0], static_cast<uint8_t>(std::stoi(address.substr(1))));
    }
    e->SetItem(std::move(item));
    e->SetTimeText(time, {.prefireOff = prefireOff, .fps = fps});
    CIgnition* last = doc.FirstSchedule() ? doc.FirstSchedule()->LastSchedule() : nullptr;
    e->LinkAfter(last);
    if (!doc.GetIgnitions()) doc.SetIgnitions(e);
    e->UpdateDelay(fps);
    Renumber(doc);
    return e;
}

CIgnition* AppendChained(CFLRDoc& doc, CIgnition* primary, const std::string& delay,
                         CEffectRef item)
{
    const int fps = doc.GetFrameRate();
    const bool prefireOff = doc.GetSetup() && doc.GetSetup()->GetPrefireOff();
    CIgnition* tail = primary;
    while (tail->GetChainNext()) tail = tail->GetChainNext();
    auto* e = new CIgnition;
    e->SetChained(true);
    e->SetAddress('A', 0);
    e->SetItem(std::move(item));
    e->SetPosition(primary->GetPosition());
    e->SetDelayText(delay, true);
    // Place it just after its predecessor, chain it, then let the delays give it its time.
    e->SetTimeText(FormatTimeCode(tail->GetInTime()), {.prefireOff = true, .fps = fps});
    EXPECT_TRUE(tail->AddChained(e));
    e->LinkAfter(tail);
    e->RetimeFromDelays(fps, prefireOff);
    primary->Resort(true);
    Renumber(doc);
    return e;
}

std::vector<CIgnition*> FiringOrder(const CFLRDoc& doc)
{
    std::vector<CIgnition*> out;
    for (CIgnition* e = doc.FirstFiring(); e; e = e->GetNextFiring()) out.push_back(e);
    return out;
}

std::vector<CIgnition*> ScheduleOrder(const CFLRDoc& doc)
{
    std::vector<CIgnition*> out;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) out.push_back(e);
    return out;
}

std::string FiringAddresses(const CFLRDoc& doc)
{
    std::string out;
    for (CIgnition* e : FiringOrder(doc)) out += (out.empty() ? "" : " ") + e->AddressText();
    return out;
}

std::string FiringNumbers(const CFLRDoc& doc)
{
    std::string out;
    for (CIgnition* e : FiringOrder(doc)) {
        out += (out.empty() ? "" : " ") + std::to_string(e->GetNumber());
    }
    return out;
}

void Renumber(CFLRDoc& doc)
{
    if (CIgnition* first = doc.FirstFiring()) {
        first->SetNumbers(0);
        first->CheckAddresses();
    }
}

void ExpectInvariants(const CFLRDoc& doc)
{
    const std::vector<CIgnition*> firing = FiringOrder(doc);
    const std::vector<CIgnition*> schedule = ScheduleOrder(doc);
    ASSERT_EQ(firing.size(), schedule.size());
    ASSERT_EQ(std::set<CIgnition*>(firing.begin(), firing.end()),
              std::set<CIgnition*>(schedule.begin(), schedule.end()));

    for (size_t i = 0; i < firing.size(); ++i) {
        CIgnition* e = firing[i];
        ASSERT_EQ(e->GetPrevFiring(), i ? firing[i - 1] : nullptr);
        ASSERT_EQ(e->GetNextFiring(), i + 1 < firing.size() ? firing[i + 1] : nullptr);
        ASSERT_EQ(schedule[i]->GetPrevSchedule(), i ? schedule[i - 1] : nullptr);
        ASSERT_EQ(schedule[i]->GetNextSchedule(),
                  i + 1 < schedule.size() ? schedule[i + 1] : nullptr);
        if (i > 0) {
            const CIgnition* p = firing[i - 1];
            ASSERT_LE(p->GetInTime(), e->GetInTime());
            if (p->GetInTime() == e->GetInTime()) {
                const auto key = [](const CIgnition* x) {
                    return std::make_pair(static_cast<unsigned char>(x->GetLetter()),
                                          x->GetAddressNumber());
                };
                ASSERT_LE(key(p), key(e)) << "address tie-break at " << i;
            }
            ASSERT_LE(schedule[i - 1]->GetTime(), schedule[i]->GetTime());
        }
    }

    // Numbers, by the numbering rule on the order as an array rather than through the links:
    // a primary entry takes the running number; the next one repeats it when it shares
    // address and In Time, and advances it only behind a primary entry.
    int32_t v = 0;
    for (size_t i = 0; i < firing.size(); ++i) {
        const CIgnition* e = firing[i];
        ASSERT_EQ(e->GetNumber(), e->IsChained() ? CIgnition::kNoNumber : v)
            << "numbers: " << FiringNumbers(doc);
        if (i + 1 < firing.size()) {
            const CIgnition* s = firing[i + 1];
            const bool together = s->GetLetter() == e->GetLetter() &&
                                  s->GetAddressNumber() == e->GetAddressNumber() &&
                                  s->GetInTime() == e->GetInTime();
            if (!together && !e->IsChained()) ++v;
        }
    }

    // Chains.
    std::set<const CIgnition*> chained;
    for (const CIgnition* e : schedule) {
        if (e->GetChainPrev()) continue;
        for (const CIgnition* c = e->GetChainNext(); c; c = c->GetChainNext()) {
            ASSERT_TRUE(c->IsChained());
            ASSERT_EQ(c->GetChainPrev()->GetChainNext(), c);
            ASSERT_LE(c->GetChainPrev()->GetInTime(), c->GetInTime())
                << FormatTimeCode(c->GetChainPrev()->GetInTime()) << " then "
                << FormatTimeCode(c->GetInTime()) << " (" << FormatTimeCode(c->GetTime())
                << ", delay " << c->GetDelayText().value_or("none") << ")";
            ASSERT_TRUE(chained.insert(c).second) << "an effect in two chains";
        }
    }

    // Conflict marks: the first user of an address never, a later one at another In Time yes.
    std::map<std::pair<char, int>, CTimeCode> first;
    for (const CIgnition* e : firing) {
        bool conflict = false;
        const bool inTable = e->GetLetter() >= 'A' && e->GetLetter() <= 'Y' &&
                             e->GetAddressNumber() >= 1 && e->GetAddressNumber() <= 32;
        if (inTable) {
            const auto key = std::make_pair(e->GetLetter(), int(e->GetAddressNumber()));
            const auto [it, added] = first.emplace(key, e->GetInTime());
            conflict = !added && it->second != e->GetInTime();
        }
        ASSERT_EQ(e->HasAddressConflict(), conflict) << e->AddressText();
    }
}

}  // namespace flr::test
