#include "reportrunner.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <ctime>

#include "dialogrunner.h"
#include "printdialog.h"
#include "prompt.h"

namespace flr {

namespace {

bool PrintPages(CReport& report, const ReportRequest& request, QPrinter& printer, int from,
                int to)
{
    // The chosen printer decides the page: measure again on it.
    report.Measure(DeviceMetrics(printer, request.list));
    if (PrintReportPages(printer, report, from, to, MakeReportFonts(request.list),
                         std::time(nullptr))) {
        return true;
    }
    const QString where = printer.outputFileName().isEmpty() ? printer.printerName()
                                                             : printer.outputFileName();
    ShowMessage("The report could not be printed on \"" + where.toStdString() + "\".",
                "Application Error", PromptButtons::Ok, PromptIcon::Warning);
    return false;
}

}  // namespace

bool RunReport(const ReportRequest& request, QPrinter& printer, ReportOutput output,
               QWidget* parent)
{
    std::unique_ptr<CReport> report = CReport::Create(request.kind);
    if (!report->Prepare(request.source)) {
        ShowMessage("Command failed.", "FLR", PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    report->Measure(DeviceMetrics(printer, request.list));

    switch (output) {
    case ReportOutput::Preview: {
        QPrintPreviewDialog preview(&printer, parent);
        preview.setWindowTitle(QString::fromUtf8(report->Title()));
        const ReportFonts fonts = MakeReportFonts(request.list);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* target) {
                             report->Measure(DeviceMetrics(*target, request.list));
                             PrintReportPages(*target, *report, 1, report->PageCount(), fonts,
                                              std::time(nullptr));
                         });
        RunDialog(preview);
        return true;
    }
    case ReportOutput::PrintWithDialog: {
        CFLRPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, report->PageCount());
        dialog.setFromTo(1, report->PageCount());
        if (RunDialog(dialog) != QDialog::Accepted) return false;
        int from = 1;
        int to = report->PageCount();
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
            from = printer.fromPage();
            to = printer.toPage() > 0 ? printer.toPage() : to;
        }
        return PrintPages(*report, request, printer, from, to);
    }
    case ReportOutput::PrintDirect:
        return PrintPages(*report, request, printer, 1, report->PageCount());
    }
    return false;
}

}  // namespace flr
