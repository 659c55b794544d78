#include "editing/showclock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>

#include "model/flrdoc.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendEntry;
using Rows = std::vector<int>;

class Recorder : public CShowPlayback {
public:
    void Start() override { calls += "start "; }
    void Pause() override { calls += "pause "; }
    void Resume() override { calls += "resume "; }
    void Stop() override { calls += "stop "; }
    void SetPositionMs(uint32_t ms) override { calls += "at" + std::to_string(ms) + " "; }
    std::optional<uint32_t> HeardMs() override { return heard; }
    std::string calls;
    std::optional<uint32_t> heard;
};

class ShowClockTest : public testing::Test {
protected:
    ShowClockTest()
    {
        // A tick that never returns fails here, not at the runner's time limit.
        std::signal(SIGALRM, [](int) {
            constexpr char kText[] = "The show clock has not returned for 10 s\n";
            (void)!::write(2, kText, sizeof kText - 1);
            std::_Exit(1);
        });
        ::alarm(10);
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        CShowClock::SetLastFrameShown(0);
        clock.SetPlayback(&music);
        clock.SetSliderMaximum(1000);
    }
    ~ShowClockTest() override { ::alarm(0); }
    bool RunAt(uint32_t ms)
    {
        now = ms;
        return clock.Run(test::ScheduleOrder(doc));
    }
    ClockTick TickAt(uint32_t ms)
    {
        now = ms;
        return clock.Tick(test::ScheduleOrder(doc));
    }
    const std::string& Shown() const { return clock.DisplayText(); }
    void MoveTo(int frame)
    {
        clock.SliderMoved(frame);
        clock.SliderReleased();
    }

    uint32_t now = 0;
    CFLRDoc doc;
    Recorder music;
    CShowClock clock{doc, [this] { return now; }};
};

TEST_F(ShowClockTest, ThirtyFpsKeepsToTheMillisecondsOverHalfAnHour)
{
    doc.GetSetup()->SetFrameRate(30);
    clock.SetSliderMaximum(60000);
    RunAt(5000);
    TickAt(5999);
    EXPECT_EQ(Shown(), "00:00:00:29");
    EXPECT_TRUE(TickAt(6000).newFrame);
    EXPECT_EQ(Shown(), "00:00:01:00");
    for (uint32_t ms = 6000; ms <= 5000 + 30 * 60 * 1000; ms += 20) TickAt(ms);
    EXPECT_EQ(Shown(), "00:30:00:00");
}

// The music is the clock while it plays: a device 0.1 % slow stays within a frame over half an
// hour, without ever going back, and the clock runs on from the music when it ends.
TEST_F(ShowClockTest, TheClockFollowsTheMusicHeardAndRunsOnAfterIt)
{
    clock.SetSliderMaximum(100000);
    RunAt(0);
    for (uint32_t ms = 0; ms <= 30 * 60 * 1000; ms += 20) {
        music.heard = uint32_t(ms * 0.999);
        TickAt(ms);
        ASSERT_LE(std::abs(int(clock.GetPositionMs()) - int(*music.heard)), 40) << ms;
    }
    EXPECT_EQ(Shown(), "00:29:58:05");  // 1,798,200 ms heard
    music.heard.reset();
    TickAt(30 * 60 * 1000 + 20);
    EXPECT_EQ(clock.GetPositionMs(), 1798220u);  // no jump at the handover
    // A report from behind holds the clock; it never takes it back.
    music.heard = 1000;
    TickAt(30 * 60 * 1000 + 40);
    EXPECT_EQ(clock.GetPositionMs(), 1798220u);
}

TEST_F(ShowClockTest, ReachingTheEndOfTheSliderGrowsItsRange)
{
    clock.SetSliderMaximum(100);
    RunAt(0);
    TickAt(100 * 40);
    EXPECT_EQ(clock.SliderMaximum(), 110);
    TickAt(500 * 40);  // a late tick far past the end still lands inside
    EXPECT_EQ(clock.SliderPosition(), 500);
    clock.Stop();
    clock.SetSliderMaximum(5);  // a tenth of it, truncated, is nothing
    RunAt(0);
    TickAt(5 * 40);
    EXPECT_EQ(clock.SliderMaximum(), 6);
}

TEST_F(ShowClockTest, IgnitionsWithTheSameTimeAreSelectedInOneTick)
{
    AppendEntry(doc, "00:00:01:00", "A01");
    AppendEntry(doc, "00:00:01:00", "A02");
    CIgnition* late = AppendEntry(doc, "00:00:02:00", "A03");
    RunAt(0);
    EXPECT_TRUE(TickAt(960).selectRows.empty());
    const ClockTick tick = TickAt(1000);
    EXPECT_EQ(tick.selectRows, (Rows{0, 1}));
    EXPECT_EQ(tick.scrollToRow, 1);
    EXPECT_EQ(TickAt(1040).nextIgnitionRow, 2);  // waits for the next once past their Time
    EXPECT_EQ(clock.NextIgnition(), late);
    EXPECT_EQ(TickAt(2000).selectRows, (Rows{2}));
    TickAt(2040);
    EXPECT_EQ(clock.NextIgnition(), nullptr);

    // A late tick that jumps over both moments still selects every row it passed.
    clock.Stop();
    CShowClock::SetLastFrameShown(0);
    RunAt(0);
    EXPECT_EQ(TickAt(2040).selectRows, (Rows{0, 1, 2}));
}

TEST_F(ShowClockTest, RunWaitsForTheEarliestInTimeFromThePositionShown)
{
    CIgnition* first = AppendEntry(doc, "00:00:03:00", "A01");
    CIgnition* early = AppendEntry(doc, "00:00:04:00", "A02", test::MakeItem("P", 2.0));
    ASSERT_EQ(test::FiringOrder(doc).front(), early);  // the walk from the first row misses it
    MoveTo(25);
    RunAt(0);
    EXPECT_EQ(clock.NextIgnition(), early);
    clock.Stop();
    clock.MoveTimerHere(*first);
    EXPECT_EQ(Shown(), "00:00:03:00");
    EXPECT_EQ(clock.SliderPosition(), 75);
    RunAt(0);
    EXPECT_EQ(clock.NextIgnition(), first);
}

TEST_F(ShowClockTest, DraggingFreezesTheClockWhichThenRunsOnFromTheNewPosition)
{
    RunAt(0);
    music.calls.clear();
    now = 500;
    clock.SliderMoved(250);
    EXPECT_EQ(Shown(), "00:00:10:00");
    EXPECT_EQ(music.calls, "stop at10000 start ");
    EXPECT_FALSE(TickAt(800).newFrame);
    clock.SliderReleased();
    TickAt(840);
    EXPECT_EQ(Shown(), "00:00:10:08");
}

TEST_F(ShowClockTest, RunPauseStopAndResetEachActOnlyInTheirOwnStates)
{
    EXPECT_TRUE(RunAt(1000));
    TickAt(3000);
    clock.Pause();
    EXPECT_FALSE(TickAt(5000).newFrame);
    clock.SliderMoved(60);  // while paused: moves, does not hold
    EXPECT_FALSE(clock.IsSliderDragged());
    EXPECT_FALSE(RunAt(9000));
    TickAt(9040);
    EXPECT_EQ(Shown(), "00:00:02:11");
    clock.Stop();
    EXPECT_EQ(Shown(), "00:00:00:00");
    EXPECT_TRUE(RunAt(20000));
    EXPECT_EQ(music.calls, "start pause at2400 resume stop stop start ");
    EXPECT_EQ(clock.GetPositionMs(), 0u);

    // Stop, Pause and Reset do nothing outside their states.
    clock.Stop();
    MoveTo(100);
    music.calls.clear();
    clock.Stop();
    clock.Pause();
    EXPECT_EQ(music.calls, "");
    EXPECT_EQ(Shown(), "00:00:04:00");
    RunAt(0);
    clock.Reset();
    EXPECT_EQ(Shown(), "00:00:04:00");
}

TEST_F(ShowClockTest, APrefiredCueAheadIsStillReachedAfterAPause)
{
    CIgnition* cue = AppendEntry(doc, "00:00:06:00", "A01", test::MakeItem("P", 2.0));
    RunAt(0);
    TickAt(5000);
    clock.Pause();
    RunAt(7000);  // resumed at 5 s: the cue's In Time (4 s) is behind, its Time ahead
    EXPECT_EQ(clock.NextIgnition(), cue);
    EXPECT_EQ(TickAt(8000).selectRows, Rows{0});
}

TEST_F(ShowClockTest, PositionsSurviveTheWrapOfTheMillisecondClock)
{
    RunAt(0xFFFFFF00u);
    EXPECT_EQ(clock.GetPositionMs(), 0u);
    TickAt(0x100);
    EXPECT_EQ(Shown(), "00:00:00:12");  // 512 ms
    clock.Stop();
    MoveTo(250);
    RunAt(100);  // start ticks before zero
    TickAt(140);
    EXPECT_EQ(Shown(), "00:00:10:01");
}

// After a change the clock finds the ignition it waits for again: the next by Time from the
// position shown (an entry seen at 10 s fires at 7 s: an edit at 8 s must not skip it).
TEST_F(ShowClockTest, AfterAChangeTheNextIgnitionIsFoundAgainByTime)
{
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:10:00", "A02", test::MakeItem("P3", 3.0));
    AppendEntry(doc, "00:00:12:00", "A03");
    RunAt(0);
    ASSERT_EQ(clock.NextIgnition(), a);
    doc.DeleteIgnition(a);
    test::Renumber(doc);
    clock.ShowChanged(test::ScheduleOrder(doc));
    EXPECT_EQ(clock.NextIgnition(), b);
    TickAt(8000);
    clock.ShowChanged(test::ScheduleOrder(doc));
    EXPECT_EQ(clock.NextIgnition(), b);
    EXPECT_EQ(TickAt(10000).selectRows, (Rows{0}));
    doc.DeleteAllIgnitions();
    clock.ShowChanged({});
    EXPECT_EQ(clock.NextIgnition(), nullptr);
}

}  // namespace
}  // namespace flr
