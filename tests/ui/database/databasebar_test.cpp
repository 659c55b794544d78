// The database bar on a real SQLite product database: its lists, the item filter, items
// dropped from it onto a show's schedule, the record editors, and the "Import effects" dialog
// that offers the items of an opened show the database lacks.
#include "ui/database/databasebar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>

#include "base/commandids.h"
#include "database/itemdrag.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/ignition.h"
#include "model/showfilewriter.h"
#include "support/framefixture.h"
#include "support/showbuilder.h"
#include "ui/common/dialogrunner.h"
#include "ui/database/contacteditor.h"
#include "ui/database/importeffectsdialog.h"
#include "ui/database/importeffectslist.h"
#include "ui/database/itemeditor.h"
#include "ui/frames/childframe.h"
#include "ui/frames/mainframe.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"

namespace flr {
namespace {

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

TEST_F(DatabaseBarTest, TheItemPageListsFiltersAndAddsItems)
{
    CItemPage* page = m_frame->DatabaseTabs()->ItemsPage();
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

    m_frame->RefreshDatabaseLists();
    EXPECT_EQ(page->Items().size(), all);

    // Add Item opens the editor; the new item is listed.
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
        editor->OkButton()->click();
        return editor->result();
    });
    m_frame->Action(cmd::AddItem)->trigger();
    InstallDialogRunner(previous);

    EXPECT_TRUE(ran);
    EXPECT_TRUE(m_frame->Action(cmd::AddItem)->isEnabled());
    EXPECT_EQ(page->Items().size(), all + 1);
    const CEffect* item = CEffectCatalogue::Program().Find("UI-1");
    ASSERT_NE(item, nullptr);
    EXPECT_DOUBLE_EQ(item->GetPrefire(), 2.0);
    EXPECT_NE(std::find(page->Items().begin(), page->Items().end(), item), page->Items().end());
    EXPECT_TRUE(m_prompter.Messages().empty());
    CEffectCatalogue::Program().Remove("UI-1");
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

// The fields of the editor's grid from top to bottom, and in tab order.
// The field names down the editor's grid, a group's fields in their place.
void GridLines(const QGridLayout* grid, QStringList& rows)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        QLayoutItem* field = grid->itemAtPosition(r, 1);
        if (!field) continue;
        if (auto* group = qobject_cast<QGroupBox*>(field->widget()))
            GridLines(qobject_cast<QGridLayout*>(group->layout()), rows);
        else
            rows << field->widget()->objectName();
    }
}

std::pair<QStringList, QStringList> Lines(QDialog* editor)
{
    QStringList rows;
    auto* grid = editor->findChild<QGridLayout*>(QStringLiteral("fields"));
    GridLines(grid, rows);
    QStringList tabs;
    for (QWidget* w = grid->itemAtPosition(0, 1)->widget(); !qobject_cast<QPushButton*>(w);
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) tabs << w->objectName();
    }
    return {rows, tabs};
}

TEST_F(DatabaseBarTest, ContactEditorsAddEditAndDeleteListedRows)
{
    struct Case {
        int command;
        CContactPage* page;
        QString title;
        int lines;  // the country's box included
        QString key;
    };
    CDatabaseBar* sheet = m_frame->DatabaseTabs();
    const Case cases[] = {
        {cmd::AddCustomer, sheet->CustomersPage(), "Customer", 13, "C-77"},
        {cmd::AddManufacturer, sheet->ManufacturersPage(), "Manufacturer", 12, "77"}};
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
            EXPECT_EQ(rows.size(), c.lines);
            EXPECT_EQ(tabs, rows);
            EXPECT_FALSE(editor->findChild<QPushButton*>("delete")->isVisibleTo(editor));
            // The contact's "Name :" reads as the contact's; unlabelled lines say what they are.
            auto* contact = editor->findChild<QLineEdit*>("contact");
            auto* group = qobject_cast<QGroupBox*>(contact->parentWidget());
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->title(), "Contact");
            EXPECT_EQ(editor->findChild<QLineEdit*>("name")->parentWidget(), editor);
            if (auto* tel2 = editor->findChild<QLineEdit*>("tel2")) {
                EXPECT_EQ(tel2->placeholderText(), "second telephone");
            }
            auto* key = editor->findChild<QLineEdit*>(rows[0]);
            // Manufacturer numbers take digits only.
            EXPECT_EQ(key->validator() != nullptr, c.command == cmd::AddManufacturer);
            key->setText(c.key);
            editor->findChild<QLineEdit*>("name")->setText("Added");
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

class ImportEffectsTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(true); }
    // A show of a known item and two the database lacks (the larger one first).
    std::string WriteShow()
    {
        CFLRDoc doc;
        test::AppendEntry(doc, "00:00:01:00", "A01", test::MakeItem("BM-S050-01"));
        CEffectRef big = test::MakeItem("IMP-150");
        big->SetSize(150);
        big->SetName("Imported Willow");
        test::AppendEntry(doc, "00:00:02:00", "A02", big);
        CEffectRef small = test::MakeItem("IMP-030");
        small->SetSize(30);
        test::AppendEntry(doc, "00:00:03:00", "A03", small);
        const std::string path = (m_dir / "import.flr").string();
        EXPECT_TRUE(CShowFileWriter::Save(doc, path));
        ForgetImported();
        return path;
    }
    // The catalogue learns the show's items from the file, not from this document.
    static void ForgetImported()
    {
        for (const char* article : {"IMP-150", "IMP-030"})
            CEffectCatalogue::Program().Remove(article);
    }
    int Stored(const std::string& article)
    {
        CItemTable row(&m_db);
        EXPECT_TRUE(row.OpenTable(FireworksQuery::WithSerialID(article)));
        return int(row.GetRecordCount());
    }
};

TEST_F(ImportEffectsTest, MissingItemsAreOfferedEditedAndImported)
{
    const std::string path = WriteShow();
    CItemPage* page = m_frame->DatabaseTabs()->ItemsPage();
    const size_t listed = page->Items().size();
    int runs = 0;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<CImportEffectsDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        if (++runs == 1) {
            dialog->CancelButton()->click();
            return dialog->result();
        }
        EXPECT_EQ(dialog->windowTitle(), "Import effects");
        // Only the two the database lacks, smallest calibre first.
        const CEffectImport& rows = dialog->Rows();
        EXPECT_EQ(rows.Count(), 2u);
        EXPECT_EQ(rows.CellText(0, 2), "IMP-030");
        EXPECT_EQ(rows.CellText(1, 2), "IMP-150");
        EXPECT_FALSE(dialog->Progress()->isEnabled());

        CImportEffectsList* list = dialog->List();
        dialog->show();
        QApplication::processEvents();
        auto clickCell = [list](int row, int column) {
            const QRect rect = list->visualRect(list->Model()->index(row, column));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        };
        // The first click selects the row; the next one on the Import cell toggles it.
        clickCell(0, 9);
        EXPECT_EQ(rows.CellText(0, 9), "YES");
        clickCell(0, 9);
        EXPECT_EQ(rows.CellText(0, 9), "NO");
        // The other row's name, edited in place.
        clickCell(1, 3);
        clickCell(1, 3);
        auto* edit = qobject_cast<QLineEdit*>(list->CellEditor());
        EXPECT_NE(edit, nullptr);
        if (edit) {
            edit->setText(QStringLiteral("Renamed Willow"));
            QTest::keyClick(edit, Qt::Key_Return);
            QApplication::processEvents();
        }
        EXPECT_EQ(rows.CellText(1, 3), "Renamed Willow");
        dialog->ImportButton()->click();
        return dialog->result();
    });
    // Cancelled: nothing is written, and the show's next opening offers the items again.
    CChildFrame* cancelled = m_frame->OpenShow(QString::fromStdString(path));
    ASSERT_NE(cancelled, nullptr);
    EXPECT_EQ(Stored("IMP-150") + Stored("IMP-030"), 0);
    EXPECT_TRUE(m_prompter.Messages().empty());
    cancelled->Doc().SetModifiedFlag(false);
    cancelled->close();
    ForgetImported();
    ASSERT_NE(m_frame->OpenShow(QString::fromStdString(path)), nullptr);
    InstallDialogRunner(previous);

    EXPECT_EQ(runs, 2);
    const auto messages = m_prompter.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, "1 of 2 effects was succesfully imported.");
    EXPECT_EQ(Stored("IMP-150"), 1);
    EXPECT_EQ(Stored("IMP-030"), 0);
    EXPECT_EQ(Stored("BM-S050-01"), 1);
    // The bar lists the imported item, as the show has it.
    EXPECT_EQ(page->Items().size(), listed + 1);
    const CEffect* item = CEffectCatalogue::Program().Find("IMP-150");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetName(), "Renamed Willow");
    EXPECT_NE(std::find(page->Items().begin(), page->Items().end(), item), page->Items().end());
    // Both items stay in the catalogue: opening the show again offers nothing.
    EXPECT_NE(CEffectCatalogue::Program().Find("IMP-030"), nullptr);
    // With a database the CSV commands are there.
    EXPECT_TRUE(m_frame->Action(cmd::ImportDatabase)->isEnabled());
    EXPECT_TRUE(m_frame->Action(cmd::ExportDatabase)->isEnabled());
}

}  // namespace
}  // namespace flr
