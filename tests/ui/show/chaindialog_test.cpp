// The "Select chain to insert..." dialog driven as the user drives it, and the view's Select
// Chain / Edit Chain command running it through a dialog runner.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <functional>

#include "base/commandids.h"
#include "editing/chaineditor.h"
#include "editing/schedulecells.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "ui/common/celleditors.h"
#include "ui/common/dialogrunner.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/selectchaindialog.h"

namespace flr {
namespace {

void TypeDelay(CSelectChainDialog& dialog, int row, const char* keys)
{
    ASSERT_TRUE(dialog.EditCell(row, int(ChainColumn::Delay)));
    auto* edit = qobject_cast<CDelayCellEdit*>(dialog.CellEditor());
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QString::fromLatin1(keys));
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
}

std::string Cell(const CSelectChainDialog& dialog, int row, ChainColumn column)
{
    const QAbstractItemModel* model = dialog.List()->model();
    return model->data(model->index(row, int(column))).toString().toStdString();
}

// Runs Select Chain with `answer` driving the dialog.
bool RunSelectChain(CFLRView& view, const std::function<void(CSelectChainDialog&)>& answer)
{
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        auto& chain = static_cast<CSelectChainDialog&>(dialog);
        chain.InitDialog();
        answer(chain);
        return dialog.result();
    });
    const bool ran = view.RunCommand(cmd::SelectChain);
    InstallDialogRunner(previous);
    return ran;
}

TEST(ChainDialog, TemplateRowsFollowTheSpinAndTheCellEdits)
{
    test::ScriptedPrompter prompter;
    CSelectChainDialog dialog(nullptr);
    dialog.show();
    QApplication::processEvents();
    ASSERT_EQ(dialog.List()->model()->rowCount(), 5);
    // Without a database the item cells open nothing.
    EXPECT_FALSE(dialog.EditCell(1, int(ChainColumn::Name)));

    dialog.findChild<QCheckBox*>(QStringLiteral("sameDelay"))->click();
    EXPECT_TRUE(dialog.Editor().SameDelay());
    TypeDelay(dialog, 2, "2");
    EXPECT_EQ(Cell(dialog, 1, ChainColumn::Delay), "2.00");
    EXPECT_EQ(Cell(dialog, 4, ChainColumn::Total), "8.00");

    TypeDelay(dialog, 0, "4");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_EQ(Cell(dialog, 0, ChainColumn::Delay), "");

    dialog.RowCount()->setValue(3);
    dialog.accept();
    std::unique_ptr<CIgnition> chain = dialog.TakeTemplate();
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->GetChainNext()->GetChainNext()->GetChainNext(), nullptr);
}

class ChainViewTest : public testing::Test {
protected:
    ChainViewTest()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        target = test::AppendEntry(doc, "00:00:10:00", "A01");
        view.InitialUpdate();
        view.SetChainSelector([](CScheduleEditor& show, CIgnition* entry) {
            CSelectChainDialog dialog(nullptr);
            if (entry) dialog.SetChain(show, entry);
            const bool ok = RunDialog(dialog) == QDialog::Accepted;
            return entry || !ok ? nullptr : dialog.TakeTemplate();
        });
    }

    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CFLRView view{doc};
    CIgnition* target = nullptr;
};

TEST_F(ChainViewTest, SelectChainAppliesTheTemplateAndEditChainShrinksIt)
{
    view.List()->SelectEntry(target);
    EXPECT_EQ(view.State(cmd::SelectChain).text, "Select Chain");
    ASSERT_TRUE(view.State(cmd::SelectChain).enabled);
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) { d.accept(); }));
    test::ExpectInvariants(doc);
    EXPECT_EQ(view.List()->Model()->rowCount(), 5);
    CIgnition* last = target;
    while (last->GetChainNext()) last = last->GetChainNext();
    EXPECT_EQ(ScheduleCellText(*last, ScheduleColumn::InTime, 25), "00:00:22:00");

    // Cancelled, the shrink stays: the show's own entries were edited.
    view.List()->SelectEntry(last);
    EXPECT_EQ(view.State(cmd::SelectChain).text, "Edit Chain");
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) {
        EXPECT_TRUE(d.Editor().SameDelay());
        d.RowCount()->setValue(2);
        d.reject();
    }));
    test::ExpectInvariants(doc);
    EXPECT_EQ(view.List()->Model()->rowCount(), 2);
    ASSERT_NE(target->GetChainNext(), nullptr);
    EXPECT_EQ(target->GetChainNext()->GetChainNext(), nullptr);

    // Looked at and cancelled without a change: the show is not marked modified.
    doc.SetModifiedFlag(false);
    view.List()->SelectEntry(target->GetChainNext());
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) { d.reject(); }));
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace flr
