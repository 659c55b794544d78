// The undo history over the schedule's commands: names, the modified flag against the saved
// position, what a step costs, the limit, and changes made outside any step.
#include "editing/showhistory.h"

#include <gtest/gtest.h>

#include "editing/scheduleeditor.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "support/showgenerator.h"

namespace flr {
namespace {

class ShowHistoryTest : public testing::Test {
protected:
    ShowHistoryTest()
    {
        for (const char* at : {"00:00:01:00", "00:00:02:00", "00:00:03:00", "00:00:04:00"}) {
            rows.push_back(test::AppendEntry(doc, at, "A0" + std::to_string(rows.size() + 1)));
        }
        editor.SetHistory(&history);
    }
    std::string File() const { return CShowFileWriter::ToBytes(doc); }

    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CShowHistory history{doc, 0};
    CScheduleEditor editor{doc};
    std::vector<CIgnition*> rows;
};

TEST_F(ShowHistoryTest, StepsAreNamedAndTheFlagFollowsTheSavedPosition)
{
    ASSERT_TRUE(editor.ApplyNote(rows[0], "first"));
    EXPECT_EQ(history.UndoName(), "Edit Note");
    EXPECT_TRUE(doc.IsModified());
    history.SetClean();
    const std::string saved = File();
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(editor.DeleteIgnitions({rows[1], rows[2]}));
    EXPECT_EQ(history.UndoName(), "Delete Ignitions");
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(File(), saved);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(history.RedoName(), "Delete Ignitions");
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(rows[0]->GetNote(), std::nullopt);
    ASSERT_TRUE(history.Redo());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(rows[0]->GetNote(), "first");
}

TEST_F(ShowHistoryTest, AStepThatChangedNothingLeavesNoTraceAndOneStepHoldsManyCommands)
{
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(editor.DeleteIgnitions({rows[0]}));
    EXPECT_FALSE(editor.ApplyTime(rows[0], "00:00:01:00"));
    {
        // A chain dialog left as it was: Finish notifies, nothing changed.
        CHistoryStep step(&history, "Edit Chain");
        editor.Finish();
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(doc.IsModified());

    // Commands inside a step are one step under its name.
    {
        CHistoryStep step(&history, "Edit Chain");
        editor.ApplyNote(rows[0], "a");
        editor.ApplyNote(rows[1], "b");
    }
    EXPECT_EQ(history.Stack().count(), 1);
    EXPECT_EQ(history.UndoName(), "Edit Chain");
    history.Undo();
    EXPECT_EQ(rows[0]->GetNote(), std::nullopt);
    EXPECT_EQ(rows[1]->GetNote(), std::nullopt);
}

TEST_F(ShowHistoryTest, ACellEditInAHundredThousandEntryShowCostsWellUnderAKilobyte)
{
    CFLRDoc big;
    test::MakeRealisticShow(big, 100000, 3, test::MakeCatalogueItems(20));
    CShowHistory bigHistory(big, 0);
    CScheduleEditor bigEditor(big);
    bigEditor.SetHistory(&bigHistory);
    std::vector<CIgnition*> bigRows = bigEditor.Rows();
    ASSERT_TRUE(bigEditor.ApplyNote(bigRows[50000], "moved"));
    EXPECT_LT(bigHistory.Cost(), 1024u);
    // A Time that moves the entry far: its links, its neighbours', the delays that follow.
    const size_t before = bigHistory.Cost();
    ASSERT_TRUE(bigEditor.ApplyTime(bigRows[50000], "00:01:00:00"));
    EXPECT_LT(bigHistory.Cost() - before, 1024u);
    bigEditor.SetHistory(nullptr);
}

TEST_F(ShowHistoryTest, TheLimitDropsTheOldestStepsAndAChangeOutsideAStepAllOfThem)
{
    history.SetLimit(2);
    editor.ApplyNote(rows[0], "1");
    const std::string afterFirst = File();
    editor.ApplyNote(rows[0], "2");
    editor.ApplyNote(rows[0], "3");
    EXPECT_EQ(history.Stack().count(), 2);
    while (history.Undo()) {
    }
    EXPECT_EQ(File(), afterFirst);

    // An entry let go of outside a step empties the history.
    prompter.Answer(PromptAnswer::Yes);
    editor.DeleteIgnitions({rows[3]});
    ASSERT_TRUE(history.CanUndo());
    doc.DeleteIgnition(rows[0]);  // no step: nothing could put it back
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(test::ScheduleOrder(doc).size(), 2u);
}

}  // namespace
}  // namespace flr
