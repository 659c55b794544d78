#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "editing/showclock.h"
#include "music/sampleformat.h"
#include "music/soundring.h"
#include "music/wavereader.h"
#include "music/wavesummary.h"

namespace flr {

class CPeriodicThread;
class CSoundDevice;
class CSoundOutput;

// What the listener hears at `nowNs` (steady clock), in ms since the ring was last reset:
// the frames the callback took, less the one callback's worth the device still holds,
// interpolated since that callback by at most one callback's length.
struct AudioTiming {
    uint32_t rate = 0;
    uint32_t frameBytes = 1;
    uint32_t callbackFrames = 0;
};
uint64_t HeardMsAt(const CSoundRing::Taken& taken, const AudioTiming& timing, int64_t nowNs);

// Plays a wave file: a refill timer reads the file a little ahead of the audio callback into a
// 5-second ring every 500 ms; and keeps the track's waveform summary.
//
// Threads: everything on the user-interface thread except RefillTick, which runs on the
// refill timer's thread, and the ring's callback side on the audio thread. m_lock guards the
// reader, the flags, the times and the ring's producer side: the user-interface calls take it,
// a tick that finds it taken returns at once. The timer itself (m_timer) is the
// user-interface thread's alone and is stopped outside m_lock. The summary is written only by
// Open and read-only afterwards.
class CWaveStreamer {
public:
    static constexpr uint32_t kBufferMs = 5000;
    static constexpr uint32_t kRefillPeriodMs = 500;

    // `refillTimer` false leaves the ticks to the caller (tests drive RefillTick by hand).
    explicit CWaveStreamer(MsClock clock = SteadyMsClock(), bool refillTimer = true);
    ~CWaveStreamer();
    CWaveStreamer(const CWaveStreamer&) = delete;
    CWaveStreamer& operator=(const CWaveStreamer&) = delete;

    // Opens the track at `path`, summarises it and primes the ring at 0. `device` plays it;
    // nullptr for no audio output (the ring then only moves when Ring()->Mix is called). False
    // when the file cannot be opened or decoded, the memory is not there, or the device
    // cannot play it; the streamer is then empty.
    bool Open(const std::string& path, CSoundDevice* device);

    void Play();
    // Pauses, or resumes when paused.
    void Pause();
    // Stops playing; `rewind` also seeks to 0 and ends a pause.
    void Stop(bool rewind);
    // Refills the ring from `ms` into the track and primes it there.
    void Seek(uint32_t ms);
    // One refill; returns false once the track has played to its end (the timer then ends).
    bool RefillTick();

    // The position heard from the audio output while it plays the track; none when there is
    // no output, while stopped or paused, and once the track has played out. Never goes back
    // between seeks.
    std::optional<uint32_t> HeardMs();

    bool IsOpen() const { return m_reader.IsOpen(); }
    bool IsPlaying() const;
    bool IsPaused() const;
    bool IsPrimed() const;
    const CWaveSummary& Summary() const { return m_summary; }
    const SampleFormat& Format() const { return m_format; }
    uint32_t TrackLengthMs() const { return m_trackLengthMs; }
    CSoundRing* Ring() { return m_ring.get(); }

private:
    void SeekLocked(uint32_t ms);
    // Stops the ring; returns the timer to stop once m_lock is released.
    std::unique_ptr<CPeriodicThread> StopLocked(bool rewind);
    // Moves up to `frames` frames of the file into the ring; false on a read error.
    bool FillFromFile(size_t frames);

    MsClock m_now;
    const bool m_useTimer;
    mutable std::mutex m_lock;
    CWaveReader m_reader;
    SampleFormat m_format;
    CWaveSummary m_summary;
    std::unique_ptr<CSoundRing> m_ring;
    std::unique_ptr<CSoundOutput> m_output;  // closed before m_ring goes
    std::unique_ptr<CPeriodicThread> m_timer;
    std::vector<uint8_t> m_fileBytes;    // file bytes on their way into the ring
    std::vector<uint8_t> m_deviceBytes;  // the same as the output takes them
    AudioTiming m_timing;
    uint32_t m_trackLengthMs = 0;
    uint32_t m_seekMs = 0;  // where the ring's data starts
    uint32_t m_lastHeardMs = 0;
    uint32_t m_startTime = 0;
    uint32_t m_pauseTime = 0;
    bool m_primed = false;
    bool m_playing = false;
    bool m_paused = false;
};

}  // namespace flr
