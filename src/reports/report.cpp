#include "reports/report.h"

#include <algorithm>
#include <cstdio>

#include "model/ignition.h"
#include "reports/chainlistreport.h"
#include "reports/effectsummaryreport.h"
#include "reports/fieldlistreport.h"
#include "reports/podsummaryreport.h"
#include "reports/reportkind.h"
#include "reports/shootlistreport.h"

namespace flr {

std::unique_ptr<CReport> CReport::Create(int code)
{
    switch (PrintableReportKind(code)) {
    case report::CompleteList: return std::make_unique<CFieldListReport>(report::CompleteList);
    case report::EffectSummary: return std::make_unique<CEffectSummaryReport>();
    case report::ShootList: return std::make_unique<CShootListReport>();
    case report::PodSummary: return std::make_unique<CPodSummaryReport>();
    case report::ChainList: return std::make_unique<CChainListReport>();
    default: return std::make_unique<CFieldListReport>(report::FieldList);
    }
}

const char* CReport::Title() const { return ReportTitle(m_kind); }

bool CReport::Prepare(const ReportSource& source)
{
    if (!source.doc) return false;
    m_documentTitle = source.documentTitle;
    m_lines.clear();
    BuildLines(source, m_lines);
    return true;
}

void CReport::Measure(const ReportMetrics& metrics)
{
    m_layout = MeasureReport(metrics);
    const int l = m_layout.page.left;
    const int r = m_layout.page.right;
    const int f = r - l - FixedWidth();
    auto at = [&](const Edge& e) {
        if (e.atRight) return r;
        const int share = e.share == 1 ? f / 2 : e.share == 2 ? f : 0;
        return l + e.offset + share;
    };
    m_columns.clear();
    for (const ColumnSpec& spec : ColumnTable()) {
        const std::string_view heading = spec.heading;
        const bool freeText =
            heading.empty() || heading == "Name" || heading == "Note" || heading == "Description";
        m_columns.push_back(
            {spec.heading, at(spec.left), at(spec.right), spec.align, spec.box, freeText});
    }
}

int CReport::PageCount() const
{
    int lines = LineCount();
    if (lines == 0 && CountsEmptyAsOne()) lines = 1;
    return lines / m_layout.linesPerPage + 1;
}

std::vector<ReportDraw> CReport::Page(int page, const std::string& footerTime) const
{
    std::vector<ReportDraw> ops;
    const int pages = PageCount();
    if (page < 1 || page > pages) return ops;

    const ReportLayout& lay = m_layout;
    const int lh = lay.lineHeight;
    const int left = lay.page.left;
    const int right = lay.page.right;
    auto text = [&](int x1, int y, int x2, std::string t, ReportAlign align, bool heading) {
        ReportDraw d;
        d.op = ReportDraw::Op::Text;
        d.x1 = x1;
        d.y1 = y;
        d.x2 = x2;
        d.y2 = y + lh;
        d.text = std::move(t);
        d.align = align;
        d.headingFont = heading;
        ops.push_back(std::move(d));
    };
    auto rule = [&](int y) {
        ReportDraw d;
        d.op = ReportDraw::Op::Rule;
        d.x1 = left;
        d.y1 = y;
        d.x2 = right;
        d.y2 = y;
        ops.push_back(d);
    };
    auto fill = [&](int y, uint32_t rgb) {
        ReportDraw d;
        d.op = ReportDraw::Op::Fill;
        d.x1 = left;
        d.y1 = y;
        d.x2 = right;
        d.y2 = y + lh;
        d.rgb = rgb;
        ops.push_back(d);
    };

    // Header and footer, in the heading font.
    text(left, 0, right, m_documentTitle, ReportAlign::Right, true);
    const int footerRule = lay.page.bottom - 3 * lh;
    rule(footerRule);
    const int footerY = footerRule + lh / 2;
    text(left, footerY, right, Title(), ReportAlign::Left, true);
    char pageText[32];
    std::snprintf(pageText, sizeof pageText, "%d/%d", page, pages);
    text(left, footerY, right, pageText, ReportAlign::Centre, true);
    text(left, footerY, right, footerTime, ReportAlign::Right, true);

    // Column headings, and a rule under them.
    const int headingY = 4 * lh;
    for (const ReportColumn& c : m_columns) {
        if (c.heading[0]) text(c.left, headingY, c.right, c.heading, c.align, true);
    }
    rule(headingY + lh);

    const int perPage = lay.linesPerPage;
    const int first = (page - 1) * perPage;
    const int last = std::min(LineCount(), first + perPage);
    const int firstColumnLeft = m_columns.empty() ? left : m_columns.front().left;
    for (int i = first; i < last; ++i) {
        const int y = headingY + lh + (i - first) * lh;
        const ReportLine& line = m_lines[static_cast<size_t>(i)];
        if (line.kind == ReportLine::Kind::Heading) {
            fill(y, kReportHeadingBandRgb);
            text(firstColumnLeft, y, right, line.text, ReportAlign::Left, false);
            continue;
        }
        if ((i % perPage) % 2 == 0) fill(y, kReportBandRgb);
        if (line.kind != ReportLine::Kind::Row) continue;
        for (size_t c = 0; c < m_columns.size() && c < line.cells.size(); ++c) {
            const ReportColumn& col = m_columns[c];
            if (col.box) {
                ReportDraw d;
                d.op = ReportDraw::Op::Box;
                d.x1 = col.left;
                d.y1 = y + (lh - 13) / 2 + 2;
                d.x2 = col.left + 13;
                d.y2 = d.y1 + 9;
                ops.push_back(d);
            } else if (!line.cells[c].empty()) {
                text(col.left, y, col.right, line.cells[c], col.align, false);
                ops.back().whole = !col.freeText;
            }
        }
    }
    return ops;
}

bool ReportAvailable(int kind, const std::vector<CIgnition*>& rows)
{
    switch (kind) {
    case report::EffectSummary:
        return std::any_of(rows.begin(), rows.end(),
                           [](const CIgnition* e) { return e->GetItem(); });
    case report::ChainList:
        return std::any_of(rows.begin(), rows.end(), [](const CIgnition* e) {
            return e->GetChainNext() && !e->GetChainPrev();
        });
    case report::RackSummary: return false;
    default: return !rows.empty();
    }
}

std::string ReportFooterTime(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    // Month names in English whatever the environment's locale, as the rest of the page is.
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    char buffer[64];
    const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
    std::snprintf(buffer, sizeof buffer, "%02d:%02d - %s %02d, %d", local.tm_hour, local.tm_min,
                  kMonths[month], local.tm_mday, local.tm_year + 1900);
    return buffer;
}

}  // namespace flr
