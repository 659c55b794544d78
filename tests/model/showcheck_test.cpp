#include "model/showcheck.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::MakeItem;

struct Case {
    const char* name;
    std::vector<std::tuple<int, const char*, double>> entries;  // second, address, prefire
    std::function<void(CFLRDoc&, ShowCheckOptions&)> more;      // after the entries
    std::vector<FindingKind> expected;  // entry findings and show-wide ones, in result order
};

std::vector<FindingKind> Kinds(const ShowCheckResult& r)
{
    std::vector<FindingKind> kinds;
    for (const ShowFinding& f : r.findings) kinds.push_back(f.kind);
    return kinds;
}

CEffectRef Item(double prefire = 0.0) { return MakeItem("100", prefire); }

std::string At(int second)
{
    return FormatTimeCode(CTimeCode::FromParts(0, second / 60, second % 60, 0));
}

ShowCheckOptions InBank(int bank)
{
    ShowCheckOptions options;
    options.bank = bank;
    return options;
}

// Each finding next to the near miss that must not raise it.
TEST(ShowCheck, EachKindAndItsNearMiss)
{
    const std::vector<Case> cases = {
        {"prefire that does not fit", {{1, "A01", 2.2}}, {}, {FindingKind::PrefireDoesNotFit}},
        {"prefire that just fits", {{1, "A01", 1.0}}, {}, {}},
        {"one address at two In Times",
         {{1, "A05", 0}, {2, "A05", 0}},
         {},
         {FindingKind::AddressConflict}},
        {"one address twice at one In Time shares a number",
         {{1, "A05", 0}, {1, "A05", 0}},
         {},
         {}},
        {"numbered entry without address", {{1, "", 0}}, {}, {FindingKind::NoAddress}},
        {"chained effect without address is not sent",
         {{1, "B02", 0}},
         [](CFLRDoc& d, ShowCheckOptions&) { AppendChained(d, d.GetIgnitions(), "1.00", Item()); },
         {}},
        {"bank Z and address 33",
         {{1, "Z01", 0}, {2, "A33", 0}},
         {},
         {FindingKind::BankOutOfRange, FindingKind::AddressNumberOutOfRange}},
        {"Y32 is the last address", {{1, "Y32", 0}}, {}, {}},
        {"In Time that is no time",
         {{1, "A01", 0}},
         [](CFLRDoc& d, ShowCheckOptions&) {
             d.GetIgnitions()->SetInTimeRaw(CTimeCode::FromParts(0, 0, 1, 25));
         },
         {FindingKind::InvalidInTime}},
        {"cue past the music and the estimated length",
         {{2, "A01", 0}, {3, "A02", 0}, {4, "A03", 0}},
         [](CFLRDoc& d, ShowCheckOptions& o) {
             d.GetSetup()->SetEstimatedLength(50);  // two seconds
             o.musicLengthMs = 2500;
         },
         {FindingKind::AfterMusicEnd, FindingKind::AfterShowLength}},
        {"entry without item, item unknown to the database",
         {},
         [](CFLRDoc& d, ShowCheckOptions& o) {
             o.knowsItem = [](const std::string& artNo) { return artNo == "100"; };
             AppendEntry(d, "00:00:01:00", "A01");
             AppendEntry(d, "00:00:02:00", "A02", MakeItem("999"));
             AppendEntry(d, "00:00:03:00", "A03", Item());
         },
         {FindingKind::NoItem, FindingKind::UnknownItem}},
        {"chained effect firing before the effect it follows",
         {{5, "A01", 0}},
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendChained(d, d.GetIgnitions(), "1.00", Item())
                 ->SetInTimeRaw(CTimeCode::FromParts(0, 0, 4, 0));
         },
         {FindingKind::ChainOutOfOrder}},
        {"damaged file and empty show",
         {},
         [](CFLRDoc& d, ShowCheckOptions&) { d.SetOpenedDamaged(true); },
         {FindingKind::DamagedFile, FindingKind::NoIgnitionPoints}},
    };
    for (const Case& c : cases) {
        CFLRDoc doc;
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        ShowCheckOptions options;
        for (const auto& [second, address, prefire] : c.entries) {
            AppendEntry(doc, At(second), address, Item(prefire));
        }
        if (c.more) c.more(doc, options);
        const ShowCheckResult result = CheckShow(doc, options);
        EXPECT_EQ(Kinds(result), c.expected) << c.name;
        int errors = 0;
        for (FindingKind k : c.expected) errors += SeverityOf(k) == FindingSeverity::Error;
        EXPECT_EQ(result.errors, errors) << c.name;
        EXPECT_EQ(result.warnings, int(c.expected.size()) - errors) << c.name;
    }
}

TEST(ShowCheck, FindingsNameTheirEntryAndGroupRepeats)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    AppendEntry(doc, "00:00:01:00", "A01", Item());
    CIgnition* late = AppendEntry(doc, "00:01:02:03", "A05", Item(63.0));
    const CEffectRef unknown = MakeItem("7");
    for (const char* t : {"00:02:00:00", "00:03:00:00"}) AppendEntry(doc, t, "B01", unknown);
    late->SetAddress('\x07', 5);  // a control byte from a damaged file

    ShowCheckOptions options;
    options.knowsItem = [](const std::string& artNo) { return artNo != "7"; };
    const ShowCheckResult r = CheckShow(doc, options);
    ASSERT_EQ(Kinds(r), (std::vector{FindingKind::PrefireDoesNotFit, FindingKind::BankOutOfRange,
                                     FindingKind::UnknownItem, FindingKind::AddressConflict}));
    EXPECT_EQ(FormatFinding(r.findings[0]),
              "ERROR 000 <07>05 00:01:02:03 prefire prefire 63.00 s does not fit "
              "before Time: "
              "the cue would fire at 00:00:00:00");
    EXPECT_EQ(r.findings[0].entry, late);
    EXPECT_EQ(r.findings[0].index, 1);
    EXPECT_NE(r.findings[1].message.find("0x07"), std::string::npos);
    EXPECT_NE(r.findings[2].message.find("(also used by 1 more cue)"), std::string::npos);
    EXPECT_EQ(r.findings[3].index, 3);
}

TEST(ShowCheck, BanksAndRecordNumbersTheHardwareHolds)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    for (int i = 0; i < 101; ++i) {
        const int number = i % 32 + 1;
        const std::string address = char('A' + i / 32) + std::string(number < 10 ? "0" : "");
        AppendEntry(doc, At(i), address + std::to_string(number), Item());
    }
    EXPECT_EQ(CountRecords(doc.FirstFiring()), 101u);
    EXPECT_EQ(BanksFor(101), (std::vector{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(BanksFor(1000), std::vector{0});
    EXPECT_TRUE(BanksFor(1001).empty());
    EXPECT_FALSE(CheckShow(doc, InBank(8)).HasErrors());
    EXPECT_EQ(Kinds(CheckShow(doc, InBank(9))), std::vector{FindingKind::TooManyPoints});
    EXPECT_EQ(FirstUnsendableRecord(doc.FirstFiring(), 800), std::nullopt);
    EXPECT_NE(FirstUnsendableRecord(doc.FirstFiring(), 900), std::nullopt);

    // Numbers past 16 bits, however they came about, are refused by both.
    doc.FirstFiring()->SetNumbers(65500);
    const ShowCheckResult r = CheckShow(doc, {});
    EXPECT_EQ(Kinds(r), (std::vector{FindingKind::TooManyPoints, FindingKind::NumberTooLarge}));
    EXPECT_EQ(r.findings[1].number, 65536);
    EXPECT_NE(FirstUnsendableRecord(doc.FirstFiring(), 0), std::nullopt);

    // An address the hardware lacks, or a prefire that does not fit, is not sent
    // either.
    doc.FirstFiring()->SetNumbers(0);
    CIgnition* e = doc.FirstFiring();
    for (auto [letter, number] : {std::pair{'Z', 1}, {'A', 0}, {'A', 33}, {'\0', 0}}) {
        e->SetAddress(letter, static_cast<uint8_t>(number));
        EXPECT_NE(FirstUnsendableRecord(e, 0), std::nullopt) << letter << number;
    }
    e->SetAddress('A', 1);
    EXPECT_EQ(FirstUnsendableRecord(e, 0), std::nullopt);
    e->SetItem(Item(5.0));
    e->SetTimeText("00:00:00:00", {});
    ASSERT_TRUE(e->HasPrefireError());
    EXPECT_NE(FirstUnsendableRecord(e, 0), std::nullopt);
}

TEST(ShowCheck, LongListsAreCutButCountedInFull)
{
    CFLRDoc doc;
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    doc.GetSetup()->SetEstimatedLength(0);  // no estimate: no length warning
    for (int i = 0; i < 601; ++i) AppendEntry(doc, At(i), "A01", Item());
    const ShowCheckResult r = CheckShow(doc, {});
    EXPECT_EQ(r.errors, 600);
    ASSERT_EQ(r.findings.size(), 501u);
    EXPECT_EQ(r.findings.back().entry, nullptr);
    EXPECT_EQ(r.findings.back().message, "100 more like the above are not listed");
}

}  // namespace
}  // namespace flr
