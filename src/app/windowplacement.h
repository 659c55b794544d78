#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace flr {

// The main window's placement as the 44-byte record kept under "MainFrame/PLACEMENT": length,
// flags, show state, minimised position, maximised position and the normal rectangle, each a
// little-endian 32-bit integer.
struct WindowPlacement {
    static constexpr size_t kSize = 44;
    static constexpr int32_t kShowNormal = 1;
    static constexpr int32_t kShowMinimized = 2;
    static constexpr int32_t kShowMaximized = 3;

    int32_t flags = 0;
    int32_t showState = kShowNormal;
    int32_t minX = -1, minY = -1;
    int32_t maxX = -1, maxY = -1;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    std::vector<unsigned char> Encode() const;
    // nullopt for a record that is too short, announces another length or holds an empty or
    // absurd rectangle: the caller then keeps the default placement.
    static std::optional<WindowPlacement> Decode(const std::vector<unsigned char>& bytes);
};

}  // namespace flr
