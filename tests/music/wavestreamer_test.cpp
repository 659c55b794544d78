// Playback: the ring after a seek, the refill, the end of the track, pause and seek, 24-bit
// output, the heard position, the ring between two threads, and real SDL output.
#include "music/wavestreamer.h"

#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdlib.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "music/periodicthread.h"
#include "music/sounddevice.h"
#include "support/wavebuilder.h"

// Locks and allocations made inside the ring's callback, counted on the audio thread.
namespace {
thread_local bool t_inMix = false;
std::atomic<int> g_mixLocks{0};
std::atomic<int> g_mixAllocations{0};
}  // namespace

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    using Lock = int (*)(pthread_mutex_t*);
    static const Lock next = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (t_inMix) ++g_mixLocks;
    return next(mutex);
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FLR_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(FLR_ASAN)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             size_t),
                                                         void (*free_hook)(const volatile void*));
static void CountMalloc(const volatile void*, size_t)
{
    if (t_inMix) ++g_mixAllocations;
}
static void IgnoreFree(const volatile void*) {}
[[maybe_unused]] static const int g_hooks =
    __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree);
#endif

namespace flr {
namespace {

class WaveStreamerTest : public testing::Test {
protected:
    // By default 8-bit mono at 1000 samples a second: one byte is one millisecond.
    std::string Track(const std::vector<uint8_t>& data, const std::string& name = "t.wav",
                      uint16_t channels = 1, uint32_t rate = 1000, uint16_t bits = 8)
    {
        const std::string path = m_dir / name;
        EXPECT_TRUE(test::WriteFile(path, test::PcmWave(channels, rate, bits, data)));
        return path;
    }
    std::unique_ptr<CWaveStreamer> Open(const std::string& path)
    {
        auto s = std::make_unique<CWaveStreamer>([this] { return m_now; }, false);
        EXPECT_TRUE(s->Open(path, nullptr));
        return s;
    }
    static std::vector<uint8_t> Pull(CWaveStreamer& s, size_t n)
    {
        std::vector<uint8_t> out(n);
        s.Ring()->Mix(out.data(), n);
        return out;
    }
    static std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, size_t from, size_t n)
    {
        return {v.begin() + long(from), v.begin() + long(from + n)};
    }
    static std::vector<uint8_t> Silence(size_t n) { return std::vector<uint8_t>(n, 128); }
    static std::vector<uint8_t> Then(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    test::TempFolder m_dir;
    uint32_t m_now = 1000;
};

TEST_F(WaveStreamerTest, ASeekPrimesTheRingFromThePositionAndItPlaysOnceStarted)
{
    const std::vector<uint8_t> data = test::Pattern(8000);
    auto s = Open(Track(data));
    ASSERT_EQ(s->Ring()->Capacity(), 5000u);
    EXPECT_TRUE(s->IsPrimed());
    EXPECT_EQ(Pull(*s, 100), Silence(100));  // not started: nothing taken
    s->Play();
    EXPECT_EQ(Pull(*s, 5000), Slice(data, 0, 5000));
    EXPECT_EQ(Pull(*s, 10), Silence(10));  // the ring ran dry
    s->Seek(6000);
    EXPECT_EQ(Pull(*s, 2100), Then(Slice(data, 6000, 2000), Silence(100)));
    s->Seek(100000);  // beyond the end: silence, no read outside the data
    EXPECT_EQ(Pull(*s, 50), Silence(50));

    // A track shorter than the ring gets a ring exactly its size.
    const std::vector<uint8_t> shortData = test::Pattern(2000, 3);
    auto t = Open(Track(shortData, "short.wav"));
    EXPECT_EQ(t->Ring()->Capacity(), 2000u);
    t->Play();
    EXPECT_EQ(Pull(*t, 2000), shortData);
}

TEST_F(WaveStreamerTest, RefillTopsUpTheRingAndTheDrainedTrackEnds)
{
    const std::vector<uint8_t> data = test::Pattern(7000);
    auto s = Open(Track(data));
    s->Play();
    EXPECT_EQ(Pull(*s, 1500), Slice(data, 0, 1500));
    ASSERT_TRUE(s->RefillTick());
    EXPECT_EQ(s->Ring()->QueuedBytes(), 5000u);
    EXPECT_EQ(Pull(*s, 3500), Slice(data, 1500, 3500));
    ASSERT_TRUE(s->RefillTick());
    EXPECT_EQ(Pull(*s, 2500), Then(Slice(data, 5000, 2000), Silence(500)));
    EXPECT_FALSE(s->RefillTick());
    EXPECT_FALSE(s->IsPlaying());
    EXPECT_FALSE(s->Ring()->IsStarted());
}

TEST_F(WaveStreamerTest, WithoutOutputTheClockEndsTheTrackPausesExcluded)
{
    auto s = Open(Track(test::Pattern(7000)));
    s->Play();
    m_now += 3000;
    s->Pause();
    EXPECT_FALSE(s->Ring()->IsStarted());
    m_now += 10000;  // paused time does not count
    s->Pause();      // resumes
    EXPECT_TRUE(s->IsPlaying());
    m_now += 3999;
    EXPECT_TRUE(s->RefillTick());
    m_now += 1;
    EXPECT_FALSE(s->RefillTick());
    EXPECT_FALSE(s->IsPlaying());

    // Started from a seek, the end is the track's, not the seek's plus the length.
    s->Seek(5000);
    s->Play();
    m_now += 1999;
    EXPECT_TRUE(s->RefillTick());
    m_now += 1;
    EXPECT_FALSE(s->RefillTick());
}

TEST_F(WaveStreamerTest, AStopWithoutRewindKeepsAPauseARewindingStopEndsIt)
{
    const std::vector<uint8_t> data = test::Pattern(9000);
    auto s = Open(Track(data));
    s->Play();
    Pull(*s, 700);
    s->Pause();
    EXPECT_EQ(Pull(*s, 10), Silence(10));
    // What the wave table does for a new position: stop without rewind, then seek.
    s->Stop(false);
    s->Seek(4000);
    EXPECT_TRUE(s->IsPaused());
    s->Play();
    EXPECT_EQ(Pull(*s, 100), Slice(data, 4000, 100));
    s->Pause();
    s->Stop(true);
    EXPECT_FALSE(s->IsPaused());
    s->Play();
    EXPECT_EQ(Pull(*s, 10), Slice(data, 0, 10));
}

TEST_F(WaveStreamerTest, TwentyFourBitSamplesGoOutAsThirtyTwo)
{
    const std::vector<uint8_t> data = test::Pattern(6 * 4800);  // 100 ms of stereo at 48 kHz
    auto s = Open(Track(data, "deep.wav", 2, 48000, 24));
    ASSERT_EQ(s->Ring()->FrameBytes(), 8u);
    s->Seek(50);  // frame 2400
    s->Play();
    const std::vector<uint8_t> out = Pull(*s, 8 * 2400);
    for (size_t sample = 0; sample < 4800; sample += 997) {
        const size_t in = 2400 * 6 + sample * 3;
        EXPECT_EQ(Slice(out, sample * 4, 4),
                  (std::vector<uint8_t>{0, data[in], data[in + 1], data[in + 2]}));
    }
}

TEST(HeardPositionTest, FollowsTheDeviceNotTheCallbacks)
{
    // A device 0.1 % fast: what is heard runs ahead of the wall clock, and the position follows
    // what is heard within a frame at any moment between callbacks over half an hour.
    const AudioTiming timing{44100, 4, 2048};
    const double deviceRate = 44100 * 1.001;
    for (uint64_t k = 1; k < 30 * 60 * 22; k += 97) {
        const int64_t callbackNs = int64_t(double(k * 2048) / deviceRate * 1e9);
        const CSoundRing::Taken taken{(k + 1) * 2048 * 4, callbackNs};
        for (const int64_t laterNs : {int64_t(0), int64_t(11'000'000), int64_t(90'000'000)}) {
            const double playedFrames =
                std::min(double(k * 2048) + laterNs * 1e-9 * deviceRate, double((k + 1) * 2048));
            const double heardMs = playedFrames / 44100 * 1000;
            EXPECT_NEAR(double(HeardMsAt(taken, timing, callbackNs + laterNs)), heardMs, 33.0);
        }
    }
    EXPECT_EQ(HeardMsAt({0, 5}, timing, 10), 0u);  // nothing taken yet
}

TEST(SoundRingTest, TheCallbackGetsEveryByteInOrderAcrossThreads)
{
    CSoundRing ring(4096, 4, 0);
    ring.Start();
    constexpr uint32_t kWords = 200000;
    std::thread producer([&] {
        uint32_t next = 0;
        while (next < kWords) {
            const size_t words = std::min<size_t>(ring.FreeBytes() / 4, kWords - next);
            const CSoundRing::Regions r = ring.WriteRegions(words * 4);
            for (auto* span : {&r.first, &r.second}) {
                for (size_t i = 0; i + 4 <= span->size(); i += 4, ++next) {
                    const uint32_t v = next + 1;
                    std::memcpy(span->data() + i, &v, 4);
                }
            }
            ring.CommitWrite(words * 4);
            if (words == 0) std::this_thread::yield();
        }
    });
    uint32_t expected = 1;
    std::vector<uint8_t> out(4 * 37);
    while (expected <= kWords) {
        ring.Mix(out.data(), out.size());
        for (size_t i = 0; i < out.size(); i += 4) {
            uint32_t v;
            std::memcpy(&v, out.data() + i, 4);
            if (v == 0) continue;  // an underrun's silence
            ASSERT_EQ(v, expected);
            ++expected;
        }
    }
    producer.join();
    EXPECT_EQ(ring.LastTaken().bytes, uint64_t(kWords) * 4);
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

// SDL's file-writing driver, paced as a sound card: what SDL got from the streamer, byte for
// byte, through a seek.
TEST_F(WaveStreamerTest, SdlGetsTheTracksSamplesInOrderAfterASeek)
{
    const std::string out = m_dir / "heard.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    const std::vector<uint8_t> data = test::Pattern(2 * 22050 * 3);  // 3 s, 16-bit mono
    const std::string path = Track(data, "mono.wav", 1, 22050, 16);
    {
        CSoundDevice device;
        ASSERT_TRUE(device.Create());
        CWaveStreamer s;
        ASSERT_TRUE(s.Open(path, &device));
        s.Seek(1000);
        s.Play();
        while (!s.HeardMs()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_GE(*s.HeardMs(), 1000u);
        s.Stop(false);
    }
    std::ifstream file(out, std::ios::binary);
    const std::vector<uint8_t> heard{std::istreambuf_iterator<char>(file), {}};
    // Silence until the ring starts, then the track from one second on.
    size_t first = 0;
    while (first < heard.size() && heard[first] == 0) ++first;
    ASSERT_LT(first, heard.size());
    first -= first % 2;
    const size_t n = std::min<size_t>(heard.size() - first, 4096);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(Slice(heard, first, n), Slice(data, 2 * 22050, n));
    unsetenv("SDL_DISKAUDIOFILE");
}

// On SDL's audio thread, the ring's callback takes no lock and allocates nothing.
TEST(SoundRingTest, TheCallbackNeitherLocksNorAllocatesOnTheAudioThread)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    CSoundRing ring(44100 * 4, 4, 0);
    const CSoundRing::Regions r = ring.WriteRegions(ring.FreeBytes());
    std::fill(r.first.begin(), r.first.end(), uint8_t(1));
    ring.CommitWrite(r.first.size() + r.second.size());
    ring.Start();
    std::atomic<int> calls{0};
    struct Context {
        CSoundRing* ring;
        std::atomic<int>* calls;
    } context{&ring, &calls};
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 512;
    want.userdata = &context;
    want.callback = [](void* user, Uint8* stream, int len) {
        auto* c = static_cast<Context*>(user);
        t_inMix = true;
        c->ring->Mix(stream, size_t(len));
        t_inMix = false;
        ++*c->calls;
    };
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    ASSERT_NE(id, 0u);
    SDL_PauseAudioDevice(id, 0);
    while (calls < 10) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ring.Stop();  // waits for no callback: the locks it might take are the producer's own
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    EXPECT_EQ(g_mixLocks.load(), 0);
    EXPECT_EQ(g_mixAllocations.load(), 0);
}

}  // namespace
}  // namespace flr
