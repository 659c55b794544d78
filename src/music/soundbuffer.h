#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace flr {

// A looping sound buffer: the writer locks a range at its own write offset and fills it, the
// audio output takes bytes from the play cursor onwards, wrapping at the end, while playing.
//
// Threads: BeginWrite/EndWrite, SetPlayPosition, Play, Stop and PlayCursor on the streamer's
// threads (user interface and refill timer, one at a time under the streamer's lock); Mix on the
// audio callback thread. m_ringLock guards the bytes, the play cursor and the playing flag;
// it is held from BeginWrite to EndWrite, which never spans file I/O, so the callback waits for no
// more than a copy.
class CSoundBuffer {
public:
    // `bytes` of buffer; `silence` is the byte value of silence (128 for 8-bit data).
    CSoundBuffer(size_t bytes, uint8_t silence);
    CSoundBuffer(const CSoundBuffer&) = delete;
    CSoundBuffer& operator=(const CSoundBuffer&) = delete;

    size_t Size() const { return m_bytes.size(); }
    uint8_t Silence() const { return m_silence; }

    // The range of `count` bytes from `offset` (modulo the size), in one or two regions.
    struct Regions {
        std::span<uint8_t> first;
        std::span<uint8_t> second;
    };
    // Takes the ring lock until EndWrite; `count` is cut to the buffer size.
    Regions BeginWrite(size_t offset, size_t count);
    void EndWrite();

    size_t PlayCursor() const;
    void SetPlayPosition(size_t offset);
    // Looping playback; the bytes wrap from the end to the start.
    void Play();
    void Stop();
    bool IsPlaying() const;

    // The audio output's pull: `out` gets bytes from the play cursor while playing, silence
    // otherwise. Never allocates.
    void Mix(uint8_t* out, size_t count);

private:
    mutable std::mutex m_ringLock;
    std::vector<uint8_t> m_bytes;
    uint8_t m_silence;
    size_t m_playCursor = 0;
    bool m_playing = false;
};

}  // namespace flr
