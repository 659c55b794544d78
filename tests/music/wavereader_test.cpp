// The wave reader: sound files of the usual kinds read back from anywhere, and damaged files,
// which must fail to open with the right error rather than read outside their data.
#include "music/wavereader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "support/wavebuilder.h"

namespace flr {
namespace {

using test::Pattern;
using test::PcmWave;
using test::WaveBytes;

class WaveFileTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = m_dir / name;
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return path;
    }

    test::TempFolder m_dir;
};

std::vector<uint8_t> ReadAll(CWaveReader& reader, size_t piece)
{
    std::vector<uint8_t> out;
    std::vector<uint8_t> buffer(piece);
    while (size_t n = reader.Read(buffer.data(), piece)) {
        out.insert(out.end(), buffer.begin(), buffer.begin() + ptrdiff_t(n));
    }
    return out;
}

// A "fmt " chunk of `size` bytes holding the 16 of a non-PCM format, then `tail` and the data.
std::vector<uint8_t> NonPcm(uint32_t size, const std::vector<uint8_t>& tail,
                            const std::vector<uint8_t>& data = Pattern(64))
{
    WaveBytes w;
    w.Raw("fmt ").U32(size).U16(2).U16(1).U32(8000).U32(8000).U16(1);
    return w.U16(8).Raw(tail).Chunk("data", data).Bytes();
}

// --- Sound files of the usual kinds -------------------------------------------------------

class WaveFormatsTest : public WaveFileTest,
                        public testing::WithParamInterface<std::tuple<int, int, int>> {};

TEST_P(WaveFormatsTest, ReadsBackFromSeveralPositions)
{
    const auto [bits, channels, rate] = GetParam();
    const uint32_t align = uint32_t(channels * bits / 8);
    const std::vector<uint8_t> data = Pattern(size_t(rate) * align / 4 + align, uint32_t(rate));
    const std::string path =
        Write("tone.wav", PcmWave(uint16_t(channels), uint32_t(rate), uint16_t(bits), data));

    CWaveReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(std::make_tuple(reader.FormatTag(), reader.Channels(), reader.SamplesPerSec(),
                              reader.BitsPerSample(), reader.BlockAlign(), reader.AvgBytesPerSec()),
              std::make_tuple(uint16_t(1), uint16_t(channels), uint32_t(rate), uint32_t(bits),
                              align, uint32_t(rate) * align));
    EXPECT_EQ(reader.ExtraSize(), 0);
    EXPECT_EQ(reader.FormatRecord().size(), 18u);
    EXPECT_EQ(reader.DataSize(), data.size());
    EXPECT_EQ(reader.LengthMs(), 250u);  // a quarter second and one block

    EXPECT_EQ(ReadAll(reader, 1000), data);
    for (const uint32_t from :
         {uint32_t(0), align * 7, uint32_t(data.size() / 2), uint32_t(data.size()) - align}) {
        ASSERT_TRUE(reader.SeekData(from));
        EXPECT_EQ(reader.Position(), from);
        std::vector<uint8_t> piece(align * 3);
        const size_t n = reader.Read(piece.data(), piece.size());
        ASSERT_EQ(n, std::min<size_t>(piece.size(), data.size() - from));
        EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + ptrdiff_t(n), data.begin() + from))
            << "from " << from;
        EXPECT_EQ(reader.Position(), from + n);
    }
}

INSTANTIATE_TEST_SUITE_P(BitsChannelsRates, WaveFormatsTest,
                         testing::Combine(testing::Values(8, 16), testing::Values(1, 2),
                                          testing::Values(8000, 11025, 22050, 44100, 48000)));

TEST_F(WaveFileTest, MixedReadSizesAndSeeksAcrossTheBufferMatchTheData)
{
    // Larger than the reader's buffer, so small reads refill it and large ones bypass it.
    const std::vector<uint8_t> data = Pattern(300'001, 7);
    CWaveReader reader;
    ASSERT_TRUE(reader.Open(Write("long.wav", PcmWave(1, 22050, 8, data))));
    std::vector<uint8_t> got;
    const size_t pieces[] = {1, 4093, 70'000, 65'536, 3, 100'000};
    for (size_t i = 0; got.size() < data.size(); ++i) {
        std::vector<uint8_t> buffer(pieces[i % std::size(pieces)]);
        const size_t n = reader.Read(buffer.data(), buffer.size());
        ASSERT_GT(n, 0u);
        got.insert(got.end(), buffer.begin(), buffer.begin() + ptrdiff_t(n));
    }
    EXPECT_EQ(got, data);
    // Back into the middle of what the buffer held, then past it.
    ASSERT_TRUE(reader.SeekData(250'000));
    std::vector<uint8_t> buffer(10);
    ASSERT_EQ(reader.Read(buffer.data(), 10), 10u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), data.begin() + 250'000));
    ASSERT_TRUE(reader.SeekData(12));
    ASSERT_EQ(reader.Read(buffer.data(), 10), 10u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), data.begin() + 12));

    // A seek beyond the data fails and goes to the start; one to its very end reads nothing.
    EXPECT_FALSE(reader.SeekData(data.size() + 1));
    EXPECT_EQ(reader.LastError(), WaveError::CannotSeek);
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_EQ(reader.Remaining(), data.size());
    EXPECT_FALSE(reader.SeekData(uint64_t(1) << 40));
    ASSERT_TRUE(reader.SeekData(data.size()));
    EXPECT_EQ(reader.Read(buffer.data(), 1), 0u);
}

TEST_F(WaveFileTest, UnusualLayoutsReadTheirData)
{
    const std::vector<uint8_t> data = Pattern(11, 9);  // odd: a pad byte follows
    WaveBytes streamed;
    streamed.Format(1, 8000, 8).Chunk("data", data);
    const std::vector<uint8_t> tail =
        WaveBytes().Format(1, 8000, 8).Chunk("data", data).Chunk("LIST", Pattern(50)).Bytes();
    WaveBytes odd;
    odd.Chunk("JUNK", Pattern(3)).Chunk("LIST", Pattern(20)).Format(1, 11025, 8);
    odd.Chunk("bext", Pattern(1));
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"unknown and odd-sized chunks", odd.Chunk("data", data).Chunk("LIST", Pattern(7)).Bytes()},
        {"data before the format", WaveBytes().Chunk("data", data).Format(2, 8000, 16).Bytes()},
        // No room for an extra size: it is 0, not the next chunk's header.
        {"non-PCM format of 16 bytes", NonPcm(16, {}, data)},
        // A lost tail after the data, or a writer that never filled in the RIFF size.
        {"tail cut", std::vector<uint8_t>(tail.begin(), tail.end() - 30)},
        {"RIFF size never filled in", streamed.WithRiffSize(0xFFFFFFFF)},
    };
    for (const auto& [name, bytes] : files) {
        CWaveReader reader;
        ASSERT_TRUE(reader.Open(Write("layout.wav", bytes))) << name;
        EXPECT_EQ(reader.DataSize(), data.size()) << name;
        EXPECT_EQ(ReadAll(reader, 4), data) << name;
    }

    // A non-PCM format keeps its extra bytes.
    const std::vector<uint8_t> extra = Pattern(32, 3);
    CWaveReader reader;
    ASSERT_TRUE(reader.Open(Write("adpcm.wav", WaveBytes()
                                                   .FormatFields(2, 2, 22050, 22311, 1024, 4, extra)
                                                   .Chunk("fact", {1, 2, 3, 4})
                                                   .Chunk("data", data)
                                                   .Bytes())));
    EXPECT_EQ(std::make_tuple(reader.FormatTag(), reader.ExtraSize(), reader.BlockAlign()),
              std::make_tuple(uint16_t(2), uint16_t(32), 1024u));
    EXPECT_EQ(reader.FormatRecord().size(), 32u + 18u);
    EXPECT_TRUE(std::ranges::equal(reader.ExtraBytes(), extra));
    EXPECT_EQ(ReadAll(reader, 512), data);
}

TEST_F(WaveFileTest, FileLosingItsTailWhileOpenFailsTheRead)
{
    const std::vector<uint8_t> data = Pattern(200'000);
    const std::string path = Write("shrinks.wav", PcmWave(2, 44100, 16, data));
    CWaveReader reader;
    ASSERT_TRUE(reader.Open(path));
    ASSERT_EQ(truncate(path.c_str(), 100'000), 0);
    std::vector<uint8_t> buffer(150'000);
    EXPECT_EQ(reader.Read(buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(reader.LastError(), WaveError::CannotRead);
    EXPECT_EQ(reader.Position(), 0u);
    // What is still there can be read in small pieces; the rest fails.
    EXPECT_EQ(reader.Read(buffer.data(), 1000), 1000u);
    EXPECT_EQ(reader.Read(buffer.data(), 120'000), 0u);
    EXPECT_EQ(reader.Position(), 1000u);
}

// --- Damaged files ------------------------------------------------------------------------

struct Damaged {
    const char* name;
    std::vector<uint8_t> bytes;
    WaveError error;
};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

std::vector<Damaged> DamagedFiles()
{
    const std::vector<uint8_t> good = PcmWave(2, 44100, 16, Pattern(400));
    std::vector<uint8_t> notWave = good;
    std::copy_n("AVI ", 4, notWave.begin() + 8);
    WaveBytes longData;
    longData.Format(2, 44100, 16).Raw("data").U32(401).Raw(Pattern(400));
    WaveBytes beyondRiff;
    beyondRiff.Format(1, 8000, 8).Chunk("data", Pattern(100));
    WaveBytes hugeChunk;
    hugeChunk.Raw("LIST").U32(0xFFFFFFF0).Format(1, 8000, 8).Chunk("data", Pattern(10));
    return {
        {"empty", {}, WaveError::InvalidFile},
        {"sixteen bytes of text", std::vector<uint8_t>(16, 'x'), WaveError::InvalidFile},
        {"header cut in the form type", Cut(good, 10), WaveError::InvalidFile},
        {"RIFF of another form", notWave, WaveError::InvalidFile},
        {"RIFF size below the form type", WaveBytes().WithRiffSize(2), WaveError::InvalidFile},
        {"header only", Cut(good, 12), WaveError::ChunkNotFound},
        {"cut inside the format chunk", Cut(good, 30), WaveError::InvalidFile},
        {"cut before the data chunk", Cut(good, 36), WaveError::ChunkNotFound},
        {"data chunk longer than the file", longData.Bytes(), WaveError::InvalidFile},
        {"data chunk beyond the RIFF size", beyondRiff.WithRiffSize(40), WaveError::InvalidFile},
        {"chunk size near 4 GiB", hugeChunk.Bytes(), WaveError::InvalidFile},
        {"no format chunk", WaveBytes().Chunk("data", Pattern(10)).Bytes(),
         WaveError::ChunkNotFound},
        {"no data chunk", WaveBytes().Format(1, 8000, 8).Chunk("LIST", Pattern(9)).Bytes(),
         WaveError::ChunkNotFound},
        {"format of 14 bytes", WaveBytes().Chunk("fmt ", Pattern(14)).Bytes(),
         WaveError::CannotRead},
        {"non-PCM format of 17 bytes", NonPcm(17, {0, 0}), WaveError::CannotRead},
        {"extra size beyond the format chunk", NonPcm(20, {30, 0, 0, 0}), WaveError::CannotRead},
        {"no bytes per second",
         WaveBytes().FormatFields(1, 1, 8000, 0, 1, 8).Chunk("data", Pattern(10)).Bytes(),
         WaveError::InvalidFile},
        {"no block alignment",
         WaveBytes().FormatFields(1, 1, 8000, 8000, 0, 8).Chunk("data", Pattern(10)).Bytes(),
         WaveError::InvalidFile},
        {"length beyond 32 bits of ms",
         WaveBytes()
             .FormatFields(1, 1, 1, 1, 1, 8)
             .Chunk("data", std::vector<uint8_t>(4'300'000))
             .Bytes(),
         WaveError::InvalidFile},
    };
}

TEST_F(WaveFileTest, DamagedFilesFailToOpenWithTheirError)
{
    for (const Damaged& damaged : DamagedFiles()) {
        SCOPED_TRACE(damaged.name);
        CWaveReader reader;
        ASSERT_TRUE(reader.Open(Write("ok.wav", PcmWave(1, 8000, 8, Pattern(10)))));
        EXPECT_FALSE(reader.Open(Write("damaged.wav", damaged.bytes)));
        EXPECT_EQ(reader.LastError(), damaged.error);
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_TRUE(reader.FormatRecord().empty());
        EXPECT_EQ(reader.DataSize(), 0u);
        EXPECT_EQ(reader.LengthMs(), 0u);
        uint8_t byte;
        EXPECT_EQ(reader.Read(&byte, 1), 0u);
        // The same from memory.
        EXPECT_FALSE(reader.OpenBytes(damaged.bytes));
        EXPECT_EQ(reader.LastError(), damaged.error);
    }
}

// A serial port acts on being opened, so nothing but a regular file is opened at all.
TEST_F(WaveFileTest, WhatIsNotARegularFileIsRefusedUnopened)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
    const std::string terminal = ptsname(master);
    const std::string fifo = m_dir / "pipe.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int opens = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(opens, terminal.c_str(), IN_OPEN), 0);
    ASSERT_GE(inotify_add_watch(opens, m_dir.Path().c_str(), IN_OPEN), 0);
    for (const std::string& path : {terminal, fifo, m_dir.Path(), m_dir / "missing.wav"}) {
        CWaveReader reader;
        EXPECT_FALSE(reader.Open(path)) << path;
        EXPECT_EQ(reader.LastError(), WaveError::CannotOpen) << path;
    }
    char event[256];
    EXPECT_EQ(read(opens, event, sizeof event), -1);
    close(opens);
    close(master);
}

}  // namespace
}  // namespace flr
