#include "music/sampleformat.h"

#include <cstring>

#include "music/wavereader.h"

namespace flr {

namespace {

constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kExtensibleExtra = 22;
constexpr size_t kSubFormatOffset = 6;  // in the extra bytes

}  // namespace

std::optional<SampleFormat> DecodableFormat(const CWaveReader& reader)
{
    uint16_t tag = reader.FormatTag();
    if (tag == kFormatExtensible) {
        const auto extra = reader.ExtraBytes();
        if (extra.size() < kExtensibleExtra) return std::nullopt;
        // The sub-format GUID starts with the plain format tag.
        tag = uint16_t(extra[kSubFormatOffset] | extra[kSubFormatOffset + 1] << 8);
    }
    SampleFormat format;
    format.channels = reader.Channels();
    format.rate = reader.SamplesPerSec();
    const uint32_t bits = reader.BitsPerSample();
    uint32_t deviceSampleBytes = bits / 8;
    if (tag == CWaveReader::kFormatPcm) {
        switch (bits) {
        case 8: format.encoding = SampleEncoding::U8; break;
        case 16: format.encoding = SampleEncoding::S16; break;
        case 24:
            format.encoding = SampleEncoding::S24;
            deviceSampleBytes = 4;
            break;
        case 32: format.encoding = SampleEncoding::S32; break;
        default: return std::nullopt;
        }
    } else if (tag == kFormatFloat && bits == 32) {
        format.encoding = SampleEncoding::F32;
    } else {
        return std::nullopt;
    }
    if (format.channels == 0 || format.channels > 8 || format.rate == 0 || format.rate > 384000) {
        return std::nullopt;
    }
    format.fileFrameBytes = format.channels * (bits / 8);
    format.deviceFrameBytes = format.channels * deviceSampleBytes;
    if (reader.BlockAlign() != format.fileFrameBytes ||
        reader.AvgBytesPerSec() != uint64_t(format.rate) * format.fileFrameBytes) {
        return std::nullopt;
    }
    return format;
}

void ToDeviceBytes(const SampleFormat& format, const uint8_t* in, size_t frames, uint8_t* out)
{
    if (format.encoding != SampleEncoding::S24) {
        std::memcpy(out, in, frames * format.fileFrameBytes);
        return;
    }
    const size_t samples = frames * format.channels;
    for (size_t i = 0; i < samples; ++i, in += 3, out += 4) {
        out[0] = 0;
        out[1] = in[0];
        out[2] = in[1];
        out[3] = in[2];
    }
}

}  // namespace flr
