#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/fireworksetup.h"

namespace flr {

// What the "Firework Setup" dialog shows, as plain values: the rules that turn a setup into
// the dialog's fields and back, without widgets. Texts are bytes (Windows-1252).
struct SetupForm {
    static constexpr int kLengthChars = 4;
    static constexpr int kPropDiscountChars = 3;
    static constexpr size_t kMaxText = 255;

    // One price modifier: its check box and its edit.
    struct Price {
        bool used = false;
        std::string text;
    };

    int32_t year = 0;  // 0: no date, the picker keeps today
    int32_t month = 0;
    int32_t day = 0;
    std::string lengthText;
    bool minutes = true;  // the unit list: "Minutes" or "Seconds"
    bool fps30 = false;
    bool usePrefire = true;
    Price priceLimit;
    Price fixedPrice;
    Price propDiscount;
    Price fixedDiscount;
    std::string customer;  // the customer list's text: the selected entry or ""
    std::string contact1Name;
    std::string contact1Tel;
    std::string contact2Name;
    std::string contact2Tel;

    // The fields for `setup`. The unit always opens on "Minutes".
    static SetupForm FromSetup(const CFireworkSetup& setup);
    // Writes the fields into `setup`: date, length and frame rate, prefire, prices, the chosen
    // customer name and the contacts. The customer name as stored is the caller's (it needs
    // the customer table). Never fails: an unreadable number reads as 0.
    void ApplyTo(CFireworkSetup& setup) const;
};

// The estimate as the dialog shows it: frames ÷ rate, × 0.8, then ÷ 60 for minutes, each step
// truncated. A negative estimate shows as 0; a rate of 0 or less counts as 25.
int64_t LengthToShow(int32_t estimatedLength, int32_t frameRate, bool minutes);
// The estimate as stored: rate × n (× 60 for minutes) × 1.25, truncated toward zero and kept
// within 32 bits.
int32_t LengthToStore(int64_t n, int32_t frameRate, bool minutes);

// The integer value of the first `maxChars` characters of `text` as the C library reads it:
// leading blanks and a sign, then decimal digits up to the first other character; 0 without
// digits; a value beyond 32 bits stops at the nearest limit.
int32_t LeadingInteger(std::string_view text, size_t maxChars = 30);

// Inserts `name` before the first entry that compares greater byte by byte, or at the end:
// equal names stand in reading order. Returns the index it went to.
size_t InsertCustomerSorted(std::vector<std::string>& list, std::string name);

// The entry to select for the setup's chosen customer: the entry equal to `chosen`; else the
// first that begins with "No Customer", ignoring case; else -1.
int CustomerIndex(const std::vector<std::string>& list, std::string_view chosen);

}  // namespace flr
