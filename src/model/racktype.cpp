#include "model/racktype.h"

#include <cstdio>

namespace flr {

int RackPositionCount(std::string_view config)
{
    size_t i = 0;
    // The blanks "%d" passes over.
    while (i < config.size() && (config[i] == ' ' || (config[i] >= '\t' && config[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < config.size() && (config[i] == '+' || config[i] == '-')) negative = config[i++] == '-';
    const size_t digitsFrom = i;
    long value = 0;
    for (; i < config.size() && config[i] >= '0' && config[i] <= '9'; ++i) {
        value = value * 10 + (config[i] - '0');
        if (value > kMaxRackPositions) return 0;  // stops before the value could overflow
    }
    if (i == digitsFrom || negative) return 0;
    return static_cast<int>(value);
}

CRackType MakeRackType(std::string name, std::string_view config)
{
    CRackType type;
    type.name = std::move(name);
    type.positions.assign(static_cast<size_t>(RackPositionCount(config)), 0);
    return type;
}

std::string RackNodeText(int rackNumber, const CRackType& type)
{
    char number[16];
    std::snprintf(number, sizeof number, "%03d", rackNumber);
    return std::string(number) + " - " + type.name;
}

std::string RackPositionText(int16_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%03d empty", value);
    return text;
}

}  // namespace flr
