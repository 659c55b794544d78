#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace flr {

class CFLRDoc;

// Reads --bank's value: a bank of the hardware, 0 to 9. False after a message and `usage` on
// stderr.
bool ParseBankOption(const QString& text, const char* usage, std::optional<int>& bank);

// The length of the show's music track, when it names one that reads as a wave file.
std::optional<uint64_t> MusicLengthMs(const CFLRDoc& doc);

}  // namespace flr
