#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace flr {

class CWaveReader;

// How one sample is stored in the file.
enum class SampleEncoding { U8, S16, S24, S32, F32 };

// The layout of a track's frames in the file and in the audio output. Only 24-bit samples
// change on the way out: the output takes them as 32-bit.
struct SampleFormat {
    SampleEncoding encoding = SampleEncoding::S16;
    uint16_t channels = 0;
    uint32_t rate = 0;            // frames a second
    uint32_t fileFrameBytes = 0;  // the block alignment
    uint32_t deviceFrameBytes = 0;

    uint32_t DeviceSampleBytes() const { return deviceFrameBytes / channels; }
    uint8_t SilenceByte() const { return encoding == SampleEncoding::U8 ? 128 : 0; }
};

// The sample layout of an open reader, or none when the track cannot be decoded: a compressed
// format, or fields that disagree (an average byte rate or block alignment that is not what
// the channels, rate and sample size make), which would put every position on the track off.
std::optional<SampleFormat> DecodableFormat(const CWaveReader& reader);

// Converts `frames` whole frames of file bytes at `in` to the output's bytes at `out`.
void ToDeviceBytes(const SampleFormat& format, const uint8_t* in, size_t frames, uint8_t* out);

}  // namespace flr
