#include "reports/reportlayout.h"

#include <algorithm>

namespace flr {

ReportLayout MeasureReport(const ReportMetrics& m)
{
    ReportLayout layout;
    layout.lineHeight = std::max(1, m.lineHeight);
    const int c = std::max(1, m.charWidth);
    const int screenDpi = m.screenDpiY > 0 ? m.screenDpiY : 96;
    const int deviceWidth = std::max(0, m.deviceWidth);
    const int deviceHeight = std::max(0, m.deviceHeight);

    // A row wider than the page, or a printer coarser than the screen, would give a scale of 0;
    // 1 keeps every division defined and the page merely overflows.
    layout.hscale = std::max(1, deviceWidth / std::max(1, std::max(0, m.rowWidth) + 6 * c));
    layout.vscale = std::max(1, m.deviceDpiY / screenDpi);

    layout.page.left = 2 * c;
    layout.page.top = 0;
    layout.page.right = deviceWidth / layout.hscale - 4 * c;
    layout.page.bottom = deviceHeight / layout.vscale;

    const int divisor = std::max(1, layout.lineHeight * layout.vscale);
    // Fewer than one line per page would make the page count divide by zero.
    layout.linesPerPage = std::max(1, deviceHeight / divisor - 8);
    return layout;
}

}  // namespace flr
