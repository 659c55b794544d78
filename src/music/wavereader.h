#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

// Error numbers the reader leaves in LastError(); fixed values, as messages and callers
// compare them.
enum class WaveError : uint32_t {
    None = 0,
    OutOfMemory = 258,
    CannotOpen = 259,
    CannotRead = 261,
    CannotSeek = 263,
    ChunkNotFound = 265,
    InvalidFile = 272,
};

// Where the reader's bytes come from: a file, or bytes in memory (tests, fuzzer).
class CWaveSource {
public:
    virtual ~CWaveSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to `count` bytes from `offset`; returns how many were copied (fewer at the
    // end or on an error).
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// A RIFF WAVE reader: opens and checks a wave file, keeps its format and reads the sample
// data sequentially from any position. Every length the file states is checked against what
// the file holds, so a damaged file fails Open (LastError() says why) rather than reading
// outside its data chunk.
// Not thread-safe: one thread at a time (the playback streamer guards it with its lock).
class CWaveReader {
public:
    // The PCM part of the format record plus the extra size field.
    static constexpr size_t kFormatHeaderSize = 18;
    static constexpr uint16_t kFormatPcm = 1;

    CWaveReader();
    ~CWaveReader();
    CWaveReader(const CWaveReader&) = delete;
    CWaveReader& operator=(const CWaveReader&) = delete;

    // Opens the file at `path` (UTF-8) and positions at the start of its data. On failure the
    // reader is closed and LastError() is set; a path that is not a regular file fails with
    // CannotOpen without being opened.
    bool Open(const std::string& path);
    // The same for bytes in memory; `bytes` must outlive the reader's use of them.
    bool OpenBytes(std::span<const uint8_t> bytes);

    // Positions at `offset` bytes from the start of the data. An offset beyond the data fails
    // with CannotSeek and leaves the reader at the start of the data.
    bool SeekData(uint64_t offset);

    // Copies up to `count` bytes of sample data into `buffer`, never more than remain in the
    // data chunk. Returns the number copied: 0 when none remain or on a read error (then
    // LastError() is CannotRead and the position is unchanged).
    size_t Read(void* buffer, size_t count);

    // Frees the format record and closes the file; also done by the destructor.
    void Close();

    bool IsOpen() const { return m_source != nullptr; }
    WaveError LastError() const { return m_lastError; }

    // The format record as stored: WAVEFORMATEX layout, little-endian, extra size + 18 bytes.
    std::span<const uint8_t> FormatRecord() const { return m_format; }
    uint16_t FormatTag() const;
    uint16_t Channels() const;
    uint32_t SamplesPerSec() const;
    uint32_t AvgBytesPerSec() const { return m_avgBytesPerSec; }
    uint32_t BlockAlign() const { return m_blockAlign; }
    uint32_t BitsPerSample() const { return m_bitsPerSample; }
    uint16_t ExtraSize() const;
    std::span<const uint8_t> ExtraBytes() const;

    uint32_t LengthMs() const { return m_lengthMs; }
    uint32_t DataSize() const { return m_dataSize; }
    uint32_t Position() const { return m_position; }
    uint32_t Remaining() const { return m_dataSize - m_position; }

private:
    struct Chunk {
        uint32_t id = 0;
        uint32_t size = 0;
        uint64_t dataOffset = 0;  // of the chunk's contents, after its 8-byte header
    };

    bool OpenSource(std::unique_ptr<CWaveSource> source);
    bool Fail(WaveError error);
    WaveError FindChunk(uint32_t id, Chunk& found);
    WaveError ReadFormat(const Chunk& fmt);

    std::unique_ptr<CWaveSource> m_source;
    WaveError m_lastError = WaveError::None;
    std::vector<uint8_t> m_format;
    Chunk m_riff;
    uint64_t m_riffEnd = 0;  // end of the RIFF contents, cut to the file's end
    Chunk m_fmt;
    Chunk m_data;
    uint32_t m_lengthMs = 0;
    uint32_t m_blockAlign = 0;
    uint32_t m_bitsPerSample = 0;
    uint32_t m_avgBytesPerSec = 0;
    uint32_t m_dataSize = 0;
    uint32_t m_position = 0;

    // Sequential reads go through this buffer; it holds the file's bytes from m_bufferStart.
    std::vector<uint8_t> m_buffer;
    uint64_t m_bufferStart = 0;
    size_t m_bufferFill = 0;
};

// The four-character code of a chunk id as the file stores it (first character lowest).
constexpr uint32_t FourCC(std::string_view code)
{
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
           uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
}

}  // namespace flr
