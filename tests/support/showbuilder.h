#pragma once

#include <string>
#include <vector>

#include "model/effect.h"
#include "model/flrdoc.h"
#include "model/ignition.h"

namespace flr::test {

CEffectRef MakeItem(const std::string& articleNumber, double prefire = 0.0);

// Appends a primary entry at the end of the schedule order (callers add in Time order),
// sorts it into the ignition-point order and gives it its delay. `address` is "A01" style or
// empty.
CIgnition* AppendEntry(CFLRDoc& doc, const std::string& time, const std::string& address,
                       CEffectRef item = {});

// Creates a chained effect `delay` seconds (as a delay text) after the last member of
// `primary`'s chain, links it into both orders and the chain, and times it.
CIgnition* AppendChained(CFLRDoc& doc, CIgnition* primary, const std::string& delay,
                         CEffectRef item = {});

std::vector<CIgnition*> FiringOrder(const CFLRDoc& doc);
std::vector<CIgnition*> ScheduleOrder(const CFLRDoc& doc);

// "A01 A02 B01" and "0 1 -1" of the ignition-point order.
std::string FiringAddresses(const CFLRDoc& doc);
std::string FiringNumbers(const CFLRDoc& doc);

// Renumbers from the first entry and checks addresses, as every editing caller does.
void Renumber(CFLRDoc& doc);

// Checks the four invariants of a show with GoogleTest assertions: both orders hold the same
// entries with consistent links, both are sorted, the numbers are those of a fresh numbering,
// chains are sorted and made of chained entries, and conflict marks are right.
void ExpectInvariants(const CFLRDoc& doc);

}  // namespace flr::test
