#include "editing/scheduleeditor.h"

#include <gtest/gtest.h>

#include "base/commandids.h"
#include "editing/schedulecells.h"
#include "model/flrdoc.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::MakeItem;

std::string Cell(const CIgnition* e, ScheduleColumn c, int fps = 25)
{
    return ScheduleCellText(*e, c, fps);
}

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
    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CScheduleEditor editor;
};

TEST_F(EditorTest, AddingToAnEmptyShowTakesTheClockTime)
{
    CIgnition* e = editor.AddIgnition(-1, {}, "00:00:12:05");
    EXPECT_EQ(Cell(e, ScheduleColumn::IP), "000");
    EXPECT_EQ(Cell(e, ScheduleColumn::Addr), "A01");
    EXPECT_EQ(Cell(e, ScheduleColumn::Time), "00:00:12:05");
    EXPECT_EQ(Cell(e, ScheduleColumn::Pos), "1");
    EXPECT_EQ(doc.GetIgnitions(), e);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(EditorTest, AddingKeepsEveryOtherTimeWhereItWas)
{
    CIgnition* a = editor.AddIgnition(-1, {}, "00:00:05:00");
    CIgnition* b = editor.AddIgnition(-1, {}, "00:00:10:00");
    // From the menu at an earlier clock position: it goes to its place by Time.
    CIgnition* c = editor.AddIgnition(-1, {}, "00:00:07:00");
    EXPECT_EQ(editor.Rows(), (std::vector<CIgnition*>{a, c, b}));
    EXPECT_EQ(*c->GetDelayText(), "2.00");
    EXPECT_EQ(*b->GetDelayText(), "3.00");
    // A dropped item at row 0 comes before the first entry at its Time.
    CIgnition* d = editor.AddIgnition(0, Item("X", "Comet", 0), "ignored");
    EXPECT_EQ(editor.Rows().front(), d);
    EXPECT_EQ(Cell(d, ScheduleColumn::Time), "00:00:05:00");
    // Re-timing the whole show from its delays moves nothing.
    doc.FirstSchedule()->RetimeFromDelays(25, false);
    EXPECT_EQ(Cell(a, ScheduleColumn::Time), "00:00:05:00");
    EXPECT_EQ(Cell(c, ScheduleColumn::Time), "00:00:07:00");
    EXPECT_EQ(Cell(b, ScheduleColumn::Time), "00:00:10:00");
    // Dropped at row 2: the Time and position of the row before.
    b->SetPosition(4);
    CIgnition* f = editor.AddIgnition(3, Item("Y", "Mine", 0), "");
    EXPECT_EQ(editor.Rows()[3], f);
    EXPECT_EQ(Cell(f, ScheduleColumn::Time), "00:00:07:00");
    test::ExpectInvariants(doc);
}

TEST_F(EditorTest, PrefireTooLongForTheClockTimeBeeps)
{
    editor.AddIgnition(-1, {}, "00:00:01:00");
    CIgnition* e = editor.AddIgnition(1, Item("BIG", "Shell", 3.0), "");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_TRUE(e->HasPrefireError());
}

TEST_F(EditorTest, DeletingAsksInTheRightWords)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c = AppendChained(doc, p, "1.00");
    CIgnition* q = AppendEntry(doc, "00:00:05:00", "A02");

    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(editor.DeleteIgnitions({c}));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to delete the chained ignition at [00:00:02:00]?");
    EXPECT_EQ(prompter.Messages().back().caption, "Confirm Delete");
    EXPECT_EQ(editor.Rows().size(), 3u);

    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(editor.DeleteIgnitions({q}));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to delete the selected ignition at [00:00:05:00] (001)?");

    prompter.Answer(PromptAnswer::No);
    editor.DeleteIgnitions({p, q});
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to delete the 2 selected ignitions?");
}

TEST_F(EditorTest, HiddenChainedEffectsHaveNoRows)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* c = AppendChained(doc, p, "0.50");
    CIgnition* q = AppendEntry(doc, "00:00:05:00", "A02");
    EXPECT_EQ(Cell(c, ScheduleColumn::IP), "000:2");
    EXPECT_EQ(Cell(c, ScheduleColumn::Delay), "");
    EXPECT_EQ(Cell(c, ScheduleColumn::Addr), "");
    editor.SetShowChained(false);
    EXPECT_EQ(editor.Rows(), (std::vector<CIgnition*>{p, q}));
    EXPECT_TRUE(editor.State(cmd::HideChained, {}, false).checked);
    editor.SetShowChained(true);
    EXPECT_EQ(editor.Rows(), (std::vector<CIgnition*>{p, c, q}));
}

TEST_F(EditorTest, ChoosingAnItemWhosePrefireDoesNotFitKeepsThePreviousOne)
{
    CIgnition* e = AppendEntry(doc, "00:00:02:00", "A01", Item("S", "Small", 0.5));
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.ApplyChosenItem({e}, Item("L", "Large", 3.0)));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to replace \"Small\" with \"Large\" at [00:00:01:13]?");
    EXPECT_EQ(prompter.Messages().back().caption, "Confirm Replace Item");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_EQ(e->GetItem()->GetArticleNumber(), "S");
    EXPECT_FALSE(e->HasPrefireError());
    EXPECT_EQ(Cell(e, ScheduleColumn::InTime), "00:00:01:13");

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
    EXPECT_EQ(Cell(copy, ScheduleColumn::Addr), "B03");
    EXPECT_EQ(Cell(copy, ScheduleColumn::Note), "finale");
    EXPECT_EQ(copy->GetItem(), a->GetItem());
    EXPECT_EQ(copy->GetNumber(), a->GetNumber());  // same address and In Time: fires together
    EXPECT_EQ(a->GetItem()->GetRefCount(), 2);     // the entry's and the copy's

    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.RemoveItems({a}));
    EXPECT_EQ(prompter.Messages().back().text,
              "Are you sure that you want to remove \"Star\" at [00:00:01:13] (000)?");
    EXPECT_EQ(a->GetInTime(), a->GetTime());
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.RemoveItems({a, copy}));
    EXPECT_EQ(prompter.Messages().back().caption, "Confirm Remove Items");
    EXPECT_EQ(copy->GetItem(), nullptr);
}

TEST_F(EditorTest, PriceAndWeightOfTheWholeShow)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01", Item("A", "A", 0, 100.0, 1500));
    AppendChained(doc, p, "1.00", Item("B", "B", 0, 20.4, 250));
    EXPECT_EQ(PriceText(doc), "Price: 120");
    EXPECT_EQ(WeightText(doc), "Weight: 1.75");
    editor.SetShowChained(false);  // hidden effects are still paid for
    EXPECT_EQ(PriceText(doc), "Price: 120");

    auto setup = std::make_unique<CFireworkSetup>();
    setup->SetFixedPrice(80);     // 200.4
    setup->SetFixedDiscount(50);  // 150.4
    setup->SetPropDiscount(10);   // 135.36
    setup->SetPriceLimit(500);
    doc.SetSetup(std::move(setup));
    EXPECT_EQ(PriceText(doc), "Price: 135 / 500");
    doc.GetSetup()->SetFixedDiscount(1000);  // larger than the total: nothing left
    EXPECT_EQ(ShowPrice(doc), 0.0);
    doc.GetSetup()->SetFixedDiscount(-1);
    doc.GetSetup()->SetPropDiscount(250);  // the setup allows up to 999 percent
    EXPECT_EQ(ShowPrice(doc), 0.0);
}

TEST_F(EditorTest, CommandStatesFollowTheSelection)
{
    CIgnition* p = AppendEntry(doc, "00:00:01:00", "A01", Item("A", "A", 0));
    CIgnition* c = AppendChained(doc, p, "1.00");
    CIgnition* q = AppendEntry(doc, "00:00:05:00", "A02");
    EXPECT_FALSE(editor.State(cmd::DeleteIgnition, {}, false).enabled);
    EXPECT_EQ(editor.State(cmd::DeleteIgnition, {p, q}, false).text, "Delete Ignitions");
    EXPECT_FALSE(editor.State(cmd::DuplicateIgnition, {p, c}, false).enabled);
    EXPECT_EQ(editor.State(cmd::RemoveItem, {p, q}, false).text, "Remove Item");
    EXPECT_EQ(editor.State(cmd::SelectChain, {c}, false).text, "Edit Chain");
    EXPECT_FALSE(editor.State(cmd::SelectChain, {p, q}, false).enabled);
    EXPECT_TRUE(editor.State(cmd::SelectChain, {q}, false).enabled);
    EXPECT_TRUE(editor.State(cmd::RemoveChain, {c}, false).enabled);
    EXPECT_FALSE(editor.State(cmd::RemoveChain, {q}, false).enabled);
    EXPECT_FALSE(editor.State(cmd::EditSelectAll, {}, false).enabled);
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
    EXPECT_EQ(Cell(e, ScheduleColumn::Size), "0");
    EXPECT_STREQ(ColumnInfo(ScheduleColumn::InTime).heading, "In Time");

    std::vector<int> widths;
    for (int i = 0; i < kScheduleColumnCount; ++i) {
        widths.push_back(ColumnInfo(static_cast<ScheduleColumn>(i)).width);
    }
    // 830 pixels of columns; a 1000-pixel list leaves 466 for Name and Note.
    FitNameAndNote(widths, 1000, true);
    EXPECT_EQ(widths[4], 200);
    EXPECT_EQ(widths[3], 266);
    FitNameAndNote(widths, 600, false);
    EXPECT_EQ(widths[3], 50);
    EXPECT_EQ(widths[4], 50);
}

}  // namespace
}  // namespace flr
