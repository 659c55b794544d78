#include "editing/setupform.h"

#include <gtest/gtest.h>

namespace flr {
namespace {

TEST(SetupFormTest, LengthArithmeticAndLeadingIntegers)
{
    // The default setup shows 3 minutes; 3 minutes at 25 fps store 5625 frames.
    EXPECT_EQ(LengthToShow(5625, 25, true), 3);
    EXPECT_EQ(LengthToStore(3, 25, true), 5625);
    // 200 seconds at 30 fps store 7500, which opens as 3 minutes and confirms as 6750.
    EXPECT_EQ(LengthToStore(200, 30, false), 7500);
    EXPECT_EQ(LengthToShow(7500, 30, false), 200);
    EXPECT_EQ(LengthToShow(7500, 30, true), 3);
    EXPECT_EQ(LengthToStore(3, 30, true), 6750);
    // Each step truncates: 99 frames at 25 fps are 3 s, 2.4 s shown as 2.
    EXPECT_EQ(LengthToShow(99, 25, false), 2);
    EXPECT_EQ(LengthToStore(-1, 25, false), -31);
    // Damaged values neither divide by zero nor show a wrapped-around estimate.
    EXPECT_EQ(LengthToShow(-7500, 30, false), 0);
    EXPECT_EQ(LengthToShow(7500, 0, false), 240);
    EXPECT_EQ(LengthToStore(int64_t(1) << 40, 30, true), INT32_MAX);

    // A leading integer reads as the C library reads it.
    EXPECT_EQ(LeadingInteger("  -42abc"), -42);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger("1234", 3), 123);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), INT32_MIN);
}

TEST(SetupFormTest, FieldsRoundTripThroughTheSetup)
{
    CFireworkSetup setup;
    setup.SetDate(2026, 12, 31);
    setup.SetFrameRate(30);
    setup.SetEstimatedLength(6750);
    setup.SetPrefireOff(true);
    setup.SetFixedPrice(250);
    setup.SetPropDiscount(15);
    setup.SetCustomerName(std::string("Harbourside Events Ltd"));
    setup.SetContact1Tel(std::string("+44 1632"));

    SetupForm form = SetupForm::FromSetup(setup);
    EXPECT_TRUE(form.fps30);
    EXPECT_FALSE(form.usePrefire);
    EXPECT_TRUE(form.fixedPrice.used);
    EXPECT_EQ(form.fixedPrice.text, "250");

    // An empty checked price gives 0; an unchecked one "not used" whatever it says; the
    // proportional discount reads three characters.
    form.priceLimit = {true, ""};
    form.fixedPrice = {false, "999"};
    form.propDiscount = {true, "1234"};
    form.fixedDiscount = {true, "12x"};
    form.fps30 = false;
    form.customer = std::string(300, 'c');
    CFireworkSetup out;
    form.ApplyTo(out);
    int32_t y, m, d;
    out.GetDate(y, m, d);
    EXPECT_EQ((std::vector<int32_t>{y, m, d}), (std::vector<int32_t>{2026, 12, 31}));
    EXPECT_EQ(out.GetEstimatedLength(), 5625);
    EXPECT_EQ(out.GetPriceLimit(), 0);
    EXPECT_EQ(out.GetFixedPrice(), CFireworkSetup::kNotUsed);
    EXPECT_EQ(out.GetPropDiscount(), 123);
    EXPECT_EQ(out.GetFixedDiscount(), 12);
    EXPECT_EQ(out.GetCustomerName()->size(), 255u);
    EXPECT_EQ(out.GetContact1Tel(), std::optional<std::string>("+44 1632"));
    EXPECT_EQ(out.GetContact2Name(), std::optional<std::string>(""));
}

TEST(SetupFormTest, CustomerListSortsByBytesAndFallsBackToNoCustomer)
{
    std::vector<std::string> list;
    for (const char* name : {"beta", "Alpha", "No customer yet", "\xC4rger", "Alpha", "Zulu"})
        InsertCustomerSorted(list, name);
    // Upper case before lower case, bytes above 0x7F last; equal names in reading order.
    EXPECT_EQ(list, (std::vector<std::string>{"Alpha", "Alpha", "No customer yet", "Zulu", "beta",
                                              "\xC4rger"}));
    EXPECT_EQ(CustomerIndex(list, "Zulu"), 3);
    EXPECT_EQ(CustomerIndex(list, "zulu"), 2);  // absent: "No Customer" by leading text
    EXPECT_EQ(CustomerIndex(list, ""), 2);
    list.erase(list.begin() + 2);
    EXPECT_EQ(CustomerIndex(list, "Gone"), -1);
}

}  // namespace
}  // namespace flr
