#include "reports/podsummaryreport.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "model/flrdoc.h"
#include "reports/reportcells.h"
#include "reports/reportkind.h"

namespace flr {

CPodSummaryReport::CPodSummaryReport() : CReport(report::PodSummary) {}

std::vector<CReport::ColumnSpec> CPodSummaryReport::ColumnTable() const
{
    using A = ReportAlign;
    return {
        {"Addr", {0}, {40}, A::Left},          {"IP", {55}, {100}, A::Left},
        {"InTime", {115}, {205}, A::Left},     {"Size", {220}, {255}, A::Right},
        {"Art No", {270}, {355}, A::Left},     {"Name", {370}, {370, 1}, A::Left},
        {"Note", {385, 1}, {385, 2}, A::Left}, {"Rack", {400, 2}, {0, 0, true}, A::Right},
    };
}

void CPodSummaryReport::BuildLines(const ReportSource& source, std::vector<ReportLine>& lines)
{
    namespace cell = reportcells;
    // A pod: same position, same bank letter, same half (addresses 1-16 or 17-32), in that
    // order of sorting; lower half first.
    using PodKey = std::tuple<int, unsigned char, bool>;
    std::map<PodKey, std::vector<const CIgnition*>> pods;
    for (const CIgnition* e = source.doc->FirstFiring(); e; e = e->GetNextFiring()) {
        if (e->IsChained()) continue;
        pods[{e->GetPosition(), static_cast<unsigned char>(e->GetLetter()),
              e->GetAddressNumber() > 16}]
            .push_back(e);
    }

    const int fps = source.doc->GetFrameRate();
    for (auto& [key, members] : pods) {
        const auto& [position, letter, upper] = key;
        // Wiring order within the pod; entries on one address keep their firing order.
        std::stable_sort(members.begin(), members.end(),
                         [](const CIgnition* a, const CIgnition* b) {
                             return a->GetAddressNumber() < b->GetAddressNumber();
                         });
        const char bank = static_cast<char>(letter);
        const std::string range =
            cell::Address(bank, upper ? 17 : 1) + " - " + cell::Address(bank, upper ? 32 : 16);
        ReportLine heading;
        heading.kind = ReportLine::Kind::Heading;
        heading.text = cell::Format("Pod: %s  Position: %d  Ignitors: %d", range.c_str(), position,
                                    static_cast<int>(members.size()));
        lines.push_back(std::move(heading));
        for (const CIgnition* e : members) {
            ReportLine line;
            line.kind = ReportLine::Kind::Row;
            line.cells = {cell::Address(*e), cell::Ip(*e, fps), cell::InTime(*e), cell::Size(*e),
                          cell::ArtNo(*e),   cell::Name(*e),    cell::Note(*e),   cell::Rack(*e)};
            lines.push_back(std::move(line));
        }
        lines.push_back(ReportLine{});
    }
}

}  // namespace flr
