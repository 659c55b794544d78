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
#include <functional>
#include <memory>

#include "base/commandids.h"
#include "model/fireworksetup.h"
#include "model/showcheck.h"
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
    // F1 pressed on `target`, the widget with the focus: the page the help window shows.
    QString PressF1(QWidget* target)
    {
        target->window()->show();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1);
        CHelpWindow* window = m_help->Window();
        if (!window || !window->isVisible()) return "(no help window)";
        return window->Current().file;
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
    struct Case {
        const char* page;
        std::function<std::unique_ptr<QWidget>()> make;  // a dialog, or null for a frame's part
        std::function<QWidget*(QWidget*)> focus;
    };
    auto own = [](QWidget* w) { return w; };
    const Case cases[] = {
        {"schedule.md", nullptr, [&](QWidget*) { return child->View()->List(); }},
        {"music.md", nullptr, [&](QWidget*) { return child->View()->WaveTable(); }},
        {"database-bar.md", nullptr,
         [&](QWidget*) {
             m_frame->DatabaseTabs()->setCurrentIndex(1);
             return m_frame->DatabaseTabs()->currentWidget();
         }},
        {"setup.md",
         [&] { return std::make_unique<CFireworkSetupDialog>(m_setup, nullptr, m_frame.get()); },
         own},
        {"transfer.md",
         [&] { return std::make_unique<CTransferDialog>(nullptr, CPortMap(), m_frame.get()); },
         own},
        {"show-check.md",
         [&] {
             return std::make_unique<CShowCheckDialog>(
                 ShowCheckResult{}, CShowCheckDialog::Purpose::Review, m_frame.get());
         },
         own},
        {"reports.md",
         [&] { return std::make_unique<CFLRPrintDialog>(&m_frame->Printer(), m_frame.get()); },
         own},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        std::unique_ptr<QWidget> dialog = c.make ? c.make() : nullptr;
        if (dialog) {
            // As exec() shows it: every other window waits for it.
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->show();
        }
        QWidget* target = c.focus(dialog.get());
        // The innermost part that takes keys, as the user's click would leave it.
        for (QWidget* inner : target->findChildren<QWidget*>()) {
            if (inner->focusPolicy() != Qt::NoFocus && inner->isVisible()) {
                target = inner;
                break;
            }
        }
        EXPECT_EQ(PressF1(target), c.page);
        if (dialog) {
            // The waiting dialog's own, so it takes clicks; it stays when the dialog closes.
            EXPECT_EQ(m_help->Window()->parentWidget(), dialog.get());
            dialog->close();
            EXPECT_EQ(m_help->Window()->parentWidget(), m_frame.get());
            EXPECT_TRUE(m_help->Window()->isVisible());
        }
        m_help->Window()->close();
    }
}

TEST_F(HelpTest, HelpTopicsOpensOneWindowAtTheContents)
{
    QAction* topics = m_frame->Action(cmd::HelpFinder);
    ASSERT_TRUE(topics->isEnabled());
    topics->trigger();
    CHelpWindow* window = m_help->Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Current().file, "index.md");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // the program stays usable
    window->Open("tour.md");
    window->close();
    topics->trigger();
    EXPECT_EQ(m_help->Window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Current().file, "index.md");
    // Contents lists every page, each with its sections.
    EXPECT_EQ(window->Contents()->topLevelItemCount(), int(window->Manual().Pages().size()));
}

TEST_F(HelpTest, LinksBackAndForwardAndHeadingsOnScreen)
{
    m_help->ShowPage("index.md");
    CHelpWindow* window = m_help->Window();
    EXPECT_FALSE(window->BackAction()->isEnabled());
    emit window->Browser()->anchorClicked(QUrl("transfer.md"));
    EXPECT_EQ(window->Current(), (ManualLocation{"transfer.md", ""}));
    const ManualPage* transfer = window->Manual().Find("transfer.md");
    const ManualHeading& second = transfer->headings.at(1);
    emit window->Browser()->anchorClicked(QUrl("#" + second.anchor));
    EXPECT_EQ(window->Browser()->textCursor().block().text(), second.text);

    window->BackAction()->trigger();
    EXPECT_EQ(window->Current(), (ManualLocation{"transfer.md", ""}));
    window->BackAction()->trigger();
    EXPECT_EQ(window->Current().file, "index.md");
    EXPECT_TRUE(window->Browser()->toPlainText().startsWith(window->Manual().Pages()[0].title));
    EXPECT_FALSE(window->BackAction()->isEnabled());
    window->ForwardAction()->trigger();
    EXPECT_EQ(window->Current().file, "transfer.md");
    EXPECT_TRUE(window->Browser()->toPlainText().startsWith(transfer->title));
    EXPECT_TRUE(window->ForwardAction()->isEnabled());

    // A link to a page the manual lacks changes nothing.
    emit window->Browser()->anchorClicked(QUrl("nowhere.md"));
    EXPECT_EQ(window->Current().file, "transfer.md");
    EXPECT_TRUE(window->ForwardAction()->isEnabled());
}

TEST_F(HelpTest, SearchResultsOpenTheirSection)
{
    m_help->ShowPage("index.md");
    CHelpWindow* window = m_help->Window();
    ASSERT_GT(window->Search("bank"), 0);
    QListWidgetItem* first = window->Results()->item(0);
    emit window->Results()->itemActivated(first);
    const auto hits = window->Manual().Search("bank");
    EXPECT_EQ(window->Current(), hits.front().where);
    EXPECT_EQ(window->Browser()->textCursor().selectedText().toLower(), "bank");

    EXPECT_EQ(window->Search("xylophone"), 0);
    EXPECT_EQ(window->Results()->count(), 1);  // the line saying nothing was found
    EXPECT_FALSE(window->Results()->item(0)->flags() & Qt::ItemIsEnabled);
}

}  // namespace
}  // namespace flr
