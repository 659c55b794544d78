#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flr {

class CWaveReader;
struct SampleFormat;

// The lowest and highest sample over a stretch of the track, all channels, as 16-bit values.
struct SampleRange {
    int16_t low = 0;
    int16_t high = 0;
};

// A track's waveform for drawing at any zoom: the lowest and highest sample of every
// millisecond, then of every 2, 4, 8 ... ms, so any stretch is the union of a few stored
// ranges and a long track draws as fast as a short one.
//
// Built once per track; read-only afterwards, so any thread may read it.
class CWaveSummary {
public:
    // Reads the whole of the track's data from the start. False when the data cannot be read
    // or the memory is not there; the summary is then empty.
    bool Build(CWaveReader& reader, const SampleFormat& format);
    void Clear();

    bool IsEmpty() const { return m_levels.empty(); }
    // Milliseconds summarised: every millisecond that holds a frame.
    uint32_t LengthMs() const { return m_levels.empty() ? 0 : uint32_t(m_levels[0].size()); }
    // Over [fromMs, toMs); the part beyond the track counts as silence, an empty stretch too.
    SampleRange Range(uint64_t fromMs, uint64_t toMs) const;
    size_t MemoryBytes() const;

private:
    std::vector<std::vector<SampleRange>> m_levels;  // level k: one range per 2^k ms
};

}  // namespace flr
