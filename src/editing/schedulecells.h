#pragma once

#include <string>
#include <vector>

namespace flr {

class CFLRDoc;
class CFireworkSetup;
class CIgnition;

// The twelve columns of the schedule list, in order.
enum class ScheduleColumn {
    IP,
    Size,
    ArtNo,
    Name,
    Note,
    Delay,
    Time,
    InTime,
    OutTime,
    Addr,
    Pos,
    Rack,
};
inline constexpr int kScheduleColumnCount = 12;

struct ScheduleColumnInfo {
    const char* heading;
    enum class Align { Left, Centre } align;
    int width;  // initial width in pixels
};
const ScheduleColumnInfo& ColumnInfo(ScheduleColumn column);

// The text of one cell, made on demand from the entry (texts are bytes, Windows-1252).
std::string ScheduleCellText(const CIgnition& entry, ScheduleColumn column, int fps);

// The entries that have rows, in schedule order from the first: all of them, or only those
// without a chain predecessor when chained effects are hidden.
std::vector<CIgnition*> ScheduleRows(const CFLRDoc& doc, bool showChained);

// Price and weight of every entry of the show (shown or hidden), with the setup's modifiers:
// "Price: %0.0f" or "Price: %0.0f / %d" with a price limit, and "Weight: %0.2f" in kilograms.
double ShowPrice(const CFLRDoc& doc);
std::string PriceText(const CFLRDoc& doc);
std::string WeightText(const CFLRDoc& doc);

// Widths of Name and Note after a resize: the free width shared between them (Note at most
// 200, both at least 50). `widths` holds all twelve; `rowsFit` is whether every row fits on one
// page (else room is left for the scroll bar).
void FitNameAndNote(std::vector<int>& widths, int clientWidth, bool rowsFit);

}  // namespace flr
