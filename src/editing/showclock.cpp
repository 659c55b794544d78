#include "editing/showclock.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "model/flrdoc.h"
#include "model/ignition.h"
#include "model/timecode.h"

namespace flr {

namespace {

// The rule of the time codes: a damaged frame rate must not divide by zero.
int SaneFps(int fps) { return fps > 0 && fps <= 255 ? fps : 25; }

TimeCodeParts FrameToParts(uint32_t frame, int fps)
{
    const uint32_t perHour = static_cast<uint32_t>(fps) * 3600;
    const uint32_t perMinute = static_cast<uint32_t>(fps) * 60;
    const uint32_t rest = frame % perHour;
    return {static_cast<int>(frame / perHour), static_cast<int>(rest / perMinute),
            static_cast<int>(rest % perMinute / fps), static_cast<int>(rest % perMinute % fps)};
}

uint32_t PositionMs(const TimeCodeParts& p, int fps)
{
    return static_cast<uint32_t>(std::min<uint64_t>(TimeCodeMs(p, fps), UINT32_MAX));
}

CShowPlayback g_silence;

}  // namespace

MsClock SteadyMsClock()
{
    return [] {
        using namespace std::chrono;
        // Cut to 32 bits on purpose: positions are differences, which survive the wrap.
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

CShowClock::CShowClock(const CFLRDoc& doc, MsClock clock) : m_doc(doc), m_now(std::move(clock)) {}

void CShowClock::SetPlayback(CShowPlayback* playback) { m_playback = playback; }

CShowPlayback& CShowClock::Playback() const { return m_playback ? *m_playback : g_silence; }

int CShowClock::Fps() const { return SaneFps(m_doc.GetFrameRate()); }

void CShowClock::SetSliderMaximum(int maximum)
{
    m_sliderMax = std::max(0, maximum);
    m_sliderPos = std::clamp(m_sliderPos, 0, m_sliderMax);
}

uint32_t CShowClock::GetPositionMs() const
{
    if (!m_running) return PositionMs(ParseTimeCode(m_display).value_or(TimeCodeParts{}), Fps());
    if (m_paused) return PositionMs(FrameToParts(static_cast<uint32_t>(m_sliderPos), Fps()), Fps());
    // Unsigned subtraction is right across the 32-bit wrap of the clock.
    return m_now() - m_startTicks;
}

bool CShowClock::Run(const std::vector<CIgnition*>& rows)
{
    if (m_running && !m_paused) return false;
    const bool resuming = m_running;
    m_running = true;
    SetRunningPosition(PositionMs(ParseTimeCode(m_display).value_or(TimeCodeParts{}), Fps()));
    // A resumed run waits on Times, as after an edit: a cue whose prefire began before the
    // pause is still ahead.
    if (resuming) {
        FindNextByTime(rows);
    } else {
        FindNextIgnition(rows);
    }
    if (resuming) {
        Playback().Resume();
    } else {
        Playback().Start();
    }
    m_paused = false;
    return !resuming;
}

void CShowClock::FindNextIgnition(const std::vector<CIgnition*>& rows)
{
    m_next = nullptr;
    if (rows.empty()) return;
    const CTimeCode now = CTimeCode::FromParts(ParseTimeCode(m_display).value_or(TimeCodeParts{}));
    for (CIgnition* e = rows.front(); e; e = e->GetNextFiring()) {
        if (e->GetInTime() >= now) {
            m_next = e;
            break;
        }
    }
    if (!m_next || m_next->GetInTime() == now) return;
    for (size_t i = 1; i < rows.size(); ++i) {
        const CTimeCode in = rows[i]->GetInTime();
        if (in >= now && in < m_next->GetInTime()) m_next = rows[i];
    }
}

void CShowClock::Pause()
{
    if (!m_running || m_paused) return;
    m_paused = true;
    Playback().Pause();
}

void CShowClock::Stop()
{
    if (!m_running) return;
    m_running = false;
    m_paused = false;
    m_next = nullptr;
    Playback().Stop();
    Reset();
}

void CShowClock::Reset()
{
    if (m_running) return;
    m_sliderPos = 0;
    m_display = "00:00:00:00";
    Playback().Stop();
}

void CShowClock::SetRunningPosition(uint32_t ms)
{
    m_startTicks = m_now() - ms;
    m_lastRunningMs = ms;
}

ClockTick CShowClock::Tick(const std::vector<CIgnition*>& rows)
{
    ClockTick tick;
    if (!m_running || m_paused || m_sliderDragged) return tick;
    // The music is the authority while it plays; the handover either way keeps the position.
    uint32_t position = GetPositionMs();
    if (const std::optional<uint32_t> heard = Playback().HeardMs()) position = *heard;
    SetRunningPosition(std::max(position, m_lastRunningMs));
    const int fps = Fps();
    const uint32_t frame = FrameAtMs(GetPositionMs(), fps);
    Playback().Redraw();
    if (frame == s_lastFrameShown) return tick;
    s_lastFrameShown = frame;

    const TimeCodeParts p = FrameToParts(frame, fps);
    m_display = FormatTimeCodeParts(p);
    if (frame >= static_cast<uint32_t>(m_sliderMax)) {
        // Ten per cent more, but always past the frame: a short range (under ten frames) or a
        // late tick would otherwise leave the position beyond the end.
        int64_t grown = m_sliderMax;
        do {
            grown = std::max(static_cast<int64_t>(grown * 1.1), grown + 1);
        } while (grown <= frame && grown < INT_MAX);
        m_sliderMax = static_cast<int>(std::min<int64_t>(grown, INT_MAX));
    }
    m_sliderPos = static_cast<int>(std::min<uint32_t>(frame, static_cast<uint32_t>(m_sliderMax)));
    tick.newFrame = true;

    if (!m_next) return tick;
    const CTimeCode now = CTimeCode::FromParts(p);
    if (now < m_next->GetTime()) return tick;
    // Every row reached since the next ignition's Time: a late tick (a busy machine) must not
    // skip the groups it jumped over.
    const CTimeCode due = m_next->GetTime();
    for (size_t i = 0; i < rows.size(); ++i) {
        const CTimeCode t = rows[i]->GetTime();
        if (due <= t && t <= now) tick.selectRows.push_back(static_cast<int>(i));
    }
    if (!tick.selectRows.empty()) tick.scrollToRow = tick.selectRows.back();
    while (m_next && m_next->GetTime() < now) m_next = m_next->GetNextSchedule();
    if (m_next) {
        const auto it = std::find(rows.begin(), rows.end(), m_next);
        if (it != rows.end()) tick.nextIgnitionRow = static_cast<int>(it - rows.begin());
    }
    return tick;
}

void CShowClock::SliderMoved(int position)
{
    if (!m_paused) m_sliderDragged = true;
    m_sliderPos = std::clamp(position, 0, m_sliderMax);
    const TimeCodeParts p = FrameToParts(static_cast<uint32_t>(m_sliderPos), Fps());
    m_display = FormatTimeCodeParts(p);
    const uint32_t positionMs = PositionMs(p, Fps());
    const bool playing = m_running && !m_paused;
    if (playing) Playback().Stop();
    SetRunningPosition(positionMs);
    Playback().SetPositionMs(positionMs);
    if (playing) Playback().Start();
    if (!m_running) Playback().Redraw();
}

void CShowClock::MoveTimerHere(const CIgnition& entry)
{
    if (m_running) return;
    const CTimeCode time = entry.GetTime();
    m_display = FormatTimeCode(time);
    const uint32_t positionMs = PositionMs(time.Parts(), Fps());
    Playback().SetPositionMs(positionMs);
    m_sliderPos = std::clamp(static_cast<int>(FrameAtMs(positionMs, Fps())), 0, m_sliderMax);
    Playback().Redraw();
}

void CShowClock::ShowChanged(const std::vector<CIgnition*>& rows)
{
    m_next = nullptr;
    if (m_running) FindNextByTime(rows);
}

void CShowClock::FindNextByTime(const std::vector<CIgnition*>& rows)
{
    // The first row (schedule order) not yet reached. Searching by In Time, as a run starts,
    // would skip an entry whose prefire lies behind the position.
    m_next = nullptr;
    const CTimeCode now = CTimeCode::FromParts(ParseTimeCode(m_display).value_or(TimeCodeParts{}));
    for (CIgnition* e : rows) {
        if (e->GetTime() >= now) {
            m_next = e;
            break;
        }
    }
}

}  // namespace flr
