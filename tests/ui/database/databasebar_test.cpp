// The database bar on a real SQLite product database: its lists, the item filter, and items
// dropped from it onto a show's schedule, and adding an item from the main frame.
#include "ui/database/databasebar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/commandids.h"
#include "base/settingsstore.h"
#include "database/database.h"
#include "database/datasource.h"
#include "database/itemdrag.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/ignition.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "ui/common/dialogrunner.h"
#include "ui/database/contacteditor.h"
#include "ui/database/itemeditor.h"
#include "ui/frames/childframe.h"
#include "ui/frames/mainframe.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

class DatabaseBarTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(true); }
    // Drops article `article` on the show's schedule list at row `row` (past the last row: the
    // empty space below it).
    void Drop(CChildFrame* child, const std::string& article, bool replaceAtStart, bool ctrl,
              int row, bool ctrlLetGoOnTheWay = false)
    {
        CScheduleList* list = child->View()->List();
        QMimeData data;
        data.setData(kItemMimeType, EncodeDraggedItem({article, replaceAtStart}));
        const QRect rect = row < list->Model()->rowCount()
                               ? list->visualRect(list->Model()->index(row, 0))
                               : QRect(0, list->viewport()->height() - 4, 10, 2);
        const QPoint at(rect.left() + 2, rect.top() + 1);
        const Qt::KeyboardModifiers keys = ctrl ? Qt::ControlModifier : Qt::NoModifier;
        // As a drag arrives: it enters the list first, then drops.
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(list->viewport(), &enter);
        if (ctrlLetGoOnTheWay) {
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &move);
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(list->viewport(), &drop);
        QApplication::processEvents();  // the drop is handled once the drag is over
    }
};

TEST_F(DatabaseBarTest, PagesListTheDatabaseAndTheFilterNarrowsTheItems)
{
    CDatabaseBar* sheet = m_frame->DatabaseTabs();
    ASSERT_EQ(sheet->count(), 3);
    EXPECT_EQ(sheet->tabText(0), "Fireworks");
    CItemPage* page = sheet->ItemsPage();
    const size_t all = page->Items().size();
    EXPECT_GT(all, 20u);
    EXPECT_EQ(page->List()->model()->rowCount(), int(all));

    EXPECT_FALSE(page->NameEdit()->isEnabled());
    page->FilterBox()->click();
    EXPECT_TRUE(page->NameEdit()->isEnabled());
    page->NameEdit()->setText(QStringLiteral("PEONY"));
    EXPECT_LT(page->Items().size(), all);
    EXPECT_FALSE(page->Items().empty());
    page->FilterBox()->click();
    EXPECT_EQ(page->Items().size(), all);

    sheet->CustomersPage()->Initialise();
    sheet->ManufacturersPage()->Initialise();
    EXPECT_FALSE(sheet->CustomersPage()->Rows().empty());
    for (const ContactRow& c : sheet->CustomersPage()->Rows())
        EXPECT_NE(c->cells[1], "No Customer");
    EXPECT_FALSE(sheet->ManufacturersPage()->Rows().empty());
    m_frame->RefreshDatabaseLists();
    EXPECT_EQ(page->Items().size(), all);
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(DatabaseBarTest, DroppedItemsAreAddedOrReplaceWithCtrlHeldToTheEnd)
{
    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    Drop(child, "BM-S050-01", false, false, 0);
    ASSERT_EQ(child->View()->Editor().Rows().size(), 1u);
    CIgnition* first = child->View()->Editor().Rows()[0];
    ASSERT_NE(first->GetItem(), nullptr);
    EXPECT_EQ(first->GetItem()->GetArticleNumber(), "BM-S050-01");

    // Ctrl held from start to drop: the entry's item is replaced, after the question.
    m_prompter.Answer(PromptAnswer::Yes);
    Drop(child, "BM-S050-02", true, true, 0);
    ASSERT_EQ(child->View()->Editor().Rows().size(), 1u);
    EXPECT_EQ(child->View()->Editor().Rows()[0]->GetItem()->GetArticleNumber(), "BM-S050-02");
    ASSERT_EQ(m_prompter.Messages().size(), 1u);

    // Ctrl let go before the drop: a new entry instead, even when pressed again at the drop.
    Drop(child, "BM-S050-03", true, false, 1);
    EXPECT_EQ(child->View()->Editor().Rows().size(), 2u);
    Drop(child, "BM-S050-03", true, true, 0, true);
    EXPECT_EQ(child->View()->Editor().Rows().size(), 3u);
    EXPECT_EQ(m_prompter.Messages().size(), 1u);
    // An article the catalogue does not have is refused with a beep. (Items dropped at the
    // show's start beep too: their prefire does not fit before 00:00:00:00.)
    const int beeps = m_prompter.BeepCount();
    Drop(child, "NO-SUCH-ITEM", false, false, 2);
    EXPECT_EQ(child->View()->Editor().Rows().size(), 3u);
    EXPECT_EQ(m_prompter.BeepCount(), beeps + 1);
    child->Doc().SetModifiedFlag(false);
}

}  // namespace
}  // namespace flr

namespace flr {
namespace {

TEST_F(DatabaseBarTest, AddItemOpensTheEditorAndTheNewItemIsListed)
{
    CItemPage* page = m_frame->DatabaseTabs()->ItemsPage();
    const size_t before = page->Items().size();
    ASSERT_TRUE(m_frame->Action(cmd::AddItem)->isEnabled());
    bool ran = false;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        auto* editor = qobject_cast<CItemEditor*>(&dialog);
        if (!editor) return int(QDialog::Rejected);
        ran = true;
        EXPECT_EQ(editor->windowTitle(), "Add Firework Item");
        EXPECT_FALSE(m_frame->Action(cmd::AddItem)->isEnabled());
        EXPECT_FALSE(editor->OkButton()->isEnabled());
        editor->findChild<QLineEdit*>("article")->setText("UI-1");
        editor->findChild<QLineEdit*>("name")->setText("Blue Comet");
        editor->findChild<QLineEdit*>("size")->setText("30");
        // A "." is refused with a beep and the last accepted text comes back.
        QLineEdit* prefire = editor->findChild<QLineEdit*>("prefire");
        prefire->setText("2");
        prefire->setText("2.");
        EXPECT_EQ(prefire->text(), "2");
        EXPECT_EQ(m_prompter.Beeps(BeepKind::Exclamation), 1);
        editor->UpdateOkButton();
        EXPECT_TRUE(editor->OkButton()->isEnabled());
        editor->OkButton()->click();
        return editor->result();
    });
    m_frame->Action(cmd::AddItem)->trigger();
    InstallDialogRunner(previous);

    EXPECT_TRUE(ran);
    EXPECT_TRUE(m_frame->Action(cmd::AddItem)->isEnabled());
    EXPECT_EQ(page->Items().size(), before + 1);
    const CEffect* item = CEffectCatalogue::Program().Find("UI-1");
    ASSERT_NE(item, nullptr);
    EXPECT_DOUBLE_EQ(item->GetPrefire(), 2.0);
    EXPECT_NE(std::find(page->Items().begin(), page->Items().end(), item), page->Items().end());
    EXPECT_TRUE(m_prompter.Messages().empty());
    CEffectCatalogue::Program().Remove("UI-1");
}

}  // namespace
}  // namespace flr

namespace flr {
namespace {

// "Label=name" for each row of the editor's grid, and the names in tab order.
std::pair<QString, QStringList> Lines(QDialog* editor)
{
    QStringList rows;
    auto* grid = editor->findChild<QGridLayout*>();
    for (int r = 0; r < grid->rowCount(); ++r) {
        QLayoutItem* label = grid->itemAtPosition(r, 0);
        QLayoutItem* field = grid->itemAtPosition(r, 1);
        rows << (label ? qobject_cast<QLabel*>(label->widget())->text() : QString()) + "=" +
                    (field ? field->widget()->objectName() : QString());
    }
    QStringList tabs;
    for (QWidget* w = grid->itemAtPosition(0, 1)->widget(); !qobject_cast<QPushButton*>(w);
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) tabs << w->objectName();
    }
    return {rows.join('|'), tabs};
}

TEST_F(DatabaseBarTest, ContactEditorsAddEditAndDeleteListedRows)
{
    struct Case {
        int command;
        CContactPage* page;
        QString title;
        QString lines;
        QString key;
    };
    CDatabaseBar* sheet = m_frame->DatabaseTabs();
    const Case cases[] = {
        {cmd::AddCustomer, sheet->CustomersPage(), "Customer",
         "Customer No :=customerNo|Name :=name|Address :=address|Zip Code :=zipCode|City :=city|"
         "Name :=contact|Tel :=tel|=tel2|Mob :=mob|=mob2|Fax :=fax|E-Mail :=email|Note :=notes",
         "C-77"},
        {cmd::AddManufacturer, sheet->ManufacturersPage(), "Manufacturer",
         "Mfr No :=number|Name :=name|Address :=address|Zip Code :=zipCode|City :=city|"
         "Country :=country|Name :=contact|Tel :=tel|Mob :=mob|Fax :=fax|E-Mail :=email|"
         "Note :=notes",
         "77"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        c.page->Initialise();
        const size_t before = c.page->Rows().size();
        // Each run answers one editor: `act` fills it in and ends it.
        std::function<void(CContactEditor*)> act;
        const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
            auto* editor = qobject_cast<CContactEditor*>(&dialog);
            if (!editor) return int(QDialog::Rejected);
            act(editor);
            return editor->result();
        });

        act = [&](CContactEditor* editor) {
            EXPECT_EQ(editor->windowTitle(), "Add " + c.title);
            const auto [rows, tabs] = Lines(editor);
            EXPECT_EQ(rows, c.lines);
            QStringList names;
            for (const QString& row : rows.split('|')) names << row.section('=', 1);
            EXPECT_EQ(tabs, names);
            EXPECT_FALSE(editor->findChild<QPushButton*>("delete")->isVisibleTo(editor));
            auto* key = editor->findChild<QLineEdit*>(names[0]);
            // Manufacturer numbers take digits only.
            EXPECT_EQ(key->validator() != nullptr, c.command == cmd::AddManufacturer);
            key->setText(c.key);
            editor->findChild<QLineEdit*>("name")->setText("Added");
            ASSERT_TRUE(editor->OkButton()->isEnabled());
            editor->OkButton()->click();
        };
        m_frame->Action(c.command)->trigger();
        ASSERT_EQ(c.page->Rows().size(), before + 1);
        const ContactRow row = c.page->Rows().back();
        EXPECT_EQ(row->Key(), c.key.toStdString());

        act = [&](CContactEditor* editor) {
            EXPECT_EQ(editor->windowTitle(), "Edit " + c.title);
            EXPECT_FALSE(editor->findChild<QLineEdit*>("name")->text().isEmpty());
            EXPECT_FALSE(editor->findChild<QLineEdit*>(Lines(editor).second[0])->isEnabled());
            editor->findChild<QLineEdit*>("name")->setText("Edited");
            editor->OkButton()->click();
        };
        emit c.page->RowActivated(row);
        EXPECT_EQ(row->cells[1], "Edited");

        act = [&](CContactEditor* editor) {
            m_prompter.Answer(PromptAnswer::Yes);
            editor->findChild<QPushButton*>("delete")->click();
        };
        emit c.page->RowActivated(row);
        EXPECT_EQ(c.page->Rows().size(), before);
        InstallDialogRunner(previous);
    }
}

}  // namespace
}  // namespace flr
