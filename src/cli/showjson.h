#pragma once

#include <nlohmann/json.hpp>

namespace flr {

class CFLRDoc;

// The show as flr-cli dump prints it: setup, the distinct items in ignition-point order of
// first use, every entry in schedule order and the ignition-point order as schedule indices.
// Texts are decoded from Windows-1252; an absent text is null.
nlohmann::ordered_json ShowToJson(const CFLRDoc& doc);

}  // namespace flr
