#pragma once

#include <string>
#include <string_view>

namespace flr {

// The model keeps texts as the bytes that show files and the product database hold:
// Windows-1252. These convert at the boundaries (UI, JSON, terminal).

// Every byte has a character: the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the control characters of the same number, so the conversion round-trips.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters Windows-1252 cannot hold, and malformed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace flr
