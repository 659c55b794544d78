#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/timecode.h"

namespace flr {

class CFLRDoc;
class CFireworkSetup;
class CIgnition;

// What the show check can find. Errors refuse a download; warnings let the user go on.
enum class FindingKind {
    // Errors
    DamagedFile,
    PrefireDoesNotFit,
    InvalidInTime,
    AddressConflict,
    NoAddress,
    BankOutOfRange,
    AddressNumberOutOfRange,
    TooManyPoints,
    NumberTooLarge,
    // Warnings
    NoIgnitionPoints,
    AfterMusicEnd,
    AfterShowLength,
    NoItem,
    UnknownItem,
    ChainOutOfOrder,
};

enum class FindingSeverity { Error, Warning };

FindingSeverity SeverityOf(FindingKind kind);
// "prefire", "conflict", ...: the kind's name in flr-cli's output.
const char* FindingKindName(FindingKind kind);

struct ShowFinding {
    FindingKind kind;
    FindingSeverity severity;
    const CIgnition* entry = nullptr;  // nullptr for a finding about the whole show
    int index = -1;                    // the entry's place in the schedule order, from 0
    int32_t number = -1;               // its ignition point number, or -1
    std::string address;               // "A05", empty when none
    std::string time;                  // its Time, "HH:MM:SS:FF", empty for the whole show
    std::string message;               // for the designer; Windows-1252 like every model text
};

struct ShowCheckOptions {
    // The bank the show goes to, 0 to 9; without one, only a show no bank can hold is refused.
    std::optional<int> bank;
    // The music track's length in milliseconds, when the show has a readable track.
    std::optional<uint64_t> musicLengthMs;
    // Whether the product database holds an article number; unset: every item counts as known.
    std::function<bool(const std::string& articleNumber)> knowsItem;
};

struct ShowCheckResult {
    // Errors and warnings, show-wide first, then in schedule order; at most 500 of a kind, then
    // one line (without entry) saying how many more there are.
    std::vector<ShowFinding> findings;
    int errors = 0;  // every error and warning, listed or not
    int warnings = 0;
    bool HasErrors() const { return errors > 0; }
};

// The hardware's memory: ten banks of a hundred points, record numbers of 16 bits.
constexpr int kHardwareBanks = 10;
constexpr uint32_t kPointsPerBank = 100;
constexpr uint32_t kHardwarePoints = 1000;
constexpr uint32_t kLargestRecordNumber = 0xFFFF;

// Whether the download sends a record for this entry: numbered and not a chained effect.
bool HasFiringRecord(const CIgnition& entry);
// The records a download sends for the ignition-point order from `firstFiring`: the highest
// number plus one (the closing record aside).
uint32_t CountRecords(const CIgnition* firstFiring);
// The banks whose offset leaves room for `records` points: 0 upwards, none past 1,000 points.
std::vector<int> BanksFor(uint32_t records);

// Why the download cannot send the records from `firstFiring` faithfully into the bank at
// `bankOffset`: a record number past the hardware's points or 16 bits, an address outside A01
// to Y32, an In Time that is not one. nullopt when every record can go.
std::optional<std::string> FirstUnsendableRecord(const CIgnition* firstFiring, uint32_t bankOffset);

// Judges exactly what a download would send: the stored In Times, numbers and addresses
// (the In Times the program derived when it opened the show). One pass plus the conflict
// table; a 100,000-entry show takes a few milliseconds.
ShowCheckResult CheckShow(const CFLRDoc& doc, const ShowCheckOptions& options);
// The same for the entries reachable from `any` (nullptr: an empty show) under `setup`.
ShowCheckResult CheckEntries(const CIgnition* any, const CFireworkSetup& setup, bool damaged,
                             const ShowCheckOptions& options);

// One line per finding: "ERROR 012 A05 00:01:02:03 prefire 2.20 s does not fit before Time".
std::string FormatFinding(const ShowFinding& finding);
std::string FindingSummary(const ShowCheckResult& result);

}  // namespace flr
