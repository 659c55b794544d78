#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace flr {

class CFLRDoc;
class CIgnition;

// What the show clock asks of the music playback. Every call does nothing here, so a clock
// without music runs on its own.
class CShowPlayback {
public:
    virtual ~CShowPlayback() = default;
    // Starts playing from the playback's own current position.
    virtual void Start() {}
    virtual void Pause() {}
    virtual void Resume() {}
    // Stops and rewinds to 0.
    virtual void Stop() {}
    // Moves the playback to `ms` and redraws it.
    virtual void SetPositionMs(uint32_t /*ms*/) {}
    virtual void Redraw() {}
    // The position the listener hears, while music plays; the clock then follows it.
    virtual std::optional<uint32_t> HeardMs() { return std::nullopt; }
};

// Milliseconds from an arbitrary origin, monotonic, wrapping at 2^32.
using MsClock = std::function<uint32_t()>;

// The program's clock: the steady clock in milliseconds, cut to 32 bits.
MsClock SteadyMsClock();

// What one timer tick asks of the view.
struct ClockTick {
    bool newFrame = false;        // the time display and slider moved on
    std::vector<int> selectRows;  // rows to add to the selection, in order
    int scrollToRow = -1;         // the last of them, or -1
    int nextIgnitionRow = -1;     // the next ignition's row, to make visible after, or -1
};

// The show clock of one view: stopped, running or paused, the time display's text, the
// position slider's position and range, and the ignition it waits for. No widgets: the view
// shows the text and slider values after each call, and hands in the schedule list's rows.
//
// The next ignition is a pointer into the show. The view calls ShowChanged on every notice of
// the document, before the next tick, and the clock finds it again from the position shown
// then; so an entry deleted while it is awaited is never touched.
//
// User-interface thread only.
class CShowClock {
public:
    // `doc` gives the frame rate and outlives the clock.
    explicit CShowClock(const CFLRDoc& doc, MsClock clock = SteadyMsClock());

    void SetMsClock(MsClock clock) { m_now = std::move(clock); }
    // Not owned; nullptr is the do-nothing playback.
    void SetPlayback(CShowPlayback* playback);

    bool IsRunning() const { return m_running; }
    bool IsPaused() const { return m_paused; }
    bool IsSliderDragged() const { return m_sliderDragged; }
    CIgnition* NextIgnition() const { return m_next; }

    // "HH:MM:SS:FF" as the time display shows it.
    const std::string& DisplayText() const { return m_display; }
    int SliderPosition() const { return m_sliderPos; }
    int SliderMaximum() const { return m_sliderMax; }
    // The range the view derives from the setup or the music track; the position is kept
    // within it.
    void SetSliderMaximum(int maximum);

    // The show position in milliseconds: from the time display when stopped, from the slider
    // when paused, from the clock when running. While music plays, each tick sets the clock
    // to what is heard; without music, or past its end, the clock runs on from there.
    uint32_t GetPositionMs() const;

    // Starts from the time display's position, or resumes from a pause. Returns true when the
    // run starts from stopped, so the view clears the list's selection. Does nothing (false)
    // while already running and not paused.
    bool Run(const std::vector<CIgnition*>& rows);
    void Pause();
    // Stopped, at 00:00:00:00. Does nothing while stopped.
    void Stop();
    // Position 00:00:00:00 and the playback stopped; refused while running.
    void Reset();

    ClockTick Tick(const std::vector<CIgnition*>& rows);

    // The user moved the slider to `position` (frames); the drag ends with SliderReleased.
    void SliderMoved(int position);
    void SliderReleased() { m_sliderDragged = false; }

    // Puts the clock at `entry`'s Time; refused while running.
    void MoveTimerHere(const CIgnition& entry);

    // The show changed (entries may be gone): finds the next ignition again from the
    // position shown, when running.
    void ShowChanged(const std::vector<CIgnition*>& rows);

    static void SetLastFrameShown(uint32_t frame) { s_lastFrameShown = frame; }

private:
    int Fps() const;
    CShowPlayback& Playback() const;
    void FindNextIgnition(const std::vector<CIgnition*>& rows);
    void FindNextByTime(const std::vector<CIgnition*>& rows);
    // Sets the running position to `ms` from now on.
    void SetRunningPosition(uint32_t ms);

    const CFLRDoc& m_doc;
    MsClock m_now;
    CShowPlayback* m_playback = nullptr;
    bool m_running = false;
    bool m_paused = false;
    bool m_sliderDragged = false;
    uint32_t m_startTicks = 0;
    uint32_t m_lastRunningMs = 0;  // the position never goes back within a run
    CIgnition* m_next = nullptr;
    std::string m_display = "00:00:00:00";
    int m_sliderPos = 0;
    int m_sliderMax = 0;

    static inline uint32_t s_lastFrameShown = 0;
};

}  // namespace flr
