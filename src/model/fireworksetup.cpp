#include "model/fireworksetup.h"

#include "model/effect.h"

namespace flr {

OptText CFireworkSetup::Cut(const OptText& text)
{
    if (!text) return std::nullopt;
    return std::string(UpToZero(*text));
}

}  // namespace flr
