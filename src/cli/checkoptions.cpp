#include "cli/checkoptions.h"

#include <cstdio>

#include "base/textcodec.h"
#include "model/flrdoc.h"
#include "model/showcheck.h"
#include "music/trackloader.h"

namespace flr {

bool ParseBankOption(const QString& text, const char* usage, std::optional<int>& bank)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value >= kHardwareBanks) {
        std::fprintf(stderr, "flr-cli: --bank wants a bank number from 0 to %d, not '%s'\n",
                     kHardwareBanks - 1, qPrintable(text));
        std::fputs(usage, stderr);
        return false;
    }
    bank = value;
    return true;
}

std::optional<uint64_t> MusicLengthMs(const CFLRDoc& doc)
{
    const CFireworkSetup* setup = doc.GetSetup();
    if (!setup || !setup->GetMusicFile() || setup->GetMusicFile()->empty()) return std::nullopt;
    const std::optional<uint32_t> length = ReadTrackLength(Cp1252ToUtf8(*setup->GetMusicFile()));
    if (!length) return std::nullopt;
    return *length;
}

}  // namespace flr
