#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace flr {

// An optional text of the model: std::nullopt is "none", which differs from "".
using OptText = std::optional<std::string>;

// The setup of one show, owned by its document. Texts are bytes (Windows-1252); a setter
// given none stores none.
class CFireworkSetup {
public:
    static constexpr int32_t kNotUsed = -1;
    static constexpr int32_t kDefaultFrameRate = 25;
    // A three-minute estimate at 25 frames per second, with the quarter the setup adds.
    static constexpr int32_t kDefaultEstimatedLength = 5625;

    int32_t GetFrameRate() const { return m_frameRate; }
    void SetFrameRate(int32_t value) { m_frameRate = value; }

    // In frames at the show's frame rate: the user's estimate plus a quarter.
    int32_t GetEstimatedLength() const { return m_estimatedLength; }
    void SetEstimatedLength(int32_t value) { m_estimatedLength = value; }

    // "Minutes" or "Seconds"; reads as "Minutes" when absent.
    std::string GetLengthUnit() const { return m_lengthUnit.value_or("Minutes"); }
    const OptText& GetLengthUnitText() const { return m_lengthUnit; }
    void SetLengthUnit(const OptText& text) { m_lengthUnit = Cut(text); }

    // 0, 0, 0 is "no date".
    void GetDate(int32_t& year, int32_t& month, int32_t& day) const
    {
        year = m_year;
        month = m_month;
        day = m_day;
    }
    void SetDate(int32_t year, int32_t month, int32_t day)
    {
        m_year = year;
        m_month = month;
        m_day = day;
    }

    // Whole currency units, or kNotUsed.
    int32_t GetPriceLimit() const { return m_priceLimit; }
    void SetPriceLimit(int32_t value) { m_priceLimit = value; }
    int32_t GetFixedPrice() const { return m_fixedPrice; }
    void SetFixedPrice(int32_t value) { m_fixedPrice = value; }
    int32_t GetFixedDiscount() const { return m_fixedDiscount; }
    void SetFixedDiscount(int32_t value) { m_fixedDiscount = value; }
    // Percent (0 to 999), or kNotUsed.
    int32_t GetPropDiscount() const { return m_propDiscount; }
    void SetPropDiscount(int32_t value) { m_propDiscount = value; }

    const OptText& GetCustomerName() const { return m_customerName; }
    void SetCustomerName(const OptText& text) { m_customerName = Cut(text); }
    // The name as the customer table spells it, when a customer of exactly that name exists.
    const OptText& GetCustomerNameStored() const { return m_customerNameStored; }
    void SetCustomerNameStored(const OptText& text) { m_customerNameStored = Cut(text); }

    const OptText& GetContact1Name() const { return m_contact1Name; }
    void SetContact1Name(const OptText& text) { m_contact1Name = Cut(text); }
    const OptText& GetContact1Tel() const { return m_contact1Tel; }
    void SetContact1Tel(const OptText& text) { m_contact1Tel = Cut(text); }
    const OptText& GetContact2Name() const { return m_contact2Name; }
    void SetContact2Name(const OptText& text) { m_contact2Name = Cut(text); }
    const OptText& GetContact2Tel() const { return m_contact2Tel; }
    void SetContact2Tel(const OptText& text) { m_contact2Tel = Cut(text); }

    // The WAV file laid under the show.
    const OptText& GetMusicFile() const { return m_musicFile; }
    void SetMusicFile(const OptText& text) { m_musicFile = Cut(text); }

    bool operator==(const CFireworkSetup& other) const = default;

    // True: items' prefire is not used when timing.
    bool GetPrefireOff() const { return m_prefireOff; }
    void SetPrefireOff(bool value) { m_prefireOff = value; }

private:
    static OptText Cut(const OptText& text);

    int32_t m_frameRate = kDefaultFrameRate;
    int32_t m_estimatedLength = kDefaultEstimatedLength;
    OptText m_lengthUnit = std::string("Minutes");
    int32_t m_year = 0;
    int32_t m_month = 0;
    int32_t m_day = 0;
    int32_t m_priceLimit = kNotUsed;
    int32_t m_fixedPrice = kNotUsed;
    int32_t m_fixedDiscount = kNotUsed;
    int32_t m_propDiscount = kNotUsed;
    OptText m_customerName;
    OptText m_customerNameStored;
    OptText m_contact1Name;
    OptText m_contact1Tel;
    OptText m_contact2Name;
    OptText m_contact2Tel;
    OptText m_musicFile;
    bool m_prefireOff = false;
};

}  // namespace flr
