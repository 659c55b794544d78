#include "model/timecode.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace flr {

namespace {

// Large enough for any time code, small enough that every conversion to int is defined.
constexpr double kMaxSeconds = 1.0e8;

// Non-numbers and negative spans have no place on a show's time line; they count as zero
// rather than reaching an undefined float-to-int conversion.
double SaneSeconds(double seconds)
{
    if (!(seconds > 0.0)) return 0.0;
    return seconds > kMaxSeconds ? kMaxSeconds : seconds;
}

// A frame rate the arithmetic can divide by; anything else is treated as the default 25.
int SaneFps(int fps) { return fps > 0 && fps <= 255 ? fps : 25; }

// The decomposition of a span of seconds that the subtraction uses: whole hours, minutes and
// seconds, and the frames of the fraction, truncated. The small allowance keeps a fraction
// such as 0.2 s at 25 fps (4.9999... in binary) at the 5 frames it stands for.
struct SecondsParts {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

SecondsParts SplitSeconds(double p, int fps)
{
    SecondsParts out;
    if (p > 3600) {
        out.hours = static_cast<int>(p * (1.0 / 3600));
        p -= out.hours * 3600;
    }
    if (p > 60) {
        out.minutes = static_cast<int>(p * (1.0 / 60));
        p -= out.minutes * 60;
    }
    out.seconds = static_cast<int>(p);
    out.frames = static_cast<int>(fps * (p - out.seconds) + 1e-7);
    return out;
}

bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" conversion as the C library does it: leading white space, an optional sign, at
// least one digit. Out-of-range numbers saturate.
bool ScanInt(std::string_view text, size_t& pos, int& out)
{
    while (pos < text.size() && IsScanSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    size_t digits = 0;
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value <= INT_MAX) value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0) return false;
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    out = static_cast<int>(value);
    return true;
}

// "%d:%d:%d:%d"; fields not reached stay 0. Returns how many numbers were read.
int ScanTimeCode(std::string_view text, TimeCodeParts& parts)
{
    int* fields[] = {&parts.hours, &parts.minutes, &parts.seconds, &parts.frames};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ':') return i;
            ++pos;
        }
        if (!ScanInt(text, pos, *fields[i])) return i;
    }
    return 4;
}

TimeCodeParts ScanTimeCode(std::string_view text)
{
    TimeCodeParts parts;
    ScanTimeCode(text, parts);
    return parts;
}

}  // namespace

std::string FormatTimeCodeParts(const TimeCodeParts& p)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d:%02d", p.hours, p.minutes, p.seconds,
                  p.frames);
    return buffer;
}

std::string FormatTimeCode(CTimeCode value) { return FormatTimeCodeParts(value.Parts()); }

std::optional<TimeCodeParts> ParseTimeCode(std::string_view text)
{
    TimeCodeParts parts;
    if (ScanTimeCode(text, parts) != 4) return std::nullopt;
    return parts;
}

std::string SecondsToTimeCodeText(double seconds, int fps)
{
    fps = SaneFps(fps);
    double t = SaneSeconds(seconds) + 0.5 / fps;
    int hours = 0;
    int minutes = 0;
    int secs = 0;
    if (t >= 3600) {
        hours = static_cast<int>(t) / 3600;
        t -= hours * 3600;
    }
    if (t >= 60) {
        minutes = static_cast<int>(t) / 60;
        t -= minutes * 60;
    }
    if (t >= 1) {
        secs = static_cast<int>(t);
        t -= secs;
    }
    int frames = static_cast<int>(t * fps);
    if (frames == fps) {
        frames = 0;
        if (++secs == 60) {
            secs = 0;
            if (++minutes == 60) {
                minutes = 0;
                ++hours;
            }
        }
    }
    // Each field lives in one byte.
    return FormatTimeCodeParts({hours & 0xFF, minutes & 0xFF, secs & 0xFF, frames & 0xFF});
}

std::string AddTimeCodeTexts(std::string_view a, std::string_view b, int fps)
{
    fps = SaneFps(fps);
    TimeCodeParts x = ScanTimeCode(a);
    const TimeCodeParts y = ScanTimeCode(b);
    int f = x.frames + y.frames;
    if (f >= fps) {
        f -= fps;
        ++x.seconds;
    }
    int s = x.seconds + y.seconds;
    if (s >= 60) {
        s -= 60;
        ++x.minutes;
    }
    int m = x.minutes + y.minutes;
    if (m >= 60) {
        m -= 60;
        ++x.hours;
    }
    const int h = x.hours + y.hours;
    if (h >= 99) return "00:00:00:00";
    return FormatTimeCodeParts({h, m, s, f});
}

CTimeCode AddSeconds(CTimeCode value, double seconds, int fps)
{
    const std::string sum =
        AddTimeCodeTexts(FormatTimeCode(value), SecondsToTimeCodeText(seconds, fps), fps);
    return CTimeCode::FromParts(ScanTimeCode(sum));
}

CTimeCode SubtractSeconds(std::string_view text, double seconds, int fps, std::string& out)
{
    fps = SaneFps(fps);
    TimeCodeParts t = ScanTimeCode(text);
    int& H = t.hours;
    int& M = t.minutes;
    int& S = t.seconds;
    int& F = t.frames;
    // Truncated, not rounded: the In Time is the frame at or before the exact instant.
    const SecondsParts span = SplitSeconds(SaneSeconds(seconds), fps);
    const int hp = span.hours;
    const int mp = span.minutes;
    const int sp = span.seconds;
    const int fp = span.frames;

    bool borrow = true;
    if (fp > F) {
        S -= 1;
        F = F + fps - fp;
    } else {
        F -= fp;
        if (sp <= S && mp <= M && hp <= H) {
            S -= sp;
            M -= mp;
            borrow = false;
        }
    }
    if (borrow) {
        if (sp > S) {
            M -= 1;
            S = S + 60 - sp;
        } else {
            S -= sp;
        }
        if (mp > M) {
            H -= 1;
            M = M + 60 - mp;
        } else {
            M -= mp;
        }
    }
    H -= hp;
    if (H < 0) return kInvalidTimeCode;
    out = FormatTimeCodeParts(t);
    return CTimeCode::FromParts(t);
}

CTimeCode SubtractPrefire(CTimeCode value, double prefire, int fps)
{
    std::string text;
    const CTimeCode result = SubtractSeconds(FormatTimeCode(value), prefire, fps, text);
    return result > value ? kInvalidTimeCode : result;
}

std::string DifferenceText(std::string_view a, std::string_view b, int fps)
{
    fps = SaneFps(fps);
    const TimeCodeParts x = ScanTimeCode(a);
    const TimeCodeParts y = ScanTimeCode(b);
    auto frames = [fps](const TimeCodeParts& p) {
        return ((static_cast<long long>(p.hours) * 60 + p.minutes) * 60 + p.seconds) * fps +
               p.frames;
    };
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(frames(y) - frames(x)) / fps);
    return buffer;
}

TimeCodeParts DelayToParts(std::string_view delay, int fps)
{
    fps = SaneFps(fps);
    // A delay never runs backwards: a negative text reads as no delay at all.
    size_t start = 0;
    while (start < delay.size() && IsScanSpace(delay[start])) ++start;
    if (start < delay.size() && delay[start] == '-') return {};
    if (start < delay.size() && delay[start] == '+') ++start;
    delay = delay.substr(start);
    size_t separator = delay.find('.');
    if (separator == std::string_view::npos) separator = delay.find(',');
    const std::string_view whole = delay.substr(0, separator);

    // Leading digits only; an empty part reads as 0.
    int seconds = 0;
    for (size_t i = 0; i < whole.size() && whole[i] >= '0' && whole[i] <= '9'; ++i) {
        if (seconds > 100000000) break;  // far beyond any show; keeps the int defined
        seconds = seconds * 10 + (whole[i] - '0');
    }

    int hundredths = 0;
    if (separator != std::string_view::npos) {
        auto digit = [&](size_t i) {
            const size_t at = separator + i;
            return at < delay.size() && delay[at] >= '0' && delay[at] <= '9' ? delay[at] - '0' : 0;
        };
        hundredths = digit(1) * 10 + digit(2);
    }

    TimeCodeParts parts;
    parts.frames = hundredths * fps / 100;
    parts.hours = seconds / 3600;
    seconds -= parts.hours * 3600;
    parts.minutes = seconds / 60;
    parts.seconds = seconds - parts.minutes * 60;
    return parts;
}

}  // namespace flr

namespace flr {

std::string PrefireToTimeCodeText(double prefire, int fps)
{
    const SecondsParts span = SplitSeconds(SaneSeconds(prefire), SaneFps(fps));
    return FormatTimeCodeParts({span.hours, span.minutes, span.seconds, span.frames});
}

uint64_t TimeCodeMs(const TimeCodeParts& parts, int fps)
{
    const uint64_t seconds =
        (uint64_t(std::max(parts.hours, 0)) * 60 + uint64_t(std::max(parts.minutes, 0))) * 60 +
        uint64_t(std::max(parts.seconds, 0));
    return seconds * 1000 +
           (uint64_t(std::max(parts.frames, 0)) * 1000 + uint64_t(fps) - 1) / uint64_t(fps);
}

uint32_t FrameAtMs(uint64_t ms, int fps) { return uint32_t(ms * uint64_t(fps) / 1000); }

}  // namespace flr
