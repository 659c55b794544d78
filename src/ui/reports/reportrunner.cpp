#include "ui/reports/reportrunner.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <ctime>

#include "base/prompt.h"
#include "ui/common/dialogrunner.h"
#include "ui/reports/printdialog.h"

namespace flr {

namespace {

void ReportFailure(const QPrinter& printer)
{
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    ShowMessage("The report could not be printed on \"" + where.toStdString() + "\".",
                "Application Error", PromptButtons::Ok, PromptIcon::Warning);
}

// Measures the report on `printer` and prints what its settings choose.
bool PrintOn(QPrinter& printer, CReport& report, const ReportRequest& request)
{
    report.Measure(DeviceMetrics(printer, request.list));
    const std::vector<int> pages = ChosenReportPages(printer, report.PageCount());
    if (pages.empty()) {
        ShowMessage("None of the chosen pages is in the report; it has " +
                        std::to_string(report.PageCount()) + " pages.",
                    "Application Error", PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    if (PrintReportPages(printer, report, pages, MakeReportFonts(request.list),
                         std::time(nullptr))) {
        return true;
    }
    ReportFailure(printer);
    return false;
}

}  // namespace

std::vector<int> ChosenReportPages(const QPrinter& printer, int pageCount)
{
    std::vector<int> pages;
    const QPageRanges ranges = printer.pageRanges();
    if (!ranges.isEmpty()) {
        // The dialog's "Pages" field may name pages apart ("1,3").
        for (int page = 1; page <= pageCount; ++page) {
            if (ranges.contains(page)) pages.push_back(page);
        }
    } else if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        const int to = printer.toPage() > 0 ? std::min(printer.toPage(), pageCount) : pageCount;
        for (int page = printer.fromPage(); page <= to; ++page) pages.push_back(page);
    } else {
        for (int page = 1; page <= pageCount; ++page) pages.push_back(page);
    }
    // A printer that cannot make copies itself (a PDF file, a printer without a spooler that
    // can) gets the pages as often as asked.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    if (copies == 1 || pages.empty()) return pages;
    std::vector<int> copied;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c) copied.insert(copied.end(), pages.begin(), pages.end());
    } else {
        for (int page : pages) copied.insert(copied.end(), static_cast<size_t>(copies), page);
    }
    return copied;
}

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
        // The preview shows every page once; a page choice or copies left from an earlier
        // print must not change it.
        printer.setPrintRange(QPrinter::AllPages);
        printer.setPageRanges(QPageRanges());
        printer.setCopyCount(1);
        QPrintPreviewDialog preview(&printer, parent);
        preview.setWindowTitle(QString::fromUtf8(report->Title()));
        // Big enough to read a page; Qt's own default is a small window.
        if (parent) preview.resize(parent->window()->size() * 0.9);
        // The preview paints on its own device and, when the user prints from it, on the
        // printer as its print dialog left it.
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* target) { PrintOn(*target, *report, request); });
        RunDialog(preview);
        return true;
    }
    case ReportOutput::PrintWithDialog: {
        CFLRPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, report->PageCount());
        dialog.setFromTo(1, report->PageCount());
        if (RunDialog(dialog) != QDialog::Accepted) return false;
        return PrintOn(printer, *report, request);
    }
    case ReportOutput::PrintDirect: return PrintOn(printer, *report, request);
    }
    return false;
}

}  // namespace flr
