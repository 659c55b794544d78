#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "music/wavesummary.h"

namespace flr {

class CIgnition;
class CWaveSummary;

// The wave table's window on the show's time axis (ms) and what it draws there, as numbers:
// the widget only paints them. User-interface thread only.
class CWaveTableModel {
public:
    static constexpr uint32_t kDefaultWidthMs = 15000;

    uint32_t ViewStart() const { return m_start; }
    uint32_t ViewWidth() const { return m_width; }
    double Scale() const { return m_scale; }
    bool FrameDigits() const { return m_frameDigits; }
    void ToggleFrameDigits() { m_frameDigits = !m_frameDigits; }

    void SetWindow(uint32_t startMs, uint32_t widthMs, double scale);
    // The window's pixel width changed (or is first known).
    void Resize(int windowWidth);
    void ZoomIn(int windowWidth);
    void ZoomOut(int windowWidth);
    // The whole track when `trackLengthMs` is given, else up to the end of the last effect
    // when there are ignitions (`effectsEndMs`); with neither the window stays.
    void ZoomToFit(int windowWidth, std::optional<uint32_t> trackLengthMs,
                   std::optional<uint32_t> effectsEndMs);
    // No track: back to 15 s from 0.
    void Clear(int windowWidth);
    bool CanZoomIn() const { return m_scale > 1.0; }
    // Keeps the show position `p` in view, a page at a time.
    void FollowPosition(uint32_t p);

private:
    // k = W / window width, at least one millisecond a pixel.
    void FitScale(int windowWidth);

    uint32_t m_start = 0;
    uint32_t m_width = kDefaultWidthMs;
    double m_scale = 1.0;
    bool m_frameDigits = true;
};

// The waveform at one pixel column each: the lowest and highest sample of the column's
// stretch [start + x × scale, start + (x + 1) × scale), at least one millisecond wide.
std::vector<SampleRange> WaveformColumns(const CWaveSummary& summary, uint32_t startMs,
                                         double scale, int width);

// An effect's bar on the axis: its Time in ms and its end (1 s when it has no duration).
struct EffectSpan {
    uint32_t inMs = 0;
    uint32_t outMs = 0;
};
EffectSpan EffectSpanOf(const CIgnition& ignition, int fps);
// The spans of the ignitions from `first` on in schedule order.
std::vector<EffectSpan> EffectSpans(const CIgnition* first, int fps);
// The latest end of any ignition from `first` on (its Time plus its item's duration); none
// without ignitions.
std::optional<uint32_t> EffectsEndMs(const CIgnition* first, int fps);

struct EffectBar {
    int x1 = 0;
    int x2 = 0;
    int y = 0;
    bool startMark = false;  // the bar starts inside the window
};
// The bars of `spans` (schedule order) in the window [start, start + width), stacked in up
// to 30 rows.
std::vector<EffectBar> EffectBars(std::span<const EffectSpan> spans, uint32_t startMs,
                                  uint32_t widthMs, double scale, int middle, int halfHeight);

struct ScaleTick {
    int x = 0;
    uint32_t ms = 0;
    std::string label;
};
uint32_t ScaleIntervalMs(double scale, bool frameDigits);
// "MM:SS:FF" (or "MM:SS:" without frame digits) for `ms`.
std::string ScaleLabel(uint32_t ms, bool frameDigits, int fps);
std::vector<ScaleTick> TimeScale(uint32_t startMs, double scale, int width, bool frameDigits,
                                 int fps);

}  // namespace flr
