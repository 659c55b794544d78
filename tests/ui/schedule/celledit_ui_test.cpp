// The schedule list's in-place editing and row dragging, driven with mouse and keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
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

class CellEditViewTest : public testing::Test {
protected:
    CellEditViewTest()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        for (const char* at : {"00:00:01:00", "00:00:02:00", "00:00:04:00"}) {
            entries.push_back(test::AppendEntry(
                doc, at, "A0" + std::to_string(test::FiringOrder(doc).size() + 1)));
        }
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

    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    CFLRView view{doc};
    std::vector<CIgnition*> entries;
};

TEST_F(CellEditViewTest, ASecondClickEditsAndEnterApplies)
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
    EXPECT_EQ(edit->selectedText(), "00:00:02:00");
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

TEST_F(CellEditViewTest, DeleteEditsTextInsteadOfRunningTheShortcut)
{
    int deletes = 0;
    QAction remove(&view);
    remove.setShortcut(QKeySequence::Delete);
    remove.setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(&remove, &QAction::triggered, [&deletes] { ++deletes; });
    view.addAction(&remove);

    Click(0, ScheduleColumn::Note);
    Click(0, ScheduleColumn::Note);
    auto* edit = Open<CTextCellEdit>();
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
}

TEST_F(CellEditViewTest, TabGoesFromInTimeToAddrToPos)
{
    Click(0, ScheduleColumn::InTime);
    Click(0, ScheduleColumn::InTime);
    ASSERT_NE(Open<CTimeCellEdit>(), nullptr);
    QTest::keyClick(Open<CTimeCellEdit>(), Qt::Key_Tab);
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
}

}  // namespace
}  // namespace flr
