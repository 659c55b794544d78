#pragma once

#include <cstdio>
#include <string>

#include "editing/schedulecells.h"
#include "model/ignition.h"

// The cell texts the reports share with the schedule list (bytes, Windows-1252).
namespace flr::reportcells {

template <typename... Values>
std::string Format(const char* format, Values... values)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// "%03d", or "%03d:%d" of the chain's head and the place behind it, as in the list.
inline std::string Ip(const CIgnition& e, int fps)
{
    return ScheduleCellText(e, ScheduleColumn::IP, fps);
}
inline std::string Size(const CIgnition& e)
{
    return e.GetItem() ? Format("%d", e.GetItem()->GetSize()) : std::string();
}
inline std::string ArtNo(const CIgnition& e)
{
    return e.GetItem() ? e.GetItem()->GetArticleNumber() : std::string();
}
inline std::string Name(const CIgnition& e)
{
    return e.GetItem() ? e.GetItem()->GetName() : std::string();
}
inline std::string Note(const CIgnition& e) { return e.GetNote().value_or(std::string()); }
inline std::string Delay(const CIgnition& e) { return e.GetDelayText().value_or(std::string()); }
inline std::string Time(const CIgnition& e) { return FormatTimeCode(e.GetTime()); }
inline std::string InTime(const CIgnition& e) { return FormatTimeCode(e.GetInTime()); }
// "%c%02d"; a letter that is no printable character (a damaged file) prints as '?'.
inline std::string Address(char letter, int number)
{
    const char shown = letter > ' ' && letter < 127 ? letter : '?';
    return Format("%c%02d", shown, number);
}
// Empty for an entry without address, as in the list.
inline std::string Address(const CIgnition& e)
{
    return e.HasAddress() ? Address(e.GetLetter(), e.GetAddressNumber()) : std::string();
}
// The show never seats an entry in a rack, so there is no rack number to print yet.
inline std::string Rack(const CIgnition&) { return {}; }

}  // namespace flr::reportcells
