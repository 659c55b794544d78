// The wave table's window and drawing as numbers: zoom, fit, following the position, effect
// bars and the time scale.
#include "music/wavetablemodel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "model/effect.h"
#include "model/ignition.h"
#include "model/timecode.h"

namespace flr {
namespace {

std::pair<uint32_t, double> WidthAndScale(const CWaveTableModel& m)
{
    return {m.ViewWidth(), m.Scale()};
}

TEST(WaveTableModelTest, ZoomAndFitStopAtOneMillisecondPerPixelAndThePositionTurnsPages)
{
    CWaveTableModel m;
    m.Resize(1000);
    EXPECT_DOUBLE_EQ(m.Scale(), 15.0);
    m.ZoomIn(1000);
    EXPECT_EQ(WidthAndScale(m), std::pair(7500u, 7.5));
    for (int i = 0; i < 5; ++i) m.ZoomIn(1000);
    EXPECT_EQ(WidthAndScale(m), std::pair(1000u, 1.0));
    EXPECT_FALSE(m.CanZoomIn());

    // Out: the start goes back by half the width, which doubles.
    m.SetWindow(3000, 10000, 10.0);
    m.ZoomOut(1000);
    EXPECT_EQ(m.ViewStart(), 0u);
    EXPECT_EQ(WidthAndScale(m), std::pair(20000u, 20.0));
    m.SetWindow(30000, 10000, 10.0);
    m.ZoomOut(1000);
    EXPECT_EQ(m.ViewStart(), 25000u);
    // No wrap of the width to nothing however far out.
    for (int i = 0; i < 40; ++i) m.ZoomOut(1000);
    EXPECT_GE(m.Scale(), 1.0);
    EXPECT_GT(m.ViewWidth(), 0u);

    // Fit takes the track, else the effects.
    m.SetWindow(5000, 1000, 1.0);
    m.ZoomToFit(500, std::nullopt, std::nullopt);
    EXPECT_EQ(m.ViewStart(), 5000u);
    m.ZoomToFit(500, std::nullopt, 100000u);
    EXPECT_EQ(m.ViewStart(), 0u);
    EXPECT_EQ(m.ViewWidth(), 100000u);
    m.ZoomToFit(500, 60000u, 100000u);
    EXPECT_EQ(WidthAndScale(m), std::pair(60000u, 120.0));
    m.ZoomToFit(500, 200u, std::nullopt);  // shorter than the window: 1 ms a pixel
    EXPECT_EQ(m.ViewWidth(), 500u);
    m.Clear(1000);
    EXPECT_EQ(WidthAndScale(m), std::pair(15000u, 15.0));

    // The position turns whole pages.
    m.SetWindow(0, 10000, 10.0);
    m.FollowPosition(10000);
    EXPECT_EQ(m.ViewStart(), 0u);
    m.FollowPosition(25300);
    EXPECT_EQ(m.ViewStart(), 20000u);
    m.FollowPosition(1200);
    EXPECT_EQ(m.ViewStart(), 1200u);
}

std::unique_ptr<CIgnition> At(int h, int m, int s, int f, double duration = 0)
{
    auto e = std::make_unique<CIgnition>();
    e->SetTimeRaw(CTimeCode::FromParts(h, m, s, f));
    if (duration > 0) {
        CEffectRef item = CEffect::Create();
        item->SetDuration(duration);
        e->SetItem(item);
    }
    return e;
}

TEST(WaveTableModelTest, EffectSpansCountWholeFrameLengths)
{
    const EffectSpan late = EffectSpanOf(*At(0, 0, 1, 29), 30);
    EXPECT_EQ(late.inMs, 1967u);   // the frame's start, rounded up to the millisecond
    EXPECT_EQ(late.outMs, 2967u);  // no item: a one-second bar
    EXPECT_LT(late.inMs, EffectSpanOf(*At(0, 0, 2, 0), 30).inMs);
    const EffectSpan withItem = EffectSpanOf(*At(0, 1, 0, 0, 2.5), 30);
    EXPECT_EQ(withItem.inMs, 60000u);
    EXPECT_EQ(withItem.outMs, 62500u);
    EXPECT_EQ(EffectSpanOf(*At(0, 0, 0, 5), 0).inMs, 5u * 40);  // a damaged rate counts as 25
    // A damaged file's duration draws as none: a one-second bar.
    auto damaged = At(0, 0, 1, 0);
    CEffectRef item = CEffect::Create();
    item->SetDuration(std::nan(""));
    damaged->SetItem(item);
    EXPECT_EQ(EffectSpanOf(*damaged, 25).outMs, 2000u);
}

TEST(WaveTableModelTest, BarsStackInRowsAndStopPastTheWindow)
{
    // Window 1000..11000 at 10 ms a pixel.
    const std::vector<EffectSpan> spans = {
        {0, 500},        // before the window: skipped
        {500, 3000},     // runs into the window: from its left edge, no start mark
        {2000, 4000},    // overlaps the first: next row
        {5000, 6000},    // after both: back to the first row
        {500, 20000},    // spans the whole window
        {12000, 13000},  // after the window: the end
        {3000, 4000},
    };
    std::vector<std::tuple<int, int, bool, int>> bars;
    for (const EffectBar& b : EffectBars(spans, 1000, 10000, 10.0, 100, 50))
        bars.emplace_back(b.x1, b.x2, b.startMark, b.y);
    EXPECT_EQ(bars, (std::vector<std::tuple<int, int, bool, int>>{{0, 200, false, 53},
                                                                  {100, 300, true, 55},
                                                                  {400, 500, true, 53},
                                                                  {0, 1000, false, 57}}));

    // Thirty rows taken: the rest share the last line.
    std::vector<EffectSpan> many(31, EffectSpan{1000, 2000});
    EXPECT_EQ(EffectBars(many, 1000, 10000, 10.0, 100, 50).back().y, 100 - 50 + 63);
}

TEST(WaveTableModelTest, TheScaleKeepsItsLabelsApart)
{
    EXPECT_EQ(ScaleIntervalMs(1.0, true), 1000u);
    EXPECT_EQ(ScaleIntervalMs(0.5, true), 40u);
    EXPECT_EQ(ScaleIntervalMs(100.0, true), 10000u);
    EXPECT_EQ(ScaleIntervalMs(100.0, false), 5000u);
    EXPECT_EQ(ScaleIntervalMs(1e9, false), 1800000u);
    EXPECT_EQ(ScaleLabel(90000, false, 25), "01:30:");
    EXPECT_EQ(ScaleLabel(90520, true, 25), "01:30:13");
    std::vector<std::tuple<int, uint32_t, std::string>> ticks;
    for (const ScaleTick& t : TimeScale(2500, 100.0, 250, true, 25))
        ticks.emplace_back(t.x, t.ms, t.label);
    // The third, at 275, is past the width.
    EXPECT_EQ(ticks, (std::vector<std::tuple<int, uint32_t, std::string>>{
                         {75, 10000, "00:10:00"}, {175, 20000, "00:20:00"}}));
}

}  // namespace
}  // namespace flr
