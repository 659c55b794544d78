#pragma once

#include "reportrequest.h"

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
bool RunReport(const ReportRequest& request, QPrinter& printer, ReportOutput output,
               QWidget* parent = nullptr);

}  // namespace flr
