// Reading a five-minute CD-quality track (44.1 kHz, 16-bit, stereo: 52.9 MB) in the pieces
// the wave table asks for: 30-second pieces for the display table, a 5-second buffer and
// half-second refills for playback, and a seek with a fresh 5-second fill.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "music/wavereader.h"
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

// Building the display table: 30-second pieces.
void BM_DisplayTablePieces(benchmark::State& state)
{
    ReadTrack(state, 30 * kBytesPerSecond, 30 * kBytesPerSecond);
}
BENCHMARK(BM_DisplayTablePieces)->Unit(benchmark::kMillisecond);

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

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
