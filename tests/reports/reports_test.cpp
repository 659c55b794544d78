#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "editing/schedulecells.h"
#include "model/flrdoc.h"
#include "reports/report.h"
#include "reports/reportkind.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using Texts = std::vector<std::string>;

// 836 = row 800 + 6 chars of 6: hscale 2, vscale 2, page 12..813, 3 lines per page
// (odd, so a band parity counted over the whole report would show).
ReportMetrics SmallPage()
{
    return {.lineHeight = 10, .deviceWidth = 1674, .deviceHeight = 220, .deviceDpiY = 192};
}

std::unique_ptr<CReport> Prepared(int code, const CFLRDoc& doc, std::vector<CIgnition*> rows,
                                  const ReportMetrics& metrics = SmallPage())
{
    auto report = CReport::Create(code);
    EXPECT_TRUE(report->Prepare({&doc, std::move(rows), "Show Title"}));
    report->Measure(metrics);
    return report;
}

CEffectRef Item(const std::string& artNo, int size, int weight)
{
    CEffectRef item = test::MakeItem(artNo);
    item->SetSize(size);
    item->SetWeight(weight);
    item->SetName("N" + artNo);
    return item;
}

// One cell of every line; "-" for headings and blank lines.
Texts Column(const CReport& r, size_t column)
{
    Texts out;
    for (int i = 0; i < r.LineCount(); ++i) {
        const ReportLine& line = r.Line(i);
        out.push_back(line.kind == ReportLine::Kind::Row ? line.cells.at(column) : "-");
    }
    return out;
}

Texts Headings(const CReport& r)
{
    Texts out;
    for (int i = 0; i < r.LineCount(); ++i) {
        if (r.Line(i).kind == ReportLine::Kind::Heading) out.push_back(r.Line(i).text);
    }
    return out;
}

TEST(ReportLayout, ScalesPageAndLinesFollowTheDevice)
{
    // Row 800, char 6, screen 96 dpi, line 17 by default.
    const ReportLayout lay =
        MeasureReport({.deviceWidth = 4800, .deviceHeight = 6600, .deviceDpiY = 600});
    // hscale 4800 / 836; page and lines in device pixels over the scales.
    EXPECT_EQ(std::tie(lay.hscale, lay.vscale, lay.page.left, lay.page.top, lay.page.right,
                       lay.page.bottom, lay.linesPerPage),
              std::make_tuple(5, 6, 12, 0, 4800 / 5 - 24, 1100, 6600 / (17 * 6) - 8));
}

TEST(ReportLayout, DegenerateInputsStayUsable)
{
    ReportMetrics wide = SmallPage();
    wide.rowWidth = 5000;    // wider than the page
    wide.deviceDpiY = 48;    // coarser than the screen
    wide.deviceHeight = 50;  // fewer than 8 lines
    const ReportMetrics zero{.lineHeight = 0, .charWidth = 0, .screenDpiY = 0};
    for (const ReportMetrics& m : {wide, zero}) {
        const ReportLayout lay = MeasureReport(m);
        EXPECT_GE(std::min({lay.hscale, lay.vscale, lay.linesPerPage}), 1);
        CFLRDoc doc;
        AppendEntry(doc, "00:00:01:00", "A01");
        auto r = Prepared(report::FieldList, doc, test::ScheduleOrder(doc), m);
        EXPECT_FALSE(r->Page(1, "t").empty());
    }
}

TEST(ReportPages, FullLastPageIsFollowedByAnEmptyOne)
{
    CFLRDoc doc;
    for (int i = 1; i <= 3; ++i) AppendEntry(doc, "00:00:0" + std::to_string(i) + ":00", "A01");
    auto r = Prepared(report::FieldList, doc, test::ScheduleOrder(doc));
    ASSERT_EQ(r->Layout().linesPerPage, 3);
    EXPECT_EQ(r->PageCount(), 2);
    const auto last = r->Page(2, "t");
    ASSERT_FALSE(last.empty());
    for (const ReportDraw& d : last) {
        EXPECT_NE(d.op, ReportDraw::Op::Fill);
        EXPECT_NE(d.text, "A01") << "a row on the empty page";
    }
    EXPECT_TRUE(r->Page(3, "t").empty());
    EXPECT_TRUE(r->Page(0, "t").empty());

    // An empty chain list or effect summary counts as one line; an empty field list as none.
    ReportMetrics onePerPage = SmallPage();
    onePerPage.deviceHeight = 100;
    CFLRDoc empty;
    EXPECT_EQ(Prepared(report::ChainList, empty, {}, onePerPage)->PageCount(), 2);
    EXPECT_EQ(Prepared(report::EffectSummary, empty, {}, onePerPage)->PageCount(), 2);
    EXPECT_EQ(Prepared(report::FieldList, empty, {}, onePerPage)->PageCount(), 1);
    EXPECT_FALSE(CReport::Create(report::FieldList)->Prepare({nullptr, {}, ""}));
}

TEST(FieldList, FiringOrderWithChainsLimitedByRows)
{
    CFLRDoc doc;
    CIgnition* head = nullptr;
    for (int i = 1; i <= 12; ++i) {
        const std::string two = (i < 10 ? "0" : "") + std::to_string(i);
        head = AppendEntry(doc, "00:00:" + two + ":00", "A" + two);
    }
    AppendChained(doc, head, "1.00");
    AppendChained(doc, head, "1.00");
    AppendEntry(doc, "00:00:20:00", "B01");
    // Later in the schedule, first in firing order.
    AppendEntry(doc, "00:00:21:00", "C01", test::MakeItem("EARLY", 20.96));

    for (int kind : {report::FieldList, report::CompleteList}) {
        auto r = Prepared(kind, doc, test::ScheduleOrder(doc));
        ASSERT_EQ(r->LineCount(), 16);
        const Texts ip = Column(*r, 0), addr = Column(*r, 8);
        EXPECT_EQ(ip[0] + " " + addr[0], "000 C01");
        EXPECT_EQ(Texts(ip.begin() + 12, ip.end()), (Texts{"012", "012:2", "012:3", "013"}));
        EXPECT_EQ(Texts(addr.begin() + 12, addr.end()), (Texts{"A12", "", "", "B01"}));
        EXPECT_EQ(r->Columns().size(), r->Line(0).cells.size());
    }

    std::vector<CIgnition*> fewer = test::ScheduleOrder(doc);
    fewer.resize(5);
    EXPECT_EQ(Prepared(report::FieldList, doc, fewer)->LineCount(), 5);
}

TEST(ShootList, ExactlyTheRowsNumberedAsTheScheduleShowsThem)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:03:00", "A02");
    CIgnition* c = AppendEntry(doc, "00:00:04:10", "A03");
    CIgnition* chained = AppendChained(doc, a, "0.50");
    auto r = Prepared(report::ShootList, doc, {c, a, chained, b});
    std::vector<std::string> shown;
    for (const CIgnition* e : {c, a, chained, b}) {
        shown.push_back(ScheduleCellText(*e, ScheduleColumn::IP, 25));
    }
    EXPECT_EQ(Column(*r, 0), shown);
    EXPECT_EQ(shown[2], shown[1] + ":2");
    EXPECT_EQ(Column(*r, 2)[0], "00:00:04:10");
    EXPECT_EQ(Column(*r, 2)[3], "00:00:03:00");
    EXPECT_EQ(Column(*r, 1)[3], "2.00");
}

TEST(ChainList, OneGroupPerChainWithoutTrailingBlank)
{
    CFLRDoc doc;
    CIgnition* p0 = AppendEntry(doc, "00:00:01:00", "A01");
    AppendChained(doc, p0, "1.00");
    AppendChained(doc, p0, "0.50");
    AppendEntry(doc, "00:00:05:00", "A02");  // no chain
    CIgnition* p2 = AppendEntry(doc, "00:00:08:00", "B03");
    AppendChained(doc, p2, "2.00");
    CIgnition* manual = AppendEntry(doc, "00:00:12:00", "A04");
    AppendChained(doc, manual, "1.00");
    manual->SetChained(true);

    auto r = Prepared(report::ChainList, doc, test::ScheduleOrder(doc));
    EXPECT_EQ(Headings(*r), (Texts{"IP: 000  Addr: A01  Effects: 3",
                                   "IP: 002  Addr: B03  Effects: 2", "Manual Chain"}));
    ASSERT_EQ(r->LineCount(), 5 + 4 + 4 - 1);
    EXPECT_EQ(Column(*r, 0), (Texts{"-", "1", "2", "3", "-", "-", "1", "2", "-", "-", "1", "2"}));
    // A chain's first delay reads 0.00 (B03's own is 3.00).
    EXPECT_EQ(Column(*r, 1), (Texts{"-", "0.00", "1.00", "0.50", "-", "-", "0.00", "2.00", "-", "-",
                                    "0.00", "1.00"}));
    EXPECT_EQ(r->Line(4).kind, ReportLine::Kind::Blank);
}

std::vector<int> FillRows(const std::vector<ReportDraw>& ops, uint32_t rgb, int lh)
{
    std::vector<int> rows;
    for (const ReportDraw& d : ops) {
        if (d.op == ReportDraw::Op::Fill && d.rgb == rgb) rows.push_back(d.y1 / lh - 5);
    }
    return rows;
}

const ReportDraw* FindText(const std::vector<ReportDraw>& ops, const std::string& text)
{
    for (const ReportDraw& d : ops) {
        if (d.op == ReportDraw::Op::Text && d.text == text) return &d;
    }
    return nullptr;
}

TEST(EffectSummary, GroupsBySizeAndArticleNumber)
{
    CEffectRef big = Item("B-2", 20, 100), small = Item("A-1", 20, 50), tiny = Item("C-3", 10, 7);
    CFLRDoc doc;
    AppendEntry(doc, "00:00:01:00", "A01", big);
    CIgnition* p = AppendEntry(doc, "00:00:02:00", "A02", tiny);
    AppendChained(doc, p, "1.00", tiny);
    AppendEntry(doc, "00:00:04:00", "A03", small);
    AppendEntry(doc, "00:00:05:00", "A04");  // no item
    AppendEntry(doc, "00:00:06:00", "A05", big);
    AppendEntry(doc, "00:00:07:00", "A06", tiny);

    auto r = Prepared(report::EffectSummary, doc, test::ScheduleOrder(doc));
    EXPECT_EQ(Headings(*r), (Texts{"Size: 10  Effects: 3  Total Weight: 21",
                                   "Size: 20  Effects: 3  Total Weight: 250"}));
    ASSERT_EQ(r->LineCount(), 3 + 4);
    EXPECT_EQ(Column(*r, 2), (Texts{"-", "C-3", "-", "-", "A-1", "B-2", "-"}));
    EXPECT_EQ(r->Line(5).cells, (Texts{"", "20", "B-2", "NB-2", "2", "100", "200", ""}));
    EXPECT_EQ(r->Line(6).kind, ReportLine::Kind::Blank);

    // Page 1: heading, C-3, blank. A heading has its own band; the tick box is 13 by 9.
    const int lh = 10;
    const auto ops = r->Page(1, "t");
    EXPECT_EQ(FillRows(ops, kReportHeadingBandRgb, lh), (std::vector<int>{0}));
    EXPECT_EQ(FillRows(ops, kReportBandRgb, lh), (std::vector<int>{2}));
    std::vector<ReportDraw> boxes;
    std::ranges::copy_if(ops, std::back_inserter(boxes),
                         [](const ReportDraw& d) { return d.op == ReportDraw::Op::Box; });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].x1, r->Columns()[0].left);
    EXPECT_EQ(boxes[0].x2 - boxes[0].x1, 13);
    EXPECT_EQ(boxes[0].y2 - boxes[0].y1, 9);
    EXPECT_EQ(boxes[0].y1, 6 * lh + 1);
}

TEST(PodSummary, PodsByPositionBankAndHalf)
{
    CFLRDoc doc;
    AppendEntry(doc, "00:00:01:00", "A17");
    AppendEntry(doc, "00:00:02:00", "A02")->SetPosition(2);
    AppendEntry(doc, "00:00:03:00", "B01");
    AppendEntry(doc, "00:00:04:00", "A16");
    CIgnition* p = AppendEntry(doc, "00:00:05:00", "A05");
    AppendChained(doc, p, "1.00");

    auto r = Prepared(report::PodSummary, doc, test::ScheduleOrder(doc));
    EXPECT_EQ(Headings(*r), (Texts{"Pod: A01 - A16  Position: 1  Ignitors: 2",
                                   "Pod: A17 - A32  Position: 1  Ignitors: 1",
                                   "Pod: B01 - B16  Position: 1  Ignitors: 1",
                                   "Pod: A01 - A16  Position: 2  Ignitors: 1"}));
    EXPECT_EQ(r->LineCount(), 5 + 2 * 4);
    EXPECT_EQ(Column(*r, 0),
              (Texts{"-", "A05", "A16", "-", "-", "A17", "-", "-", "B01", "-", "-", "A02", "-"}));
    EXPECT_EQ(Column(*r, 1)[1], "004");
}

TEST(ReportPage, BandsHeaderFooterAndRows)
{
    CFLRDoc doc;
    for (int i = 1; i <= 5; ++i) AppendEntry(doc, "00:00:0" + std::to_string(i) + ":00", "A01");
    auto r = Prepared(report::FieldList, doc, test::ScheduleOrder(doc));
    ASSERT_EQ(r->PageCount(), 2);
    const int lh = 10;

    const auto p1 = r->Page(1, "12:00 - May 01, 2024");
    EXPECT_EQ(FillRows(p1, kReportBandRgb, lh), (std::vector<int>{0, 2}));
    const ReportDraw* title = FindText(p1, "Show Title");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->y1, 0);
    EXPECT_EQ(title->align, ReportAlign::Right);
    EXPECT_TRUE(title->headingFont);
    const std::pair<const char*, ReportAlign> footer[] = {
        {"FLR Field List", ReportAlign::Left},
        {"1/2", ReportAlign::Centre},
        {"12:00 - May 01, 2024", ReportAlign::Right}};
    for (const auto& [text, align] : footer) {
        const ReportDraw* d = FindText(p1, text);
        ASSERT_TRUE(d) << text;
        EXPECT_EQ(d->align, align) << text;
        EXPECT_GT(d->y1, 5 * lh + 2 * lh) << text;  // below the rows
        EXPECT_LE(d->y2, r->Layout().page.bottom) << text;
    }
    // Headings over their columns: fixed offsets plus half the free width, or to the right edge.
    const int l = r->Layout().page.left, f = r->Layout().page.right - l - 690;
    const ReportDraw* name = FindText(p1, "Name");
    const ReportDraw* rack = FindText(p1, "Rack");
    ASSERT_TRUE(name && rack);
    EXPECT_EQ(std::tie(name->x1, name->y1, name->x2),
              std::make_tuple(l + 215, 4 * lh, l + 215 + f / 2));
    EXPECT_EQ(std::tie(rack->x1, rack->x2), std::make_tuple(l + 630 + f, r->Layout().page.right));
    ASSERT_TRUE(FindText(p1, "000"));
    EXPECT_EQ(FindText(p1, "000")->y1, 5 * lh);

    const auto p2 = r->Page(2, "t");
    EXPECT_EQ(FillRows(p2, kReportBandRgb, lh), (std::vector<int>{0}));
    EXPECT_TRUE(FindText(p2, "2/2"));
    ASSERT_TRUE(FindText(p2, "003"));
    EXPECT_EQ(FindText(p2, "003")->y1, 5 * lh);
    EXPECT_FALSE(FindText(p2, "002"));
}

TEST(ReportAvailable, NeedsRowsItemsOrAChainHead)
{
    CFLRDoc doc;
    CIgnition* bare = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* head = AppendEntry(doc, "00:00:02:00", "A02");
    CIgnition* member = AppendChained(doc, head, "1.00", Item("X", 1, 1));
    EXPECT_FALSE(ReportAvailable(report::FieldList, {}));
    EXPECT_TRUE(ReportAvailable(report::ShootList, {bare}));
    EXPECT_FALSE(ReportAvailable(report::EffectSummary, {bare, head}));
    EXPECT_TRUE(ReportAvailable(report::EffectSummary, {bare, member}));
    EXPECT_FALSE(ReportAvailable(report::ChainList, {bare, member}));
    EXPECT_TRUE(ReportAvailable(report::ChainList, {head}));
    EXPECT_FALSE(ReportAvailable(report::RackSummary, {bare, head, member}));
}

TEST(ReportFooterTime, EnglishMonthInLocalTime)
{
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(ReportFooterTime(0), "00:00 - January 01, 1970");
    EXPECT_EQ(ReportFooterTime(1700000000), "22:13 - November 14, 2023");
}

}  // namespace
}  // namespace flr
