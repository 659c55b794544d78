#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flr {

class CEffect;

// The item filter of the database bar's Fireworks page.
struct ItemFilter {
    enum Comparison : int32_t { None = 0, LessThan = 20, EqualTo = 22, GreaterThan = 24 };

    bool filtering = false;
    std::string name;         // lower case
    std::string description;  // lower case
    int32_t size = -1;
    int32_t comparison = None;  // stays None until the user picks one

    void SetName(std::string_view text);
    void SetDescription(std::string_view text);
    // The size edit's text: its leading integer (of at most 19 characters read), 0 when it
    // has none; saturated rather than overflowing.
    void SetSizeText(std::string_view text);

    // True when the item is hidden: by size against the comparison, then by a name or
    // description that does not contain the (lower-cased) filter text. Never when filtering is
    // off.
    bool IsFilteredOut(const CEffect& item) const;
};

// Windows-1252 text in lower case, accented capitals included ("É" -> "é").
std::string LowerCp1252(std::string_view text);

}  // namespace flr
