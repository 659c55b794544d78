// Chains: the chain list's rows as a template or over a show's chain, and copying a template
// onto primary entries, with the show's invariants checked after every step.
#include "editing/chaineditor.h"

#include <gtest/gtest.h>

#include "editing/schedulecells.h"
#include "editing/scheduleeditor.h"
#include "model/flrdoc.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

using test::AppendChained;
using test::AppendEntry;
using test::ExpectInvariants;
using test::MakeItem;

std::vector<std::string> Column(const CChainEditor& chain, ChainColumn column)
{
    std::vector<std::string> out;
    for (int r = 0; r < chain.RowCount(); ++r) out.push_back(chain.CellText(r, column));
    return out;
}

std::vector<CIgnition*> ChainOf(CIgnition* head)
{
    std::vector<CIgnition*> out;
    for (CIgnition* e = head; e; e = e->GetChainNext()) out.push_back(e);
    return out;
}

std::string InTime(const CIgnition* e) { return ScheduleCellText(*e, ScheduleColumn::InTime, 25); }

std::string InTimes(CIgnition* head)
{
    std::string out;
    for (CIgnition* e : ChainOf(head)) out += " " + InTime(e);
    return out.substr(1);
}

class ChainTest : public testing::Test {
protected:
    ChainTest() : editor(doc) { doc.ResetSetup(std::make_unique<CFireworkSetup>()); }

    // A primary at 00:00:10:00 (A01) with chained effects at 3.00 each, and one more primary.
    CIgnition* ShowWithChain(int effects)
    {
        CIgnition* head = AppendEntry(doc, "00:00:10:00", "A01", MakeItem("P"));
        for (int i = 0; i < effects; ++i) AppendChained(doc, head, "3.00", MakeItem("C"));
        AppendEntry(doc, "00:01:00:00", "A02");
        ExpectInvariants(doc);
        return head;
    }

    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CScheduleEditor editor;
};

TEST(ChainTemplate, RowCountSameDelayAndSameEffect)
{
    CChainEditor chain;
    chain.StartTemplate(2);
    EXPECT_FALSE(chain.EditsShow());
    EXPECT_EQ(chain.EntryAt(0), chain.Chain());
    EXPECT_EQ(Column(chain, ChainColumn::Row), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column(chain, ChainColumn::Delay), (std::vector<std::string>{"", "3.00"}));
    const CEffectRef item = MakeItem("X7");
    item->SetSize(75);
    EXPECT_TRUE(chain.ApplyItem(1, item));
    EXPECT_TRUE(chain.ApplyDelay(1, "1.5"));
    EXPECT_EQ(chain.CellText(1, ChainColumn::Delay), "1.50");

    // Not a number, 0 or the current count change nothing.
    for (const char* text : {"", "abc", "0", "2", "-3"}) {
        EXPECT_FALSE(chain.SetRowCountText(text)) << text;
        EXPECT_EQ(chain.RowCount(), 2) << text;
    }
    EXPECT_TRUE(chain.SetRowCountText("4"));
    EXPECT_EQ(Column(chain, ChainColumn::Delay),
              (std::vector<std::string>{"", "1.50", "1.50", "1.50"}));
    EXPECT_EQ(Column(chain, ChainColumn::Total),
              (std::vector<std::string>{"", "1.50", "3.00", "4.50"}));
    EXPECT_EQ(Column(chain, ChainColumn::ArtNo), (std::vector<std::string>{"", "X7", "X7", "X7"}));
    EXPECT_EQ(chain.CellText(3, ChainColumn::Size), "75");
    EXPECT_EQ(item->GetRefCount(), 1 + 3);

    // A huge typed number stops at the spin button's 100 rows; only the first 40 characters
    // are read.
    EXPECT_TRUE(chain.SetRowCountText("99999999999999999999999999"));
    EXPECT_EQ(chain.RowCount(), 100);
    EXPECT_FALSE(chain.SetRowCountText(std::string(40, ' ') + "7"));
    EXPECT_EQ(chain.RowCount(), 100);
    EXPECT_TRUE(chain.SetRowCountText("3"));
    EXPECT_EQ(chain.RowCount(), 3);
    EXPECT_EQ(ChainOf(chain.Chain()).size(), 3u);
    EXPECT_EQ(item->GetRefCount(), 1 + 2);
    EXPECT_TRUE(chain.SetRowCount(1000));
    EXPECT_EQ(chain.RowCount(), 100);

    std::unique_ptr<CIgnition> owned = chain.TakeTemplate();
    EXPECT_EQ(chain.RowCount(), 0);
    EXPECT_EQ(chain.TakeTemplate(), nullptr);
    owned.reset();
    EXPECT_EQ(item->GetRefCount(), 1);

    // Same delay and same effect spread over the rows.
    test::ScriptedPrompter prompter;
    chain.StartTemplate(4);
    chain.SetSameDelay(true);
    EXPECT_TRUE(chain.ApplyDelay(2, ",5"));
    EXPECT_EQ(Column(chain, ChainColumn::Delay),
              (std::vector<std::string>{"", "0,50", "0,50", "0,50"}));
    EXPECT_EQ(Column(chain, ChainColumn::Total),
              (std::vector<std::string>{"", "0.50", "1.00", "1.50"}));
    EXPECT_EQ(*chain.EntryAt(0)->GetDelayText(), "0.00");

    // Row 0 has no delay to edit; a text that is not a delay is refused quietly.
    EXPECT_FALSE(chain.ApplyDelay(0, "5.00"));
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_FALSE(chain.ApplyDelay(1, "1.2.3"));
    EXPECT_FALSE(chain.ApplyDelay(9, "1.00"));
    EXPECT_EQ(*chain.EntryAt(1)->GetDelayText(), "0,50");

    const CEffectRef a = MakeItem("A");
    EXPECT_TRUE(chain.ApplyItem(2, a));
    EXPECT_EQ(Column(chain, ChainColumn::ArtNo), (std::vector<std::string>{"", "", "A", ""}));
    chain.SetSameEffect(true);
    EXPECT_TRUE(chain.ApplyItem(3, a));
    EXPECT_EQ(Column(chain, ChainColumn::ArtNo), (std::vector<std::string>{"A", "A", "A", "A"}));
    // An item the catalogue does not hold leaves the rows without one.
    EXPECT_TRUE(chain.ApplyItem(0, {}));
    EXPECT_EQ(Column(chain, ChainColumn::ArtNo), std::vector<std::string>(4));
}

TEST(ChainTemplate, NameColumnTakesTheRestOfTheWidth)
{
    std::vector<int> widths;
    for (int c = 0; c < kChainColumnCount; ++c) {
        widths.push_back(ChainColumnInfoOf(static_cast<ChainColumn>(c)).width);
    }
    EXPECT_EQ(ChainNameWidth(widths, 500, true, 16), 500 - 265 - 4);
    EXPECT_EQ(ChainNameWidth(widths, 500, false, 16), 500 - 265 - 4 - 16);
    EXPECT_EQ(ChainNameWidth(widths, 100, true, 16), 50);
}

TEST_F(ChainTest, ApplyingATemplateAddsEffectsAtTheirDelays)
{
    CIgnition* target = AppendEntry(doc, "00:00:10:00", "A01", MakeItem("OLD"));
    CIgnition* later = AppendEntry(doc, "00:00:12:00", "A02");
    ExpectInvariants(doc);

    CChainEditor chain;
    chain.StartTemplate(4);
    const CEffectRef head = MakeItem("HEAD");
    const CEffectRef effect = MakeItem("FX");
    chain.ApplyItem(0, head);
    chain.SetSameEffect(false);
    for (int r = 1; r < 4; ++r) chain.ApplyItem(r, effect);
    std::unique_ptr<CIgnition> templ = chain.TakeTemplate();

    EXPECT_TRUE(ApplyChainToSelection(editor, {target}, *templ));
    templ.reset();
    ExpectInvariants(doc);

    const std::vector<CIgnition*> members = ChainOf(target);
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(target->GetItem(), head.get());
    EXPECT_EQ(InTimes(target), "00:00:10:00 00:00:13:00 00:00:16:00 00:00:19:00");
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(members[i]->GetItem(), effect.get());
        EXPECT_EQ(*members[i]->GetDelayText(), "3.00");
        EXPECT_EQ(members[i]->GetNumber(), CIgnition::kNoNumber);
    }
    // The later primary keeps its time and stands before the chain's effects.
    EXPECT_EQ(InTime(later), "00:00:12:00");
    EXPECT_EQ(later->GetPrevSchedule(), target);
    EXPECT_EQ(later->GetNextSchedule(), members[1]);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(effect->GetRefCount(), 1 + 3);
}

TEST_F(ChainTest, ApplyingToSeveralEntriesAndToAChainedOne)
{
    CIgnition* a = AppendEntry(doc, "00:00:01:00", "A01");
    CIgnition* b = AppendEntry(doc, "00:00:20:00", "A02");
    CIgnition* chained = AppendChained(doc, b, "1.00");
    CChainEditor chain;
    chain.StartTemplate(3);
    std::unique_ptr<CIgnition> templ = chain.TakeTemplate();

    // A chained effect is no primary entry: nothing is copied onto it.
    EXPECT_FALSE(ApplyChain(editor, chained, *templ));
    EXPECT_EQ(ChainOf(b).size(), 2u);

    EXPECT_TRUE(ApplyChainToSelection(editor, {a, b}, *templ));
    ExpectInvariants(doc);
    EXPECT_EQ(ChainOf(a).size(), 3u);
    // b's own effect stays in its chain, behind the new ones, its delay kept.
    const std::vector<CIgnition*> members = ChainOf(b);
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(members[3], chained);
    EXPECT_EQ(InTimes(b), "00:00:20:00 00:00:23:00 00:00:26:00 00:00:27:00");
    // The template's empty first row leaves the targets' items alone.
    EXPECT_EQ(a->GetItem(), nullptr);
}

TEST_F(ChainTest, EditingAShowChainFillsFlagsAndChangesTheShowAndItsPrimary)
{
    CIgnition* head = ShowWithChain(3);
    CChainEditor chain;
    chain.SetShowChain(editor, ChainOf(head)[2]);
    EXPECT_TRUE(chain.EditsShow());
    EXPECT_EQ(chain.Chain(), head);
    EXPECT_EQ(chain.RowCount(), 4);
    EXPECT_TRUE(chain.SameDelay());
    EXPECT_FALSE(chain.SameEffect());  // row 0 fires "P", the others "C" items
    EXPECT_EQ(chain.TakeTemplate(), nullptr);

    chain.SetSameDelay(true);
    EXPECT_TRUE(chain.ApplyDelay(2, "2.00"));
    ExpectInvariants(doc);
    EXPECT_EQ(InTime(chain.EntryAt(3)), "00:00:16:00");

    EXPECT_TRUE(chain.SetRowCount(6));
    ExpectInvariants(doc);
    EXPECT_EQ(ChainOf(head).size(), 6u);
    EXPECT_EQ(InTime(chain.EntryAt(5)), "00:00:20:00");

    // The same effect reaches the primary entry too.
    chain.SetSameEffect(true);
    const CEffectRef item = MakeItem("NEW", 1.0);
    EXPECT_TRUE(chain.ApplyItem(1, item));
    ExpectInvariants(doc);
    for (CIgnition* e : ChainOf(head)) EXPECT_EQ(e->GetItem(), item.get());
    FinishChainEdit(editor, chain.Chain());
    ExpectInvariants(doc);

    // One delay unlike the others: not the same delay.
    chain.SetSameDelay(false);
    EXPECT_TRUE(chain.ApplyDelay(3, "1.00"));
    CChainEditor again;
    again.SetShowChain(editor, head);
    EXPECT_FALSE(again.SameDelay());
}

}  // namespace
}  // namespace flr
