// Feeds arbitrary bytes to the wave reader. Besides crashes, leaks and hangs it checks that an
// opened file keeps to its own data: the format record has its stated size, reads from
// anywhere copy no more than remains, and all pieces together are the data chunk's size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "music/wavereader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    flr::CWaveReader reader;
    if (!reader.OpenBytes(std::span<const uint8_t>(data, size))) {
        if (reader.IsOpen() || reader.LastError() == flr::WaveError::None) __builtin_trap();
        return 0;
    }
    if (reader.FormatRecord().size() != flr::CWaveReader::kFormatHeaderSize + reader.ExtraSize() ||
        reader.DataSize() > size || reader.AvgBytesPerSec() == 0 || reader.BlockAlign() == 0) {
        __builtin_trap();
    }

    // Piece sizes and seek positions come from the input itself.
    const uint32_t dataSize = reader.DataSize();
    std::vector<uint8_t> buffer(4096 + 1);
    const size_t piece = 1 + (size > 0 ? data[size - 1] : 0) * 16;
    uint64_t total = 0;
    while (size_t n = reader.Read(buffer.data(), piece)) {
        if (n > piece) __builtin_trap();
        total += n;
    }
    if (total != dataSize || reader.Position() != dataSize) __builtin_trap();

    const uint64_t offsets[] = {0, dataSize / 2, dataSize, uint64_t(dataSize) + 1,
                                size > 1 ? data[size - 2] * 7u : 3u};
    for (const uint64_t offset : offsets) {
        const bool ok = reader.SeekData(offset);
        if (ok != (offset <= dataSize)) __builtin_trap();
        const uint32_t before = reader.Position();
        const size_t n = reader.Read(buffer.data(), buffer.size());
        if (n > buffer.size() || n != std::min<size_t>(buffer.size(), dataSize - before)) {
            __builtin_trap();
        }
    }
    return 0;
}
