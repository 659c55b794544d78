#include "music/wavesummary.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "music/sampleformat.h"
#include "music/wavereader.h"

namespace flr {

namespace {

constexpr size_t kReadBytes = 1 << 20;

inline int16_t Le16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }

// One sample as a 16-bit value: the top 16 bits of wider integers.
template <SampleEncoding E>
inline int16_t Sample(const uint8_t* p)
{
    if constexpr (E == SampleEncoding::U8) return int16_t((int(p[0]) - 128) * 256);
    if constexpr (E == SampleEncoding::S16) return Le16(p);
    if constexpr (E == SampleEncoding::S24) return Le16(p + 1);
    if constexpr (E == SampleEncoding::S32) return Le16(p + 2);
    if constexpr (E == SampleEncoding::F32) {
        uint32_t bits =
            uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        // NaN fails both comparisons and becomes silence.
        if (!(f > -1.0f)) return f <= -1.0f ? int16_t(-32768) : int16_t(0);
        if (!(f < 1.0f)) return 32767;
        return int16_t(f * 32767.0f);
    }
    return 0;
}

// Frames [first, end) of the millisecond `ms`: those whose start time falls in it.
inline uint64_t FirstFrameOf(uint64_t ms, uint32_t rate) { return (ms * rate + 999) / 1000; }

template <SampleEncoding E>
bool Summarise(CWaveReader& reader, const SampleFormat& format, std::vector<SampleRange>& out)
{
    const size_t frameBytes = format.fileFrameBytes;
    const size_t sampleBytes = frameBytes / format.channels;
    const size_t frames = reader.DataSize() / frameBytes;
    std::vector<uint8_t> bytes(std::max(kReadBytes / frameBytes, size_t(1)) * frameBytes);
    size_t ms = 0;
    uint64_t msEnd = FirstFrameOf(1, format.rate);
    int low = 32767, high = -32768;
    bool any = false;
    SampleRange last;
    uint64_t frame = 0;
    while (frame < frames) {
        const size_t want = std::min<uint64_t>(bytes.size() / frameBytes, frames - frame);
        if (reader.Read(bytes.data(), want * frameBytes) != want * frameBytes) return false;
        const uint8_t* p = bytes.data();
        for (size_t i = 0; i < want; ++i, ++frame) {
            while (frame >= msEnd) {
                // Below 1000 frames a second some milliseconds start no frame: they hold on.
                if (any) last = {int16_t(low), int16_t(high)};
                out[ms++] = last;
                low = 32767, high = -32768, any = false;
                msEnd = FirstFrameOf(ms + 1, format.rate);
            }
            for (size_t c = 0; c < format.channels; ++c, p += sampleBytes) {
                const int v = Sample<E>(p);
                low = std::min(low, v);
                high = std::max(high, v);
            }
            any = true;
        }
    }
    if (any && ms < out.size()) out[ms] = {int16_t(low), int16_t(high)};
    return true;
}

}  // namespace

bool CWaveSummary::Build(CWaveReader& reader, const SampleFormat& format)
{
    Clear();
    const uint64_t frames = reader.DataSize() / format.fileFrameBytes;
    // Every millisecond in which a frame starts.
    const uint64_t lengthMs = frames == 0 ? 0 : (frames - 1) * 1000 / format.rate + 1;
    if (lengthMs == 0 || !reader.SeekData(0)) return lengthMs == 0;
    try {
        m_levels.emplace_back(size_t(lengthMs));
        bool read = false;
        switch (format.encoding) {
        case SampleEncoding::U8:
            read = Summarise<SampleEncoding::U8>(reader, format, m_levels[0]);
            break;
        case SampleEncoding::S16:
            read = Summarise<SampleEncoding::S16>(reader, format, m_levels[0]);
            break;
        case SampleEncoding::S24:
            read = Summarise<SampleEncoding::S24>(reader, format, m_levels[0]);
            break;
        case SampleEncoding::S32:
            read = Summarise<SampleEncoding::S32>(reader, format, m_levels[0]);
            break;
        case SampleEncoding::F32:
            read = Summarise<SampleEncoding::F32>(reader, format, m_levels[0]);
            break;
        }
        if (!read) {
            Clear();
            return false;
        }
        while (m_levels.back().size() > 1) {
            const std::vector<SampleRange>& below = m_levels.back();
            std::vector<SampleRange> level((below.size() + 1) / 2);
            for (size_t i = 0; i < level.size(); ++i) {
                const SampleRange a = below[2 * i];
                const SampleRange b = 2 * i + 1 < below.size() ? below[2 * i + 1] : a;
                level[i] = {std::min(a.low, b.low), std::max(a.high, b.high)};
            }
            m_levels.push_back(std::move(level));
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    return true;
}

void CWaveSummary::Clear()
{
    m_levels.clear();
    m_levels.shrink_to_fit();
}

SampleRange CWaveSummary::Range(uint64_t fromMs, uint64_t toMs) const
{
    const uint64_t length = LengthMs();
    toMs = std::min(toMs, length);
    if (fromMs >= toMs) return {};
    int low = 32767, high = -32768;
    // The largest stored range that starts here and ends inside, then on from its end.
    for (uint64_t at = fromMs; at < toMs;) {
        size_t level = 0;
        while (level + 1 < m_levels.size() && (at & ((uint64_t(2) << level) - 1)) == 0 &&
               at + (uint64_t(2) << level) <= toMs) {
            ++level;
        }
        const SampleRange r = m_levels[level][size_t(at >> level)];
        low = std::min<int>(low, r.low);
        high = std::max<int>(high, r.high);
        at += uint64_t(1) << level;
    }
    return {int16_t(low), int16_t(high)};
}

size_t CWaveSummary::MemoryBytes() const
{
    size_t bytes = 0;
    for (const auto& level : m_levels) bytes += level.capacity() * sizeof(SampleRange);
    return bytes;
}

}  // namespace flr
