#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace flr::test {

// Assembles show file bytes by hand, field by field, for layout and damaged-file tests. It
// knows the layout only as the format describes it, independently of the writer.
class FileBytes {
public:
    FileBytes& U16(uint16_t v)
    {
        m_bytes += static_cast<char>(v & 0xFF);
        m_bytes += static_cast<char>(v >> 8);
        return *this;
    }
    FileBytes& U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v & 0xFFFF));
        return U16(static_cast<uint16_t>(v >> 16));
    }
    FileBytes& Raw(std::string_view bytes)
    {
        m_bytes.append(bytes);
        return *this;
    }
    // The 28-byte header.
    FileBytes& Header()
    {
        U32(0);
        Raw(std::string_view("FLRFIREWORK\0", 12));
        Raw(std::string_view("\x00\x01\x00\x06", 4));
        return U32(0).U32(0);
    }
    FileBytes& Field(uint16_t id, std::string_view data)
    {
        U16(id).U16(static_cast<uint16_t>(data.size()));
        return Raw(data);
    }
    FileBytes& Field16(uint16_t id, uint16_t v) { return U16(id).U16(2).U16(v); }
    FileBytes& Field32(uint16_t id, uint32_t v) { return U16(id).U16(4).U32(v); }
    FileBytes& FieldF64(uint16_t id, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        return U16(id)
            .U16(8)
            .U32(static_cast<uint32_t>(bits))
            .U32(static_cast<uint32_t>(bits >> 32));
    }
    FileBytes& End() { return U32(0); }

    // The four setup chunks of a show with the default setup.
    FileBytes& DefaultSetupChunks()
    {
        U32(0x100).Field32(0x1110, 5625).Field16(0x1111, 25).Field16(0x1112, 0).End();
        U32(0x200).Field(0x1210, "").Field(0x1211, "");
        Field(0x1212, std::string_view("   0-00-00\0", 11));
        Field(0x1213, "").Field(0x1214, "").Field(0x1215, "").Field(0x1216, "").End();
        U32(0x300).Field32(0x1310, 0xFFFFFFFF).Field32(0x1313, 0xFFFFFFFF);
        Field32(0x1311, 0xFFFFFFFF).Field32(0x1312, 0xFFFFFFFF).End();
        return U32(0x400).Field(0x1410, "").End();
    }

    // One ignition record as the writer lays it out. `primary` is the 0x1510 value.
    FileBytes& Entry(uint32_t index, bool numbered, int32_t number, std::string_view artNo,
                     int32_t size, std::string_view note, bool ignorePrefire, uint32_t inTime,
                     uint32_t time, char letter, uint8_t address, uint8_t position)
    {
        Field32(0x1522, index).Field16(0x1521, numbered ? 1 : 0);
        Field32(0x1510, static_cast<uint32_t>(number)).Field(0x1511, artNo);
        if (artNo.empty()) {
            Field(0x1512, "");
        } else {
            Field32(0x1512, static_cast<uint32_t>(size));
        }
        Field(0x1520, note).Field16(0x1523, ignorePrefire ? 1 : 0);
        Field32(0x1513, inTime).Field32(0x1514, time);
        U16(0x1515).U16(2);
        m_bytes += letter;
        m_bytes += static_cast<char>(address);
        Field16(0x1516, position).Field(0x1517, "").Field(0x1519, "").Field(0x1518, "");
        return End();
    }

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

}  // namespace flr::test
