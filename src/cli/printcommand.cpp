// flr-cli print SHOW.flr --pdf OUT.pdf [--report KIND] [--hide-chained]: a report as the
// desktop program prints it, into a PDF file.
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/textcodec.h"
#include "cli/openshow.h"
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

int Usage()
{
    std::fputs(
        "Usage: flr-cli print SHOW.flr --pdf OUT.pdf [--report "
        "field|complete|shoot|effects|pods|chains] [--page-size A4|Letter] "
        "[--hide-chained]\n",
        stderr);
    return 2;
}

}  // namespace

int RunPrint(int argc, char** argv)
{
    const char* show = nullptr;
    const char* pdf = nullptr;
    int kind = report::FieldList;
    bool hideChained = false;
    QPageSize pageSize(QPageSize::A4);
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--pdf") == 0 && hasValue) {
            pdf = argv[++i];
        } else if (std::strcmp(argv[i], "--report") == 0 && hasValue) {
            const char* name = argv[++i];
            kind = 0;
            for (const KindName& k : kKinds) {
                if (std::strcmp(k.name, name) == 0) kind = k.kind;
            }
            if (kind == 0) {
                std::fprintf(stderr, "flr-cli print: unknown report '%s'\n", name);
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--page-size") == 0 && hasValue) {
            const char* name = argv[++i];
            if (std::strcmp(name, "A4") == 0) {
                pageSize = QPageSize(QPageSize::A4);
            } else if (std::strcmp(name, "Letter") == 0) {
                pageSize = QPageSize(QPageSize::Letter);
            } else {
                std::fprintf(stderr, "flr-cli print: unknown page size '%s'\n", name);
                return Usage();
            }
        } else if (std::strcmp(argv[i], "--hide-chained") == 0) {
            hideChained = true;
        } else if (argv[i][0] != '-' && !show) {
            show = argv[i];
        } else {
            return Usage();
        }
    }
    if (!show || !pdf) return Usage();

    // Fonts need a GUI application; no display is needed for a file.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int qtArgc = 1;
    static char qtName[] = "flr-cli";
    static char* qtArgv[] = {qtName, nullptr};
    QGuiApplication application(qtArgc, qtArgv);

    CFLRDoc doc;
    if (!OpenShowForCli(show, doc)) return 1;

    const QString title = QFileInfo(QString::fromLocal8Bit(show)).fileName();
    ReportSource source;
    source.doc = &doc;
    source.rows = ScheduleRows(doc, !hideChained);
    source.documentTitle = Utf8ToCp1252(title.toStdString());
    std::unique_ptr<CReport> report = CReport::Create(kind);
    report->Prepare(source);

    QPdfWriter writer(QString::fromLocal8Bit(pdf));
    writer.setTitle(title + QStringLiteral(" - ") + QString::fromUtf8(report->Title()));
    writer.setCreator(QStringLiteral("flr-cli"));
    writer.setPageSize(pageSize);
    writer.setResolution(1200);
    const ListGeometry list = DefaultListGeometry();
    report->Measure(DeviceMetrics(writer, list));
    if (!PrintReportPages(writer, *report, AllReportPages(*report), MakeReportFonts(list),
                          std::time(nullptr))) {
        std::fprintf(stderr, "flr-cli print: cannot write '%s'\n", pdf);
        return 1;
    }
    std::printf("%d\n", report->PageCount());
    return 0;
}

}  // namespace flr
