#include "editing/setupform.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace flr {

namespace {

SetupForm::Price PriceField(int32_t value)
{
    if (value == CFireworkSetup::kNotUsed) return {};
    return {true, std::to_string(value)};
}

int32_t PriceValue(const SetupForm::Price& price, size_t maxChars = 30)
{
    return price.used ? LeadingInteger(price.text, maxChars) : CFireworkSetup::kNotUsed;
}

std::string Cut(const std::string& text) { return text.substr(0, SetupForm::kMaxText); }

int32_t Clamp(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

}  // namespace

int64_t LengthToShow(int32_t estimatedLength, int32_t frameRate, bool minutes)
{
    const uint32_t rate = frameRate > 0 ? uint32_t(frameRate) : 25u;
    const uint32_t frames = estimatedLength > 0 ? uint32_t(estimatedLength) : 0u;
    auto seconds = int64_t(double(frames / rate) * 0.8);
    return minutes ? seconds / 60 : seconds;
}

int32_t LengthToStore(int64_t n, int32_t frameRate, bool minutes)
{
    if (minutes) n *= 60;
    const double frames = double(frameRate) * double(n) * 1.25;
    if (frames >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (frames <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(frames);  // truncates toward zero
}

int32_t LeadingInteger(std::string_view text, size_t maxChars)
{
    text = text.substr(0, maxChars);
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(1) << 40);
    }
    return Clamp(negative ? -value : value);
}

size_t InsertCustomerSorted(std::vector<std::string>& list, std::string name)
{
    // std::string compares as unsigned bytes.
    const auto at = std::upper_bound(list.begin(), list.end(), name);
    const size_t index = size_t(at - list.begin());
    list.insert(at, std::move(name));
    return index;
}

int CustomerIndex(const std::vector<std::string>& list, std::string_view chosen)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == chosen) return int(i);
    }
    constexpr std::string_view kNoCustomer = "No Customer";
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& entry = list[i];
        if (entry.size() < kNoCustomer.size()) continue;
        if (std::equal(kNoCustomer.begin(), kNoCustomer.end(), entry.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return int(i);
    }
    return -1;
}

SetupForm SetupForm::FromSetup(const CFireworkSetup& setup)
{
    SetupForm f;
    setup.GetDate(f.year, f.month, f.day);
    f.minutes = setup.GetLengthUnit() != "Seconds";
    f.lengthText =
        std::to_string(LengthToShow(setup.GetEstimatedLength(), setup.GetFrameRate(), f.minutes));
    f.fps30 = setup.GetFrameRate() != 25;
    f.usePrefire = !setup.GetPrefireOff();
    f.priceLimit = PriceField(setup.GetPriceLimit());
    f.fixedPrice = PriceField(setup.GetFixedPrice());
    f.propDiscount = PriceField(setup.GetPropDiscount());
    f.fixedDiscount = PriceField(setup.GetFixedDiscount());
    f.customer = setup.GetCustomerName().value_or("");
    f.contact1Name = setup.GetContact1Name().value_or("");
    f.contact1Tel = setup.GetContact1Tel().value_or("");
    f.contact2Name = setup.GetContact2Name().value_or("");
    f.contact2Tel = setup.GetContact2Tel().value_or("");
    return f;
}

void SetupForm::ApplyTo(CFireworkSetup& setup) const
{
    setup.SetFixedDiscount(PriceValue(fixedDiscount));
    setup.SetFixedPrice(PriceValue(fixedPrice));
    setup.SetDate(year, month, day);
    const int32_t rate = fps30 ? 30 : 25;
    setup.SetEstimatedLength(LengthToStore(LeadingInteger(lengthText), rate, minutes));
    setup.SetFrameRate(rate);
    setup.SetPrefireOff(!usePrefire);
    setup.SetPriceLimit(PriceValue(priceLimit));
    setup.SetPropDiscount(PriceValue(propDiscount, kPropDiscountChars));
    setup.SetCustomerName(Cut(customer));
    setup.SetContact1Name(Cut(contact1Name));
    setup.SetContact1Tel(Cut(contact1Tel));
    setup.SetContact2Name(Cut(contact2Name));
    setup.SetContact2Tel(Cut(contact2Tel));
}

}  // namespace flr
