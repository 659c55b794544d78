// The Database menu's Export and Import on the frame's SQLite database: the dialogs drive the
// catalogue's CSV library and the bar lists what was imported.
#include "ui/database/cataloguefiledialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "base/commandids.h"
#include "support/framefixture.h"
#include "ui/common/dialogrunner.h"
#include "ui/database/databasebar.h"
#include "ui/frames/mainframe.h"

namespace flr {
namespace {

using CatalogueFileDialogsTest = test::FrameTest;

TEST_F(CatalogueFileDialogsTest, ImportPreviewsThenWritesAndExportWritesTheChosenTable)
{
    StartFrame(true);
    const QString in = QString::fromStdString((m_dir / "supplier.csv").string());
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Art No;Name;Kaliber\nUI-1;Blue Comet;30\nUI-2;Red Comet;x\n");
    file.close();
    CItemPage* page = m_frame->DatabaseTabs()->ItemsPage();
    const size_t before = page->Items().size();

    // The file chooser picks `in`, `preview` answers the import's preview, the export writes
    // the manufacturers to `out`.
    const QString out = QString::fromStdString((m_dir / "makers.csv").string());
    std::function<void(CImportDialog&)> preview;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        if (auto* chooser = qobject_cast<QFileDialog*>(&dialog)) {
            chooser->selectFile(in);
            static_cast<QDialog*>(chooser)->accept();
        } else if (auto* importer = qobject_cast<CImportDialog*>(&dialog)) {
            preview(*importer);
            importer->ImportButton()->click();
        } else if (auto* exporter = dynamic_cast<CExportDialog*>(&dialog)) {
            exporter->TableButton(ExportTable::Manufacturers)->setChecked(true);
            exporter->PathEdit()->setText(out);
            exporter->accept();
        }
        return dialog.result();
    });
    std::vector<std::string> seen;
    preview = [&](CImportDialog& p) {
        seen.push_back(p.SummaryLabel()->text().toStdString());
        EXPECT_FALSE(p.ImportButton()->isEnabled());
        emit p.MatchBox(2)->activated(3);  // Kaliber is the Size
        seen.push_back(p.SummaryLabel()->text().toStdString());
        EXPECT_EQ(p.RefusedList()->item(0)->text(), "Line 3: Size \"x\" is not a whole number");
        EXPECT_FALSE(p.ImportButton()->isEnabled());
        emit p.MatchBox(2)->activated(0);  // refused rows: Import writes nothing
    };
    m_frame->Action(cmd::ImportDatabase)->trigger();
    EXPECT_EQ(page->Items().size(), before);

    file.open(QIODevice::WriteOnly);
    file.write("Art No;Name;Kaliber\nUI-1;Blue Comet;30\nUI-2;Red Comet;45\n");
    file.close();
    preview = [&](CImportDialog& p) {
        emit p.MatchBox(2)->activated(3);
        seen.push_back(p.SummaryLabel()->text().toStdString());
    };
    m_frame->Action(cmd::ImportDatabase)->trigger();
    EXPECT_EQ(seen, (std::vector<std::string>{"0 new, 0 updated, 1 refused: see the list",
                                              "1 new, 0 updated, 1 refused: see the list",
                                              "2 new, 0 updated, 0 refused"}));
    EXPECT_EQ(page->Items().size(), before + 2);  // the bar was refreshed

    m_frame->Action(cmd::ExportDatabase)->trigger();
    InstallDialogRunner(previous);
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readLine().startsWith("Index,SupplierNO,Name,"));
    EXPECT_TRUE(m_prompter.Messages().empty());
}

}  // namespace
}  // namespace flr
