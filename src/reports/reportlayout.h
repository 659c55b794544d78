#pragma once

namespace flr {

// What a report's page layout is computed from: the schedule list's row (screen pixels) and
// the printer's page (device pixels).
struct ReportMetrics {
    int lineHeight = 17;  // one schedule-list row
    int rowWidth = 800;   // the row's full width
    int charWidth = 6;    // the list font's average character width
    int screenDpiY = 96;
    int deviceWidth = 0;   // printable width, device pixels
    int deviceHeight = 0;  // printable height, device pixels
    int deviceDpiY = 0;
};

struct ReportRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The page in logical units (screen pixels of the list) and how they map to the device:
// x_device = x * hscale, y_device = y * vscale.
struct ReportLayout {
    int lineHeight = 1;
    int hscale = 1;
    int vscale = 1;
    ReportRect page;
    int linesPerPage = 1;
};

// Scales are whole device pixels per logical unit, as a row must look the same on every page.
// Degenerate inputs (a page narrower than a row, zero sizes) give scales and lines per page of
// at least 1, never a division by zero.
ReportLayout MeasureReport(const ReportMetrics& metrics);

}  // namespace flr
