#include "database/itemfilter.h"

#include <climits>

#include "model/effect.h"

namespace flr {

std::string LowerCp1252(std::string_view text)
{
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            ch = static_cast<char>(c + 0x20);
        } else if (c == 0x8A || c == 0x8C || c == 0x8E) {  // Š Œ Ž
            ch = static_cast<char>(c + 0x10);
        } else if (c == 0x9F) {  // Ÿ
            ch = static_cast<char>(0xFF);
        }
    }
    return out;
}

void ItemFilter::SetName(std::string_view text) { name = LowerCp1252(text); }

void ItemFilter::SetDescription(std::string_view text) { description = LowerCp1252(text); }

void ItemFilter::SetSizeText(std::string_view text)
{
    text = text.substr(0, 19);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) value = INT32_MAX + 1LL;  // keeps the sum inside long long
    }
    if (negative) value = -value;
    size = static_cast<int32_t>(value < INT32_MIN   ? INT32_MIN
                                : value > INT32_MAX ? INT32_MAX
                                                    : value);
}

bool ItemFilter::IsFilteredOut(const CEffect& item) const
{
    if (!filtering) return false;
    const int32_t c = item.GetSize();
    if (c < size && (comparison == EqualTo || comparison == GreaterThan)) return true;
    if (c == size && (comparison == LessThan || comparison == GreaterThan)) return true;
    if (c > size && (comparison == LessThan || comparison == EqualTo)) return true;
    if (!name.empty() && LowerCp1252(item.GetName()).find(name) == std::string::npos) return true;
    if (!description.empty() &&
        LowerCp1252(item.GetDescription()).find(description) == std::string::npos) {
        return true;
    }
    return false;
}

}  // namespace flr
