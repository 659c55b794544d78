// The reports on realistic shows: building a report's lines, laying out every page's drawing
// steps, and printing a whole report into a PDF.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <ctime>

#include "editing/schedulecells.h"
#include "model/flrdoc.h"
#include "reports/report.h"
#include "reports/reportkind.h"
#include "reports/reportpainter.h"
#include "support/showgenerator.h"

namespace flr {
namespace {

struct Show {
    explicit Show(int entries)
    {
        test::MakeRealisticShow(doc, entries, 11, test::MakeCatalogueItems(60));
        source.doc = &doc;
        source.rows = ScheduleRows(doc, true);
        source.documentTitle = "bench.flr";
    }
    CFLRDoc doc;
    ReportSource source;
};

ReportMetrics A4At1200()
{
    ReportMetrics m;
    m.lineHeight = 19;
    m.rowWidth = 1000;
    m.charWidth = 6;
    m.deviceWidth = 9516;
    m.deviceHeight = 13564;
    m.deviceDpiY = 1200;
    return m;
}

// Args: entries, report kind.
void BM_PrepareAndLayAllPages(benchmark::State& state)
{
    Show show(static_cast<int>(state.range(0)));
    const int kind = static_cast<int>(state.range(1));
    size_t ops = 0;
    for (auto _ : state) {
        std::unique_ptr<CReport> report = CReport::Create(kind);
        report->Prepare(show.source);
        report->Measure(A4At1200());
        ops = 0;
        for (int page = 1; page <= report->PageCount(); ++page) {
            ops += report->Page(page, "12:00 - January 01, 2027").size();
        }
        benchmark::DoNotOptimize(ops);
    }
    state.counters["ops"] = static_cast<double>(ops);
}
BENCHMARK(BM_PrepareAndLayAllPages)
    ->ArgsProduct({{1000, 10000},
                   {report::FieldList, report::ShootList, report::ChainList, report::EffectSummary,
                    report::PodSummary}})
    ->Unit(benchmark::kMillisecond);

// The whole field list of a show, painted into a PDF in memory.
void BM_FieldListToPdf(benchmark::State& state)
{
    Show show(static_cast<int>(state.range(0)));
    const ListGeometry list = DefaultListGeometry();
    const ReportFonts fonts = MakeReportFonts(list);
    int pages = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        std::unique_ptr<CReport> report = CReport::Create(report::FieldList);
        report->Prepare(show.source);
        report->Measure(DeviceMetrics(writer, list));
        pages = report->PageCount();
        PrintReportPages(writer, *report, AllReportPages(*report), fonts, std::time(nullptr));
        benchmark::DoNotOptimize(buffer.size());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_FieldListToPdf)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flr

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
