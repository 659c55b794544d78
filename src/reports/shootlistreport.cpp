#include "reports/shootlistreport.h"

#include "model/flrdoc.h"
#include "reports/reportcells.h"
#include "reports/reportkind.h"

namespace flr {

CShootListReport::CShootListReport() : CReport(report::ShootList) {}

std::vector<CReport::ColumnSpec> CShootListReport::ColumnTable() const
{
    using A = ReportAlign;
    return {
        {"Nr", {0}, {45}, A::Left},         {"Delay", {70}, {120}, A::Right},
        {"Time", {145}, {235}, A::Left},    {"Size", {260}, {295}, A::Right},
        {"Name", {320}, {320, 1}, A::Left}, {"Note", {345, 1}, {0, 0, true}, A::Left},
    };
}

void CShootListReport::BuildLines(const ReportSource& source, std::vector<ReportLine>& lines)
{
    namespace cell = reportcells;
    const int fps = source.doc->GetFrameRate();
    for (const CIgnition* e : source.rows) {
        ReportLine line;
        line.kind = ReportLine::Kind::Row;
        // The number the shooter is called by is the one on the designer's screen: the IP, a
        // chained effect's "IP:place" included, not a count of printed lines.
        line.cells = {cell::Ip(*e, fps), cell::Delay(*e), cell::Time(*e),
                      cell::Size(*e),    cell::Name(*e),  cell::Note(*e)};
        lines.push_back(std::move(line));
    }
}

}  // namespace flr
