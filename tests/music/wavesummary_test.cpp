// The waveform summary against a plain scan of the samples, each sample layout, and the
// tracks that cannot be decoded.
#include "music/wavesummary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "music/sampleformat.h"
#include "music/wavereader.h"
#include "support/wavebuilder.h"

namespace flr {
namespace {

std::vector<uint8_t> Le16Samples(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> bytes;
    for (const int16_t v : samples) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(uint16_t(v) >> 8));
    }
    return bytes;
}

bool Summarise(const std::vector<uint8_t>& file, CWaveReader& reader, CWaveSummary& summary)
{
    if (!reader.OpenBytes(file)) return false;
    const std::optional<SampleFormat> format = DecodableFormat(reader);
    return format && summary.Build(reader, *format);
}

TEST(WaveSummaryTest, AnyStretchIsTheLowestAndHighestOfItsSamples)
{
    // 16-bit stereo at 44.1 kHz: 44 or 45 frames a millisecond, so frames straddle the grid.
    constexpr uint32_t kRate = 44100, kFrames = kRate * 3 + 17;
    std::mt19937 random(7);
    std::vector<int16_t> samples(kFrames * 2);
    for (auto& v : samples) v = int16_t(random() % 60000 - 30000);
    const std::vector<uint8_t> file = test::PcmWave(2, kRate, 16, Le16Samples(samples));
    CWaveReader reader;
    CWaveSummary summary;
    ASSERT_TRUE(Summarise(file, reader, summary));
    ASSERT_EQ(summary.LengthMs(), 3001u);

    auto scan = [&](uint64_t from, uint64_t to) {
        int low = 32767, high = -32768;
        for (uint64_t f = 0; f < kFrames; ++f) {
            const uint64_t ms = f * 1000 / kRate;
            if (ms < from || ms >= to) continue;
            for (int c = 0; c < 2; ++c) {
                low = std::min<int>(low, samples[2 * f + c]);
                high = std::max<int>(high, samples[2 * f + c]);
            }
        }
        return low > high ? SampleRange{} : SampleRange{int16_t(low), int16_t(high)};
    };
    for (int i = 0; i < 300; ++i) {
        const uint64_t from = random() % 3001;
        const uint64_t to = from + 1 + random() % (i % 3 == 0 ? 2000 : 40);
        const SampleRange got = summary.Range(from, to), want = scan(from, to);
        ASSERT_EQ(got.low, want.low) << from << ".." << to;
        ASSERT_EQ(got.high, want.high) << from << ".." << to;
    }
    // Beyond the track and empty stretches are silence.
    EXPECT_EQ(summary.Range(5000, 6000).high, 0);
    EXPECT_EQ(summary.Range(10, 10).low, 0);
}

TEST(WaveSummaryTest, EachLayoutReadsAsSixteenBits)
{
    struct Case {
        uint16_t tag, bits;
        std::vector<uint8_t> sample;  // one mono sample
        int16_t value;
    };
    const float half = 0.5f, nan = std::nanf("");
    std::vector<uint8_t> halfBytes(4), nanBytes(4);
    std::memcpy(halfBytes.data(), &half, 4);
    std::memcpy(nanBytes.data(), &nan, 4);
    const Case cases[] = {
        {1, 8, {0x00}, -32768},
        {1, 8, {0xFF}, 127 * 256},
        {1, 16, {0x34, 0x92}, -28108},
        {1, 24, {0x11, 0x34, 0x92}, -28108},
        {1, 32, {0, 0x11, 0x34, 0x92}, -28108},
        {3, 32, halfBytes, 16383},
        {3, 32, nanBytes, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data;
        for (int i = 0; i < 1000; ++i) data.insert(data.end(), c.sample.begin(), c.sample.end());
        const std::vector<uint8_t> file =
            test::WaveBytes().Format(1, 1000, c.bits, c.tag).Chunk("data", data).Bytes();
        CWaveReader reader;
        CWaveSummary summary;
        ASSERT_TRUE(Summarise(file, reader, summary)) << c.bits;
        EXPECT_EQ(summary.Range(0, 1000).high, c.value) << c.tag << "/" << c.bits;
        EXPECT_EQ(summary.Range(0, 1000).low, c.value) << c.tag << "/" << c.bits;
    }
}

TEST(WaveSummaryTest, TracksThatCannotBeDecodedAreRefused)
{
    const std::vector<uint8_t> data = test::Pattern(4000);
    const std::vector<uint8_t> refused[] = {
        // An average byte rate of 1 would make a 4-second file last 67 minutes.
        test::WaveBytes().FormatFields(1, 1, 1000, 1, 2, 16).Chunk("data", data).Bytes(),
        test::WaveBytes().FormatFields(1, 2, 1000, 3000, 3, 16).Chunk("data", data).Bytes(),
        test::WaveBytes().Format(1, 8000, 4, 2, {0, 0}).Chunk("data", data).Bytes(),  // ADPCM
        test::WaveBytes().Format(1, 8000, 12).Chunk("data", data).Bytes(),
    };
    for (const auto& file : refused) {
        CWaveReader reader;
        ASSERT_TRUE(reader.OpenBytes(file));
        EXPECT_FALSE(DecodableFormat(reader));
    }
    // The extensible layout names its sample format in its sub-format.
    std::vector<uint8_t> extensible(22, 0);
    extensible[6] = 1;
    CWaveReader reader;
    ASSERT_TRUE(reader.OpenBytes(
        test::WaveBytes().Format(2, 48000, 24, 0xFFFE, extensible).Chunk("data", data).Bytes()));
    const std::optional<SampleFormat> format = DecodableFormat(reader);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->encoding, SampleEncoding::S24);
    EXPECT_EQ(format->deviceFrameBytes, 8u);
}

}  // namespace
}  // namespace flr
