#include "reports/fieldlistreport.h"

#include "model/flrdoc.h"
#include "reports/reportcells.h"

namespace flr {

std::vector<CReport::ColumnSpec> CFieldListReport::ColumnTable() const
{
    using A = ReportAlign;
    return {
        {"IP", {0}, {50}, A::Left},
        {"Size", {65}, {100}, A::Right},
        {"Art No", {115}, {200}, A::Left},
        {"Name", {215}, {215, 1}, A::Left},
        {"Note", {230, 1}, {230, 2}, A::Left},
        {"Delay", {245, 2}, {295, 2}, A::Right},
        {"Time", {310, 2}, {400, 2}, A::Left},
        {"InTime", {415, 2}, {505, 2}, A::Left},
        {"Addr", {520, 2}, {560, 2}, A::Left},
        {"Pos", {575, 2}, {615, 2}, A::Right},
        {"Rack", {630, 2}, {0, 0, true}, A::Right},
    };
}

void CFieldListReport::BuildLines(const ReportSource& source, std::vector<ReportLine>& lines)
{
    namespace cell = reportcells;
    const int fps = source.doc->GetFrameRate();
    size_t count = 0;
    for (CIgnition* e = source.doc->FirstFiring(); e && count < source.rows.size();
         e = e->GetNextFiring(), ++count) {
        ReportLine line;
        line.kind = ReportLine::Kind::Row;
        line.cells = {cell::Ip(*e, fps),
                      cell::Size(*e),
                      cell::ArtNo(*e),
                      cell::Name(*e),
                      cell::Note(*e),
                      cell::Delay(*e),
                      cell::Time(*e),
                      cell::InTime(*e),
                      e->IsChained() ? std::string() : cell::Address(*e),
                      cell::Format("%d", e->GetPosition()),
                      cell::Rack(*e)};
        lines.push_back(std::move(line));
    }
}

}  // namespace flr
