#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

// A rack (mortar rack) type of the product database, as the rack type chooser builds it from
// a row of tbMortarTypes: its name (Windows-1252 bytes) and one value per position, all 0 when
// built from the database.
struct CRackType {
    std::string name;
    std::vector<int16_t> positions;
    bool operator==(const CRackType&) const = default;
};

// The most positions a rack type may have; a Config that claims more is taken as unreadable.
inline constexpr int kMaxRackPositions = 1000;

// The number of positions in a Config text ("%d (%d:%d": the first integer, after optional
// blanks and sign). 0 when the text does not begin with a number, or the number is negative
// or above kMaxRackPositions: such a type is listed without positions.
int RackPositionCount(std::string_view config);

// A rack type named `name` with the positions its Config gives, each 0.
CRackType MakeRackType(std::string name, std::string_view config);

// The rack tree's texts: the rack's node "%03d - %s" (rack number, type name) and a position's
// node "%03d %s" (position value, "empty"). Texts are Windows-1252 bytes like the name.
std::string RackNodeText(int rackNumber, const CRackType& type);
std::string RackPositionText(int16_t value);

}  // namespace flr
