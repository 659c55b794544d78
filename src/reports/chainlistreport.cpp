#include "reports/chainlistreport.h"

#include "model/flrdoc.h"
#include "reports/reportcells.h"
#include "reports/reportkind.h"

namespace flr {

CChainListReport::CChainListReport() : CReport(report::ChainList) {}

std::vector<CReport::ColumnSpec> CChainListReport::ColumnTable() const
{
    using A = ReportAlign;
    return {
        {"Nr", {0}, {20}, A::Left},
        {"Delay", {30}, {80}, A::Right},
        {"Size", {90}, {140}, A::Right},
        {"Art No", {150}, {250}, A::Left},
        {"Name", {260}, {260, 1}, A::Left},
        {"Note", {270, 1}, {270, 2}, A::Left},
        {"Rack", {280, 2}, {0, 0, true}, A::Right},
    };
}

void CChainListReport::BuildLines(const ReportSource& source, std::vector<ReportLine>& lines)
{
    namespace cell = reportcells;
    for (CIgnition* head = source.doc->FirstFiring(); head; head = head->GetNextFiring()) {
        if (!head->GetChainNext() || head->GetChainPrev()) continue;
        int members = 0;
        for (CIgnition* m = head; m; m = m->GetChainNext()) ++members;

        ReportLine heading;
        heading.kind = ReportLine::Kind::Heading;
        heading.text =
            head->IsChained()
                ? std::string("Manual Chain")
                : cell::Format("IP: %03d  Addr: %s  Effects: %d", head->GetNumber(),
                               cell::Address(head->GetLetter(), head->GetAddressNumber()).c_str(),
                               members);
        lines.push_back(std::move(heading));

        int place = 1;
        for (CIgnition* m = head; m; m = m->GetChainNext(), ++place) {
            ReportLine line;
            line.kind = ReportLine::Kind::Row;
            line.cells = {cell::Format("%d", place),
                          place == 1 ? std::string("0.00") : cell::Delay(*m),
                          cell::Size(*m),
                          cell::ArtNo(*m),
                          cell::Name(*m),
                          cell::Note(*m),
                          cell::Rack(*m)};
            lines.push_back(std::move(line));
        }
        lines.push_back(ReportLine{});
    }
    // No blank line after the last chain.
    if (!lines.empty()) lines.pop_back();
}

}  // namespace flr
