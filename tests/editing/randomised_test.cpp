// Drives the schedule's and the chain dialog's editing commands at random, as a user would,
// and checks the show's invariants after every step; then takes every step back and does it
// again, comparing the show's file with the one each step left.
#include <gtest/gtest.h>

#include <random>

#include "editing/chaineditor.h"
#include "editing/scheduleeditor.h"
#include "editing/showhistory.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"

namespace flr {
namespace {

class RandomEditing {
public:
    RandomEditing(unsigned seed, bool prefireOff) : m_random(seed), m_editor(m_doc)
    {
        m_editor.SetPrefireOff(prefireOff);
        for (double prefire : {0.0, 0.5, 1.5, 3.0}) {
            m_items.push_back(test::MakeItem("P" + std::to_string(prefire), prefire));
        }
    }

    void Step()
    {
        const std::vector<CIgnition*> rows = m_editor.Rows();
        if (rows.size() < 5 || Pick(6) == 0) {
            m_editor.AddIgnition(Pick(int(rows.size()) + 2) - 1, RandomItem(), TimeText());
            return;
        }
        CIgnition* e = rows[Pick(int(rows.size()))];
        switch (Pick(14)) {
        case 0: {
            // The entry, and its chain's effects when it heads one.
            std::vector<CIgnition*> selected;
            for (CIgnition* x = e; x && (x == e || Pick(2)); x = x->GetChainNext()) {
                selected.push_back(x);
            }
            m_prompter.Answer(PromptAnswer::Yes);
            m_editor.DeleteIgnitions(selected);
            break;
        }
        case 1: m_editor.ApplyTime(e, TimeText()); break;
        case 2: m_editor.ApplyInTime(e, TimeText()); break;
        case 3: m_editor.ApplyDelay(e, DelayText()); break;
        case 4:
            m_editor.ApplyAddress(
                e, std::string(1, char('A' + Pick(3))) + " " + std::to_string(1 + Pick(4)));
            break;
        case 5: m_editor.ToggleIgnorePrefire({e}); break;
        case 6: m_editor.ApplyCellItem(e, e->IsChained() ? m_items[0] : RandomItem()); break;
        case 7: m_editor.Duplicate({e}); break;
        case 8: m_editor.MoveRow(e, Pick(int(rows.size()) + 1)); break;
        case 9: m_editor.RemoveChain(e); break;
        case 10: m_editor.ApplyNote(e, Pick(2) ? "note " + std::to_string(Pick(9)) : ""); break;
        case 11: {
            // Another frame rate re-times the whole show.
            auto setup = std::make_unique<CFireworkSetup>();
            setup->SetFrameRate(Pick(2) ? 25 : 30);
            m_editor.ApplySetup(std::move(setup));
            break;
        }
        default: {
            // Edit Chain on the entry: more rows, another delay on one of them.
            CHistoryStep step(m_editor.History(), "Edit Chain");
            CChainEditor chain;
            chain.SetShowChain(m_editor, e);
            chain.SetRowCount(Pick(5));
            // Chained effects carry items without prefire: they fire at their In Time.
            for (int row = 1; row < chain.RowCount(); ++row) chain.ApplyItem(row, m_items[0]);
            if (chain.RowCount() > 1) chain.ApplyDelay(1 + Pick(chain.RowCount() - 1), DelayText());
            FinishChainEdit(m_editor, chain.Chain());
        }
        }
    }

    CFLRDoc& Doc() { return m_doc; }
    CScheduleEditor& Editor() { return m_editor; }
    const std::vector<CEffectRef>& Items() const { return m_items; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    CEffectRef RandomItem() { return Pick(5) ? m_items[Pick(int(m_items.size()))] : CEffectRef(); }

    std::string TimeText()
    {
        char text[16];
        std::snprintf(text, sizeof text, "00:%02d:%02d:%02d", Pick(2), Pick(60),
                      Pick(m_doc.GetFrameRate()));
        return text;
    }

    std::string DelayText()
    {
        return std::to_string(Pick(4)) + "." + std::to_string(10 + Pick(90));
    }

    std::mt19937 m_random;
    test::ScriptedPrompter m_prompter;
    std::vector<CEffectRef> m_items;
    CFLRDoc m_doc;
    CScheduleEditor m_editor;
};

// The file and what it does not hold: the prefire error marks.
std::string State(const CFLRDoc& doc)
{
    std::string state = CShowFileWriter::ToBytes(doc);
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        state += e->HasPrefireError() ? 'E' : '.';
    }
    return state;
}

// The invariants hold after every command, without a history and with one. Every step taken
// back gives the file the step before it left, byte for byte, and done again the file it left;
// the invariants hold at every position of the history.
TEST(RandomisedEditing, InvariantsHoldAndUndoAndRedoGiveBackEveryFileByteForByte)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::vector<CEffectRef> items;
        {
            RandomEditing show(seed, seed % 2 == 0);
            auto step = [&show] {
                show.Step();
                test::ExpectInvariants(show.Doc());
                return !testing::Test::HasFailure();
            };
            for (int i = 0; i < 40; ++i) ASSERT_TRUE(step()) << "seed " << seed << " step " << i;
            CShowHistory history(show.Doc(), 0);
            show.Editor().SetHistory(&history);
            std::vector<std::string> files{State(show.Doc())};
            for (int i = 0; i < 400; ++i) {
                ASSERT_TRUE(step()) << "seed " << seed << " step " << 40 + i;
                if (history.Stack().count() == int(files.size())) {
                    files.push_back(State(show.Doc()));
                }
                ASSERT_EQ(history.Stack().count() + 1, int(files.size())) << "step " << i;
            }
            ASSERT_GT(files.size(), 200u);
            for (size_t i = files.size() - 1; i > 0; --i) {
                ASSERT_TRUE(history.Undo());
                test::ExpectInvariants(show.Doc());
                ASSERT_EQ(State(show.Doc()), files[i - 1])
                    << "seed " << seed << " undoing " << history.RedoName() << " to " << i - 1;
            }
            EXPECT_FALSE(history.Undo());
            EXPECT_FALSE(show.Doc().IsModified());
            for (size_t i = 1; i < files.size(); ++i) {
                ASSERT_TRUE(history.Redo());
                test::ExpectInvariants(show.Doc());
                ASSERT_EQ(State(show.Doc()), files[i])
                    << "seed " << seed << " redoing " << history.UndoName() << " to " << i;
            }
            EXPECT_FALSE(history.Redo());
            show.Editor().SetHistory(nullptr);
            items = show.Items();
        }
        // The show is gone: only our own references remain.
        for (const CEffectRef& item : items) EXPECT_EQ(item->GetRefCount(), 1);
    }
}

}  // namespace
}  // namespace flr
