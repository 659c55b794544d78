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
    std::function<void(CFLRDoc&, ShowCheckOptions&)> build;
    std::vector<FindingKind> expected;  // entry findings and show-wide ones, in result order
};

std::vector<FindingKind> Kinds(const ShowCheckResult& r)
{
    std::vector<FindingKind> kinds;
    for (const ShowFinding& f : r.findings) kinds.push_back(f.kind);
    return kinds;
}

CEffectRef Item(double prefire = 0.0) { return MakeItem("100", prefire); }

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
        {"prefire that does not fit",
         [](CFLRDoc& d, ShowCheckOptions&) { AppendEntry(d, "00:00:01:00", "A01", Item(2.2)); },
         {FindingKind::PrefireDoesNotFit}},
        {"prefire that just fits",
         [](CFLRDoc& d, ShowCheckOptions&) { AppendEntry(d, "00:00:01:00", "A01", Item(1.0)); },
         {}},
        {"one address at two In Times",
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendEntry(d, "00:00:01:00", "A05", Item());
             AppendEntry(d, "00:00:02:00", "A05", Item());
         },
         {FindingKind::AddressConflict}},
        {"one address twice at one In Time shares a number",
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendEntry(d, "00:00:01:00", "A05", Item());
             AppendEntry(d, "00:00:01:00", "A05", Item());
         },
         {}},
        {"numbered entry without address",
         [](CFLRDoc& d, ShowCheckOptions&) { AppendEntry(d, "00:00:01:00", "", Item()); },
         {FindingKind::NoAddress}},
        {"chained effect without address is not sent",
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendChained(d, AppendEntry(d, "00:00:01:00", "B02", Item()), "1.00", Item());
         },
         {}},
        {"bank Z and address 33",
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendEntry(d, "00:00:01:00", "Z01", Item());
             AppendEntry(d, "00:00:02:00", "A33", Item());
         },
         {FindingKind::BankOutOfRange, FindingKind::AddressNumberOutOfRange}},
        {"Y32 is the last address",
         [](CFLRDoc& d, ShowCheckOptions&) { AppendEntry(d, "00:00:01:00", "Y32", Item()); },
         {}},
        {"In Time that is no time",
         [](CFLRDoc& d, ShowCheckOptions&) {
             AppendEntry(d, "00:00:01:00", "A01", Item())
                 ->SetInTimeRaw(CTimeCode::FromParts(0, 0, 1, 25));
         },
         {FindingKind::InvalidInTime}},
        {"cue past the music and the estimated length",
         [](CFLRDoc& d, ShowCheckOptions& o) {
             d.GetSetup()->SetEstimatedLength(50);  // two seconds
             o.musicLengthMs = 2500;
             AppendEntry(d, "00:00:02:00", "A01", Item());
             AppendEntry(d, "00:00:03:00", "A02", Item());
             AppendEntry(d, "00:00:04:00", "A03", Item());
         },
         {FindingKind::AfterMusicEnd, FindingKind::AfterShowLength}},
        {"entry without item, item unknown to the database",
         [](CFLRDoc& d, ShowCheckOptions& o) {
             o.knowsItem = [](const std::string& artNo) { return artNo == "100"; };
             AppendEntry(d, "00:00:01:00", "A01");
             AppendEntry(d, "00:00:02:00", "A02", MakeItem("999"));
             AppendEntry(d, "00:00:03:00", "A03", Item());
         },
         {FindingKind::NoItem, FindingKind::UnknownItem}},
        {"chained effect firing before the effect it follows",
         [](CFLRDoc& d, ShowCheckOptions&) {
             CIgnition* head = AppendEntry(d, "00:00:05:00", "A01", Item());
             AppendChained(d, head, "1.00", Item())->SetInTimeRaw(CTimeCode::FromParts(0, 0, 4, 0));
         },
         {FindingKind::ChainOutOfOrder}},
        {"damaged file and empty show",
         [](CFLRDoc& d, ShowCheckOptions&) { d.SetOpenedDamaged(true); },
         {FindingKind::DamagedFile, FindingKind::NoIgnitionPoints}},
    };
    for (const Case& c : cases) {
        CFLRDoc doc;
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        ShowCheckOptions options;
        c.build(doc, options);
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
              "ERROR 000 <07>05 00:01:02:03 prefire prefire 63.00 s does not fit before Time: "
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
        char time[16], address[8];
        std::snprintf(time, sizeof time, "00:%02d:%02d:00", i / 60, i % 60);
        std::snprintf(address, sizeof address, "%c%02d", 'A' + i / 32, i % 32 + 1);
        AppendEntry(doc, time, address, Item());
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

    // An address the hardware lacks, or a prefire that does not fit, is not sent either.
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
    for (int i = 0; i < 601; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "00:%02d:%02d:00", i / 60, i % 60);
        AppendEntry(doc, time, "A01", Item());
    }
    const ShowCheckResult r = CheckShow(doc, {});
    EXPECT_EQ(r.errors, 600);
    ASSERT_EQ(r.findings.size(), 501u);
    EXPECT_EQ(r.findings.back().entry, nullptr);
    EXPECT_EQ(r.findings.back().message, "100 more like the above are not listed");
}

}  // namespace
}  // namespace flr
