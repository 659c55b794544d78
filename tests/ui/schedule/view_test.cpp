// The view driven as the user drives it: the schedule list's in-place editing with mouse and
// keys, and the show clock's commands, buttons and slider.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <memory>

#include "editing/schedulecells.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "ui/common/celleditors.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"

namespace flr {
namespace {

using Rows = std::vector<int>;

// Three entries, the first two at the same time, in a shown view whose clock is in the test's
// hand.
class ViewTest : public testing::Test {
protected:
    ViewTest()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        doc.GetSetup()->SetEstimatedLength(100);
        for (const char* at : {"00:00:01:00", "00:00:01:00", "00:00:02:00"}) {
            entries.push_back(test::AppendEntry(
                doc, at, "A0" + std::to_string(test::FiringOrder(doc).size() + 1)));
        }
        CShowClock::SetLastFrameShown(0);
        view.SetMsClock([this] { return now; });
        view.InitialUpdate();
        doc.SetModifiedFlag(false);
        view.resize(1000, 500);
        view.show();
        view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    CScheduleList* List() const { return view.List(); }
    void Click(int row, ScheduleColumn column)
    {
        const QRect cell = List()->visualRect(List()->Model()->index(row, int(column)));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
        QApplication::processEvents();
    }
    // A second click on the selected row's cell opens its editor.
    template <class Editor>
    Editor* Edit(int row, ScheduleColumn column)
    {
        Click(row, column);
        Click(row, column);
        return Open<Editor>();
    }
    template <class Editor>
    Editor* Open() const
    {
        return qobject_cast<Editor*>(List()->CellEditor());
    }
    void Settle()
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Shown() const { return view.TimeDisplay()->text(); }
    bool Enabled(int id) const { return view.State(id).enabled; }
    void Press(const char* name) { view.findChild<QPushButton*>(name)->click(); }
    void TickAfter(uint32_t ms)
    {
        now += ms;
        view.OnClockTimer();
    }
    // The PAUSE face leaves the middle free, which PLAY's triangle covers.
    bool PlayShowsPause() const
    {
        const auto* play = view.findChild<QPushButton*>("PLAYBUTTON");
        return play->icon().pixmap(20, 20).toImage().pixelColor(10, 10).alpha() == 0;
    }
    Rows Selected() const
    {
        Rows rows;
        for (const CIgnition* e : List()->Selected()) rows.push_back(List()->Model()->RowOf(e));
        return rows;
    }

    test::ScriptedPrompter prompter;
    uint32_t now = 50000;
    CFLRDoc doc;
    CFLRView view{doc};
    std::vector<CIgnition*> entries;
};

TEST_F(ViewTest, ASecondClickEditsAndEnterApplies)
{
    for (ScheduleColumn c : {ScheduleColumn::IP, ScheduleColumn::OutTime, ScheduleColumn::Rack,
                             ScheduleColumn::Size}) {  // no database: no items to choose
        EXPECT_FALSE(List()->EditCell(0, int(c))) << int(c);
    }
    Click(1, ScheduleColumn::Time);
    EXPECT_EQ(List()->CellEditor(), nullptr);  // the first click only selects
    EXPECT_EQ(List()->Selected(), (std::vector<CIgnition*>{entries[1]}));
    Click(1, ScheduleColumn::Time);
    auto* edit = Open<CTimeCellEdit>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->selectedText(), "00:00:01:00");
    QTest::keyClicks(edit, "00");
    QTest::keyClick(edit, '7');  // tens of minutes: refused with a beep
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 1);
    QTest::keyClicks(edit, "003");
    QTest::keyClick(edit, Qt::Key_Return);
    Settle();
    EXPECT_EQ(List()->CellEditor(), nullptr);
    EXPECT_EQ(ScheduleCellText(*entries[1], ScheduleColumn::Time, 25), "00:00:30:00");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(List()->Model()->RowOf(entries[1]), 2);  // moved to its place
    EXPECT_EQ(List()->Selected(), (std::vector<CIgnition*>{entries[1]}));
}

TEST_F(ViewTest, DeleteEditsTextInsteadOfRunningTheShortcutAndTabGoesFromInTimeToAddrToPos)
{
    int deletes = 0;
    QAction remove(&view);
    remove.setShortcut(QKeySequence::Delete);
    remove.setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(&remove, &QAction::triggered, [&deletes] { ++deletes; });
    view.addAction(&remove);

    auto* edit = Edit<CTextCellEdit>(0, ScheduleColumn::Note);
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "pier");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(deletes, 0);
    EXPECT_EQ(edit->text(), "pie");
    QTest::keyClick(edit, Qt::Key_Escape);  // cancelled: nothing changes
    Settle();
    EXPECT_FALSE(entries[0]->GetNote().has_value());
    EXPECT_FALSE(doc.IsModified());

    // Tab goes from In Time to Addr to Pos.
    auto* inTime = Edit<CTimeCellEdit>(0, ScheduleColumn::InTime);
    ASSERT_NE(inTime, nullptr);
    QTest::keyClick(inTime, Qt::Key_Tab);
    Settle();
    auto* address = Open<CAddressCellEdit>();
    ASSERT_NE(address, nullptr);
    QTest::keyClicks(address, "b 9");
    QTest::keyClick(address, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(entries[0]->AddressText(), "B09");
    auto* pos = Open<CCellCombo>();
    ASSERT_NE(pos, nullptr);
    QTest::keyClick(pos, Qt::Key_Down);
    QTest::keyClick(pos, Qt::Key_Return);
    Settle();
    EXPECT_EQ(List()->CellEditor(), nullptr);
    EXPECT_EQ(entries[0]->GetPosition(), 2);

    // Opened with the mouse, the drop-down list may take the focus as a window of its own
    // (a window manager over a modal dialog does): the picker stays.
    auto* again = Edit<CCellCombo>(0, ScheduleColumn::Pos);
    ASSERT_NE(again, nullptr);
    again->showPopup();
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(again, &out);
    Settle();
    EXPECT_EQ(List()->CellEditor(), again);
}

TEST_F(ViewTest, CommandsAndButtonsDriveTheDisplayAndTheSelection)
{
    EXPECT_TRUE(Enabled(cmd::Run) && Enabled(cmd::ResetTimer));
    EXPECT_FALSE(Enabled(cmd::Pause) || Enabled(cmd::Stop) || Enabled(cmd::MoveTimerHere));
    view.List()->selectRow(2);
    view.RunCommand(cmd::MoveTimerHere);
    EXPECT_EQ(Shown(), "00:00:02:00");
    EXPECT_EQ(view.Slider()->value(), 50);
    view.RunCommand(cmd::ResetTimer);
    EXPECT_EQ(Shown(), "00:00:00:00");

    Press("PLAYBUTTON");  // from stopped: the selection goes
    EXPECT_TRUE(Selected().empty());
    EXPECT_TRUE(PlayShowsPause());
    EXPECT_FALSE(Enabled(cmd::Run) || Enabled(cmd::ResetTimer) || Enabled(cmd::MoveTimerHere));
    EXPECT_TRUE(Enabled(cmd::Pause) && Enabled(cmd::Stop));
    TickAfter(1000);
    EXPECT_EQ(Shown(), "00:00:01:00");
    EXPECT_EQ(Selected(), (Rows{0, 1}));

    QSignalSpy clockChanges(&view, &CFLRView::ClockStateChanged);
    Press("PLAYBUTTON");  // pauses; Run resumes and keeps the selection
    EXPECT_FALSE(PlayShowsPause());
    EXPECT_EQ(clockChanges.count(), 1);  // the frame's Run (F10) follows the button
    EXPECT_TRUE(Enabled(cmd::Run) && Enabled(cmd::ResetTimer));
    TickAfter(5000);
    EXPECT_EQ(Shown(), "00:00:01:00");
    view.RunCommand(cmd::Run);
    TickAfter(1000);
    TickAfter(40);
    EXPECT_EQ(Selected(), (Rows{0, 1, 2}));

    // A page click moves the clock without holding it.
    view.Slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Shown(), "00:00:02:11");
    TickAfter(40);
    EXPECT_EQ(Shown(), "00:00:02:12");

    Press("STOPBUTTON");
    EXPECT_EQ(Shown(), "00:00:00:00");
    EXPECT_FALSE(PlayShowsPause());

    // The time display hands its focus to the slider.
    view.TimeDisplay()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), view.Slider());

    // The view hands the document's change to the clock, which looks for the awaited entry again.
    view.RunCommand(cmd::Run);
    doc.DeleteIgnition(view.Clock().NextIgnition());
    view.Editor().Finish();  // the document's notice reaches the view
    EXPECT_EQ(view.Clock().NextIgnition(), view.List()->Model()->EntryAt(0));
    TickAfter(1000);
    EXPECT_EQ(Selected(), (Rows{0}));
}

TEST_F(ViewTest, CutPasteUndoAndRedoRunAsTheEditMenuNamesThem)
{
    EXPECT_FALSE(Enabled(cmd::EditUndo));
    List()->selectRow(2);
    ASSERT_TRUE(view.RunCommand(cmd::EditCut));
    EXPECT_EQ(List()->Model()->rowCount(), 2);
    EXPECT_EQ(view.State(cmd::EditUndo).text, "Undo Cut");
    EXPECT_TRUE(prompter.Messages().empty());  // Cut asks nothing: it can be undone
    List()->selectRow(0);
    view.RunCommand(cmd::EditPaste);
    EXPECT_EQ(List()->Model()->rowCount(), 3);
    EXPECT_EQ(view.State(cmd::EditUndo).text, "Undo Paste");
    EXPECT_EQ(Selected(), Rows{0});  // the pasted entry, in front of the row it took the Time of

    view.RunCommand(cmd::EditUndo);
    view.RunCommand(cmd::EditUndo);
    ASSERT_EQ(List()->Model()->rowCount(), 3);
    EXPECT_EQ(List()->Model()->EntryAt(2), entries[2]);
    EXPECT_EQ(Selected(), Rows{2});  // the selection the Cut found
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view.State(cmd::EditRedo).text, "Redo Cut");
    view.RunCommand(cmd::EditRedo);
    EXPECT_EQ(List()->Model()->rowCount(), 2);
    EXPECT_TRUE(doc.IsModified());

    QGuiApplication::clipboard()->setText(QStringLiteral("IP\tTime\n1\t00:00:01:00\n"));
    view.RunCommand(cmd::EditPaste);
    ASSERT_FALSE(prompter.Messages().empty());
    EXPECT_EQ(prompter.Messages().back().caption, "Paste");
    EXPECT_EQ(List()->Model()->rowCount(), 2);
    EXPECT_EQ(view.State(cmd::EditUndo).text, "Undo Cut");

    // Rows apart come back selected together.
    view.RunCommand(cmd::EditUndo);
    List()->selectRow(0);
    List()->selectionModel()->select(List()->Model()->index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    prompter.Answer(PromptAnswer::Yes);
    view.RunCommand(cmd::DeleteIgnition);
    ASSERT_EQ(List()->Model()->rowCount(), 1);
    view.RunCommand(cmd::EditUndo);
    EXPECT_EQ(Selected(), (Rows{0, 2}));
}

}  // namespace
}  // namespace flr
