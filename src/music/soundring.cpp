#include "music/soundring.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace flr {

CSoundRing::CSoundRing(size_t bytes, size_t frameBytes, uint8_t silence)
    : m_frameBytes(std::max<size_t>(frameBytes, 1)), m_silence(silence)
{
    bytes -= bytes % m_frameBytes;
    m_bytes.assign(std::max(bytes, m_frameBytes), silence);
}

size_t CSoundRing::QueuedBytes() const
{
    return size_t(m_write.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire));
}

size_t CSoundRing::FreeBytes() const { return m_bytes.size() - QueuedBytes(); }

CSoundRing::Regions CSoundRing::WriteRegions(size_t count)
{
    count = std::min(count, FreeBytes());
    const size_t at = size_t(m_write.load(std::memory_order_relaxed) % m_bytes.size());
    const size_t first = std::min(count, m_bytes.size() - at);
    return {std::span<uint8_t>(m_bytes.data() + at, first),
            std::span<uint8_t>(m_bytes.data(), count - first)};
}

void CSoundRing::CommitWrite(size_t count)
{
    m_write.store(m_write.load(std::memory_order_relaxed) + count, std::memory_order_release);
}

void CSoundRing::Start() { m_started.store(true, std::memory_order_seq_cst); }

void CSoundRing::Stop()
{
    m_started.store(false, std::memory_order_seq_cst);
    // A callback that saw the ring started finishes within one copy.
    while (m_busy.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

void CSoundRing::Reset()
{
    m_read.store(0, std::memory_order_relaxed);
    m_write.store(0, std::memory_order_relaxed);
    Publish(0, 0);
}

void CSoundRing::Mix(uint8_t* out, size_t count)
{
    m_busy.store(true, std::memory_order_seq_cst);
    if (!m_started.load(std::memory_order_seq_cst)) {
        m_busy.store(false, std::memory_order_release);
        std::memset(out, m_silence, count);
        return;
    }
    const uint64_t read = m_read.load(std::memory_order_relaxed);
    const uint64_t queued = m_write.load(std::memory_order_acquire) - read;
    const size_t n = size_t(std::min<uint64_t>(count, queued));
    const size_t size = m_bytes.size();
    const size_t at = size_t(read % size);
    const size_t first = std::min(n, size - at);
    std::memcpy(out, m_bytes.data() + at, first);
    std::memcpy(out + first, m_bytes.data(), n - first);
    std::memset(out + n, m_silence, count - n);
    m_read.store(read + n, std::memory_order_release);
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    Publish(read + n, std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    m_busy.store(false, std::memory_order_release);
}

void CSoundRing::Publish(uint64_t bytes, int64_t atNs)
{
    const uint32_t seq = m_takenSeq.load(std::memory_order_relaxed);
    m_takenSeq.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    m_takenBytes.store(bytes, std::memory_order_relaxed);
    m_takenAtNs.store(atNs, std::memory_order_relaxed);
    m_takenSeq.store(seq + 2, std::memory_order_release);
}

CSoundRing::Taken CSoundRing::LastTaken() const
{
    for (;;) {
        const uint32_t before = m_takenSeq.load(std::memory_order_acquire);
        Taken taken{m_takenBytes.load(std::memory_order_relaxed),
                    m_takenAtNs.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((before & 1u) == 0 && m_takenSeq.load(std::memory_order_relaxed) == before) {
            return taken;
        }
        std::this_thread::yield();
    }
}

}  // namespace flr
