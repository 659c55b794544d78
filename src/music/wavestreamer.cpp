#include "music/wavestreamer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "music/periodicthread.h"
#include "music/sounddevice.h"

namespace flr {

namespace {

constexpr size_t kScratchBytes = 64 * 1024;

}  // namespace

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
    m_buffer.reset();
    m_table.clear();
    m_trackLengthMs = 0;
    m_primed = m_playing = m_paused = false;

    if (!m_reader.Open(path)) return false;
    const uint32_t align = m_reader.BlockAlign();
    uint64_t bytes = std::min<uint64_t>(uint64_t(m_reader.AvgBytesPerSec()) * kBufferMs / 1000,
                                        m_reader.DataSize());
    // Whole blocks only, so the channels do not swap where the buffer wraps.
    if (bytes >= align) bytes -= bytes % align;
    m_trackLengthMs = m_reader.LengthMs();
    try {
        m_table.assign(m_trackLengthMs, 0);
    } catch (const std::bad_alloc&) {
        m_table.clear();
    }
    const bool eightBit = m_reader.BitsPerSample() == 8;
    m_buffer = std::make_unique<CSoundBuffer>(size_t(bytes), eightBit ? 128 : 0);
    m_scratch.resize(kScratchBytes);
    if (device) {
        SoundFormat format;
        format.formatTag = m_reader.FormatTag();
        format.channels = m_reader.Channels();
        format.samplesPerSec = m_reader.SamplesPerSec();
        format.bitsPerSample = uint16_t(m_reader.BitsPerSample());
        m_output = device->OpenOutput(*m_buffer, format);
        if (!m_output) {
            m_buffer.reset();
            m_table.clear();
            m_trackLengthMs = 0;
            m_reader.Close();
            return false;
        }
    }
    m_reader.SeekData(0);
    BuildDisplayTable();
    Seek(0);
    return true;
}

void CWaveStreamer::BuildDisplayTable()
{
    const size_t length = m_table.size();
    if (length == 0) return;
    const uint32_t avg = m_reader.AvgBytesPerSec();
    const uint32_t align = m_reader.BlockAlign();
    const size_t sampleBytes = m_reader.BitsPerSample() == 8 ? 1 : 2;
    // 30 seconds at a time, but never more than the data holds.
    const size_t chunk = size_t(std::min<uint64_t>(uint64_t(avg) * 30, m_reader.DataSize()));
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(std::max<size_t>(chunk, 1));
    } catch (const std::bad_alloc&) {
        std::fill(m_table.begin(), m_table.end(), 0);
        return;
    }
    size_t e = 0;
    while (e < length) {
        const size_t want = std::min<size_t>(chunk, m_reader.Remaining());
        const size_t got = want > 0 ? m_reader.Read(bytes.data(), want) : 0;
        if (got < want || got == 0) {
            ++e;  // those entries stay 0
            continue;
        }
        for (uint32_t j = 0; j < 30000 && e < length; ++j) {
            uint64_t o = uint64_t(double(j) * avg * 0.001);
            if (o >= got) break;
            if (o % align != 0) {
                o = (o + align / 2) - ((o + align / 2) % align);
                // Rounding up may pass the bytes read: take the block before instead.
                if (o + sampleBytes > got) o -= align;
            }
            if (o + sampleBytes > got) break;
            m_table[e++] = sampleBytes == 1
                               ? int16_t(int(bytes[o]) - 128)
                               : int16_t(uint16_t(bytes[o]) | uint16_t(bytes[o + 1]) << 8);
        }
    }
}

void CWaveStreamer::Seek(uint32_t ms)
{
    std::lock_guard lock(m_lock);
    SeekLocked(ms);
}

void CWaveStreamer::SeekLocked(uint32_t ms)
{
    if (!m_buffer) return;
    const uint32_t align = std::max<uint32_t>(m_reader.BlockAlign(), 1);
    uint64_t byte = uint64_t(double(m_reader.AvgBytesPerSec()) * ms * 0.001);
    byte -= byte % align;
    m_writeCursor = 0;
    m_buffer->SetPlayPosition(0);
    m_reader.SeekData(std::min<uint64_t>(byte, m_reader.DataSize()));
    const size_t remaining = m_reader.Remaining();
    if (m_buffer->Size() >= remaining) {
        FillFromFile(remaining);
        FillSilence(m_buffer->Size() - remaining);
    } else {
        FillFromFile(m_buffer->Size());
    }
    m_primed = true;
}

void CWaveStreamer::Play()
{
    std::unique_ptr<CPeriodicThread> old;
    {
        std::lock_guard lock(m_lock);
        if (!m_buffer) return;
        if (m_playing && !m_paused) old = StopLocked(true);
        if (!m_primed && !m_paused) SeekLocked(0);
        m_buffer->Play();
        const uint32_t now = m_now();
        if (m_paused) {
            // Unsigned differences: a wrap of the 32-bit clock costs nothing.
            m_startTime += now - m_pauseTime;
        } else {
            m_startTime = now;
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
        if (!m_buffer) return;
        resume = m_paused;
        if (!resume) {
            m_paused = true;
            m_pauseTime = m_now();
            m_buffer->Stop();
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
    if (m_playing && m_buffer) {
        m_buffer->Stop();
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
    if (!m_buffer || !m_playing || m_paused) return true;
    const uint32_t elapsed = m_now() - m_startTime;
    if (elapsed >= m_trackLengthMs) {
        // The timer is this thread: it ends when this returns, and the next Play reaps it.
        m_buffer->Stop();
        m_playing = false;
        return false;
    }
    const size_t free = FreeSpace();
    if (free == 0) return true;
    const size_t remaining = m_reader.Remaining();
    if (remaining == 0) {
        FillSilence(free);
    } else if (remaining < free) {
        if (FillFromFile(remaining)) FillSilence(free - remaining);
    } else {
        FillFromFile(free);
    }
    return true;
}

size_t CWaveStreamer::FreeSpace() const
{
    const size_t play = m_buffer->PlayCursor();
    const size_t write = m_writeCursor;
    return write <= play ? play - write : m_buffer->Size() - write + play;
}

bool CWaveStreamer::FillFromFile(size_t count)
{
    // File bytes go through the scratch first, so the audio callback never waits on a read.
    while (count > 0) {
        const size_t piece = std::min(count, m_scratch.size());
        const size_t got = m_reader.Read(m_scratch.data(), piece);
        if (got > 0) {
            const CSoundBuffer::Regions r = m_buffer->BeginWrite(m_writeCursor, got);
            std::memcpy(r.first.data(), m_scratch.data(), r.first.size());
            if (!r.second.empty()) {
                std::memcpy(r.second.data(), m_scratch.data() + r.first.size(), r.second.size());
            }
            m_buffer->EndWrite();
            m_writeCursor = (m_writeCursor + got) % m_buffer->Size();
        }
        if (got < piece) return false;
        count -= got;
    }
    return true;
}

void CWaveStreamer::FillSilence(size_t count)
{
    if (count == 0) return;
    const CSoundBuffer::Regions r = m_buffer->BeginWrite(m_writeCursor, count);
    std::memset(r.first.data(), m_buffer->Silence(), r.first.size());
    if (!r.second.empty()) std::memset(r.second.data(), m_buffer->Silence(), r.second.size());
    m_buffer->EndWrite();
    m_writeCursor = (m_writeCursor + r.first.size() + r.second.size()) % m_buffer->Size();
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

size_t CWaveStreamer::WriteCursor() const
{
    std::lock_guard lock(m_lock);
    return m_writeCursor;
}

}  // namespace flr
