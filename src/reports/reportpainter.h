#pragma once

#include <QFont>
#include <ctime>
#include <string>
#include <vector>

#include "reports/report.h"

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace flr {

// The schedule list as the reports see it: one row's height and width, its font and the
// screen it is on. The view measures its own list; headless printing uses the defaults.
struct ListGeometry {
    int lineHeight = 17;
    int rowWidth = 0;
    int charWidth = 6;
    int screenDpiY = 96;
    QFont font;
    int fontPixelHeight = 11;  // the font's height in list pixels
};

// The list of a new show window in the application's default font (needs a QGuiApplication).
ListGeometry DefaultListGeometry();

// The report's measures on `device` (its printable area and resolution).
ReportMetrics DeviceMetrics(const QPaintDevice& device, const ListGeometry& list);

// The body font is the list's font, the heading font the same in bold; both sized in list
// pixels, so that they scale with the page as the rows do.
struct ReportFonts {
    QFont body;
    QFont heading;
};
ReportFonts MakeReportFonts(const ListGeometry& list);

// `font` made narrower (then smaller) until `text` fits `width`; `font` itself when it fits.
QFont FitFont(const QFont& font, const QString& text, int width);

// Draws page `page` (from 1) of a measured report. The painter's transform is saved and
// restored. Numbers, addresses, times and delays print whole, in a narrower font where their
// column is too narrow; names and notes may end in an ellipsis.
void PaintReportPage(QPainter& painter, const CReport& report, int page,
                     const std::string& footerTime, const ReportFonts& fonts);

// Prints `pages` (numbers from 1, in that order; repeats make copies) on `device`, a sheet
// each; numbers outside the report are passed over. False when there is no page to print or
// painting on the device could not start (an unwritable file, a printer that refused).
bool PrintReportPages(QPagedPaintDevice& device, const CReport& report,
                      const std::vector<int>& pages, const ReportFonts& fonts, std::time_t now);
// Every page of the report, from the first.
std::vector<int> AllReportPages(const CReport& report);

}  // namespace flr
