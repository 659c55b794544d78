// Playback: the display table, the buffer's fill after a seek, the refill step, the end of the
// track, pause and seek, and the SDL output opened and closed while playing.
#include "music/wavestreamer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <future>
#include <string>
#include <vector>

#include "music/periodicthread.h"
#include "music/sounddevice.h"
#include "support/wavebuilder.h"

namespace flr {
namespace {

class WaveStreamerTest : public testing::Test {
protected:
    // 8-bit mono at 1000 samples a second: one byte is one millisecond.
    std::string Track(const std::vector<uint8_t>& data, const std::string& name = "t.wav")
    {
        const std::string path = m_dir / name;
        EXPECT_TRUE(test::WriteFile(path, test::PcmWave(1, 1000, 8, data)));
        return path;
    }
    std::unique_ptr<CWaveStreamer> Open(const std::string& path)
    {
        auto s = std::make_unique<CWaveStreamer>([this] { return m_now; }, false);
        EXPECT_TRUE(s->Open(path, nullptr));
        return s;
    }
    std::vector<uint8_t> BufferBytes(CWaveStreamer& s)
    {
        CSoundBuffer& b = *s.Buffer();
        const CSoundBuffer::Regions r = b.BeginWrite(0, b.Size());
        std::vector<uint8_t> bytes(r.first.begin(), r.first.end());
        b.EndWrite();
        return bytes;
    }
    std::vector<uint8_t> Pull(CWaveStreamer& s, size_t n)
    {
        std::vector<uint8_t> out(n);
        s.Buffer()->Mix(out.data(), n);
        return out;
    }
    static std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, size_t from, size_t n)
    {
        return {v.begin() + long(from), v.begin() + long(from + n)};
    }

    test::TempFolder m_dir;
    uint32_t m_now = 1000;
};

TEST_F(WaveStreamerTest, DisplayTableHoldsTheFirstChannelEveryMillisecond)
{
    const std::vector<uint8_t> data = test::Pattern(3000);
    auto s = Open(Track(data));
    ASSERT_EQ(s->DisplayTable().size(), 3000u);
    for (size_t i : {0u, 1u, 1234u, 2999u}) EXPECT_EQ(s->DisplayTable()[i], int(data[i]) - 128);

    // 16-bit stereo at 1500 blocks a second: block boundaries fall between milliseconds and
    // are rounded to the nearest block.
    std::vector<uint8_t> stereo(6000);
    for (size_t b = 0; b < stereo.size() / 4; ++b) {
        const int16_t left = int16_t(b * 7 - 3000), right = int16_t(-1);
        stereo[4 * b] = uint8_t(left), stereo[4 * b + 1] = uint8_t(uint16_t(left) >> 8);
        stereo[4 * b + 2] = uint8_t(right), stereo[4 * b + 3] = uint8_t(uint16_t(right) >> 8);
    }
    const std::string path = m_dir / "s.wav";
    ASSERT_TRUE(test::WriteFile(path, test::PcmWave(2, 1500, 16, stereo)));
    auto s2 = Open(path);
    ASSERT_EQ(s2->DisplayTable().size(), 1000u);
    // ms 1: byte 6 rounds to 8, block 2; ms 3: byte 18 rounds to 20, block 5.
    EXPECT_EQ(s2->DisplayTable()[1], int16_t(2 * 7 - 3000));
    EXPECT_EQ(s2->DisplayTable()[3], int16_t(5 * 7 - 3000));
    EXPECT_EQ(s2->DisplayTable()[2], int16_t(3 * 7 - 3000));
}

TEST_F(WaveStreamerTest, SeekFillsTheWholeBufferFromThePositionThenSilence)
{
    const std::vector<uint8_t> data = test::Pattern(8000);
    auto s = Open(Track(data));
    ASSERT_EQ(s->Buffer()->Size(), 5000u);
    EXPECT_EQ(BufferBytes(*s), Slice(data, 0, 5000));
    EXPECT_TRUE(s->IsPrimed());
    EXPECT_EQ(s->WriteCursor(), 0u);
    s->Seek(3000);
    EXPECT_EQ(BufferBytes(*s), Slice(data, 3000, 5000));
    s->Seek(6000);
    EXPECT_EQ(Slice(BufferBytes(*s), 0, 2000), Slice(data, 6000, 2000));
    EXPECT_EQ(Slice(BufferBytes(*s), 2000, 3000), std::vector<uint8_t>(3000, 128));
    // Beyond the end: all silence, no read outside the data.
    s->Seek(100000);
    EXPECT_EQ(BufferBytes(*s), std::vector<uint8_t>(5000, 128));

    // A track shorter than the buffer gets a buffer exactly its size.
    const std::vector<uint8_t> shortData = test::Pattern(2000);
    auto t = Open(Track(shortData, "short.wav"));
    EXPECT_EQ(BufferBytes(*t), shortData);
}

TEST_F(WaveStreamerTest, RefillTopsUpToThePlayCursorThenEndsInSilence)
{
    const std::vector<uint8_t> data = test::Pattern(7000);
    auto s = Open(Track(data));
    s->Play();
    EXPECT_EQ(Pull(*s, 1500), Slice(data, 0, 1500));
    ASSERT_TRUE(s->RefillTick());
    EXPECT_EQ(s->WriteCursor(), 1500u);
    EXPECT_EQ(Pull(*s, 3500), Slice(data, 1500, 3500));
    EXPECT_EQ(Pull(*s, 1500), Slice(data, 5000, 1500));
    // The play cursor caught up with the write cursor: nothing free, the old pass replays.
    ASSERT_TRUE(s->RefillTick());
    EXPECT_EQ(s->WriteCursor(), 1500u);
    EXPECT_EQ(Pull(*s, 1000), Slice(data, 1500, 1000));
    ASSERT_TRUE(s->RefillTick());
    // 500 bytes of data were left; the remaining free space became silence.
    EXPECT_EQ(s->WriteCursor(), 2500u);
    const std::vector<uint8_t> bytes = BufferBytes(*s);
    EXPECT_EQ(Slice(bytes, 1500, 500), Slice(data, 6500, 500));
    EXPECT_EQ(Slice(bytes, 2000, 500), std::vector<uint8_t>(500, 128));
    // Write cursor ahead of the play cursor: the free space wraps round the end.
    Pull(*s, 4000);
    ASSERT_TRUE(s->RefillTick());
    EXPECT_EQ(s->WriteCursor(), 1500u);
    const std::vector<uint8_t> after = BufferBytes(*s);
    EXPECT_EQ(Slice(after, 2500, 2500), std::vector<uint8_t>(2500, 128));
    EXPECT_EQ(Slice(after, 0, 1500), std::vector<uint8_t>(1500, 128));
    EXPECT_EQ(Slice(after, 1500, 500), Slice(data, 6500, 500));
}

TEST_F(WaveStreamerTest, TheTickAfterTheTrackLengthStopsPlaybackPausesExcluded)
{
    auto s = Open(Track(test::Pattern(7000)));
    s->Play();
    m_now += 3000;
    s->Pause();
    EXPECT_FALSE(s->Buffer()->IsPlaying());
    m_now += 10000;  // paused time does not count
    s->Pause();      // resumes
    EXPECT_TRUE(s->IsPlaying());
    EXPECT_FALSE(s->IsPaused());
    m_now += 3999;
    EXPECT_TRUE(s->RefillTick());
    EXPECT_TRUE(s->IsPlaying());
    m_now += 1;
    EXPECT_FALSE(s->RefillTick());
    EXPECT_FALSE(s->IsPlaying());
    EXPECT_FALSE(s->Buffer()->IsPlaying());
}

TEST_F(WaveStreamerTest, StopWithoutRewindKeepsAPauseARewindingStopEndsIt)
{
    const std::vector<uint8_t> data = test::Pattern(9000);
    auto s = Open(Track(data));
    s->Play();
    Pull(*s, 700);
    s->Pause();
    // What the wave table does for a new position: stop without rewind, then seek.
    s->Stop(false);
    s->Seek(4000);
    EXPECT_TRUE(s->IsPaused());
    s->Play();
    EXPECT_TRUE(s->IsPlaying());
    EXPECT_EQ(Pull(*s, 100), Slice(data, 4000, 100));

    m_now += 2000;
    s->Pause();
    s->Stop(true);
    EXPECT_FALSE(s->IsPaused());
    m_now += 5000;
    s->Play();  // a fresh start: the end counts from now
    m_now += 8999;
    EXPECT_TRUE(s->RefillTick());
    EXPECT_EQ(Pull(*s, 10), Slice(data, 0, 10));
}

TEST(PeriodicThreadTest, ACallbackCanEndItsTimerAndStopJoinsIt)
{
    int calls = 0;
    std::promise<void> ended;
    CPeriodicThread timer;
    ASSERT_TRUE(timer.Start(1, [&] {
        if (++calls < 3) return true;
        ended.set_value();
        return false;
    }));
    EXPECT_FALSE(timer.Start(1, [] { return true; }));
    ended.get_future().wait();
    timer.Stop();
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(timer.IsRunning());
    timer.Stop();  // twice is harmless

    // Stop ends a long wait at once.
    ASSERT_TRUE(timer.Start(3600 * 1000, [] { return true; }));
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
}

// SDL's dummy driver: the output opens, plays with the real refill timer, and closes while
// playing without a hang.
TEST_F(WaveStreamerTest, SdlOutputOpensPlaysAndClosesWhilePlaying)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CSoundDevice device;
    ASSERT_TRUE(device.Create());
    EXPECT_TRUE(device.Create());
    const std::string path = Track(test::Pattern(20000));
    {
        CWaveStreamer s;
        ASSERT_TRUE(s.Open(path, &device));
        s.Play();
        EXPECT_TRUE(s.IsPlaying());
        s.Pause();
        s.Pause();
        s.Stop(true);
        s.Play();
    }
    // A format SDL cannot play leaves an empty streamer.
    const std::string odd = m_dir / "odd.wav";
    ASSERT_TRUE(test::WriteFile(odd, test::PcmWave(1, 8000, 24, test::Pattern(2400))));
    CWaveStreamer s;
    EXPECT_FALSE(s.Open(odd, &device));
    EXPECT_FALSE(s.IsOpen());
    device.Release();
}

}  // namespace
}  // namespace flr
