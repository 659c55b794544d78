#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "reports/reportlayout.h"

namespace flr {

class CFLRDoc;
class CIgnition;

// What a report is printed from: the show, and the schedule list's rows in their order (only
// those the list shows; the field list prints at most that many, the shoot list exactly them).
struct ReportSource {
    const CFLRDoc* doc = nullptr;
    std::vector<CIgnition*> rows;
    std::string documentTitle;  // bytes, Windows-1252, like every text of the show
};

enum class ReportAlign { Left, Right, Centre };

// One column of a report, bounds in logical units.
struct ReportColumn {
    const char* heading;
    int left;
    int right;
    ReportAlign align;
    bool box;               // an empty box to tick by hand instead of a text
    bool freeText = false;  // names and notes, which may be shortened
};

// One printed line: a row of cells (one per column), a group heading, or a blank line.
struct ReportLine {
    enum class Kind : uint8_t { Row, Heading, Blank };
    Kind kind = Kind::Blank;
    std::vector<std::string> cells;  // Row: one text per column
    std::string text;                // Heading
};

// What a page consists of, in logical units, for a painter to draw in order.
struct ReportDraw {
    enum class Op : uint8_t { Fill, Text, Rule, Box };
    Op op = Op::Text;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Fill/Text/Box: rectangle; Rule: a line
    std::string text;
    ReportAlign align = ReportAlign::Left;
    bool headingFont = false;
    // Text: numbers, addresses, times and delays are read at the firing site and must print
    // whole (in a narrower font where need be); names and notes may end in an ellipsis.
    bool whole = false;
    uint32_t rgb = 0;  // Fill colour, 0xRRGGBB
};

inline constexpr uint32_t kReportBandRgb = 0xF5F5F5;
inline constexpr uint32_t kReportHeadingBandRgb = 0xC8C8C8;

// A report of one kind: its lines, laid out on pages of a measured size. The lines are a
// snapshot of the show taken by Prepare; the show may change afterwards without harm.
class CReport {
public:
    // The report for kind code `code` (any code without a report prints the field list).
    static std::unique_ptr<CReport> Create(int code);
    virtual ~CReport() = default;

    int Kind() const { return m_kind; }
    const char* Title() const;

    // Builds the lines. False when there is no show to print.
    bool Prepare(const ReportSource& source);
    // Lays the page out for a printer; the column bounds follow the page width.
    void Measure(const ReportMetrics& metrics);

    int LineCount() const { return static_cast<int>(m_lines.size()); }
    const ReportLine& Line(int index) const { return m_lines[static_cast<size_t>(index)]; }
    const std::vector<ReportColumn>& Columns() const { return m_columns; }
    const ReportLayout& Layout() const { return m_layout; }
    // line count / lines per page + 1: a full last page is followed by one with only its
    // header and footer.
    int PageCount() const;

    // Page `page` (from 1) as drawing steps; `footerTime` is the text at the footer's right.
    // An out-of-range page gives nothing.
    std::vector<ReportDraw> Page(int page, const std::string& footerTime) const;

protected:
    // A column bound: L + offset + share of F (0 none, 1 half, 2 all), or R.
    struct Edge {
        int offset;
        int share = 0;
        bool atRight = false;
    };
    struct ColumnSpec {
        const char* heading;
        Edge left;
        Edge right;
        ReportAlign align;
        bool box = false;
    };

    explicit CReport(int kind) : m_kind(kind) {}
    virtual std::vector<ColumnSpec> ColumnTable() const = 0;
    virtual int FixedWidth() const = 0;
    virtual void BuildLines(const ReportSource& source, std::vector<ReportLine>& lines) = 0;
    // The chain list and the effect summary count an empty report as one line for its pages.
    virtual bool CountsEmptyAsOne() const { return false; }

private:
    int m_kind;
    std::string m_documentTitle;
    std::vector<ReportLine> m_lines;
    std::vector<ReportColumn> m_columns;
    ReportLayout m_layout;
};

// Whether the report `kind` has anything to print for the list's `rows`: any row at all; for
// the effect summary a row with an item, for the chain list a row that heads a chain.
bool ReportAvailable(int kind, const std::vector<CIgnition*>& rows);

// The footer's time: "%H:%M - %B %d, %Y" in local time, English month names.
std::string ReportFooterTime(std::time_t when);

}  // namespace flr
