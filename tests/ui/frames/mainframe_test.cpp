#include "ui/frames/mainframe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/settingsstore.h"
#include "model/flrdoc.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/childframe.h"
#include "ui/frames/datasourcedialog.h"
#include "ui/frames/preferencesdialog.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/fireworksetupdialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

class MainFrameTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(false, true); }

    QStringList MenuTitles() const
    {
        QStringList titles;
        for (QAction* a : m_frame->menuBar()->actions()) titles << a->text();
        return titles;
    }
};

TEST_F(MainFrameTest, MenusFollowWhetherAShowIsOpen)
{
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&Database", "&View", "&Help"}));
    EXPECT_FALSE(m_frame->Action(cmd::FileSave)->isEnabled());

    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&Database", "&Firework", "&View",
                                         "&Window", "&Help"}));
    EXPECT_EQ(child->windowTitle(), "FLR1");
    EXPECT_TRUE(m_frame->Action(cmd::FileSave)->isEnabled());
    EXPECT_EQ(m_frame->Action(cmd::FileNew)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(m_frame->Action(cmd::FileNew)->statusTip(), "Create a new firework");
    EXPECT_EQ(m_frame->Action(cmd::FileNew)->toolTip(), "New Firework");

    child->close();
    QApplication::processEvents();
    EXPECT_EQ(MenuTitles().size(), 5);
}

TEST_F(MainFrameTest, CommandsWithoutHandlerAreGreyed)
{
    m_frame->NewShow();
    m_frame->UpdateCommandUi();
    for (int id : {cmd::ExportDatabase, cmd::ImportDatabase, cmd::DeleteItem, cmd::ShowEditor,
                   cmd::ReplaceItem, cmd::PreviewRacks}) {
        EXPECT_FALSE(m_frame->Action(id)->isEnabled()) << id;
    }
    for (int id : {cmd::FileNew, cmd::FileOpen, cmd::Settings, cmd::ShowDatabase, cmd::AppAbout}) {
        EXPECT_TRUE(m_frame->Action(id)->isEnabled()) << id;
    }
}

TEST_F(MainFrameTest, DatabaseBarToggleAndDocking)
{
    QDockWidget* bar = m_frame->DatabaseBar();
    EXPECT_EQ(bar->allowedAreas(), Qt::BottomDockWidgetArea);
    EXPECT_EQ(m_frame->dockWidgetArea(bar), Qt::BottomDockWidgetArea);
    QAction* toggle = m_frame->Action(cmd::ShowDatabase);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(m_frame->dockWidgetArea(bar), Qt::BottomDockWidgetArea);
}

TEST_F(MainFrameTest, FirstRunWritesThePlacementOnClose)
{
    EXPECT_FALSE(m_store->ReadBytes("MainFrame/PLACEMENT"));
    m_frame->close();
    const auto placement = m_store->ReadBytes("MainFrame/PLACEMENT");
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->size(), 44u);
    EXPECT_TRUE(m_store->ReadBytes("Control Bars/State"));
}

TEST_F(MainFrameTest, HiddenBarsStayHiddenAfterARestart)
{
    m_frame->Action(cmd::ViewToolbar)->trigger();
    m_frame->Action(cmd::ViewStatusBar)->trigger();
    m_frame->close();
    m_frame = std::make_unique<CMainFrame>(*m_store, *m_update, *m_recent);
    m_frame->RestoreLayout();
    m_frame->show();
    m_frame->UpdateCommandUi();
    EXPECT_TRUE(m_frame->statusBar()->isHidden());
    EXPECT_FALSE(m_frame->Action(cmd::ViewStatusBar)->isChecked());
    EXPECT_FALSE(m_frame->Action(cmd::ViewToolbar)->isChecked());
    // The toolbar's entry shows it again, rather than hiding it a second time.
    m_frame->Action(cmd::ViewToolbar)->trigger();
    m_frame->UpdateCommandUi();
    EXPECT_TRUE(m_frame->Action(cmd::ViewToolbar)->isChecked());
}

TEST_F(MainFrameTest, SwappingMenuBarsLeavesNoMenusBehind)
{
    auto menus = [&] {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_frame->menuBar()->findChildren<QMenu*>().size();
    };
    const auto before = menus();
    for (int i = 0; i < 3; ++i) {
        CChildFrame* child = m_frame->NewShow();
        QApplication::processEvents();
        child->close();
        QApplication::processEvents();
    }
    EXPECT_EQ(menus(), before);
}

TEST_F(MainFrameTest, CancellingTheSaveQuestionKeepsTheProgramRunning)
{
    CChildFrame* child = m_frame->NewShow();
    child->Doc().NotifyChanged();
    m_prompter.Answer(PromptAnswer::Cancel);
    EXPECT_FALSE(m_frame->close());
    EXPECT_TRUE(m_frame->isVisible());
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    EXPECT_EQ(m_prompter.Messages()[0].text, "Save changes to FLR1?");
    EXPECT_EQ(m_prompter.Messages()[0].buttons, PromptButtons::YesNoCancel);
    // The placement was written before the question.
    EXPECT_TRUE(m_store->ReadBytes("MainFrame/PLACEMENT"));

    m_prompter.Answer(PromptAnswer::No);
    EXPECT_TRUE(m_frame->close());
}

TEST_F(MainFrameTest, ChildFrameStatusPanesAndMinimumSize)
{
    CChildFrame* child = m_frame->NewShow();
    // The view's first update puts the show's totals in the panes.
    EXPECT_EQ(child->PriceText(), "Price: 0");
    EXPECT_EQ(child->DiscountText(), "Weight: 0.00");
    EXPECT_TRUE(child->SetPriceText("Price: 120"));
    EXPECT_EQ(child->PriceText(), "Price: 120");
    child->resize(100, 100);
    EXPECT_GE(child->width(), 500);
    EXPECT_GE(child->height(), 275);
}

TEST_F(MainFrameTest, ScheduleCommandsRunOnTheActiveView)
{
    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    m_frame->UpdateCommandUi();
    EXPECT_FALSE(m_frame->Action(cmd::DeleteIgnition)->isEnabled());
    m_frame->Action(cmd::AddIgnition)->trigger();
    m_frame->Action(cmd::AddIgnition)->trigger();
    EXPECT_EQ(child->View()->Editor().Rows().size(), 2u);
    EXPECT_TRUE(child->Doc().IsModified());
    child->View()->List()->selectAll();
    m_frame->UpdateCommandUi();
    QAction* del = m_frame->Action(cmd::DeleteIgnition);
    EXPECT_TRUE(del->isEnabled());
    EXPECT_EQ(del->text(), "&Delete Ignitions");
    m_prompter.Answer(PromptAnswer::Yes);
    del->trigger();
    EXPECT_EQ(m_prompter.Messages().back().text,
              "Are you sure that you want to delete the 2 selected ignitions?");
    EXPECT_TRUE(child->View()->Editor().Rows().empty());
    child->Doc().SetModifiedFlag(false);
}

TEST_F(MainFrameTest, ANewShowAsksForItsSetupInTheSetupDialog)
{
    // Cancelled: the show still gets the default setup.
    CChildFrame* cancelled = m_frame->NewShow();
    ASSERT_NE(cancelled->Doc().GetSetup(), nullptr);
    EXPECT_EQ(cancelled->Doc().GetSetup()->GetEstimatedLength(), 5625);

    int runs = 0;
    const DialogRunner previous = InstallDialogRunner([&runs](QDialog& d) {
        ++runs;
        auto* setup = qobject_cast<CFireworkSetupDialog*>(&d);
        if (!setup) return int(QDialog::Rejected);
        d.findChild<QLineEdit*>(QStringLiteral("length"))->setText(QStringLiteral("2"));
        d.findChild<QRadioButton*>(QStringLiteral("fps30"))->setChecked(true);
        setup->accept();
        return d.result();
    });
    CChildFrame* child = m_frame->NewShow();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(child->Doc().GetSetup()->GetEstimatedLength(), 4500);
    EXPECT_EQ(child->Doc().GetFrameRate(), 30);
    EXPECT_FALSE(child->Doc().IsModified());
    m_frame->Action(cmd::ShowSetup)->trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(child->Doc().IsModified());
    child->Doc().SetModifiedFlag(false);
    InstallDialogRunner(previous);
}

TEST_F(MainFrameTest, AboutAndPreferencesRunThroughTheDialogRunner)
{
    std::vector<std::string> shown;
    const DialogRunner previous = InstallDialogRunner([&shown](QDialog& d) {
        shown.push_back(d.metaObject()->className());
        return int(QDialog::Rejected);
    });
    m_frame->Action(cmd::AppAbout)->trigger();
    m_frame->Action(cmd::Settings)->trigger();
    InstallDialogRunner(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"flr::CAboutDialog", "flr::CPreferencesDialog"}));
}

TEST_F(MainFrameTest, PreferencesWriteOnlyAChange)
{
    {
        CPreferencesDialog dialog(*m_update, m_frame.get());
        dialog.accept();
    }
    EXPECT_FALSE(m_store->ReadText("Settings/Update/AUTOUPDATE"));
    CPreferencesDialog dialog(*m_update, m_frame.get());
    dialog.AutoUpdateBox()->setChecked(true);
    dialog.accept();
    EXPECT_EQ(*m_store->ReadText("Settings/Update/AUTOUPDATE"), "yes");
}

TEST_F(MainFrameTest, DataSourceDialogListsUserDataSources)
{
    // The driver manager reads the user's data sources from $ODBCINI.
    const QByteArray oldIni = qgetenv("ODBCINI");
    qputenv("ODBCINI", QByteArray::fromStdString((m_dir / ".odbc.ini").string()));
    std::ofstream(m_dir / ".odbc.ini") << "[Show Catalogue]\nDriver=SQLite3\nDatabase=/tmp/x.db\n";

    CDataSourceDialog dialog(m_frame.get());
    QListWidget* list = dialog.List();
    int row = -1;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString() == "Show Catalogue") row = i;
    }
    if (oldIni.isEmpty())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", oldIni);
    ASSERT_GE(row, 0);
    list->setCurrentRow(row);
    dialog.accept();
    EXPECT_EQ(dialog.ConnectString(), "DSN=Show Catalogue");
}

}  // namespace
}  // namespace flr
