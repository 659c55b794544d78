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
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "base/commandids.h"
#include "model/effect.h"
#include "model/effectcatalogue.h"
#include "model/fireworksetup.h"
#include "model/flrdoc.h"
#include "model/ignition.h"
#include "model/timecode.h"
#include "reports/reportkind.h"
#include "support/framefixture.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/childframe.h"
#include "ui/frames/datasourcedialog.h"
#include "ui/frames/preferencesdialog.h"
#include "ui/reports/printdialog.h"
#include "ui/reports/reportrunner.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/fireworksetupdialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

class MainFrameTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(false, true); }
};

TEST_F(MainFrameTest, MenusAndCommandsFollowTheActiveShow)
{
    auto menus = [&] {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_frame->menuBar()->findChildren<QMenu*>().size();
    };
    auto titles = [&] { return m_frame->menuBar()->actions().size(); };
    const auto menusBefore = menus();
    EXPECT_EQ(titles(), 5);
    EXPECT_FALSE(m_frame->Action(cmd::FileSave)->isEnabled());
    // Opening and closing shows swaps the menu bars and leaves no menus behind.
    for (int i = 0; i < 2; ++i) {
        m_frame->NewShow()->close();
        QApplication::processEvents();
    }
    EXPECT_EQ(menus(), menusBefore);
    EXPECT_EQ(titles(), 5);

    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    EXPECT_EQ(titles(), 7);  // with Firework and Window
    EXPECT_EQ(child->windowTitle(), "FLR3[*]");
    // The view's first update puts the show's totals in the panes.
    EXPECT_EQ(child->PriceText(), "Price: 0");
    EXPECT_EQ(child->DiscountText(), "Weight: 0.00");

    m_frame->UpdateCommandUi();
    EXPECT_TRUE(m_frame->Action(cmd::FileSave)->isEnabled());
    EXPECT_FALSE(m_frame->Action(cmd::DeleteIgnition)->isEnabled());
    for (int id : {cmd::FileNew, cmd::FileOpen, cmd::Settings, cmd::ShowDatabase, cmd::AppAbout})
        EXPECT_TRUE(m_frame->Action(id)->isEnabled()) << id;

    // Schedule commands run on the active view.
    EXPECT_FALSE(child->isWindowModified());
    m_frame->Action(cmd::AddIgnition)->trigger();
    m_frame->Action(cmd::AddIgnition)->trigger();
    EXPECT_EQ(child->View()->Editor().Rows().size(), 2u);
    EXPECT_TRUE(child->Doc().IsModified());
    // Unsaved changes show in both titles at once.
    EXPECT_TRUE(child->isWindowModified());
    EXPECT_TRUE(m_frame->isWindowModified());
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

    // Edit's Undo and Redo name the step, on their keys and the toolbar.
    QAction* undo = m_frame->Action(cmd::EditUndo);
    QAction* redo = m_frame->Action(cmd::EditRedo);
    EXPECT_EQ(undo->text(), "&Undo Delete Ignitions");
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    const QList<QAction*> tools =
        m_frame->findChild<QToolBar*>(QStringLiteral("Toolbar"))->actions();
    EXPECT_TRUE(tools.contains(undo) && tools.contains(redo));
    undo->trigger();
    EXPECT_EQ(child->View()->Editor().Rows().size(), 2u);
    EXPECT_EQ(redo->text(), "&Redo Delete Ignitions");
    EXPECT_EQ(undo->text(), "&Undo Add Ignition");
    child->Doc().SetModifiedFlag(false);

    // The transport button pauses; the menu's commands and their keys follow at once.
    m_frame->Action(cmd::Run)->trigger();
    EXPECT_FALSE(m_frame->Action(cmd::Run)->isEnabled());
    auto* play = child->View()->findChild<QPushButton*>(QStringLiteral("PLAYBUTTON"));
    ASSERT_NE(play, nullptr);
    play->click();
    EXPECT_TRUE(m_frame->Action(cmd::Run)->isEnabled());
    EXPECT_TRUE(m_frame->Action(cmd::ResetTimer)->isEnabled());
    m_frame->Action(cmd::ResetTimer)->trigger();
    EXPECT_FALSE(m_frame->Action(cmd::Stop)->isEnabled());
}

// New shows open whole inside the working area, and the Window menu lists them, numbered.
TEST_F(MainFrameTest, TheWindowMenuListsTheOpenShowsAndEachOpensInsideTheArea)
{
    CChildFrame* first = m_frame->NewShow();
    CChildFrame* second = m_frame->NewShow();
    QApplication::processEvents();
    const QRect area = m_frame->findChild<QMdiArea*>()->viewport()->rect();
    for (CChildFrame* child : {first, second})
        EXPECT_TRUE(area.contains(child->geometry())) << child->Title().toStdString();
    first->Doc().SetModifiedFlag(true);
    m_frame->UpdateCommandUi();

    QMenu* window = nullptr;
    for (QAction* a : m_frame->menuBar()->actions())
        if (a->text() == "&Window") window = a->menu();
    ASSERT_NE(window, nullptr);
    auto listed = [&] {
        emit window->aboutToShow();
        QStringList texts;
        for (QAction* a : window->actions())
            if (a->property("windowEntry").toBool() && !a->isSeparator()) texts << a->text();
        return texts;
    };
    const QStringList texts = listed();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "&1 " + first->Title() + "*");
    EXPECT_EQ(texts[1], "&2 " + second->Title());
    EXPECT_EQ(listed().size(), 2);  // made afresh, not added again
    for (QAction* a : window->actions())
        if (a->text() == texts[0]) a->trigger();
    EXPECT_EQ(m_frame->ActiveChild(), first);
    first->Doc().SetModifiedFlag(false);
}

TEST_F(MainFrameTest, CancellingTheSaveQuestionKeepsTheProgramAndBarsSurviveARestart)
{
    QDockWidget* bar = m_frame->DatabaseBar();
    QAction* toggle = m_frame->Action(cmd::ShowDatabase);
    EXPECT_TRUE(bar->isVisible() && toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(bar->isVisible() || toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar->isVisible() && toggle->isChecked());
    m_frame->Action(cmd::ViewToolbar)->trigger();
    m_frame->Action(cmd::ViewStatusBar)->trigger();

    m_frame->NewShow()->Doc().NotifyChanged();
    EXPECT_FALSE(m_store->ReadBytes("MainFrame/PLACEMENT"));
    m_prompter.Answer(PromptAnswer::Cancel);
    EXPECT_FALSE(m_frame->close());
    EXPECT_TRUE(m_frame->isVisible());
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    EXPECT_EQ(m_prompter.Messages()[0].text, "Save changes to FLR1?");
    EXPECT_EQ(m_prompter.Messages()[0].buttons, PromptButtons::YesNoCancel);
    // The placement was written before the question.
    EXPECT_TRUE(m_store->ReadBytes("MainFrame/PLACEMENT"));
    EXPECT_TRUE(m_store->ReadBytes("Control Bars/State"));
    m_prompter.Answer(PromptAnswer::No);
    EXPECT_TRUE(m_frame->close());

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

// A new show asks for its setup; About and Preferences run through the dialog runner too, and
// Preferences write only a change.
TEST_F(MainFrameTest, SetupAboutAndPreferencesRunThroughTheDialogRunner)
{
    // Cancelled: the show still gets the default setup.
    CChildFrame* cancelled = m_frame->NewShow();
    ASSERT_NE(cancelled->Doc().GetSetup(), nullptr);
    EXPECT_EQ(cancelled->Doc().GetSetup()->GetEstimatedLength(), 5625);

    std::vector<std::string> shown;
    bool autoUpdate = false;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& d) {
        shown.push_back(d.metaObject()->className());
        if (qobject_cast<CFireworkSetupDialog*>(&d)) {
            d.findChild<QLineEdit*>(QStringLiteral("length"))->setText(QStringLiteral("2"));
            d.findChild<QRadioButton*>(QStringLiteral("fps30"))->setChecked(true);
            d.accept();
        } else if (auto* preferences = qobject_cast<CPreferencesDialog*>(&d)) {
            preferences->AutoUpdateBox()->setChecked(autoUpdate);
            preferences->accept();
        }
        return d.result();
    });
    CChildFrame* child = m_frame->NewShow();
    EXPECT_EQ(child->Doc().GetSetup()->GetEstimatedLength(), 4500);
    EXPECT_EQ(child->Doc().GetFrameRate(), 30);
    EXPECT_FALSE(child->Doc().IsModified());
    m_frame->Action(cmd::ShowSetup)->trigger();
    EXPECT_TRUE(child->Doc().IsModified());
    child->Doc().SetModifiedFlag(false);

    m_frame->Action(cmd::AppAbout)->trigger();
    m_frame->Action(cmd::Settings)->trigger();
    EXPECT_FALSE(m_store->ReadText("Settings/Update/AUTOUPDATE"));
    autoUpdate = true;
    m_frame->Action(cmd::Settings)->trigger();
    InstallDialogRunner(previous);
    EXPECT_EQ(*m_store->ReadText("Settings/Update/AUTOUPDATE"), "yes");
    EXPECT_EQ(shown,
              (std::vector<std::string>{"flr::CFireworkSetupDialog", "flr::CFireworkSetupDialog",
                                        "flr::CAboutDialog", "flr::CPreferencesDialog",
                                        "flr::CPreferencesDialog"}));
}

TEST_F(MainFrameTest, DataSourcesAreListedAndTheChosenOneConnects)
{
    // The driver manager reads the user's data sources from $ODBCINI.
    const QByteArray oldIni = qgetenv("ODBCINI");
    qputenv("ODBCINI", QByteArray::fromStdString((m_dir / ".odbc.ini").string()));
    std::ofstream(m_dir / ".odbc.ini") << "[Show Catalogue]\nDriver=SQLite3\nDatabase=/tmp/x.db\n";

    CDataSourceDialog dialog(m_frame.get());
    QListWidget* list = dialog.List();
    int row = -1;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toString() == "Show Catalogue") row = i;
    if (oldIni.isEmpty())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", oldIni);
    ASSERT_GE(row, 0);
    list->setCurrentRow(row);
    dialog.accept();
    EXPECT_EQ(dialog.ConnectString(), "DSN=Show Catalogue");
}

// Printing: the report commands' states, preview and print through the program's printer,
// into PDF files.
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

TEST_F(PrintingTest, ReportCommandsNeedRowsItemsAndChainsAndPreviewChoosesWhatPrintPrints)
{
    CChildFrame* child = m_frame->NewShow();
    QApplication::processEvents();
    const int all[] = {cmd::FilePrint,   cmd::PreviewFieldList, cmd::PreviewShootList,
                       cmd::PreviewPods, cmd::PreviewEffects,   cmd::PreviewChains};
    for (int id : all) EXPECT_FALSE(Enabled(id)) << id;

    // Entries without items: the lists, not the effect summary or the chain list.
    m_frame->Action(cmd::AddIgnition)->trigger();
    for (int id : all)
        EXPECT_EQ(Enabled(id), id != cmd::PreviewEffects && id != cmd::PreviewChains) << id;
    child->Doc().SetModifiedFlag(false);

    // Preview chooses the kind that Print prints.
    child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    for (int id : all) EXPECT_TRUE(Enabled(id)) << id;
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

    m_frame->Action(cmd::PreviewShootList)->trigger();
    EXPECT_EQ(previewTitle, "FLR Shoot List");

    // "Print..." prints the shoot list through the print dialog, on the program's printer.
    const fs::path pdf = m_dir / "shoot.pdf";
    m_frame->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_frame->Printer().setOutputFileName(QString::fromStdString(pdf.string()));
    InstallDialogRunner([&](QDialog& dialog) {
        return int(qobject_cast<CFLRPrintDialog*>(&dialog) ? QDialog::Accepted : QDialog::Rejected);
    });
    m_frame->Action(cmd::FilePrint)->trigger();
    EXPECT_EQ(PdfPages(pdf), 2);  // 62 rows

    // A cancelled print dialog prints nothing.
    const fs::path none = m_dir / "none.pdf";
    m_frame->Printer().setOutputFileName(QString::fromStdString(none.string()));
    InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    m_frame->Action(cmd::FilePrint)->trigger();
    EXPECT_FALSE(fs::exists(none));
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

    // A printer that cannot be written is reported.
    printer.setPageRanges(QPageRanges());
    printer.setOutputFileName(QString::fromStdString((m_dir / "no/such/x.pdf").string()));
    EXPECT_FALSE(RunReport(request, printer, ReportOutput::PrintDirect));
    ASSERT_EQ(m_prompter.Messages().size(), 2u);
    EXPECT_EQ(m_prompter.Messages()[1].caption, "Application Error");
    EXPECT_NE(m_prompter.Messages()[1].text.find("could not be printed"), std::string::npos);
}

// The database's row wins over a show file's copy of an item, whichever the program read first,
// and open shows follow the rows when they change.
TEST_F(PrintingTest, OpenShowsTakeTheDatabasesPricesStockAndTimings)
{
    m_frame.reset();
    StartFrame(true);
    // As if the bar had not listed the items yet when the show opened.
    CEffectCatalogue::Program().Clear();
    CChildFrame* child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    const CEffect* peony = CEffectCatalogue::Program().Find("BM-S050-01");
    ASSERT_NE(peony, nullptr);
    EXPECT_EQ(peony->GetStock(), 240);
    EXPECT_EQ(peony->GetOutPrice(), 5.0);
    EXPECT_EQ(peony->GetDescription(), "Red peony shell");
    EXPECT_NE(child->PriceText(), QStringLiteral("Price: 0"));
    EXPECT_FALSE(child->Doc().IsModified());

    // Another designer re-times the item: the next fill moves this show's In Times.
    const CIgnition* cue = child->Doc().FirstSchedule();
    while (cue && cue->GetItem() != peony) cue = cue->GetNextSchedule();
    ASSERT_NE(cue, nullptr);
    ASSERT_TRUE(m_db.ExecuteSQL(
        "UPDATE tbFireworks SET PreFire = '2.60', PriceOut = 7 WHERE SerialID = 'BM-S050-01'"));
    const QString priceBefore = child->PriceText();
    m_frame->RefreshDatabaseLists();
    EXPECT_EQ(peony->GetPrefire(), 2.6);
    EXPECT_EQ(cue->GetInTime(),
              SubtractPrefire(cue->GetTime(), 2.6, child->Doc().GetSetup()->GetFrameRate()));
    EXPECT_NE(child->PriceText(), priceBefore);
    EXPECT_TRUE(child->Doc().IsModified());
    ASSERT_FALSE(m_prompter.Notes().empty());
    EXPECT_NE(m_prompter.Notes().back().find("Red Peony 50"), std::string::npos);

    // A show read after the bar filled keeps the database's item too: its In Times follow.
    child->Doc().SetModifiedFlag(false);
    child->close();
    child = m_frame->OpenShow(kSample);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(CEffectCatalogue::Program().Find("BM-S050-01")->GetPrefire(), 2.6);
    EXPECT_TRUE(child->Doc().IsModified());
}

}  // namespace
}  // namespace flr
