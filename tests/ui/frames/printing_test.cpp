// Printing from the desktop program: the report commands' states, preview and print through
// the program's printer, into PDF files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/recentfilelist.h"
#include "app/updatesettings.h"
#include "base/commandids.h"
#include "base/settingsstore.h"
#include "model/flrdoc.h"
#include "reports/reportkind.h"
#include "support/framefixture.h"
#include "support/scriptedprompter.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/childframe.h"
#include "ui/frames/mainframe.h"
#include "ui/reports/printdialog.h"
#include "ui/reports/reportrunner.h"
#include "ui/schedule/flrview.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

const char* const kSample = FLR_SAMPLE_SHOW;

int PdfPages(const fs::path& pdf)
{
    std::ifstream in(pdf, std::ios::binary);
    std::string line;
    int pages = 0;
    while (std::getline(in, line)) pages += line == "/Type /Page";
    return pages;
}

class PrintingTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(false); }
    void TearDown() override
    {
        // Back to the suite's runner: a new show's setup dialog is rejected.
        InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
        FrameTest::TearDown();
    }
    bool Enabled(int id)
    {
        m_frame->UpdateCommandUi();
        return m_frame->Action(id)->isEnabled();
    }
};

TEST_F(PrintingTest, ReportCommandsNeedRowsItemsAndChains)
{
    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    const int all[] = {cmd::FilePrint,   cmd::PreviewFieldList, cmd::PreviewShootList,
                       cmd::PreviewPods, cmd::PreviewEffects,   cmd::PreviewChains};
    for (int id : all) EXPECT_FALSE(Enabled(id)) << id;

    // Entries without items: the lists, not the effect summary or the chain list.
    m_frame->Action(cmd::AddIgnition)->trigger();
    for (int id :
         {cmd::FilePrint, cmd::PreviewFieldList, cmd::PreviewShootList, cmd::PreviewPods}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_FALSE(Enabled(cmd::PreviewEffects));
    EXPECT_FALSE(Enabled(cmd::PreviewChains));
    EXPECT_FALSE(Enabled(cmd::PreviewRacks));
    child->Doc().SetModifiedFlag(false);

    ASSERT_NE(m_frame->OpenShow(kSample), nullptr);
    for (int id : all) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(cmd::PreviewRacks));
}

TEST_F(PrintingTest, PreviewChoosesTheKindThatPrintPrints)
{
    CChildFrame* child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->View()->ReportKind(), report::FieldList);

    QString previewTitle;
    int previewPages = 0;
    InstallDialogRunner([&](QDialog& dialog) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(&dialog);
        if (!preview) return int(QDialog::Rejected);
        previewTitle = preview->windowTitle();
        // Draws every page, as the window does when it opens.
        auto* widget = preview->findChild<QPrintPreviewWidget*>();
        widget->updatePreview();
        previewPages = widget->pageCount();
        return int(QDialog::Rejected);
    });
    m_frame->Action(cmd::PreviewChains)->trigger();
    EXPECT_EQ(previewTitle, "FLR Chain List");
    EXPECT_EQ(previewPages, 1);
    EXPECT_EQ(child->View()->ReportKind(), report::ChainList);

    child->View()->RunCommand(cmd::PreviewComplete);
    EXPECT_EQ(previewTitle, "Complete List");
    EXPECT_EQ(child->View()->ReportKind(), report::CompleteList);
    m_frame->Action(cmd::PreviewShootList)->trigger();
    EXPECT_EQ(previewTitle, "FLR Shoot List");

    // "Print..." prints the shoot list through the print dialog, on the program's printer.
    const fs::path pdf = m_dir / "shoot.pdf";
    m_frame->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_frame->Printer().setOutputFileName(QString::fromStdString(pdf.string()));
    QString dialogTitle;
    QStringList boxes;
    InstallDialogRunner([&](QDialog& dialog) {
        auto* print = qobject_cast<CFLRPrintDialog*>(&dialog);
        if (!print) return int(QDialog::Rejected);
        dialogTitle = print->windowTitle();
        boxes = {print->UselessBox()->text(), print->NotToMentionBox()->text()};
        return int(QDialog::Accepted);
    });
    m_frame->Action(cmd::FilePrint)->trigger();
    EXPECT_EQ(dialogTitle, "Print");
    EXPECT_EQ(boxes, QStringList({"This is a totally useless checkbox ...",
                                  "Not to mention this one ..."}));
    EXPECT_EQ(PdfPages(pdf), 2);  // 62 rows
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(PrintingTest, PrintHonoursPagesNamedApartAndMakesCopiesAPdfCannot)
{
    CChildFrame* child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    const ReportRequest request = child->View()->MakeReportRequest(report::FieldList);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A6));  // small pages: several of them
    auto printWith = [&](const fs::path& pdf, auto choose) {
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        InstallDialogRunner([&](QDialog&) {
            choose();
            return int(QDialog::Accepted);
        });
        return RunReport(request, printer, ReportOutput::PrintWithDialog);
    };

    ASSERT_TRUE(printWith(m_dir / "all.pdf", [] {}));
    const int all = PdfPages(m_dir / "all.pdf");
    ASSERT_GE(all, 3);

    QPageRanges apart;
    apart.addPage(1);
    apart.addPage(3);
    EXPECT_TRUE(printWith(m_dir / "apart.pdf", [&] { printer.setPageRanges(apart); }));
    EXPECT_EQ(PdfPages(m_dir / "apart.pdf"), 2);

    EXPECT_TRUE(printWith(m_dir / "copies.pdf", [&] {
        printer.setPageRanges(QPageRanges());
        printer.setCopyCount(2);
    }));
    EXPECT_EQ(PdfPages(m_dir / "copies.pdf"), 2 * all);

    // Pages the report does not have: said so, and no blank sheet.
    QPageRanges beyond;
    beyond.addRange(all + 1, all + 5);
    EXPECT_FALSE(printWith(m_dir / "none.pdf", [&] { printer.setPageRanges(beyond); }));
    EXPECT_FALSE(fs::exists(m_dir / "none.pdf"));
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    EXPECT_NE(m_prompter.Messages()[0].text.find("None of the chosen pages"), std::string::npos);
}

TEST_F(PrintingTest, ACancelledPrintDialogPrintsNothing)
{
    ASSERT_NE(m_frame->OpenShow(kSample), nullptr);
    const fs::path pdf = m_dir / "none.pdf";
    m_frame->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_frame->Printer().setOutputFileName(QString::fromStdString(pdf.string()));
    InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    m_frame->Action(cmd::FilePrint)->trigger();
    EXPECT_FALSE(fs::exists(pdf));
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(PrintingTest, APrinterThatCannotBeWrittenIsReported)
{
    CChildFrame* child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((m_dir / "no/such/folder/x.pdf").string()));
    const ReportRequest request = child->View()->MakeReportRequest(report::FieldList);
    EXPECT_FALSE(RunReport(request, printer, ReportOutput::PrintDirect));
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    EXPECT_EQ(m_prompter.Messages()[0].caption, "Application Error");
    EXPECT_NE(m_prompter.Messages()[0].text.find("could not be printed"), std::string::npos);
}

}  // namespace
}  // namespace flr
