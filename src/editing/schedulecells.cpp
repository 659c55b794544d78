#include "editing/schedulecells.h"

#include <algorithm>
#include <cstdio>

#include "model/flrdoc.h"

namespace flr {

namespace {

using Align = ScheduleColumnInfo::Align;

const ScheduleColumnInfo kColumns[kScheduleColumnCount] = {
    {"IP", Align::Centre, 45},   {"Size", Align::Centre, 35},    {"Art No", Align::Left, 65},
    {"Name", Align::Left, 150},  {"Note", Align::Left, 150},     {"Delay", Align::Centre, 50},
    {"Time", Align::Centre, 75}, {"In Time", Align::Centre, 75}, {"Out Time", Align::Centre, 75},
    {"Addr", Align::Left, 35},   {"Pos", Align::Centre, 35},     {"Rack", Align::Centre, 40},
};

std::string Format(const char* format, auto... values)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

std::string IpText(const CIgnition& e)
{
    // An entry without a number has no IP to print ("-01" would be read as a number).
    if (!e.GetChainPrev()) {
        return e.GetNumber() == CIgnition::kNoNumber ? std::string()
                                                     : Format("%03d", e.GetNumber());
    }
    int place = 1;
    const CIgnition* head = &e;
    while (head->GetChainPrev()) {
        head = head->GetChainPrev();
        ++place;
    }
    if (head->IsChained() || head->GetNumber() == CIgnition::kNoNumber) return {};
    return Format("%03d:%d", head->GetNumber(), place);
}

}  // namespace

const ScheduleColumnInfo& ColumnInfo(ScheduleColumn column)
{
    return kColumns[static_cast<int>(column)];
}

std::string ScheduleCellText(const CIgnition& e, ScheduleColumn column, int fps)
{
    const CEffect* item = e.GetItem();
    switch (column) {
    case ScheduleColumn::IP: return IpText(e);
    case ScheduleColumn::Size: return item ? Format("%d", item->GetSize()) : std::string();
    case ScheduleColumn::ArtNo: return item ? item->GetArticleNumber() : std::string();
    case ScheduleColumn::Name: return item ? item->GetName() : std::string();
    case ScheduleColumn::Note: return e.GetNote().value_or(std::string());
    case ScheduleColumn::Delay:
        return e.GetChainPrev() ? std::string() : e.GetDelayText().value_or(std::string());
    case ScheduleColumn::Time: return FormatTimeCode(e.GetTime());
    case ScheduleColumn::InTime: return FormatTimeCode(e.GetInTime());
    case ScheduleColumn::OutTime:
        if (item && item->GetDuration() >= 0.01) {
            return FormatTimeCode(AddSeconds(e.GetTime(), item->GetDuration(), fps));
        }
        return FormatTimeCode(e.GetTime());
    case ScheduleColumn::Addr: return e.AddressText();
    case ScheduleColumn::Pos: return std::string(1, static_cast<char>('0' + e.GetPosition()));
    case ScheduleColumn::Rack: return {};  // the show never seats an entry in a rack
    }
    return {};
}

std::vector<CIgnition*> ScheduleRows(const CFLRDoc& doc, bool showChained)
{
    std::vector<CIgnition*> rows;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (showChained || !e->GetChainPrev()) rows.push_back(e);
    }
    return rows;
}

double ShowPrice(const CFLRDoc& doc)
{
    // Every entry counts, hidden chained effects too: they are fired and paid for.
    double total = 0.0;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (e->GetItem()) total += e->GetItem()->GetOutPrice();
    }
    if (const CFireworkSetup* s = doc.GetSetup()) {
        if (s->GetFixedPrice() != CFireworkSetup::kNotUsed) total += s->GetFixedPrice();
        if (s->GetFixedDiscount() != CFireworkSetup::kNotUsed) {
            total = s->GetFixedDiscount() > total ? 0.0 : total - s->GetFixedDiscount();
        }
        if (s->GetPropDiscount() != CFireworkSetup::kNotUsed) {
            // A discount of more than 100 percent leaves nothing to pay, not a negative price.
            total *= std::max(0, 100 - s->GetPropDiscount()) * 0.01;
        }
    }
    return total;
}

std::string PriceText(const CFLRDoc& doc)
{
    const double price = ShowPrice(doc);
    const CFireworkSetup* s = doc.GetSetup();
    if (s && s->GetPriceLimit() != CFireworkSetup::kNotUsed) {
        return Format("Price: %0.0f / %d", price, s->GetPriceLimit());
    }
    return Format("Price: %0.0f", price);
}

std::string WeightText(const CFLRDoc& doc)
{
    double grams = 0.0;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (e->GetItem()) grams += e->GetItem()->GetWeight();
    }
    return Format("Weight: %0.2f", grams * 0.001);
}

void FitNameAndNote(std::vector<int>& widths, int clientWidth, bool rowsFit)
{
    if (widths.size() != kScheduleColumnCount) return;
    const int name = static_cast<int>(ScheduleColumn::Name);
    const int note = static_cast<int>(ScheduleColumn::Note);
    int sum = 0;
    for (int w : widths) sum += w;
    int free = clientWidth - sum + widths[name] + widths[note] - 4;
    if (!rowsFit) free -= 16;
    int nameWidth = free / 2;
    int noteWidth = free - nameWidth;
    if (noteWidth > 200) {
        noteWidth = 200;
        nameWidth = free - 200;
    } else if (nameWidth < 50) {
        nameWidth = 50;
        noteWidth = 50;
    }
    widths[name] = nameWidth;
    widths[note] = noteWidth;
}

}  // namespace flr
