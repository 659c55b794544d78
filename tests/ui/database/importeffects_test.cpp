// Opening a show whose items the product database lacks: the "Import effects" dialog offers
// them, and what the user imports reaches the database and the database bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/commandids.h"
#include "base/settingsstore.h"
#include "database/database.h"
#include "database/datasource.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "ui/common/dialogrunner.h"
#include "ui/database/databasebar.h"
#include "ui/database/importeffectsdialog.h"
#include "ui/database/importeffectslist.h"
#include "ui/frames/mainframe.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

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
        // The catalogue learns the show's items from the file, not from this document.
        for (const char* article : {"IMP-150", "IMP-030"})
            CEffectCatalogue::Program().Remove(article);
        return path;
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
        ++runs;
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
    ASSERT_NE(m_frame->OpenShow(QString::fromStdString(path)), nullptr);
    InstallDialogRunner(previous);

    EXPECT_EQ(runs, 1);
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
    EXPECT_FALSE(m_frame->Action(cmd::ImportDatabase)->isEnabled());
    EXPECT_FALSE(m_frame->Action(cmd::ExportDatabase)->isEnabled());
}

TEST_F(ImportEffectsTest, CancelLeavesTheDatabaseAlone)
{
    const std::string path = WriteShow();
    int runs = 0;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<CImportEffectsDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        ++runs;
        dialog->CancelButton()->click();
        return dialog->result();
    });
    ASSERT_NE(m_frame->OpenShow(QString::fromStdString(path)), nullptr);
    InstallDialogRunner(previous);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Stored("IMP-150"), 0);
    EXPECT_EQ(Stored("IMP-030"), 0);
    EXPECT_TRUE(m_prompter.Messages().empty());
}

}  // namespace
}  // namespace flr
