#pragma once

#include <vector>

#include "reports/reportrequest.h"

class QPrinter;
class QWidget;

namespace flr {

enum class ReportOutput {
    Preview,          // the print preview window
    PrintWithDialog,  // the print dialog first ("&Print...")
    PrintDirect,      // straight to `printer` (the command line's print verbs)
};

// Prints or previews one report of the show on `printer` (the program's printer, which the
// print dialog and Print Setup change). Modal windows run through RunDialog. Returns true when
// pages were printed or the preview was shown; failures have been reported through the prompt
// layer, a cancelled dialog has not.
// The pages `printer`'s settings choose of a report of `pageCount` pages: all of them, a
// range, or the pages the dialog's page field named; repeated for copies the printer does not
// make itself. Empty when the choice names no page of the report.
std::vector<int> ChosenReportPages(const QPrinter& printer, int pageCount);

bool RunReport(const ReportRequest& request, QPrinter& printer, ReportOutput output,
               QWidget* parent = nullptr);

}  // namespace flr
