#pragma once

#include "reports/report.h"
#include "reports/reportkind.h"
#include "reports/reportpainter.h"

namespace flr {

// What the view hands the printing side: which report, of what, laid out like which list.
struct ReportRequest {
    int kind = report::FieldList;
    ReportSource source;
    ListGeometry list;
};

}  // namespace flr
