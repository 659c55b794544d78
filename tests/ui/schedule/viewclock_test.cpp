#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <memory>

#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"

namespace flr {
namespace {

using Rows = std::vector<int>;

class ViewClockTest : public testing::Test {
protected:
    ViewClockTest()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        doc.GetSetup()->SetEstimatedLength(100);
        for (const char* at : {"00:00:01:00", "00:00:01:00", "00:00:02:00"}) {
            test::AppendEntry(doc, at, "A0" + std::to_string(test::FiringOrder(doc).size() + 1));
        }
        CShowClock::SetLastFrameShown(0);
        view.SetMsClock([this] { return now; });
        view.InitialUpdate();
    }
    QString Shown() const { return view.TimeDisplay()->text(); }
    bool Enabled(int id) const { return view.State(id).enabled; }
    void Click(const char* name) { view.findChild<QPushButton*>(name)->click(); }
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
        for (const CIgnition* e : view.List()->Selected()) {
            rows.push_back(view.List()->Model()->RowOf(e));
        }
        return rows;
    }

    test::ScriptedPrompter prompter;
    uint32_t now = 50000;
    CFLRDoc doc;
    CFLRView view{doc};
};

TEST_F(ViewClockTest, CommandsAndButtonsDriveTheDisplayAndTheSelection)
{
    EXPECT_TRUE(Enabled(cmd::Run) && Enabled(cmd::ResetTimer));
    EXPECT_FALSE(Enabled(cmd::Pause) || Enabled(cmd::Stop) || Enabled(cmd::MoveTimerHere));
    view.List()->selectRow(2);
    view.RunCommand(cmd::MoveTimerHere);
    EXPECT_EQ(Shown(), "00:00:02:00");
    EXPECT_EQ(view.Slider()->value(), 50);
    view.RunCommand(cmd::ResetTimer);
    EXPECT_EQ(Shown(), "00:00:00:00");

    Click("PLAYBUTTON");  // from stopped: the selection goes
    EXPECT_TRUE(Selected().empty());
    EXPECT_TRUE(PlayShowsPause());
    EXPECT_EQ(view.findChild<QTimer*>("showClockTimer")->interval(), 20);
    EXPECT_FALSE(Enabled(cmd::Run) || Enabled(cmd::ResetTimer) || Enabled(cmd::MoveTimerHere));
    EXPECT_TRUE(Enabled(cmd::Pause) && Enabled(cmd::Stop));
    TickAfter(1000);
    EXPECT_EQ(Shown(), "00:00:01:00");
    EXPECT_EQ(Selected(), (Rows{0, 1}));

    Click("PLAYBUTTON");  // pauses; Run resumes and keeps the selection
    EXPECT_FALSE(PlayShowsPause());
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

    Click("STOPBUTTON");
    EXPECT_EQ(Shown(), "00:00:00:00");
    EXPECT_FALSE(PlayShowsPause());

    // The time display hands its focus to the slider.
    view.show();
    view.activateWindow();
    view.TimeDisplay()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), view.Slider());
}

// The view hands the document's change to the clock, which looks for the awaited entry again.
TEST_F(ViewClockTest, DeletingTheAwaitedEntryLeavesTheClockOnTheRest)
{
    view.RunCommand(cmd::Run);
    doc.DeleteIgnition(view.Clock().NextIgnition());
    view.Editor().Finish();  // the document's notice reaches the view
    EXPECT_EQ(view.Clock().NextIgnition(), view.List()->Model()->EntryAt(0));
    TickAfter(1000);
    EXPECT_EQ(Selected(), (Rows{0}));
}

}  // namespace
}  // namespace flr
