#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace flr {

// Hours, minutes, seconds and frames as separate numbers, before packing.
struct TimeCodeParts {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

// Every operation that takes a frame rate treats one outside 1..255 as 25, so a damaged show
// file cannot make the arithmetic divide by zero.

// A show position packed into 32 bits, hours in the most significant byte down to frames in
// the least, so that comparing the raw values compares positions in time. It carries no
// frame rate: every operation that needs one takes it from the caller.
class CTimeCode {
public:
    static constexpr uint32_t kInvalidValue = 0xFFFFFFFFu;

    constexpr CTimeCode() = default;
    constexpr explicit CTimeCode(uint32_t value) : m_value(value) {}

    // Each field is taken modulo 256, as the packing has it.
    static constexpr CTimeCode FromParts(int hours, int minutes, int seconds, int frames)
    {
        return CTimeCode((static_cast<uint32_t>(hours) & 0xFF) << 24 |
                         (static_cast<uint32_t>(minutes) & 0xFF) << 16 |
                         (static_cast<uint32_t>(seconds) & 0xFF) << 8 |
                         (static_cast<uint32_t>(frames) & 0xFF));
    }
    static constexpr CTimeCode FromParts(const TimeCodeParts& p)
    {
        return FromParts(p.hours, p.minutes, p.seconds, p.frames);
    }

    constexpr uint32_t Value() const { return m_value; }
    constexpr bool IsValid() const { return m_value != kInvalidValue; }
    constexpr int Hours() const { return static_cast<int>(m_value >> 24); }
    constexpr int Minutes() const { return static_cast<int>((m_value >> 16) & 0xFF); }
    constexpr int Seconds() const { return static_cast<int>((m_value >> 8) & 0xFF); }
    constexpr int Frames() const { return static_cast<int>(m_value & 0xFF); }
    constexpr TimeCodeParts Parts() const { return {Hours(), Minutes(), Seconds(), Frames()}; }

    constexpr auto operator<=>(const CTimeCode&) const = default;

private:
    uint32_t m_value = 0;
};

// The result of a subtraction that would fall before the start of the show.
inline constexpr CTimeCode kInvalidTimeCode{CTimeCode::kInvalidValue};
static_assert(!kInvalidTimeCode.IsValid());
static_assert(CTimeCode::FromParts(0, 1, 0, 0) > CTimeCode::FromParts(0, 0, 59, 29));

// "HH:MM:SS:FF" with at least two digits a field.
std::string FormatTimeCode(CTimeCode value);
std::string FormatTimeCodeParts(const TimeCodeParts& parts);

// Reads "%d:%d:%d:%d"; nullopt unless all four numbers were read (trailing text is ignored).
std::optional<TimeCodeParts> ParseTimeCode(std::string_view text);

// Seconds to a time-code text, rounded to the nearest frame.
std::string SecondsToTimeCodeText(double seconds, int fps);

// Sum of two normalised time-code texts; 99 hours or more wraps to "00:00:00:00".
std::string AddTimeCodeTexts(std::string_view a, std::string_view b, int fps);

// value + seconds, rounded to the nearest frame.
CTimeCode AddSeconds(CTimeCode value, double seconds, int fps);

// text - seconds, truncated to the frame at or before the exact instant. Writes the result
// text to `out` and returns the packed value; returns kInvalidTimeCode (and leaves `out`
// alone) when the result would fall before zero.
CTimeCode SubtractSeconds(std::string_view text, double seconds, int fps, std::string& out);

// The In Time for a Time and an item's prefire: kInvalidTimeCode when the prefire is longer
// than the Time.
CTimeCode SubtractPrefire(CTimeCode value, double prefire, int fps);

// The span that SubtractPrefire takes off for `prefire` seconds, as a time-code text: adding it
// to an In Time gives the Time whose In Time is exactly that In Time again.
std::string PrefireToTimeCodeText(double prefire, int fps);

// (b - a) in seconds as "%.2f"; negative when b lies before a.
std::string DifferenceText(std::string_view a, std::string_view b, int fps);

// The show's time axis in milliseconds: the start of a time code's frame (rounded up to the
// millisecond), and the frame a millisecond falls in. Exact at any frame rate, so a clock
// that counts frames from milliseconds keeps to the music over hours; `fps` must be sane.
uint64_t TimeCodeMs(const TimeCodeParts& parts, int fps);
uint32_t FrameAtMs(uint64_t ms, int fps);

// Splits a delay text ("12.04" or "12,04") into time-code fields.
TimeCodeParts DelayToParts(std::string_view delay, int fps);

}  // namespace flr
