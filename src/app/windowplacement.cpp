#include "app/windowplacement.h"

namespace flr {

namespace {

void Put(std::vector<unsigned char>& out, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

int32_t Get(const std::vector<unsigned char>& in, size_t at)
{
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + i]) << (8 * i);
    return static_cast<int32_t>(u);
}

}  // namespace

std::vector<unsigned char> WindowPlacement::Encode() const
{
    std::vector<unsigned char> out;
    out.reserve(kSize);
    for (int32_t v :
         {int32_t(kSize), flags, showState, minX, minY, maxX, maxY, left, top, right, bottom}) {
        Put(out, v);
    }
    return out;
}

std::optional<WindowPlacement> WindowPlacement::Decode(const std::vector<unsigned char>& bytes)
{
    if (bytes.size() < kSize || Get(bytes, 0) != int32_t(kSize)) return std::nullopt;
    WindowPlacement p;
    p.flags = Get(bytes, 4);
    p.showState = Get(bytes, 8);
    p.minX = Get(bytes, 12);
    p.minY = Get(bytes, 16);
    p.maxX = Get(bytes, 20);
    p.maxY = Get(bytes, 24);
    p.left = Get(bytes, 28);
    p.top = Get(bytes, 32);
    p.right = Get(bytes, 36);
    p.bottom = Get(bytes, 40);
    constexpr int32_t kLimit = 100000;  // no screen is this large
    const bool sane = p.right > p.left && p.bottom > p.top && p.left > -kLimit && p.top > -kLimit &&
                      p.right < kLimit && p.bottom < kLimit;
    if (!sane) return std::nullopt;
    return p;
}

}  // namespace flr
