// flr-cli print SHOW.flr --pdf OUT.pdf [--report KIND] [--hide-chained]: a report as the
// desktop program prints it, into a PDF file.
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "base/textcodec.h"
#include "cli/openshow.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "editing/schedulecells.h"
#include "model/flrdoc.h"
#include "reports/report.h"
#include "reports/reportkind.h"
#include "reports/reportpainter.h"

namespace flr {

namespace {

struct KindName {
    const char* name;
    int kind;
};
constexpr KindName kKinds[] = {
    {"field", report::FieldList}, {"complete", report::CompleteList},
    {"shoot", report::ShootList}, {"effects", report::EffectSummary},
    {"pods", report::PodSummary}, {"chains", report::ChainList},
};

constexpr char kUsage[] =
    "Usage: flr-cli print SHOW.flr --pdf OUT.pdf [--report "
    "field|complete|shoot|effects|pods|chains] [--page-size A4|Letter] "
    "[--hide-chained]\n";

int Usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int RunPrint(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption reportOption(QStringLiteral("report"), QString(),
                                          QStringLiteral("KIND"));
    const QCommandLineOption pageSizeOption(QStringLiteral("page-size"), QString(),
                                            QStringLiteral("SIZE"));
    const QCommandLineOption hideChainedOption(QStringLiteral("hide-chained"));
    parser.addOptions({pdfOption, reportOption, pageSizeOption, hideChainedOption});
    if (!ParseVerbArguments(parser, arguments, kUsage, 1)) return 2;
    if (!parser.isSet(pdfOption)) return Usage();

    int kind = report::FieldList;
    if (parser.isSet(reportOption)) {
        const std::string name = parser.value(reportOption).toStdString();
        kind = 0;
        for (const KindName& k : kKinds) {
            if (name == k.name) kind = k.kind;
        }
        if (kind == 0) {
            std::fprintf(stderr, "flr-cli print: unknown report '%s'\n", name.c_str());
            return Usage();
        }
    }
    QPageSize pageSize(QPageSize::A4);
    if (parser.isSet(pageSizeOption)) {
        const QString name = parser.value(pageSizeOption);
        if (name == QLatin1String("Letter")) {
            pageSize = QPageSize(QPageSize::Letter);
        } else if (name != QLatin1String("A4")) {
            std::fprintf(stderr, "flr-cli print: unknown page size '%s'\n", qPrintable(name));
            return Usage();
        }
    }
    const bool hideChained = parser.isSet(hideChainedOption);
    const QString showName = parser.positionalArguments()[0];
    const std::string show = showName.toLocal8Bit().toStdString();
    const QString pdf = parser.value(pdfOption);

    // Fonts need a GUI application; no display is needed for a file.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int qtArgc = 1;
    static char qtName[] = "flr-cli";
    static char* qtArgv[] = {qtName, nullptr};
    QGuiApplication application(qtArgc, qtArgv);

    CFLRDoc doc;
    if (!OpenShowForCli(show, doc, false)) return 1;

    const QString title = QFileInfo(showName).fileName();
    ReportSource source;
    source.doc = &doc;
    source.rows = ScheduleRows(doc, !hideChained);
    source.documentTitle = Utf8ToCp1252(title.toStdString());
    std::unique_ptr<CReport> report = CReport::Create(kind);
    report->Prepare(source);

    QPdfWriter writer(pdf);
    writer.setTitle(title + QStringLiteral(" - ") + QString::fromUtf8(report->Title()));
    writer.setCreator(QStringLiteral("flr-cli"));
    writer.setPageSize(pageSize);
    writer.setResolution(1200);
    const ListGeometry list = DefaultListGeometry();
    report->Measure(DeviceMetrics(writer, list));
    if (!PrintReportPages(writer, *report, AllReportPages(*report), MakeReportFonts(list),
                          std::time(nullptr))) {
        std::fprintf(stderr, "flr-cli print: cannot write '%s'\n", qPrintable(pdf));
        return 1;
    }
    std::printf("%d\n", report->PageCount());
    return 0;
}

}  // namespace flr
