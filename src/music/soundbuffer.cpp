#include "music/soundbuffer.h"

#include <algorithm>
#include <cstring>

namespace flr {

CSoundBuffer::CSoundBuffer(size_t bytes, uint8_t silence)
    : m_bytes(std::max<size_t>(bytes, 1), silence), m_silence(silence)
{
}

CSoundBuffer::Regions CSoundBuffer::BeginWrite(size_t offset, size_t count)
{
    m_ringLock.lock();
    const size_t size = m_bytes.size();
    offset %= size;
    count = std::min(count, size);
    const size_t first = std::min(count, size - offset);
    Regions regions;
    regions.first = std::span<uint8_t>(m_bytes.data() + offset, first);
    regions.second = std::span<uint8_t>(m_bytes.data(), count - first);
    return regions;
}

void CSoundBuffer::EndWrite() { m_ringLock.unlock(); }

size_t CSoundBuffer::PlayCursor() const
{
    std::lock_guard lock(m_ringLock);
    return m_playCursor;
}

void CSoundBuffer::SetPlayPosition(size_t offset)
{
    std::lock_guard lock(m_ringLock);
    m_playCursor = offset % m_bytes.size();
}

void CSoundBuffer::Play()
{
    std::lock_guard lock(m_ringLock);
    m_playing = true;
}

void CSoundBuffer::Stop()
{
    std::lock_guard lock(m_ringLock);
    m_playing = false;
}

bool CSoundBuffer::IsPlaying() const
{
    std::lock_guard lock(m_ringLock);
    return m_playing;
}

void CSoundBuffer::Mix(uint8_t* out, size_t count)
{
    std::lock_guard lock(m_ringLock);
    if (!m_playing) {
        std::memset(out, m_silence, count);
        return;
    }
    const size_t size = m_bytes.size();
    while (count > 0) {
        const size_t n = std::min(count, size - m_playCursor);
        std::memcpy(out, m_bytes.data() + m_playCursor, n);
        out += n;
        count -= n;
        m_playCursor = (m_playCursor + n) % size;
    }
}

}  // namespace flr
