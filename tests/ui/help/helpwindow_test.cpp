// F1 and Help Topics as the designer meets them: the right page, one window, its Back and
// Forward, links and search.
#include "ui/help/helpwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

#include "base/commandids.h"
#include "model/fireworksetup.h"
#include "support/framefixture.h"
#include "transfer/portmap.h"
#include "ui/database/databasebar.h"
#include "ui/frames/childframe.h"
#include "ui/help/helplauncher.h"
#include "ui/music/wavetrack.h"
#include "ui/reports/printdialog.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/fireworksetupdialog.h"
#include "ui/show/showcheckdialog.h"
#include "ui/transfer/transferdialog.h"

namespace flr {
namespace {

class HelpTest : public test::FrameTest {
protected:
    void SetUp() override
    {
        StartFrame(false);
        m_help = m_frame->findChild<CHelpLauncher*>();
        ASSERT_NE(m_help, nullptr);
    }
    // F1 on the first part of `window` that takes keys: the page the help window shows.
    std::string PressF1(QWidget* window)
    {
        window->window()->show();
        QWidget* target = window;
        for (QWidget* inner : window->findChildren<QWidget*>()) {
            if (inner->focusPolicy() != Qt::NoFocus && inner->isVisible()) {
                target = inner;
                break;
            }
        }
        QTest::keyClick(target, Qt::Key_F1);
        CHelpWindow* help = m_help->Window();
        return help && help->isVisible() ? help->Current().file.toStdString() : "(none)";
    }

    CHelpLauncher* m_help = nullptr;
    CFireworkSetup m_setup;
};

TEST_F(HelpTest, F1OpensThePageOfTheWindowWithTheFocus)
{
    {
        // A control that explains itself keeps F1 for its own note.
        CFireworkSetupDialog setup(m_setup, nullptr, m_frame.get());
        setup.show();
        QApplication::setActiveWindow(&setup);
        QWidget* date = setup.findChild<QWidget*>("date");
        date->setFocus();
        QTest::keyClick(date, Qt::Key_F1);
        EXPECT_EQ(m_help->Window(), nullptr);
    }
    CChildFrame* child = m_frame->NewShow();
    m_frame->DatabaseTabs()->setCurrentIndex(1);
    EXPECT_EQ(PressF1(child->View()->List()), "schedule.md");
    EXPECT_EQ(PressF1(child->View()->WaveTable()), "music.md");
    EXPECT_EQ(PressF1(m_frame->DatabaseTabs()->currentWidget()), "database-bar.md");

    CFireworkSetupDialog setup(m_setup, nullptr, m_frame.get());
    CTransferDialog transfer(nullptr, CPortMap(), m_frame.get());
    CShowCheckDialog check({}, CShowCheckDialog::Purpose::Review, m_frame.get());
    CFLRPrintDialog print(&m_frame->Printer(), m_frame.get());
    const std::pair<QDialog*, const char*> dialogs[] = {{&setup, "setup.md"},
                                                        {&transfer, "transfer.md"},
                                                        {&check, "show-check.md"},
                                                        {&print, "reports.md"}};
    for (const auto& [dialog, page] : dialogs) {
        dialog->setWindowModality(Qt::ApplicationModal);  // as exec() shows it
        EXPECT_EQ(PressF1(dialog), page);
        // The waiting dialog's own, so it takes clicks; it stays when the dialog closes.
        EXPECT_EQ(m_help->Window()->parentWidget(), dialog) << page;
        dialog->close();
        EXPECT_EQ(m_help->Window()->parentWidget(), m_frame.get());
        EXPECT_TRUE(m_help->Window()->isVisible());
        m_help->Window()->close();
    }
}

TEST_F(HelpTest, OneWindowWithLinksBackForwardAndSearch)
{
    QAction* topics = m_frame->Action(cmd::HelpFinder);
    topics->trigger();
    CHelpWindow* window = m_help->Window();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->Contents()->topLevelItemCount(), int(window->Manual().Pages().size()));
    window->close();
    topics->trigger();
    EXPECT_TRUE(m_help->Window() == window && window->isVisible());
    EXPECT_EQ(window->Current().file, "index.md");
    QTextBrowser* browser = window->Browser();
    EXPECT_FALSE(window->BackAction()->isEnabled());
    emit browser->anchorClicked(QUrl("transfer.md"));
    const ManualPage* transfer = window->Manual().Find("transfer.md");
    const ManualHeading& second = transfer->headings.at(1);
    emit browser->anchorClicked(QUrl("#" + second.anchor));
    EXPECT_EQ(browser->textCursor().block().text(), second.text);  // the heading on screen
    emit browser->anchorClicked(QUrl("nowhere.md"));               // changes nothing

    window->BackAction()->trigger();
    window->BackAction()->trigger();
    EXPECT_EQ(window->Current().file, "index.md");
    EXPECT_TRUE(browser->toPlainText().startsWith(window->Manual().Pages()[0].title));
    EXPECT_FALSE(window->BackAction()->isEnabled());
    window->ForwardAction()->trigger();
    EXPECT_TRUE(browser->toPlainText().startsWith(transfer->title));
    EXPECT_TRUE(window->ForwardAction()->isEnabled());

    ASSERT_GT(window->Search("bank"), 0);
    emit window->Results()->itemActivated(window->Results()->item(0));
    EXPECT_EQ(window->Current(), window->Manual().Search("bank").front().where);
    EXPECT_EQ(browser->textCursor().selectedText().toLower(), "bank");
    EXPECT_EQ(window->Search("xylophone"), 0);
    EXPECT_FALSE(window->Results()->item(0)->flags() & Qt::ItemIsEnabled);  // "No page ..."
}

}  // namespace
}  // namespace flr
