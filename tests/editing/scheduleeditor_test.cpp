// The schedule's editing commands, cell texts typed into the list and rows dragged within it.
#include "editing/scheduleeditor.h"

#include <gtest/gtest.h>

#include "base/commandids.h"
#include "editing/schedulecells.h"
#include "model/flrdoc.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "support/showgenerator.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::MakeItem;
using Rows = std::vector<CIgnition*>;

std::string Cell(const CIgnition* e, ScheduleColumn c) { return ScheduleCellText(*e, c, 25); }

CEffectRef Item(const std::string& art, const std::string& name, double prefire, double price = 0,
                int weight = 0)
{
    CEffectRef item = MakeItem(art, prefire);
    item->SetName(name);
    item->SetOutPrice(price);
    item->SetWeight(weight);
    return item;
}

class EditorTest : public testing::Test {
protected:
    EditorTest() : editor(doc) { editor.SetPrefireOff(false); }
    std::string Time(const CIgnition* e) const { return Cell(e, ScheduleColumn::Time); }
    // The Time of every row, in order.
    std::string Times() const
    {
        std::string out;
        for (const CIgnition* e : editor.Rows()) out += " " + Time(e);
        return out.substr(1);
    }
    // Re-timing the show from its delays must leave every Time where the edits put it.
    void ExpectDelaysAgree()
    {
        const std::string before = Times();
        doc.FirstSchedule()->RetimeFromDelays(25, false);
        EXPECT_EQ(Times(), before);
        test::ExpectInvariants(doc);
    }
    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CScheduleEditor editor;
};

// Texts typed into the cells and rows dragged within the list, on a show of three entries.
class CellEditTest : public EditorTest {
protected:
    CellEditTest()
    {
        a = AppendEntry(doc, "00:00:01:00", "A01");
        b = AppendEntry(doc, "00:00:02:00", "A02");
        c = AppendEntry(doc, "00:00:04:00", "A03");
        editor.Finish();
        doc.SetModifiedFlag(false);
    }
    CIgnition* a;
    CIgnition* b;
    CIgnition* c;
};

TEST_F(EditorTest, AddingTakesTheClockTimeAndKeepsEveryOtherTimeWhereItWas)
{
    CIgnition* a = editor.AddIgnition(-1, {}, "00:00:05:00");
    EXPECT_EQ(Cell(a, ScheduleColumn::IP) + Cell(a, ScheduleColumn::Addr) + Time(a) +
                  Cell(a, ScheduleColumn::Pos),
              "000A0100:00:05:001");
    EXPECT_TRUE(doc.IsModified());
    CIgnition* b = editor.AddIgnition(-1, {}, "00:00:10:00");
    // From the menu at an earlier clock position: it goes to its place by Time.
    CIgnition* c = editor.AddIgnition(-1, {}, "00:00:07:00");
    EXPECT_EQ(editor.Rows(), (Rows{a, c, b}));
    EXPECT_EQ(*c->GetDelayText() + " " + *b->GetDelayText(), "2.00 3.00");
    // A dropped item at row 0 comes before the first entry at its Time.
    CIgnition* d = editor.AddIgnition(0, Item("X", "Comet", 0), "ignored");
    EXPECT_EQ(editor.Rows().front(), d);
    EXPECT_EQ(Times(), "00:00:05:00 00:00:05:00 00:00:07:00 00:00:10:00");
    ExpectDelaysAgree();
    // Dropped at row 3: the Time of the row before.
    CIgnition* f = editor.AddIgnition(3, Item("Y", "Mine", 0), "");
    EXPECT_EQ(editor.Rows()[3], f);
    EXPECT_EQ(Time(f), "00:00:07:00");
    // A prefire too long for the Time beeps and marks the entry.
    CIgnition* big = editor.AddIgnition(1, Item("BIG", "Shell", 6.0), "");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_TRUE(big->HasPrefireError());
    test::ExpectInvariants(doc);
}

TEST_F(EditorTest, DeletingAsksInTheRightWords)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c = AppendChained(doc, p, "1.00");
    CIgnition* q = AppendEntry(doc, "00:00:05:00", "A02");
    const std::vector<std::pair<Rows, std::string>> cases = {
        {{c}, "chained ignition at [00:00:02:00]?"},
        {{q}, "selected ignition at [00:00:05:00] (001)?"},
        {{p, q}, "2 selected ignitions?"}};
    for (const auto& [selected, text] : cases) {
        prompter.Answer(PromptAnswer::No);
        EXPECT_FALSE(editor.DeleteIgnitions(selected));
        EXPECT_EQ(prompter.Messages().back().text,
                  "Are you sure that you want to delete the " + text);
        EXPECT_EQ(prompter.Messages().back().caption, "Confirm Delete");
    }
    EXPECT_EQ(editor.Rows().size(), 3u);
}

TEST_F(EditorTest, ChoosingAnItemWhosePrefireDoesNotFitKeepsThePreviousOne)
{
    // Item names are Windows-1252; the question is UTF-8.
    CIgnition* e = AppendEntry(doc, "00:00:02:00", "A01", Item("S", "Com\xE8te", 0.5));
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.ApplyChosenItem({e}, Item("L", "Large", 3.0)));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to replace \"Com\u00e8te\" with \"Large\" at "
              "[00:00:01:13]?");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    // The beep says why, for the status bar: many desktops sound nothing.
    EXPECT_EQ(prompter.Notes(), std::vector<std::string>{"Large needs a prefire of 3.00 s, which "
                                                         "does not fit before 00:00:02:00."});
    EXPECT_EQ(e->GetItem()->GetArticleNumber(), "S");
    EXPECT_FALSE(e->HasPrefireError());

    // A drop in replace mode keeps the new item, with the error mark.
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.ReplaceItem(e, Item("L", "Large", 3.0)));
    EXPECT_EQ(prompter.Messages().back().caption, "Confirm Replace");
    EXPECT_EQ(e->GetItem()->GetArticleNumber(), "L");
    EXPECT_TRUE(e->HasPrefireError());
}

TEST_F(EditorTest, RemovingAndDuplicating)
{
    CIgnition* a = AppendEntry(doc, "00:00:02:00", "B03", Item("S", "Star", 0.5));
    a->SetNote(std::string("finale"));
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.Duplicate({a}));
    ASSERT_EQ(editor.Rows().size(), 2u);
    CIgnition* copy = editor.Rows()[1];
    EXPECT_EQ(Cell(copy, ScheduleColumn::Addr) + Cell(copy, ScheduleColumn::Note), "B03finale");
    EXPECT_EQ(copy->GetNumber(), a->GetNumber());  // same address and In Time: fires together
    EXPECT_EQ(a->GetItem()->GetRefCount(), 2);     // the entry's and the copy's

    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.RemoveItems({a}));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to remove \"Star\" at [00:00:01:13] (000)?");
    EXPECT_EQ(a->GetInTime(), a->GetTime());
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.RemoveItems({a, copy}));
    EXPECT_EQ(copy->GetItem(), nullptr);
}

// Price and weight count hidden effects too; the setup's modifiers never go below nothing.
TEST_F(EditorTest, PriceAndWeightOfTheWholeShow)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01", Item("A", "A", 0, 100.0, 1500));
    AppendChained(doc, p, "1.00", Item("B", "B", 0, 20.4, 250));
    editor.SetShowChained(false);
    EXPECT_EQ(PriceText(doc) + " " + WeightText(doc), "Price: 120 Weight: 1.75");

    auto setup = std::make_unique<CFireworkSetup>();
    setup->SetFixedPrice(80);     // 200.4
    setup->SetFixedDiscount(50);  // 150.4
    setup->SetPropDiscount(10);   // 135.36
    setup->SetPriceLimit(500);
    doc.SetSetup(std::move(setup));
    EXPECT_EQ(PriceText(doc), "Price: 135 / 500");
    doc.GetSetup()->SetFixedDiscount(1000);
    EXPECT_EQ(ShowPrice(doc), 0.0);
    doc.GetSetup()->SetFixedDiscount(-1);
    doc.GetSetup()->SetPropDiscount(250);  // the setup allows up to 999 percent
    EXPECT_EQ(ShowPrice(doc), 0.0);
}

TEST_F(EditorTest, HiddenChainedEffectsAndCommandStatesFollowTheSelection)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01", Item("A", "A", 0));
    CIgnition* c = AppendChained(doc, p, "0.50");
    CIgnition* q = AppendEntry(doc, "00:00:05:00", "A02");
    EXPECT_EQ(Cell(c, ScheduleColumn::IP) + "|" + Cell(c, ScheduleColumn::Delay) + "|" +
                  Cell(c, ScheduleColumn::Addr),
              "000:2||");
    editor.SetShowChained(false);
    EXPECT_EQ(editor.Rows(), (Rows{p, q}));
    EXPECT_TRUE(editor.State(cmd::HideChained, {}, false).checked);
    editor.SetShowChained(true);
    EXPECT_EQ(editor.Rows(), (Rows{p, c, q}));

    EXPECT_FALSE(editor.State(cmd::DeleteIgnition, {}, false).enabled);
    EXPECT_EQ(editor.State(cmd::DeleteIgnition, {p, q}, false).text, "Delete Ignitions");
    EXPECT_FALSE(editor.State(cmd::DuplicateIgnition, {p, c}, false).enabled);
    EXPECT_EQ(editor.State(cmd::SelectChain, {c}, false).text, "Edit Chain");
    EXPECT_FALSE(editor.State(cmd::SelectChain, {p, q}, false).enabled);
    EXPECT_FALSE(editor.State(cmd::RemoveChain, {q}, false).enabled);
    EXPECT_TRUE(editor.State(cmd::EditSelectAll, {}, true).enabled);

    q->SetIgnorePrefire(true);
    EXPECT_FALSE(editor.State(cmd::IgnorePrefire, {p, q}, false).checked);
    EXPECT_TRUE(editor.ToggleIgnorePrefire({q}));
    EXPECT_FALSE(q->GetIgnorePrefire());
    EXPECT_TRUE(editor.RemoveChain(c));
    EXPECT_EQ(p->GetChainNext(), nullptr);
    EXPECT_EQ(editor.Rows().size(), 2u);
}

TEST(ScheduleCells, OutTimeAndColumnWidths)
{
    CFLRDoc doc;
    CEffectRef item = MakeItem("D", 0.0);
    item->SetDuration(2.5);
    CIgnition* e = AppendEntry(doc, "00:00:10:00", "C12", item);
    EXPECT_EQ(Cell(e, ScheduleColumn::OutTime), "00:00:12:13");  // rounded to the nearest frame
    item->SetDuration(0.005);
    EXPECT_EQ(Cell(e, ScheduleColumn::OutTime), "00:00:10:00");

    std::vector<int> widths;
    for (int i = 0; i < kScheduleColumnCount; ++i) {
        widths.push_back(ColumnInfo(static_cast<ScheduleColumn>(i)).width);
    }
    // 830 pixels of columns; a 1000-pixel list leaves 466 for Name and Note.
    FitNameAndNote(widths, 1000, true);
    EXPECT_EQ(std::make_pair(widths[3], widths[4]), std::make_pair(266, 200));
    FitNameAndNote(widths, 600, false);
    EXPECT_EQ(std::make_pair(widths[3], widths[4]), std::make_pair(50, 50));
}

TEST_F(CellEditTest, DelayTimeAndInTimeRetimeTheShowKeepingEveryOtherDelay)
{
    EXPECT_TRUE(editor.ApplyDelay(b, "3.00"));
    EXPECT_EQ(Times(), "00:00:01:00 00:00:04:00 00:00:06:00");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(editor.ApplyDelay(b, "3.00"));  // unchanged
    EXPECT_TRUE(editor.ApplyDelay(b, "1.00"));

    // A Time moves the entry and its chain; the entry that followed it keeps its Time.
    CIgnition* chained = AppendChained(doc, a, "0.40");
    editor.Finish();
    EXPECT_TRUE(editor.ApplyTime(a, "00:00:03:00"));
    EXPECT_EQ(editor.Rows(), (Rows{b, a, chained, c}));
    EXPECT_EQ(*a->GetDelayText() + " " + *c->GetDelayText() + " " + *b->GetDelayText(),
              "1.00 1.00 2.00");
    EXPECT_EQ(Time(chained), "00:00:03:10");
    ExpectDelaysAgree();
    EXPECT_EQ(prompter.BeepCount(), 0);

    // A time the frame rate cannot hold is refused; a prefire before the start beeps and keeps
    // the Time.
    EXPECT_FALSE(editor.ApplyTime(b, "00:00:02:25"));
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 1);
    c->SetItem(test::MakeItem("BIG", 5.0));
    EXPECT_TRUE(editor.ApplyTime(c, "00:00:03:00"));
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_EQ(Time(c), "00:00:03:00");
    EXPECT_TRUE(c->HasPrefireError());

    // An In Time gets the prefire added while prefire is in use.
    b->SetItem(test::MakeItem("P1", 1.5));
    editor.Finish();
    EXPECT_TRUE(editor.ApplyInTime(b, "00:00:05:00"));
    EXPECT_EQ(Cell(b, ScheduleColumn::InTime), "00:00:05:00");
    EXPECT_GT(b->GetTime(), b->GetInTime());
    EXPECT_EQ(editor.Rows(), (Rows{a, c, chained, b}));
    editor.SetPrefireOff(true);
    EXPECT_TRUE(editor.ApplyInTime(b, "00:00:07:00"));
    EXPECT_EQ(Time(b), "00:00:07:00");
    test::ExpectInvariants(doc);
}

TEST_F(CellEditTest, ChainedEffectsRefuseTimingEditsWithABeep)
{
    CIgnition* chained = AppendChained(doc, c, "1.00");
    editor.Finish();
    doc.SetModifiedFlag(false);
    const std::string address = chained->AddressText();
    const std::string delay = *chained->GetDelayText();
    const std::string time = Time(chained);
    // Unchanged or empty: nothing, not even a beep.
    EXPECT_FALSE(editor.ApplyDelay(chained, delay));
    EXPECT_FALSE(editor.ApplyDelay(chained, ""));
    EXPECT_FALSE(editor.ApplyTime(chained, time));
    EXPECT_EQ(prompter.BeepCount(), 0);
    EXPECT_FALSE(editor.ApplyDelay(chained, "5.00"));
    EXPECT_FALSE(editor.ApplyTime(chained, "00:00:09:00"));
    EXPECT_FALSE(editor.ApplyInTime(chained, "00:00:09:00"));
    // An address typed into a chained effect beeps even when it is the same.
    EXPECT_FALSE(editor.ApplyAddress(chained, "B 5"));
    EXPECT_FALSE(editor.ApplyAddress(chained, address));
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 5);
    EXPECT_EQ(*chained->GetDelayText() + Time(chained) + chained->AddressText(),
              delay + time + address);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CellEditTest, AddressesPositionsNotesAndItems)
{
    EXPECT_TRUE(editor.ApplyAddress(b, "B 7"));
    EXPECT_EQ(Cell(b, ScheduleColumn::Addr), "B07");
    EXPECT_TRUE(editor.ApplyAddress(b, "c12"));
    for (const char* bad : {"A0", "A33", "AB1", "1A", "A"}) {
        EXPECT_FALSE(editor.ApplyAddress(b, bad)) << bad;
    }
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 5);
    EXPECT_EQ(Cell(b, ScheduleColumn::Addr), "C12");
    // Bank Z stays out of the conflict check: two firings at different times, no mark.
    EXPECT_TRUE(editor.ApplyAddress(a, "Z32"));
    EXPECT_TRUE(editor.ApplyAddress(c, "Z 32"));
    EXPECT_FALSE(a->HasAddressConflict() || c->HasAddressConflict());

    // A position reaches the whole chain; 1 to 6 only.
    CIgnition* chained = AppendChained(doc, a, "0.40");
    editor.Finish();
    EXPECT_TRUE(editor.ApplyPosition(chained, "6"));
    EXPECT_EQ(a->GetPosition() + 10 * chained->GetPosition(), 66);
    EXPECT_EQ(b->GetPosition(), 1);
    EXPECT_FALSE(editor.ApplyPosition(b, "7"));
    EXPECT_FALSE(editor.ApplyPosition(b, "x"));

    EXPECT_TRUE(editor.ApplyNote(a, "left pontoon"));
    EXPECT_EQ(Cell(a, ScheduleColumn::Note), "left pontoon");
    EXPECT_FALSE(editor.ApplyNote(a, "left pontoon"));

    EXPECT_FALSE(editor.ApplyCellItem(b, {}));  // the database has no such item
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_TRUE(editor.ApplyCellItem(b, test::MakeItem("C-1")));  // an empty entry: not asked
    EXPECT_FALSE(editor.ApplyCellItem(b, test::MakeItem("C-1")));
    EXPECT_TRUE(prompter.Messages().empty());
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.ApplyCellItem(b, test::MakeItem("M-2")));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Confirm Replace Item");
    EXPECT_EQ(Cell(b, ScheduleColumn::ArtNo), "M-2");
    test::ExpectInvariants(doc);
}

TEST_F(CellEditTest, DraggingARowRelinksAndRetimesIt)
{
    CIgnition* d = AppendEntry(doc, "00:00:05:00", "A04");
    editor.Finish();
    doc.SetModifiedFlag(false);
    // On itself or on the row after it: nothing.
    EXPECT_FALSE(editor.MoveRow(b, 1));
    EXPECT_FALSE(editor.MoveRow(b, 2));
    EXPECT_FALSE(doc.IsModified());

    EXPECT_TRUE(editor.MoveRow(d, 1));
    EXPECT_EQ(editor.Rows(), (Rows{a, d, b, c}));
    EXPECT_EQ(Time(d), "00:00:01:00");
    EXPECT_EQ(*d->GetDelayText(), "0.00");
    EXPECT_TRUE(doc.IsModified());
    ExpectDelaysAgree();

    // To the end, then to the top, where it takes the first row's Time.
    EXPECT_TRUE(editor.MoveRow(a, 4));
    EXPECT_EQ(editor.Rows(), (Rows{d, b, c, a}));
    EXPECT_EQ(Time(a), "00:00:04:00");
    EXPECT_TRUE(editor.MoveRow(c, 0));
    EXPECT_EQ(editor.Rows(), (Rows{c, d, b, a}));
    EXPECT_EQ(Time(c), "00:00:01:00");
    EXPECT_EQ(doc.GetIgnitions(), doc.FirstFiring());
    ExpectDelaysAgree();

    // A chain head takes its chain along; a chained effect does not move alone.
    CIgnition* chained = AppendChained(doc, d, "0.40");
    editor.Finish();
    EXPECT_FALSE(editor.MoveRow(chained, 5));
    EXPECT_TRUE(editor.MoveRow(d, 5));
    EXPECT_EQ(editor.Rows(), (Rows{c, b, a, d, chained}));
    EXPECT_EQ(Times(), "00:00:01:00 00:00:02:00 00:00:04:00 00:00:04:00 00:00:04:10");
    ExpectDelaysAgree();
}

std::vector<size_t> ScheduleIds(const CFLRDoc& doc, const std::vector<CIgnition*>& ids)
{
    std::vector<size_t> out;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        out.push_back(size_t(std::find(ids.begin(), ids.end(), e) - ids.begin()));
    }
    return out;
}

// Switching prefire off walks each chained effect to its place as an edit does; only a show
// whose chains move far falls back to one sort by Time, which keeps the show consistent.
TEST(PrefireSwitch, ChainsMoveAsEachEffectWalksAndCraftedOnesStayConsistent)
{
    const auto items = test::MakeCatalogueItems(12);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        CFLRDoc bulk, each;
        test::MakeRealisticShow(bulk, 300, seed, items);
        test::MakeRealisticShow(each, 300, seed, items);
        const Rows bulkIds = test::ScheduleOrder(bulk);
        const Rows eachIds = test::ScheduleOrder(each);
        CScheduleEditor(bulk).SetPrefireOff(true);
        std::vector<CIgnition*> heads;
        for (CIgnition* e : eachIds) {
            e->SetTime(e->GetTime().Parts(), {.prefireOff = true, .fps = 25});
            if (!e->GetChainPrev() && e->GetChainNext()) heads.push_back(e);
        }
        for (CIgnition* head : heads) head->RetimeChain(25, true);
        ASSERT_EQ(ScheduleIds(bulk, bulkIds), ScheduleIds(each, eachIds)) << seed;
    }
    // Chains whose effects all lie far behind their head: the walks run out of budget.
    CFLRDoc crafted;
    crafted.ResetSetup(std::make_unique<CFireworkSetup>());
    for (int i = 0; i < 1000; ++i) {
        CIgnition* head =
            AppendEntry(crafted, FormatTimeCode(CTimeCode::FromParts(0, i / 60, i % 60, 0)), "A01",
                        MakeItem("X", 0.0));
        AppendChained(crafted, head, "1.00", MakeItem("Y", 0.0));
    }
    for (CIgnition* e : test::ScheduleOrder(crafted)) {
        if (e->GetChainPrev()) e->SetDelayText(std::string("600.00"), true);
    }
    CScheduleEditor(crafted).SetPrefireOff(true);
    test::ExpectInvariants(crafted);
    const Rows rows = test::ScheduleOrder(crafted);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](CIgnition* a, CIgnition* b) {
        return a->GetTime() < b->GetTime();
    }));
}

}  // namespace
}  // namespace flr
