#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/wavebuilder.h"

namespace flr::bench {

// A long PCM wave file written in pieces, so an hour of sound needs no copy of it in memory.
inline bool WriteLongWave(const std::string& path, uint16_t channels, uint32_t rate, uint16_t bits,
                          uint32_t seconds)
{
    const uint32_t second = rate * channels * ((bits + 7) / 8);
    const uint32_t size = second * seconds;
    std::vector<uint8_t> header = test::PcmWave(channels, rate, bits, {});
    const uint32_t riff = uint32_t(header.size()) - 8 + size;
    for (int i = 0; i < 4; ++i) header[size_t(4 + i)] = uint8_t(riff >> (8 * i));
    for (int i = 0; i < 4; ++i) header[header.size() - 4 + size_t(i)] = uint8_t(size >> (8 * i));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    const std::vector<uint8_t> piece = test::Pattern(second);
    for (uint32_t s = 0; ok && s < seconds; ++s) {
        ok = std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace flr::bench
