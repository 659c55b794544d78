// Copy, cut and paste of cues within and between shows: chains, relative times, conflicts,
// items the other show lacks, the text form and what is not a clip.
#include "editing/cueclipboard.h"

#include <gtest/gtest.h>

#include <sstream>

#include "editing/schedulecells.h"
#include "editing/scheduleeditor.h"
#include "editing/showhistory.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

struct Show {
    Show()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        editor.SetHistory(&history);
    }
    CFLRDoc doc;
    CShowHistory history{doc, 0};
    CScheduleEditor editor{doc};
};

std::vector<std::string> Times(const CFLRDoc& doc)
{
    std::vector<std::string> out;
    for (const CIgnition* e : test::ScheduleOrder(doc)) out.push_back(FormatTimeCode(e->GetTime()));
    return out;
}

class CueClipboardTest : public testing::Test {
protected:
    CueClipboardTest()
    {
        source.editor.SetPrefireOff(true);
        target.editor.SetPrefireOff(true);
        head = test::AppendEntry(source.doc, "00:00:10:00", "B01", test::MakeItem("SHELL"));
        test::AppendChained(source.doc, head, "1.00", test::MakeItem("COMET"));
        test::AppendChained(source.doc, head, "0.50", test::MakeItem("COMET"));
        plain = test::AppendEntry(source.doc, "00:00:13:00", "B02");
        test::Renumber(source.doc);
        test::AppendEntry(target.doc, "00:01:00:00", "B02");
        test::AppendEntry(target.doc, "00:02:00:00", "C01");
        test::Renumber(target.doc);
    }

    test::ScriptedPrompter prompter;
    CEffectCatalogue catalogue;
    Show source;
    Show target;
    CIgnition* head = nullptr;
    CIgnition* plain = nullptr;
};

TEST_F(CueClipboardTest, PasteRefusesWhatIsNoClipAndKeepsChainsAndRelativeTimesAtTheSelectedRow)
{
    const CueClip clip = CopyCues(source.doc, {head, plain});
    ASSERT_EQ(clip.count, 4);
    const std::string before = CShowFileWriter::ToBytes(target.doc);
    // What is not a clip is refused with a message and changes nothing.
    for (const std::string& bytes :
         {std::string("IP\tTime\n1\t00:00:01:00\n"), clip.bytes.substr(0, 40)}) {
        EXPECT_TRUE(PasteCues(target.editor, bytes, 0, "", catalogue).empty());
        ASSERT_FALSE(prompter.Messages().empty());
        EXPECT_EQ(prompter.Messages().back().text,
                  "The Clipboard holds no cues that FLR can paste.");
    }
    EXPECT_EQ(CShowFileWriter::ToBytes(target.doc), before);
    EXPECT_FALSE(target.history.CanUndo());

    const std::vector<CIgnition*> pasted =
        PasteCues(target.editor, clip.bytes, 1, "00:00:00:00", catalogue);
    ASSERT_EQ(pasted.size(), 4u);
    // The first lands on row 1's Time in front of it; the rest keep their distances.
    EXPECT_EQ(Times(target.doc),
              (std::vector<std::string>{"00:01:00:00", "00:02:00:00", "00:02:00:00", "00:02:01:00",
                                        "00:02:01:12", "00:02:03:00"}));
    EXPECT_EQ(test::ScheduleOrder(target.doc)[1], pasted[0]);
    CIgnition* copied = pasted[0];
    // Its chain came along, in order (the Times above are the delays: a file keeps no more).
    EXPECT_EQ(copied->GetChainNext(), pasted[1]);
    EXPECT_EQ(pasted[1]->GetChainNext(), pasted[2]);
    EXPECT_EQ(pasted[2]->GetItem()->GetArticleNumber(), "COMET");
    EXPECT_EQ(copied->GetItem()->GetArticleNumber(), "SHELL");
    // The catalogue lacked the items: they came along.
    EXPECT_NE(catalogue.Find("COMET"), nullptr);
    // B02 fires at 00:01:00:00 already: the pasted B02 later is a conflict, marked as usual.
    EXPECT_TRUE(pasted[3]->HasAddressConflict());
    test::ExpectInvariants(target.doc);

    EXPECT_EQ(target.history.UndoName(), "Paste");
    ASSERT_TRUE(target.history.Undo());
    EXPECT_EQ(CShowFileWriter::ToBytes(target.doc), before);
}

// Without a selected row the paste starts at the clock; a chained effect copied alone comes as
// an entry of its own.
TEST_F(CueClipboardTest, WithoutASelectedRowAtTheClockAndAChainedEffectAlone)
{
    ASSERT_EQ(
        PasteCues(target.editor, CopyCues(source.doc, {plain}).bytes, -1, "00:01:30:00", catalogue)
            .size(),
        1u);
    EXPECT_EQ(Times(target.doc),
              (std::vector<std::string>{"00:01:00:00", "00:01:30:00", "00:02:00:00"}));
    const CueClip clip = CopyCues(source.doc, {head->GetChainNext()});
    const std::vector<CIgnition*> pasted = PasteCues(target.editor, clip.bytes, 0, "", catalogue);
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_FALSE(pasted[0]->IsChained());
    EXPECT_NE(pasted[0]->GetNumber(), CIgnition::kNoNumber);
    test::ExpectInvariants(target.doc);
}

TEST_F(CueClipboardTest, TheTextFormIsAHeadingAndATabSeparatedLinePerEntry)
{
    source.editor.ApplyNote(plain, "two\tparts");
    const CueClip clip = CopyCues(source.doc, {head, plain});
    std::istringstream in(clip.text);
    std::vector<std::vector<std::string>> table;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        if (!line.empty() && line.back() == '\t') cells.emplace_back();
        table.push_back(cells);
    }
    ASSERT_EQ(table.size(), 5u);
    for (const auto& cells : table) ASSERT_EQ(cells.size(), size_t(kScheduleColumnCount));
    EXPECT_EQ(table[0][int(ScheduleColumn::Time)], "Time");
    EXPECT_EQ(table[1][int(ScheduleColumn::Time)], "00:00:10:00");
    EXPECT_EQ(table[2][int(ScheduleColumn::ArtNo)], "COMET");
    EXPECT_EQ(table[4][int(ScheduleColumn::Addr)], "B02");
    EXPECT_EQ(table[4][int(ScheduleColumn::Note)], "two parts");
}

}  // namespace
}  // namespace flr
