#include "music/wavetablemodel.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/effect.h"
#include "model/ignition.h"
#include "model/timecode.h"

namespace flr {

namespace {

// A damaged show's frame rate must not divide by zero.
int Fps(int fps) { return fps >= 1 && fps <= 255 ? fps : 25; }

uint32_t Ms(const TimeCodeParts& p, int fps)
{
    return uint32_t(std::min<uint64_t>(TimeCodeMs(p, fps), UINT32_MAX));
}

}  // namespace

void CWaveTableModel::SetWindow(uint32_t startMs, uint32_t widthMs, double scale)
{
    m_start = startMs;
    m_width = widthMs;
    m_scale = scale;
}

void CWaveTableModel::FitScale(int windowWidth)
{
    // A window not laid out yet has no width; one pixel keeps the division defined.
    const uint32_t px = windowWidth > 0 ? uint32_t(windowWidth) : 1u;
    m_scale = double(m_width) / double(px);
    if (m_scale < 1.0) {
        m_scale = 1.0;
        m_width = px;
    }
}

void CWaveTableModel::Resize(int windowWidth) { FitScale(windowWidth); }

void CWaveTableModel::ZoomIn(int windowWidth)
{
    m_width /= 2;
    FitScale(windowWidth);
}

void CWaveTableModel::ZoomOut(int windowWidth)
{
    m_start = m_start > m_width / 2 ? m_start - m_width / 2 : 0;
    // Doubling past 32 bits would wrap the width to nothing; it stops at 2^31 ms instead.
    m_width = m_width >= 0x80000000u ? 0x80000000u : m_width * 2;
    FitScale(windowWidth);
}

void CWaveTableModel::ZoomToFit(int windowWidth, std::optional<uint32_t> trackLengthMs,
                                std::optional<uint32_t> effectsEndMs)
{
    if (trackLengthMs) {
        m_start = 0;
        m_width = *trackLengthMs;
    } else if (effectsEndMs) {
        m_start = 0;
        m_width = *effectsEndMs;
    } else {
        return;
    }
    FitScale(windowWidth);
}

void CWaveTableModel::Clear(int windowWidth)
{
    m_start = 0;
    m_width = kDefaultWidthMs;
    FitScale(windowWidth);
}

void CWaveTableModel::FollowPosition(uint32_t p)
{
    if (m_width > 0 && p > m_start + uint64_t(m_width)) {
        m_start = p - p % m_width;
    } else if (p < m_start) {
        m_start = p;
    }
}

std::vector<SampleRange> WaveformColumns(const CWaveSummary& summary, uint32_t startMs,
                                         double scale, int width)
{
    std::vector<SampleRange> columns;
    if (width <= 0 || !(scale >= 1.0)) return columns;
    columns.reserve(size_t(width));
    for (int x = 0; x < width; ++x) {
        const uint64_t from = startMs + uint64_t(double(x) * scale);
        const uint64_t to = std::max(startMs + uint64_t(double(x + 1) * scale), from + 1);
        columns.push_back(summary.Range(from, to));
    }
    return columns;
}

EffectSpan EffectSpanOf(const CIgnition& ignition, int fps)
{
    fps = Fps(fps);
    const TimeCodeParts t = ignition.GetTime().Parts();
    EffectSpan span;
    span.inMs = Ms(t, fps);
    const CEffect* item = ignition.GetItem();
    const double duration = item ? item->GetDuration() * 1000 : 0.0;
    // A damaged file's NaN or negative duration draws as none.
    span.outMs = span.inMs + (duration > 0 ? uint32_t(std::min(duration, 4.0e9)) : 0u);
    if (span.outMs == span.inMs) span.outMs = span.inMs + 1000;
    return span;
}

std::vector<EffectSpan> EffectSpans(const CIgnition* first, int fps)
{
    std::vector<EffectSpan> spans;
    for (const CIgnition* e = first; e; e = e->GetNextSchedule())
        spans.push_back(EffectSpanOf(*e, fps));
    return spans;
}

std::optional<uint32_t> EffectsEndMs(const CIgnition* first, int fps)
{
    if (!first) return std::nullopt;
    fps = Fps(fps);
    std::optional<CTimeCode> latest;
    for (const CIgnition* e = first; e; e = e->GetNextSchedule()) {
        const CEffect* item = e->GetItem();
        const CTimeCode end = AddSeconds(e->GetTime(), item ? item->GetDuration() : 0.0, fps);
        if (!latest || end > *latest) latest = end;
    }
    return Ms(latest->Parts(), fps);
}

std::vector<EffectBar> EffectBars(std::span<const EffectSpan> spans, uint32_t startMs,
                                  uint32_t widthMs, double scale, int middle, int halfHeight)
{
    std::vector<EffectBar> bars;
    if (scale < 1.0) return bars;
    const uint64_t s = startMs;
    const uint64_t e = s + widthMs;
    std::array<int, 30> rowEnds{};
    for (const EffectSpan& span : spans) {
        const uint64_t in = span.inMs, out = span.outMs;
        if ((in < s || in >= e) && (out <= s || out >= e) && (in >= s || out <= e)) {
            if (in >= e) break;
            continue;
        }
        EffectBar bar;
        bar.x1 = in < s ? 0 : int(double(in - s) / scale);
        bar.x2 = int(double(std::min(out, e) - s) / scale);
        bar.startMark = in >= s;
        bar.y = middle - halfHeight + 63;
        for (size_t r = 0; r < rowEnds.size(); ++r) {
            if (rowEnds[r] < bar.x1 || (bar.x1 == 0 && rowEnds[r] == 0)) {
                rowEnds[r] = bar.x2;
                bar.y = middle - halfHeight + 2 * int(r) + 3;
                break;
            }
        }
        bars.push_back(bar);
    }
    return bars;
}

uint32_t ScaleIntervalMs(double scale, bool frameDigits)
{
    static constexpr std::array<uint32_t, 11> kIntervals = {
        40, 1000, 5000, 10000, 15000, 30000, 60000, 300000, 600000, 900000, 1800000};
    const double minPx = frameDigits ? 70 : 45;
    size_t i = 0;
    while (kIntervals[i] / scale < minPx && i + 1 < kIntervals.size()) ++i;
    return kIntervals[i];
}

std::string ScaleLabel(uint32_t ms, bool frameDigits, int fps)
{
    fps = Fps(fps);
    const uint32_t minutes = ms / 60000;
    const uint32_t seconds = (ms - minutes * 60000) / 1000;
    const int frames = int((ms % 1000) / (1000.0 / fps));
    char text[40];
    if (frameDigits) {
        std::snprintf(text, sizeof text, "%02u:%02u:%02d", minutes, seconds, frames);
    } else {
        std::snprintf(text, sizeof text, "%02u:%02u:", minutes, seconds);
    }
    return text;
}

std::vector<ScaleTick> TimeScale(uint32_t startMs, double scale, int width, bool frameDigits,
                                 int fps)
{
    std::vector<ScaleTick> ticks;
    if (scale < 1.0) return ticks;
    const uint32_t interval = ScaleIntervalMs(scale, frameDigits);
    const uint64_t first = (uint64_t(startMs) + interval - 1) / interval * interval;
    const double firstX = double(first - startMs) / scale;
    for (uint64_t n = 0;; ++n) {
        const int x = int(firstX + double(n) * interval / scale);
        if (x >= width) break;
        const uint64_t t = first + n * interval;
        if (t > UINT32_MAX) break;
        ticks.push_back({x, uint32_t(t), ScaleLabel(uint32_t(t), frameDigits, fps)});
    }
    return ticks;
}

}  // namespace flr
