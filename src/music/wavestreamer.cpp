#include "music/wavestreamer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

#include "music/periodicthread.h"
#include "music/sounddevice.h"

namespace flr {

namespace {

// Refills move the file in pieces of about this size.
constexpr size_t kPieceBytes = 64 * 1024;

int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

uint64_t HeardMsAt(const CSoundRing::Taken& taken, const AudioTiming& timing, int64_t nowNs)
{
    if (taken.bytes == 0 || timing.rate == 0) return 0;
    const uint64_t frames = taken.bytes / std::max<uint32_t>(timing.frameBytes, 1);
    const int64_t callbackNs = int64_t(timing.callbackFrames) * 1'000'000'000 / timing.rate;
    // The callback's frames start playing once the device's previous ones are out.
    const uint64_t playedFrames =
        frames > timing.callbackFrames ? frames - timing.callbackFrames : 0;
    const int64_t sinceNs = std::clamp<int64_t>(nowNs - taken.atNs, 0, callbackNs);
    const int64_t ns =
        int64_t(playedFrames * 1'000'000'000 / timing.rate) + (playedFrames > 0 ? sinceNs : 0);
    return uint64_t(ns / 1'000'000);
}

CWaveStreamer::CWaveStreamer(MsClock clock, bool refillTimer)
    : m_now(std::move(clock)), m_useTimer(refillTimer)
{
}

CWaveStreamer::~CWaveStreamer()
{
    std::unique_ptr<CPeriodicThread> timer;
    {
        std::lock_guard lock(m_lock);
        timer = StopLocked(false);
    }
    if (timer) timer->Stop();
    if (m_timer) m_timer->Stop();
    m_output.reset();
}

bool CWaveStreamer::Open(const std::string& path, CSoundDevice* device)
{
    Stop(false);
    if (m_timer) m_timer->Stop();
    m_timer.reset();
    m_output.reset();
    m_ring.reset();
    m_summary.Clear();
    m_trackLengthMs = 0;
    m_primed = m_playing = m_paused = false;

    auto fail = [this] {
        m_output.reset();
        m_ring.reset();
        m_summary.Clear();
        m_trackLengthMs = 0;
        m_reader.Close();
        return false;
    };
    if (!m_reader.Open(path)) return false;
    const std::optional<SampleFormat> format = DecodableFormat(m_reader);
    if (!format) return fail();
    m_format = *format;
    m_trackLengthMs = m_reader.LengthMs();
    try {
        const uint64_t frames = std::min<uint64_t>(uint64_t(m_format.rate) * kBufferMs / 1000,
                                                   m_reader.DataSize() / m_format.fileFrameBytes);
        m_ring = std::make_unique<CSoundRing>(
            size_t(std::max<uint64_t>(frames, 1)) * m_format.deviceFrameBytes,
            m_format.deviceFrameBytes, m_format.SilenceByte());
        const size_t pieceFrames = std::max<size_t>(kPieceBytes / m_format.fileFrameBytes, 1);
        m_fileBytes.resize(pieceFrames * m_format.fileFrameBytes);
        m_deviceBytes.resize(pieceFrames * m_format.deviceFrameBytes);
    } catch (const std::bad_alloc&) {
        return fail();
    }
    if (!m_summary.Build(m_reader, m_format)) return fail();
    m_timing = {m_format.rate, m_format.deviceFrameBytes, 0};
    if (device) {
        SoundFormat out;
        switch (m_format.encoding) {
        case SampleEncoding::U8: out.bitsPerSample = 8; break;
        case SampleEncoding::S16: out.bitsPerSample = 16; break;
        case SampleEncoding::S24:
        case SampleEncoding::S32: out.bitsPerSample = 32; break;
        case SampleEncoding::F32:
            out.formatTag = 3;
            out.bitsPerSample = 32;
            break;
        }
        out.channels = m_format.channels;
        out.samplesPerSec = m_format.rate;
        m_output = device->OpenOutput(*m_ring, out);
        if (!m_output) return fail();
        m_timing.callbackFrames = m_output->CallbackFrames();
    }
    Seek(0);
    return true;
}

void CWaveStreamer::Seek(uint32_t ms)
{
    std::lock_guard lock(m_lock);
    SeekLocked(ms);
}

void CWaveStreamer::SeekLocked(uint32_t ms)
{
    if (!m_ring) return;
    const uint64_t frames = m_reader.DataSize() / m_format.fileFrameBytes;
    const uint64_t frame = std::min<uint64_t>(uint64_t(m_format.rate) * ms / 1000, frames);
    m_ring->Stop();
    m_ring->Reset();
    m_reader.SeekData(frame * m_format.fileFrameBytes);
    m_seekMs = uint32_t(frame * 1000 / m_format.rate);
    m_lastHeardMs = m_seekMs;
    FillFromFile(m_ring->FreeBytes() / m_format.deviceFrameBytes);
    if (m_playing && !m_paused) m_ring->Start();
    m_primed = true;
}

void CWaveStreamer::Play()
{
    std::unique_ptr<CPeriodicThread> old;
    {
        std::lock_guard lock(m_lock);
        if (!m_ring) return;
        if (m_playing && !m_paused) old = StopLocked(true);
        if (!m_primed && !m_paused) SeekLocked(0);
        m_ring->Start();
        const uint32_t now = m_now();
        if (m_paused) {
            // Unsigned differences: a wrap of the 32-bit clock costs nothing.
            m_startTime += now - m_pauseTime;
        } else {
            m_startTime = now - m_seekMs;
        }
        m_playing = true;
        m_paused = false;
        m_pauseTime = 0;
        m_primed = false;
    }
    if (old) old->Stop();
    if (m_timer) m_timer->Stop();  // one that ended itself at the end of the track
    m_timer.reset();
    if (!m_useTimer) return;
    m_timer = std::make_unique<CPeriodicThread>();
    m_timer->Start(kRefillPeriodMs, [this] { return RefillTick(); });
}

void CWaveStreamer::Pause()
{
    std::unique_ptr<CPeriodicThread> timer;
    bool resume = false;
    {
        std::lock_guard lock(m_lock);
        if (!m_ring) return;
        resume = m_paused;
        if (!resume) {
            m_paused = true;
            m_pauseTime = m_now();
            m_ring->Stop();
            timer = std::move(m_timer);
        }
    }
    if (timer) timer->Stop();
    if (resume) Play();
}

void CWaveStreamer::Stop(bool rewind)
{
    std::unique_ptr<CPeriodicThread> timer;
    {
        std::lock_guard lock(m_lock);
        timer = StopLocked(rewind);
    }
    if (timer) timer->Stop();
}

std::unique_ptr<CPeriodicThread> CWaveStreamer::StopLocked(bool rewind)
{
    std::unique_ptr<CPeriodicThread> timer;
    if (m_playing && m_ring) {
        m_ring->Stop();
        timer = std::move(m_timer);
        m_playing = false;
    }
    if (rewind) {
        // A rewound track starts afresh; a stop without rewind keeps the pause, so a seek made
        // while paused resumes from the new position.
        m_paused = false;
        SeekLocked(0);
    }
    return timer;
}

bool CWaveStreamer::RefillTick()
{
    std::unique_lock lock(m_lock, std::try_to_lock);
    if (!lock.owns_lock()) return true;
    if (!m_ring || !m_playing || m_paused) return true;
    const uint32_t elapsed = m_now() - m_startTime;
    const bool drained =
        m_reader.Remaining() < m_format.fileFrameBytes && m_ring->QueuedBytes() == 0;
    // Without an output nothing drains the ring: the clock says when the track is over.
    if (drained || elapsed >= m_trackLengthMs) {
        // The timer is this thread: it ends when this returns, and the next Play reaps it.
        m_ring->Stop();
        m_playing = false;
        return false;
    }
    FillFromFile(m_ring->FreeBytes() / m_format.deviceFrameBytes);
    return true;
}

bool CWaveStreamer::FillFromFile(size_t frames)
{
    const size_t pieceFrames = m_fileBytes.size() / m_format.fileFrameBytes;
    frames = std::min<size_t>(frames, m_reader.Remaining() / m_format.fileFrameBytes);
    while (frames > 0) {
        const size_t n = std::min(frames, pieceFrames);
        if (m_reader.Read(m_fileBytes.data(), n * m_format.fileFrameBytes) !=
            n * m_format.fileFrameBytes) {
            return false;
        }
        ToDeviceBytes(m_format, m_fileBytes.data(), n, m_deviceBytes.data());
        const size_t bytes = n * m_format.deviceFrameBytes;
        const CSoundRing::Regions r = m_ring->WriteRegions(bytes);
        std::memcpy(r.first.data(), m_deviceBytes.data(), r.first.size());
        std::memcpy(r.second.data(), m_deviceBytes.data() + r.first.size(), r.second.size());
        m_ring->CommitWrite(bytes);
        frames -= n;
    }
    return true;
}

std::optional<uint32_t> CWaveStreamer::HeardMs()
{
    std::lock_guard lock(m_lock);
    if (!m_ring || !m_output || !m_playing || m_paused) return std::nullopt;
    const CSoundRing::Taken taken = m_ring->LastTaken();
    const bool playedOut =
        m_reader.Remaining() < m_format.fileFrameBytes && m_ring->QueuedBytes() == 0;
    if (playedOut) return std::nullopt;
    // Until the output has taken anything, the clock keeps its own time.
    if (taken.bytes == 0) return std::nullopt;
    const uint64_t heard = m_seekMs + HeardMsAt(taken, m_timing, SteadyNs());
    m_lastHeardMs =
        std::max<uint32_t>(m_lastHeardMs, uint32_t(std::min<uint64_t>(heard, UINT32_MAX)));
    return m_lastHeardMs;
}

bool CWaveStreamer::IsPlaying() const
{
    std::lock_guard lock(m_lock);
    return m_playing;
}

bool CWaveStreamer::IsPaused() const
{
    std::lock_guard lock(m_lock);
    return m_paused;
}

bool CWaveStreamer::IsPrimed() const
{
    std::lock_guard lock(m_lock);
    return m_primed;
}

}  // namespace flr
