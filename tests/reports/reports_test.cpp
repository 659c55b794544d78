#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/commandids.h"
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
    EXPECT_EQ(lay.hscale, 5);  // 4800 / 836
    EXPECT_EQ(lay.vscale, 6);
    EXPECT_EQ(lay.page.left, 12);
    EXPECT_EQ(lay.page.top, 0);
    EXPECT_EQ(lay.page.right, 4800 / 5 - 24);
    EXPECT_EQ(lay.page.bottom, 1100);
    EXPECT_EQ(lay.linesPerPage, 6600 / (17 * 6) - 8);
}

TEST(ReportColumns, BoundsShareTheFreeWidth)
{
    struct Case {
        int kind, fixed;
        size_t column;
        const char* heading;
        int leftOffset, leftShare;    // share: 0 none, 1 half, 2 all of F
        int rightOffset, rightShare;  // -1: the page's right edge
    };
    const Case cases[] = {
        {report::FieldList, 690, 3, "Name", 215, 0, 215, 1},
        {report::FieldList, 690, 10, "Rack", 630, 2, -1, 0},
        {report::ShootList, 435, 5, "Note", 345, 1, -1, 0},
        {report::ChainList, 330, 6, "Rack", 280, 2, -1, 0},
        {report::EffectSummary, 383, 7, "Description", 383, 1, -1, 0},
        {report::PodSummary, 460, 6, "Note", 385, 1, 385, 2},
        {report::PodSummary, 460, 7, "Rack", 400, 2, -1, 0},
    };
    CFLRDoc doc;
    for (const Case& c : cases) {
        auto r = Prepared(c.kind, doc, {});
        const int l = r->Layout().page.left, rr = r->Layout().page.right;
        const int f = rr - l - c.fixed;
        auto at = [&](int offset, int share) {
            return offset < 0 ? rr : l + offset + (share == 1 ? f / 2 : share == 2 ? f : 0);
        };
        const ReportColumn& col = r->Columns().at(c.column);
        EXPECT_STREQ(col.heading, c.heading) << c.kind;
        EXPECT_EQ(col.left, at(c.leftOffset, c.leftShare)) << c.kind << " " << c.heading;
        EXPECT_EQ(col.right, at(c.rightOffset, c.rightShare)) << c.kind << " " << c.heading;
    }
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
        EXPECT_GE(lay.hscale, 1);
        EXPECT_GE(lay.vscale, 1);
        EXPECT_GE(lay.linesPerPage, 1);
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
        head =
            AppendEntry(doc, "00:00:" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ":00",
                        "A" + std::string(i < 10 ? "0" : "") + std::to_string(i));
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

TEST(ShootList, ExactlyTheRowsNumberedFromZero)
{
    CFLRDoc doc;
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:03:00", "A02");
    CIgnition* c = AppendEntry(doc, "00:00:04:10", "A03");
    auto r = Prepared(report::ShootList, doc, {c, a, b});
    EXPECT_EQ(Column(*r, 0), (Texts{"000", "001", "002"}));
    EXPECT_EQ(Column(*r, 2), (Texts{"00:00:04:10", "00:00:01:00", "00:00:03:00"}));
    EXPECT_EQ(Column(*r, 1)[2], "2.00");
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
    EXPECT_EQ(Column(*r, 1)[3], "0.50");
    EXPECT_EQ(Column(*r, 1)[6], "0.00");  // its own delay is 3.00
    EXPECT_EQ(Column(*r, 1)[7], "2.00");
    EXPECT_EQ(r->Line(4).kind, ReportLine::Kind::Blank);
    EXPECT_EQ(r->Line(r->LineCount() - 1).kind, ReportLine::Kind::Row);
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
    ASSERT_TRUE(FindText(p1, "InTime"));
    EXPECT_EQ(FindText(p1, "InTime")->y1, 4 * lh);
    EXPECT_EQ(FindText(p1, "InTime")->x1, r->Columns()[7].left);
    ASSERT_TRUE(FindText(p1, "000"));
    EXPECT_EQ(FindText(p1, "000")->y1, 5 * lh);

    const auto p2 = r->Page(2, "t");
    EXPECT_EQ(FillRows(p2, kReportBandRgb, lh), (std::vector<int>{0}));
    EXPECT_TRUE(FindText(p2, "2/2"));
    ASSERT_TRUE(FindText(p2, "003"));
    EXPECT_EQ(FindText(p2, "003")->y1, 5 * lh);
    EXPECT_FALSE(FindText(p2, "002"));
}

TEST(ReportPage, HeadingBandsAndTickBoxes)
{
    CFLRDoc doc;
    AppendEntry(doc, "00:00:01:00", "A01", Item("X", 20, 5));
    AppendEntry(doc, "00:00:02:00", "A02", Item("Y", 20, 5));
    auto r = Prepared(report::EffectSummary, doc, test::ScheduleOrder(doc));
    const int lh = 10;
    const auto ops = r->Page(1, "t");
    EXPECT_EQ(FillRows(ops, kReportHeadingBandRgb, lh), (std::vector<int>{0}));
    std::vector<int> bands = FillRows(ops, kReportBandRgb, lh);
    std::erase(bands, 0);  // under the heading band either way
    EXPECT_EQ(bands, (std::vector<int>{2}));
    int boxes = 0;
    for (const ReportDraw& d : ops) {
        if (d.op != ReportDraw::Op::Box) continue;
        ++boxes;
        EXPECT_EQ(d.x1, r->Columns()[0].left);
        EXPECT_EQ(d.x2 - d.x1, 13);
        EXPECT_EQ(d.y2 - d.y1, 9);
        EXPECT_GE(d.y1, 6 * lh);
    }
    EXPECT_EQ(boxes, 2);
}

TEST(ReportKinds, CodesTitlesCommandsAndAvailability)
{
    EXPECT_EQ(CReport::Create(16)->Kind(), report::FieldList);
    EXPECT_EQ(CReport::Create(999)->Kind(), report::FieldList);
    EXPECT_EQ(PrintableReportKind(report::RackSummary), report::FieldList);
    EXPECT_EQ(ReportKindOfCommand(cmd::PreviewChains), report::ChainList);
    EXPECT_EQ(ReportKindOfCommand(cmd::PreviewRacks), 0);

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
