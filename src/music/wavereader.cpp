#include "music/wavereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace flr {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr size_t kPcmFormatSize = 16;
constexpr uint64_t kChunkHeaderSize = 8;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

class FileSource final : public CWaveSource {
public:
    FileSource(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
    ~FileSource() override { ::close(m_fd); }

    uint64_t Size() const override { return m_size; }

    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(m_fd, static_cast<uint8_t*>(buffer) + done, count - done,
                                      off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += size_t(n);
        }
        return done;
    }

private:
    int m_fd;
    uint64_t m_size;
};

class MemorySource final : public CWaveSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint64_t Size() const override { return m_bytes.size(); }

    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset >= m_bytes.size()) return 0;
        const size_t n = size_t(std::min<uint64_t>(count, m_bytes.size() - offset));
        std::memcpy(buffer, m_bytes.data() + offset, n);
        return n;
    }

private:
    std::span<const uint8_t> m_bytes;
};

}  // namespace

CWaveReader::CWaveReader() = default;

CWaveReader::~CWaveReader() { Close(); }

bool CWaveReader::Open(const std::string& path)
{
    Close();
    // Opening a device node already acts on it (a serial port's control lines change), so
    // anything but a regular file is refused before it is opened.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return Fail(WaveError::CannotOpen);
    }
    // The flags guard the moment the path could be swapped for a FIFO or a terminal; for a
    // regular file they change nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Fail(WaveError::CannotOpen);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != named.st_dev ||
        st.st_ino != named.st_ino) {
        ::close(fd);
        return Fail(WaveError::CannotOpen);
    }
    std::unique_ptr<CWaveSource> source;
    try {
        source = std::make_unique<FileSource>(fd, uint64_t(st.st_size));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return Fail(WaveError::OutOfMemory);
    }
    return OpenSource(std::move(source));
}

bool CWaveReader::OpenBytes(std::span<const uint8_t> bytes)
{
    Close();
    try {
        return OpenSource(std::make_unique<MemorySource>(bytes));
    } catch (const std::bad_alloc&) {
        return Fail(WaveError::OutOfMemory);
    }
}

bool CWaveReader::OpenSource(std::unique_ptr<CWaveSource> source)
{
    m_source = std::move(source);
    m_lastError = WaveError::None;
    try {
        m_buffer.resize(kBufferSize);
    } catch (const std::bad_alloc&) {
        return Fail(WaveError::OutOfMemory);
    }

    uint8_t header[12];
    if (m_source->ReadAt(0, header, sizeof header) != sizeof header) {
        return Fail(WaveError::InvalidFile);
    }
    m_riff = {Le32(header), Le32(header + 4), kChunkHeaderSize};
    if (m_riff.id != FourCC("RIFF") || m_riff.size < 4 || Le32(header + 8) != FourCC("WAVE")) {
        return Fail(WaveError::InvalidFile);
    }
    // A RIFF size beyond the file (a lost tail, or a writer that never came back to fill it
    // in) is cut to the file; the chunks we use must still lie wholly inside.
    m_riffEnd = std::min(m_riff.dataOffset + m_riff.size, m_source->Size());

    if (const WaveError error = FindChunk(FourCC("fmt "), m_fmt); error != WaveError::None) {
        return Fail(error);
    }
    if (const WaveError error = ReadFormat(m_fmt); error != WaveError::None) return Fail(error);
    if (const WaveError error = FindChunk(FourCC("data"), m_data); error != WaveError::None) {
        return Fail(error);
    }
    m_dataSize = m_data.size;
    m_position = 0;
    m_bufferFill = 0;

    const double lengthMs = double(m_dataSize) / double(m_avgBytesPerSec) * 1000.0;
    if (lengthMs > double(std::numeric_limits<uint32_t>::max())) {
        return Fail(WaveError::InvalidFile);
    }
    m_lengthMs = uint32_t(lengthMs);
    return true;
}

bool CWaveReader::Fail(WaveError error)
{
    Close();
    m_lastError = error;
    return false;
}

WaveError CWaveReader::FindChunk(uint32_t id, Chunk& found)
{
    uint64_t at = m_riff.dataOffset + 4;  // after the form type
    while (m_riffEnd - at >= kChunkHeaderSize) {
        uint8_t header[kChunkHeaderSize];
        if (m_source->ReadAt(at, header, sizeof header) != sizeof header) {
            return WaveError::CannotRead;
        }
        const Chunk chunk{Le32(header), Le32(header + 4), at + kChunkHeaderSize};
        // A chunk that claims more than is left cannot be read, nor stepped over.
        if (chunk.size > m_riffEnd - chunk.dataOffset) return WaveError::InvalidFile;
        if (chunk.id == id) {
            found = chunk;
            return WaveError::None;
        }
        // Odd-sized chunks are followed by a pad byte.
        const uint64_t next = chunk.dataOffset + chunk.size + (chunk.size & 1u);
        if (next > m_riffEnd) break;
        at = next;
    }
    return WaveError::ChunkNotFound;
}

WaveError CWaveReader::ReadFormat(const Chunk& fmt)
{
    uint8_t pcm[kPcmFormatSize];
    if (fmt.size < kPcmFormatSize ||
        m_source->ReadAt(fmt.dataOffset, pcm, sizeof pcm) != sizeof pcm) {
        return WaveError::CannotRead;
    }
    uint16_t extraSize = 0;
    if (Le16(pcm) != kFormatPcm && fmt.size != kPcmFormatSize) {
        // A format of 16 bytes has no extra size field: it is 0. One of 17 is cut short.
        uint8_t field[2];
        if (fmt.size < kFormatHeaderSize ||
            m_source->ReadAt(fmt.dataOffset + kPcmFormatSize, field, 2) != 2) {
            return WaveError::CannotRead;
        }
        extraSize = Le16(field);
        if (extraSize > fmt.size - kFormatHeaderSize) return WaveError::CannotRead;
    }
    try {
        m_format.assign(kFormatHeaderSize + extraSize, 0);
    } catch (const std::bad_alloc&) {
        return WaveError::OutOfMemory;
    }
    std::memcpy(m_format.data(), pcm, sizeof pcm);
    m_format[16] = uint8_t(extraSize);
    m_format[17] = uint8_t(extraSize >> 8);
    if (extraSize != 0 &&
        m_source->ReadAt(fmt.dataOffset + kFormatHeaderSize, m_format.data() + kFormatHeaderSize,
                         extraSize) != extraSize) {
        return WaveError::CannotRead;
    }
    m_avgBytesPerSec = Le32(pcm + 8);
    m_blockAlign = Le16(pcm + 12);
    m_bitsPerSample = Le16(pcm + 14);
    // The length and every position on the track divide by these.
    if (m_avgBytesPerSec == 0 || m_blockAlign == 0) return WaveError::InvalidFile;
    return WaveError::None;
}

bool CWaveReader::SeekData(uint64_t offset)
{
    if (!m_source) {
        m_lastError = WaveError::CannotSeek;
        return false;
    }
    if (offset > m_dataSize) {
        m_position = 0;
        m_lastError = WaveError::CannotSeek;
        return false;
    }
    m_position = uint32_t(offset);
    return true;
}

size_t CWaveReader::Read(void* buffer, size_t count)
{
    if (!m_source) return 0;
    count = std::min<size_t>(count, Remaining());
    auto* out = static_cast<uint8_t*>(buffer);
    const uint64_t dataEnd = m_data.dataOffset + m_dataSize;
    size_t done = 0;
    while (done < count) {
        const uint64_t at = m_data.dataOffset + m_position + done;
        const size_t wanted = count - done;
        if (at >= m_bufferStart && at < m_bufferStart + m_bufferFill) {
            const size_t offset = size_t(at - m_bufferStart);
            const size_t n = std::min(wanted, m_bufferFill - offset);
            std::memcpy(out + done, m_buffer.data() + offset, n);
            done += n;
        } else if (wanted >= m_buffer.size()) {
            // Large reads (the display table's 30-second pieces) bypass the buffer.
            if (m_source->ReadAt(at, out + done, wanted) != wanted) {
                m_lastError = WaveError::CannotRead;
                return 0;
            }
            done += wanted;
        } else {
            const size_t n = size_t(std::min<uint64_t>(m_buffer.size(), dataEnd - at));
            m_bufferStart = at;
            m_bufferFill = m_source->ReadAt(at, m_buffer.data(), n);
            // The file lost its tail since it was opened.
            if (m_bufferFill == 0) {
                m_lastError = WaveError::CannotRead;
                return 0;
            }
        }
    }
    m_position += uint32_t(count);
    return count;
}

void CWaveReader::Close()
{
    m_source.reset();
    m_format.clear();
    m_format.shrink_to_fit();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_bufferStart = 0;
    m_bufferFill = 0;
    m_riff = m_fmt = m_data = {};
    m_riffEnd = 0;
    m_lengthMs = m_blockAlign = m_bitsPerSample = m_avgBytesPerSec = 0;
    m_dataSize = m_position = 0;
}

uint16_t CWaveReader::FormatTag() const { return m_format.empty() ? 0 : Le16(m_format.data()); }

uint16_t CWaveReader::Channels() const { return m_format.empty() ? 0 : Le16(m_format.data() + 2); }

uint32_t CWaveReader::SamplesPerSec() const
{
    return m_format.empty() ? 0 : Le32(m_format.data() + 4);
}

uint16_t CWaveReader::ExtraSize() const
{
    return m_format.empty() ? 0 : Le16(m_format.data() + 16);
}

std::span<const uint8_t> CWaveReader::ExtraBytes() const
{
    if (m_format.size() <= kFormatHeaderSize) return {};
    return std::span<const uint8_t>(m_format).subspan(kFormatHeaderSize);
}

}  // namespace flr
