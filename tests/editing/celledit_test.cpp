// Texts typed into the schedule list's cells and rows dragged within it, applied to the show.
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
using Rows = std::vector<CIgnition*>;

class CellEditTest : public testing::Test {
protected:
    CellEditTest() : editor(doc)
    {
        editor.SetPrefireOff(false);
        a = AppendEntry(doc, "00:00:01:00", "A01");
        b = AppendEntry(doc, "00:00:02:00", "A02");
        c = AppendEntry(doc, "00:00:04:00", "A03");
        editor.Finish();
        doc.SetModifiedFlag(false);
    }
    std::string Cell(const CIgnition* e, ScheduleColumn column) const
    {
        return ScheduleCellText(*e, column, 25);
    }
    std::string Time(const CIgnition* e) const { return Cell(e, ScheduleColumn::Time); }
    // Re-timing the show from its delays must leave every Time where the edit put it.
    void ExpectDelaysAgree()
    {
        std::vector<std::string> before;
        for (CIgnition* e : test::ScheduleOrder(doc)) before.push_back(Time(e));
        doc.FirstSchedule()->RetimeFromDelays(25, false);
        std::vector<std::string> after;
        for (CIgnition* e : test::ScheduleOrder(doc)) after.push_back(Time(e));
        EXPECT_EQ(before, after);
    }

    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CScheduleEditor editor;
    CIgnition* a;
    CIgnition* b;
    CIgnition* c;
};

TEST_F(CellEditTest, DelayRetimesTheEntryAndEveryLaterOne)
{
    EXPECT_TRUE(editor.ApplyDelay(b, "3.00"));
    EXPECT_EQ(Time(b), "00:00:04:00");
    EXPECT_EQ(Time(c), "00:00:06:00");
    EXPECT_EQ(Time(a), "00:00:01:00");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(editor.ApplyDelay(b, "3.00"));  // unchanged
    EXPECT_EQ(prompter.BeepCount(), 0);
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
    EXPECT_FALSE(editor.ApplyAddress(chained, chained->AddressText()));
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 5);
    EXPECT_EQ(*chained->GetDelayText(), delay);
    EXPECT_EQ(Time(chained), time);
    EXPECT_EQ(chained->AddressText(), address);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CellEditTest, TimeMovesTheEntryAndItsChainKeepingEveryDelay)
{
    CIgnition* chained = AppendChained(doc, a, "0.40");
    editor.Finish();
    EXPECT_TRUE(editor.ApplyTime(a, "00:00:03:00"));
    EXPECT_EQ(editor.Rows(), (Rows{b, a, chained, c}));
    EXPECT_EQ(*a->GetDelayText(), "1.00");
    EXPECT_EQ(*c->GetDelayText(), "1.00");
    EXPECT_EQ(*b->GetDelayText(), "2.00");  // it followed a; now it is the first
    EXPECT_EQ(Time(chained), "00:00:03:10");
    ExpectDelaysAgree();
    test::ExpectInvariants(doc);

    // A time the frame rate cannot hold is refused.
    EXPECT_FALSE(editor.ApplyTime(b, "00:00:02:25"));
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 1);
}

TEST_F(CellEditTest, InTimeGetsThePrefireAddedWhilePrefireIsInUse)
{
    b->SetItem(test::MakeItem("P1", 1.5));
    editor.Finish();
    EXPECT_TRUE(editor.ApplyInTime(b, "00:00:05:00"));
    EXPECT_EQ(Cell(b, ScheduleColumn::InTime), "00:00:05:00");
    EXPECT_GT(b->GetTime(), b->GetInTime());
    EXPECT_EQ(editor.Rows(), (Rows{a, c, b}));

    editor.SetPrefireOff(true);
    EXPECT_TRUE(editor.ApplyInTime(b, "00:00:07:00"));
    EXPECT_EQ(Time(b), "00:00:07:00");
    test::ExpectInvariants(doc);
}

TEST_F(CellEditTest, PrefireBeforeTheStartBeepsAndKeepsTheTime)
{
    b->SetItem(test::MakeItem("BIG", 5.0));
    EXPECT_TRUE(editor.ApplyTime(b, "00:00:03:00"));
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_EQ(Time(b), "00:00:03:00");
    EXPECT_TRUE(b->HasPrefireError());
}

TEST_F(CellEditTest, AddressesAndPositions)
{
    EXPECT_TRUE(editor.ApplyAddress(b, "B 7"));
    EXPECT_EQ(Cell(b, ScheduleColumn::Addr), "B07");
    EXPECT_TRUE(editor.ApplyAddress(b, "c12"));
    EXPECT_EQ(Cell(b, ScheduleColumn::Addr), "C12");
    for (const char* bad : {"A0", "A33", "AB1", "1A", "A"}) {
        EXPECT_FALSE(editor.ApplyAddress(b, bad)) << bad;
    }
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 5);
    EXPECT_EQ(Cell(b, ScheduleColumn::Addr), "C12");
    // Bank Z stays out of the conflict check: two firings at different times, no mark.
    EXPECT_TRUE(editor.ApplyAddress(a, "Z32"));
    EXPECT_TRUE(editor.ApplyAddress(c, "Z 32"));
    EXPECT_FALSE(a->HasAddressConflict() || c->HasAddressConflict());

    CIgnition* chained = AppendChained(doc, a, "0.40");
    editor.Finish();
    EXPECT_TRUE(editor.ApplyPosition(chained, "4"));
    EXPECT_EQ(a->GetPosition(), 4);
    EXPECT_EQ(chained->GetPosition(), 4);
    EXPECT_TRUE(editor.ApplyPosition(b, "6"));
    EXPECT_EQ(b->GetPosition(), 6);
    EXPECT_EQ(c->GetPosition(), 1);
    EXPECT_FALSE(editor.ApplyPosition(b, "7"));
    EXPECT_FALSE(editor.ApplyPosition(b, "x"));
    test::ExpectInvariants(doc);
}

TEST_F(CellEditTest, NotesAndItems)
{
    EXPECT_TRUE(editor.ApplyNote(a, "left pontoon"));
    EXPECT_EQ(Cell(a, ScheduleColumn::Note), "left pontoon");
    EXPECT_FALSE(editor.ApplyNote(a, "left pontoon"));

    EXPECT_FALSE(editor.ApplyCellItem(a, {}));  // the database has no such item
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    CEffectRef comet = test::MakeItem("C-1");
    EXPECT_TRUE(editor.ApplyCellItem(a, comet));  // an empty entry is not asked about
    EXPECT_EQ(Cell(a, ScheduleColumn::ArtNo), "C-1");
    EXPECT_FALSE(editor.ApplyCellItem(a, test::MakeItem("C-1")));
    EXPECT_TRUE(prompter.Messages().empty());
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(editor.ApplyCellItem(a, test::MakeItem("M-2")));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Confirm Replace Item");
    EXPECT_EQ(Cell(a, ScheduleColumn::ArtNo), "M-2");
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
    test::ExpectInvariants(doc);

    // To the end, then to the top, where it takes the first row's Time.
    EXPECT_TRUE(editor.MoveRow(a, 4));
    EXPECT_EQ(editor.Rows(), (Rows{d, b, c, a}));
    EXPECT_EQ(Time(a), "00:00:04:00");
    EXPECT_TRUE(editor.MoveRow(c, 0));
    EXPECT_EQ(editor.Rows(), (Rows{c, d, b, a}));
    EXPECT_EQ(Time(c), "00:00:01:00");
    EXPECT_EQ(doc.GetIgnitions(), doc.FirstFiring());
    ExpectDelaysAgree();
    test::ExpectInvariants(doc);
}

TEST_F(CellEditTest, ADraggedChainHeadTakesItsChainAlong)
{
    CIgnition* chained = AppendChained(doc, a, "0.40");
    editor.Finish();
    EXPECT_FALSE(editor.MoveRow(chained, 4));  // only a row without a chain predecessor
    EXPECT_TRUE(editor.MoveRow(a, 4));
    EXPECT_EQ(editor.Rows(), (Rows{b, c, a, chained}));
    EXPECT_EQ(Time(a), "00:00:04:00");
    EXPECT_EQ(Time(chained), "00:00:04:10");
    ExpectDelaysAgree();
    test::ExpectInvariants(doc);
}

}  // namespace
}  // namespace flr
