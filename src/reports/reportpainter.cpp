#include "reports/reportpainter.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "base/textcodec.h"
#include "editing/schedulecells.h"

namespace flr {

namespace {

QString FromBytes(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }

Qt::Alignment AlignmentOf(ReportAlign align)
{
    switch (align) {
    case ReportAlign::Right: return Qt::AlignRight;
    case ReportAlign::Centre: return Qt::AlignHCenter;
    case ReportAlign::Left: break;
    }
    return Qt::AlignLeft;
}

}  // namespace

ListGeometry DefaultListGeometry()
{
    ListGeometry list;
    list.font = QGuiApplication::font();
    const QFontMetrics metrics(list.font);
    // The list's own widths (a time code column just fits its text), with Name and Note
    // sharing the room of a window of a typical size, as the list does when it is shown.
    const int timeWidth = metrics.horizontalAdvance(QStringLiteral("00:00:00:00")) + 12;
    const double scale = std::max(1.0, timeWidth / 75.0);
    std::vector<int> widths;
    for (int c = 0; c < kScheduleColumnCount; ++c) {
        widths.push_back(int(ColumnInfo(static_cast<ScheduleColumn>(c)).width * scale + 0.5));
    }
    FitNameAndNote(widths, int(960 * scale), false);
    list.rowWidth = 0;
    for (int w : widths) list.rowWidth += w;
    list.lineHeight = metrics.height() + 4;
    list.charWidth = std::max(1, metrics.averageCharWidth());
    list.fontPixelHeight = std::max(1, QFontInfo(list.font).pixelSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        list.screenDpiY = std::max(1, int(screen->logicalDotsPerInchY() + 0.5));
    }
    return list;
}

ReportMetrics DeviceMetrics(const QPaintDevice& device, const ListGeometry& list)
{
    ReportMetrics m;
    m.lineHeight = list.lineHeight;
    m.rowWidth = list.rowWidth;
    m.charWidth = list.charWidth;
    m.screenDpiY = list.screenDpiY;
    m.deviceWidth = device.width();
    m.deviceHeight = device.height();
    m.deviceDpiY = device.logicalDpiY();
    return m;
}

ReportFonts MakeReportFonts(const ListGeometry& list)
{
    ReportFonts fonts;
    fonts.body = list.font;
    fonts.body.setPixelSize(std::max(1, list.fontPixelHeight));
    fonts.heading = fonts.body;
    fonts.heading.setBold(true);
    return fonts;
}

QFont FitFont(const QFont& font, const QString& text, int width)
{
    QFont fitted = font;
    int advance = QFontMetrics(fitted).horizontalAdvance(text);
    // Narrower letters first, down to half their width; then smaller ones until it fits.
    const int baseStretch = font.stretch() > 0 ? font.stretch() : 100;
    for (int stretch = baseStretch; advance > width && stretch > baseStretch / 2;) {
        stretch = std::max(baseStretch / 2, stretch * width / std::max(1, advance) - 1);
        fitted.setStretch(stretch);
        advance = QFontMetrics(fitted).horizontalAdvance(text);
    }
    while (advance > width && fitted.pixelSize() > 1) {
        fitted.setPixelSize(std::max(1, fitted.pixelSize() * width / std::max(1, advance) - 1));
        advance = QFontMetrics(fitted).horizontalAdvance(text);
    }
    while (advance > width && fitted.pointSizeF() > 1.0) {
        fitted.setPointSizeF(
            std::max(1.0, fitted.pointSizeF() * width / std::max(1, advance) - 0.5));
        advance = QFontMetrics(fitted).horizontalAdvance(text);
    }
    return fitted;
}

void PaintReportPage(QPainter& painter, const CReport& report, int page,
                     const std::string& footerTime, const ReportFonts& fonts)
{
    const ReportLayout& layout = report.Layout();
    painter.save();
    painter.scale(layout.hscale, layout.vscale);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);

    // The page is scaled more in one direction than the other. Letters keep their shape on
    // paper: where the width is scaled less they are made lower and wider by as much, so a text
    // takes the same width in its column as in the list.
    ReportFonts shaped = fonts;
    const int stretch = std::clamp(100 * layout.vscale / layout.hscale, 1, 4000);
    for (QFont* font : {&shaped.body, &shaped.heading}) {
        if (layout.hscale < layout.vscale && font->pixelSize() > 0) {
            font->setPixelSize(std::max(1, font->pixelSize() * layout.hscale / layout.vscale));
        }
        font->setStretch(stretch);
    }

    const int textFlags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    for (const ReportDraw& d : report.Page(page, footerTime)) {
        const QRect rect(QPoint(d.x1, d.y1), QPoint(d.x2 - 1, d.y2 - 1));
        switch (d.op) {
        case ReportDraw::Op::Fill:
            painter.fillRect(rect, QColor::fromRgb(static_cast<QRgb>(d.rgb)));
            break;
        case ReportDraw::Op::Text: {
            const QFont& font = d.headingFont ? shaped.heading : shaped.body;
            const int width = std::max(1, d.x2 - d.x1);
            QString text = FromBytes(d.text);
            if (d.whole) {
                painter.setFont(FitFont(font, text, width));
            } else {
                // A free text wider than its column is shortened with an ellipsis rather than
                // printed over its neighbour.
                painter.setFont(font);
                text = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
            }
            painter.drawText(rect, textFlags | AlignmentOf(d.align), text);
            break;
        }
        case ReportDraw::Op::Rule: painter.drawLine(d.x1, d.y1, d.x2, d.y2); break;
        case ReportDraw::Op::Box: painter.drawRect(rect); break;
        }
    }
    painter.restore();
}

std::vector<int> AllReportPages(const CReport& report)
{
    std::vector<int> pages;
    for (int page = 1; page <= report.PageCount(); ++page) pages.push_back(page);
    return pages;
}

bool PrintReportPages(QPagedPaintDevice& device, const CReport& report,
                      const std::vector<int>& pages, const ReportFonts& fonts, std::time_t now)
{
    std::vector<int> printable;
    for (int page : pages) {
        if (page >= 1 && page <= report.PageCount()) printable.push_back(page);
    }
    // Beginning a painter already puts out a sheet: with nothing to print, do not start.
    if (printable.empty()) return false;
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const std::string footerTime = ReportFooterTime(now);
    bool first = true;
    for (int page : printable) {
        if (!first && !device.newPage()) {
            painter.end();
            return false;
        }
        first = false;
        PaintReportPage(painter, report, page, footerTime, fonts);
    }
    return painter.end();
}

}  // namespace flr
