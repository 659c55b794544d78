#pragma once

// Builds RIFF WAVE files byte by byte, so tests can write sound and damaged files alike.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace flr::test {

class WaveBytes {
public:
    WaveBytes() { Raw("RIFF").U32(0).Raw("WAVE"); }

    // Byte by byte: g++ 12 warns falsely about small vector inserts in optimised builds.
    WaveBytes& Raw(std::string_view text)
    {
        for (const char c : text) m_bytes.push_back(uint8_t(c));
        return *this;
    }
    WaveBytes& Raw(const std::vector<uint8_t>& bytes)
    {
        m_bytes.reserve(m_bytes.size() + bytes.size());
        for (const uint8_t b : bytes) m_bytes.push_back(b);
        return *this;
    }
    WaveBytes& U16(uint16_t v)
    {
        for (int i = 0; i < 2; ++i) m_bytes.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    WaveBytes& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }

    // A chunk with its contents and, for an odd size, the pad byte.
    WaveBytes& Chunk(std::string_view id, const std::vector<uint8_t>& contents, bool pad = true)
    {
        Raw(id).U32(uint32_t(contents.size())).Raw(contents);
        if (pad && contents.size() % 2 != 0) m_bytes.push_back(0);
        return *this;
    }

    // A "fmt " chunk; for a tag other than 1 the extra size and bytes follow.
    WaveBytes& Format(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1,
                      const std::vector<uint8_t>& extra = {})
    {
        const uint16_t align = uint16_t(channels * ((bits + 7) / 8));
        return FormatFields(tag, channels, rate, rate * align, align, bits, extra);
    }
    WaveBytes& FormatFields(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg,
                            uint16_t align, uint16_t bits, const std::vector<uint8_t>& extra = {})
    {
        WaveBytes f(Empty{});
        f.U16(tag).U16(channels).U32(rate).U32(avg).U16(align).U16(bits);
        if (tag != 1) f.U16(uint16_t(extra.size())).Raw(extra);
        return Chunk("fmt ", f.m_bytes);
    }

    // The RIFF size as a correct writer leaves it.
    std::vector<uint8_t> Bytes() const { return WithRiffSize(uint32_t(m_bytes.size() - 8)); }
    std::vector<uint8_t> WithRiffSize(uint32_t size) const
    {
        std::vector<uint8_t> bytes = m_bytes;
        for (int i = 0; i < 4; ++i) bytes[size_t(4 + i)] = uint8_t(size >> (8 * i));
        return bytes;
    }

private:
    struct Empty {};
    explicit WaveBytes(Empty) {}
    std::vector<uint8_t> m_bytes;
};

// Sample bytes that differ from their neighbours, so a read from the wrong place shows.
inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed = 1)
{
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = uint8_t(x >> 24);
    }
    return bytes;
}

// A plain PCM wave file.
inline std::vector<uint8_t> PcmWave(uint16_t channels, uint32_t rate, uint16_t bits,
                                    const std::vector<uint8_t>& data)
{
    return WaveBytes().Format(channels, rate, bits).Chunk("data", data).Bytes();
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A fresh folder under /tmp, removed with the object; `folder / "name"` is a path in it.
class TempFolder {
public:
    TempFolder()
    {
        char name[] = "/tmp/flr-wave-XXXXXX";
        if (mkdtemp(name)) m_path = name;
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace flr::test
