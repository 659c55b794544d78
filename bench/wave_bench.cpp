// The music track: reading a five-minute CD-quality track (52.9 MB) as playback asks for it (a
// 5-second fill, half-second refills, a seek with a fresh fill), the waveform summary of an
// hour, and one refill tick of a 24-bit track.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "bench/longwave.h"
#include "music/sampleformat.h"
#include "music/wavereader.h"
#include "music/wavestreamer.h"
#include "music/wavesummary.h"
#include "support/wavebuilder.h"

namespace flr {
namespace {

constexpr uint32_t kBytesPerSecond = 44100 * 4;
constexpr uint32_t kDataSize = 300 * kBytesPerSecond;

struct TrackFile {
    TrackFile()
    {
        char name[] = "/tmp/flr-wavebench-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        dir = name;
        path = dir + "/track.wav";
        if (!test::WriteFile(path, test::PcmWave(2, 44100, 16, test::Pattern(kDataSize)))) {
            std::abort();
        }
    }
    ~TrackFile() { std::filesystem::remove_all(dir); }
    std::string dir;
    std::string path;
};

const std::string& TrackPath()
{
    static TrackFile file;
    return file.path;
}

void OpenTrack(CWaveReader& reader)
{
    if (!reader.Open(TrackPath()) || reader.DataSize() != kDataSize) std::abort();
}

void BM_OpenTrack(benchmark::State& state)
{
    TrackPath();
    for (auto _ : state) {
        CWaveReader reader;
        OpenTrack(reader);
        benchmark::DoNotOptimize(reader.LengthMs());
    }
}
BENCHMARK(BM_OpenTrack)->Unit(benchmark::kMicrosecond);

// The whole track in `first`-sized then `piece`-sized reads, as one caller would ask.
void ReadTrack(benchmark::State& state, size_t first, size_t piece)
{
    CWaveReader reader;
    OpenTrack(reader);
    std::vector<uint8_t> buffer(std::max(first, piece));
    for (auto _ : state) {
        if (!reader.SeekData(0)) std::abort();
        uint64_t total = reader.Read(buffer.data(), first);
        while (size_t n = reader.Read(buffer.data(), piece)) total += n;
        if (total != kDataSize) std::abort();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kDataSize);
}

// Playing: the 5-second buffer, then a refill of half a second every tick.
void BM_PlaybackRefills(benchmark::State& state)
{
    ReadTrack(state, 5 * kBytesPerSecond, kBytesPerSecond / 2);
}
BENCHMARK(BM_PlaybackRefills)->Unit(benchmark::kMillisecond);

// Moving the show position: seek to a block and fill the 5-second buffer.
void BM_SeekAndFill(benchmark::State& state)
{
    CWaveReader reader;
    OpenTrack(reader);
    std::vector<uint8_t> buffer(5 * kBytesPerSecond);
    std::mt19937 random(42);
    std::uniform_int_distribution<uint32_t> ms(0, 295'000);
    for (auto _ : state) {
        if (!reader.SeekData(uint64_t(ms(random)) * kBytesPerSecond / 1000 / 4 * 4)) std::abort();
        if (reader.Read(buffer.data(), buffer.size()) != buffer.size()) std::abort();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}
BENCHMARK(BM_SeekAndFill)->Unit(benchmark::kMicrosecond);

// A 60-minute CD-quality track (635 MB) summarised for the waveform, from the page cache.
void BM_SummaryOfAnHour(benchmark::State& state)
{
    constexpr uint32_t kHourBytes = 3600 * kBytesPerSecond;
    test::TempFolder dir;
    const std::string path = dir / "hour.wav";
    if (!bench::WriteLongWave(path, 2, 44100, 16, 3600)) std::abort();
    CWaveReader reader;
    if (!reader.Open(path) || reader.LengthMs() != 3600 * 1000) std::abort();
    const SampleFormat format = *DecodableFormat(reader);
    CWaveSummary summary;
    for (auto _ : state) {
        if (!summary.Build(reader, format)) std::abort();
    }
    state.counters["summary_MB"] = double(summary.MemoryBytes()) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * kHourBytes);
}
BENCHMARK(BM_SummaryOfAnHour)->Unit(benchmark::kMillisecond)->Iterations(3);

// One refill tick of half a second of 24-bit 48 kHz stereo: read, widen to 32 bits, into the ring.
void BM_RefillOfHalfASecond24Bit(benchmark::State& state)
{
    test::TempFolder dir;
    const std::string path = dir / "deep.wav";
    if (!test::WriteFile(path, test::PcmWave(2, 48000, 24, test::Pattern(48000 * 6 * 120)))) {
        std::abort();
    }
    uint32_t now = 0;
    CWaveStreamer streamer([&now] { return now; }, false);
    if (!streamer.Open(path, nullptr)) std::abort();
    streamer.Play();
    std::vector<uint8_t> out(24000 * 8);
    for (auto _ : state) {
        state.PauseTiming();
        streamer.Ring()->Mix(out.data(), out.size());  // the callback took half a second
        if (streamer.Ring()->FreeBytes() != out.size()) streamer.Seek(0);
        state.ResumeTiming();
        if (!streamer.RefillTick()) std::abort();
    }
}
BENCHMARK(BM_RefillOfHalfASecond24Bit)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
