#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "editing/showclock.h"
#include "music/soundbuffer.h"
#include "music/wavereader.h"

namespace flr {

class CPeriodicThread;
class CSoundDevice;
class CSoundOutput;

// Plays a wave file through a 5-second looping sound buffer that a refill timer tops up to the
// play cursor every 500 ms, and keeps the track's display table (the first channel's sample at
// the start of every millisecond).
//
// Threads: everything on the user-interface thread except RefillTick, which runs on the
// refill timer's thread. m_lock guards the reader, the write cursor, the flags and the times:
// the user-interface calls take it, a tick that finds it taken returns at once. The timer
// itself (m_timer) is the user-interface thread's alone and is stopped outside m_lock. The
// display table is written only by Open and read-only afterwards.
class CWaveStreamer {
public:
    static constexpr uint32_t kBufferMs = 5000;
    static constexpr uint32_t kRefillPeriodMs = 500;

    // `refillTimer` false leaves the ticks to the caller (tests drive RefillTick by hand).
    explicit CWaveStreamer(MsClock clock = SteadyMsClock(), bool refillTimer = true);
    ~CWaveStreamer();
    CWaveStreamer(const CWaveStreamer&) = delete;
    CWaveStreamer& operator=(const CWaveStreamer&) = delete;

    // Opens the track at `path` and primes the buffer at 0. `device` plays it; nullptr for no
    // audio output (the buffer then only moves when Buffer().Mix is called). False when the
    // file cannot be opened or the device cannot play its format; the streamer is then empty.
    bool Open(const std::string& path, CSoundDevice* device);

    void Play();
    // Pauses, or resumes when paused.
    void Pause();
    // Stops playing; `rewind` also seeks to 0 and ends a pause.
    void Stop(bool rewind);
    // Refills the whole buffer from `ms` into the track and primes it there.
    void Seek(uint32_t ms);
    // One refill; returns false once the track has played to its end (the timer then ends).
    bool RefillTick();

    bool IsOpen() const { return m_reader.IsOpen(); }
    bool IsPlaying() const;
    bool IsPaused() const;
    bool IsPrimed() const;
    // The display table; empty when it could not be allocated. Read-only after Open.
    const std::vector<int16_t>& DisplayTable() const { return m_table; }
    // For the format; do not read from it while playing.
    const CWaveReader& Reader() const { return m_reader; }
    uint32_t TrackLengthMs() const { return m_trackLengthMs; }
    CSoundBuffer* Buffer() { return m_buffer.get(); }
    size_t WriteCursor() const;

private:
    void BuildDisplayTable();
    void SeekLocked(uint32_t ms);
    // Stops the buffer; returns the timer to stop once m_lock is released.
    std::unique_ptr<CPeriodicThread> StopLocked(bool rewind);
    size_t FreeSpace() const;
    bool FillFromFile(size_t count);
    void FillSilence(size_t count);

    MsClock m_now;
    const bool m_useTimer;
    mutable std::mutex m_lock;
    CWaveReader m_reader;
    std::unique_ptr<CSoundBuffer> m_buffer;
    std::unique_ptr<CSoundOutput> m_output;  // closed before m_buffer goes
    std::unique_ptr<CPeriodicThread> m_timer;
    std::vector<int16_t> m_table;
    std::vector<uint8_t> m_scratch;  // file bytes on their way into the buffer
    size_t m_writeCursor = 0;
    uint32_t m_trackLengthMs = 0;
    uint32_t m_startTime = 0;
    uint32_t m_pauseTime = 0;
    bool m_primed = false;
    bool m_playing = false;
    bool m_paused = false;
};

}  // namespace flr
