#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace flr {

// The output's bytes on their way from the refill (one producer) to the audio callback (one
// consumer): a ring that the callback reads without waiting, locking or allocating.
//
// Threads: the producer side (FreeBytes, WriteRegions, CommitWrite, Start, Stop, Reset) on one
// thread at a time, which the streamer's lock orders; Mix on the audio thread; LastTaken on any.
// Memory orders: the producer publishes bytes with a release store of m_write that Mix's
// acquire load pairs with; Mix hands space back the same way through m_read. Stop and Mix
// meet Dekker-style on m_started and m_busy (both sequentially consistent), so once Stop
// returns no callback is between its check and its last touch of the ring.
class CSoundRing {
public:
    // `bytes` of ring, cut to whole frames of `frameBytes`; `silence` fills what the ring lacks.
    CSoundRing(size_t bytes, size_t frameBytes, uint8_t silence);
    CSoundRing(const CSoundRing&) = delete;
    CSoundRing& operator=(const CSoundRing&) = delete;

    size_t Capacity() const { return m_bytes.size(); }
    size_t FrameBytes() const { return m_frameBytes; }
    uint8_t Silence() const { return m_silence; }

    // Producer.
    size_t FreeBytes() const;
    size_t QueuedBytes() const;
    struct Regions {
        std::span<uint8_t> first;
        std::span<uint8_t> second;
    };
    // Where the next `count` bytes go (`count` at most FreeBytes()), in one or two pieces.
    Regions WriteRegions(size_t count);
    // Hands `count` written bytes to the callback.
    void CommitWrite(size_t count);

    // The callback plays the ring from now on.
    void Start();
    // The callback plays silence from now on; returns once it no longer reads the ring.
    void Stop();
    bool IsStarted() const { return m_started.load(std::memory_order_relaxed); }
    // Empties the ring and counts the bytes taken from 0 again; only while stopped.
    void Reset();

    // The audio callback: `count` bytes of the ring, silence for what it lacks or while
    // stopped.
    void Mix(uint8_t* out, size_t count);

    // The bytes the callback has taken from the ring since Reset, and when (steady clock, ns).
    struct Taken {
        uint64_t bytes = 0;
        int64_t atNs = 0;
    };
    Taken LastTaken() const;

private:
    void Publish(uint64_t bytes, int64_t atNs);

    std::vector<uint8_t> m_bytes;
    const size_t m_frameBytes;
    const uint8_t m_silence;
    std::atomic<uint64_t> m_write{0};  // bytes written in all, producer's
    std::atomic<uint64_t> m_read{0};   // bytes taken in all, consumer's
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_busy{false};
    // A sequence lock over the last take, written by the callback alone (or by Reset while
    // stopped): odd while a write is under way.
    std::atomic<uint32_t> m_takenSeq{0};
    std::atomic<uint64_t> m_takenBytes{0};
    std::atomic<int64_t> m_takenAtNs{0};
};

}  // namespace flr
