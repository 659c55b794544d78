#include "reports/effectsummaryreport.h"

#include <algorithm>
#include <map>

#include "model/flrdoc.h"
#include "reports/reportcells.h"
#include "reports/reportkind.h"

namespace flr {

namespace {

struct ItemUse {
    const CEffect* item;
    int count;
};

struct SizeGroup {
    int size;
    int effects = 0;
    std::vector<ItemUse> items;
};

}  // namespace

CEffectSummaryReport::CEffectSummaryReport() : CReport(report::EffectSummary) {}

std::vector<CReport::ColumnSpec> CEffectSummaryReport::ColumnTable() const
{
    using A = ReportAlign;
    return {
        {"", {0}, {13}, A::Left, true},          {"Size", {23}, {73}, A::Right},
        {"Art No", {83}, {183}, A::Left},        {"Name", {193}, {193, 1}, A::Left},
        {"Used", {203, 1}, {253, 1}, A::Right},  {"Weight", {263, 1}, {313, 1}, A::Right},
        {"Total", {323, 1}, {373, 1}, A::Right}, {"Description", {383, 1}, {0, 0, true}, A::Left},
    };
}

void CEffectSummaryReport::BuildLines(const ReportSource& source, std::vector<ReportLine>& lines)
{
    namespace cell = reportcells;
    // Sizes in ascending order; within a size, items by article number (byte order).
    std::map<int, SizeGroup> groups;
    std::map<const CEffect*, size_t> slot;  // the item's place in its group
    for (CIgnition* e = source.doc->FirstFiring(); e; e = e->GetNextFiring()) {
        const CEffect* item = e->GetItem();
        if (!item) continue;
        SizeGroup& group =
            groups.try_emplace(item->GetSize(), SizeGroup{item->GetSize(), 0, {}}).first->second;
        ++group.effects;
        auto [it, added] = slot.try_emplace(item, group.items.size());
        if (added) {
            group.items.push_back({item, 1});
        } else {
            ++group.items[it->second].count;
        }
    }

    for (auto& [size, group] : groups) {
        std::stable_sort(group.items.begin(), group.items.end(),
                         [](const ItemUse& a, const ItemUse& b) {
                             return a.item->GetArticleNumber() < b.item->GetArticleNumber();
                         });
        long long totalWeight = 0;
        for (const ItemUse& use : group.items) {
            totalWeight += static_cast<long long>(use.item->GetWeight()) * use.count;
        }
        ReportLine heading;
        heading.kind = ReportLine::Kind::Heading;
        heading.text = cell::Format("Size: %d  Effects: %d  Total Weight: %lld", size,
                                    group.effects, totalWeight);
        lines.push_back(std::move(heading));
        for (const ItemUse& use : group.items) {
            const CEffect& item = *use.item;
            ReportLine line;
            line.kind = ReportLine::Kind::Row;
            line.cells = {
                std::string(),
                cell::Format("%d", item.GetSize()),
                item.GetArticleNumber(),
                item.GetName(),
                cell::Format("%d", use.count),
                cell::Format("%d", item.GetWeight()),
                cell::Format("%lld", static_cast<long long>(item.GetWeight()) * use.count),
                item.GetDescription()};
            lines.push_back(std::move(line));
        }
        lines.push_back(ReportLine{});
    }
}

}  // namespace flr
