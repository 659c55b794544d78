#include "ui/frames/childframe.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <set>

#include "app/recoveryfiles.h"
#include "app/showio.h"
#include "base/commandids.h"
#include "base/prompt.h"
#include "base/settingsstore.h"
#include "base/textcodec.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "music/trackloader.h"
#include "transfer/portmap.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/mainframe.h"
#include "ui/reports/reportrunner.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/chooseitemdialog.h"
#include "ui/show/fireworksetupdialog.h"
#include "ui/show/racktypedialog.h"
#include "ui/show/selectchaindialog.h"
#include "ui/transfer/transferdialog.h"

namespace flr {

namespace {

constexpr const char* kUndoLimitKey = "Settings/UNDOLIMIT";

// The panes are as wide as 39 and 36 blanks.
int PaneWidth(const QWidget* w, int blanks)
{
    return w->fontMetrics().horizontalAdvance(QString(blanks, QLatin1Char(' ')));
}

}  // namespace

CChildFrame::CChildFrame(std::unique_ptr<CFLRDoc> doc, const QString& path, const QString& title,
                         CDatabase* database, QWidget* parent)
    : QMdiSubWindow(parent),
      m_doc(std::move(doc)),
      m_database(database),
      m_path(path),
      m_title(title)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_view = new CFLRView(*m_doc);
    m_view->SetShowPath(path.toStdString());
    {
        // "Settings/UNDOLIMIT": the steps a show's history keeps (0: no limit).
        const std::optional<std::string> limit = CSettingsStore().ReadText(kUndoLimitKey);
        if (limit) m_view->History().SetLimit(std::atoi(limit->c_str()));
    }
    layout->addWidget(m_view, 1);

    m_statusBar = new QStatusBar;
    m_statusBar->setSizeGripEnabled(false);
    m_pricePane = new QLabel(QStringLiteral("Price: 0"));
    m_discountPane = new QLabel(QStringLiteral("Discount: 0"));
    m_pricePane->setMinimumWidth(PaneWidth(m_pricePane, 39));
    m_discountPane->setMinimumWidth(PaneWidth(m_discountPane, 36));
    m_statusBar->addPermanentWidget(m_pricePane);
    m_statusBar->addPermanentWidget(m_discountPane);
    m_statusBar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    layout->addWidget(m_statusBar);

    setWidget(body);
    setMinimumSize(kMinWidth, kMinHeight);
    setMaximumSize(12800, 10240);
    UpdateTitle();

    m_view->SetStatusSink([this](const QString& price, const QString& weight) {
        SetPriceText(price);
        SetDiscountText(weight);
    });
    m_view->SetDatabase(database);
    m_view->SetSetupEditor([this, database](CFireworkSetup& setup) {
        CFireworkSetupDialog dialog(setup, database, DialogParent());
        dialog.SetAddCustomer(AddCustomerCommand());
        return RunDialog(dialog) == QDialog::Accepted;
    });
    m_view->SetItemChooser([this, database](const CEffectRef& current) -> CEffectRef {
        // Until the database bar fills the catalogue, a row it lacks is added as listing
        // would add it.
        CChooseItemDialog dialog(database, CEffectCatalogue::Program(), DialogParent(),
                                 CItemChooser::MissingItems::AddFromRow);
        dialog.SetItem(current);
        if (RunDialog(dialog) != QDialog::Accepted) return {};
        return dialog.Item();
    });
    m_view->SetShowChecker([this] { RunShowCheck(CShowCheckDialog::Purpose::Review); });
    m_view->SetTransferRunner([this](CIgnition* firstFiring) {
        if (!RunShowCheck(CShowCheckDialog::Purpose::BeforeDownload)) return;
        // The ports as the user mapped them now; the dialog's outcome changes nothing here.
        const CSettingsStore settings;
        CTransferDialog dialog(firstFiring, CPortMap::FromSettings(settings), window());
        RunDialog(dialog);
        // The window closes when the download ends: the status bar says how it went.
        if (dialog.Engine()) Note(DownloadOutcomeText(*dialog.Engine()));
    });
    m_view->SetRackTypeChooser([this]() -> std::optional<CRackType> {
        CRackTypeDialog dialog(m_database, window());
        if (RunDialog(dialog) != QDialog::Accepted || !dialog.ChosenRackType()) return std::nullopt;
        return *dialog.ChosenRackType();
    });
    m_view->SetChainSelector([this, database](CScheduleEditor& show,
                                              CIgnition* chainEntry) -> std::unique_ptr<CIgnition> {
        CSelectChainDialog dialog(database, DialogParent());
        if (chainEntry) dialog.SetChain(show, chainEntry);
        const bool ok = RunDialog(dialog) == QDialog::Accepted;
        if (chainEntry || !ok) return nullptr;
        return dialog.TakeTemplate();
    });
    connect(m_view->List(), &CScheduleList::ItemDropped, this,
            [this](int row, const QByteArray& articleNumber, bool replace) {
                // After the drop: a replace question must not run inside the drag.
                QTimer::singleShot(0, this, [this, row, articleNumber, replace] {
                    DropItem(row, articleNumber, replace);
                });
            });
    m_view->SetReportRunner([this](ReportRequest& request, bool preview) {
        request.source.documentTitle = Utf8ToCp1252(m_title.toStdString());
        RunReport(request, Printer(),
                  preview ? ReportOutput::Preview : ReportOutput::PrintWithDialog, DialogParent());
    });
}

void CChildFrame::DropItem(int row, const QByteArray& articleNumber, bool replace)
{
    // The bar lists the program's catalogue; an item gone from it meanwhile is refused like
    // any input that cannot be taken.
    CEffect* found = CEffectCatalogue::Program().Find(articleNumber.toStdString());
    if (!found) {
        Beep(BeepKind::Default);
        return;
    }
    if (!replace) {
        m_view->AddIgnition(row, CEffectRef(found));
    } else if (row >= 0) {
        m_view->ReplaceItem(row, CEffectRef(found));
    }
}

void CChildFrame::InitialUpdate() { m_view->InitialUpdate(); }

void CChildFrame::SetRecovery(CRecoveryFiles* files, int key, int intervalMs)
{
    m_recovery = files;
    m_recoveryKey = key;
    if (!files || intervalMs <= 0) return;
    m_autosave = new QTimer(this);
    m_autosave->setObjectName(QStringLiteral("autosaveTimer"));
    connect(m_autosave, &QTimer::timeout, this, &CChildFrame::Autosave);
    m_autosave->start(intervalMs);
}

void CChildFrame::Autosave()
{
    if (!m_recovery) return;
    if (m_doc->IsModified()) {
        m_recovery->Write(m_recoveryKey, *m_doc, m_title.toStdString(), m_path.toStdString());
    } else {
        m_recovery->Remove(m_recoveryKey);
    }
}

QPrinter& CChildFrame::Printer()
{
    if (auto* main = qobject_cast<CMainFrame*>(window());
        main && main != static_cast<QWidget*>(this)) {
        return main->Printer();
    }
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

CChildFrame::~CChildFrame()
{
    // Closed: saved or declined, either way nothing is left to recover.
    if (m_recovery) m_recovery->Remove(m_recoveryKey);
    // The view observes the document: it goes first.
    delete m_view;
    m_view = nullptr;
}

void CChildFrame::SetPath(const QString& path)
{
    m_path = path;
    m_view->SetShowPath(path.toStdString());
    m_title = QFileInfo(path).fileName();
    UpdateTitle();
}

bool CChildFrame::SetPriceText(const QString& text)
{
    if (!m_statusBar) return false;
    m_pricePane->setText(text);
    return true;
}

bool CChildFrame::SetDiscountText(const QString& text)
{
    if (!m_statusBar) return false;
    m_discountPane->setText(text);
    return true;
}

QString CChildFrame::PriceText() const { return m_pricePane->text(); }
QString CChildFrame::DiscountText() const { return m_discountPane->text(); }

void CChildFrame::UpdateTitle()
{
    // "[*]" is where the window shows its unsaved-changes mark.
    setWindowTitle((m_doc->IsOpenedDamaged() ? m_title + QStringLiteral(" [damaged]") : m_title) +
                   QStringLiteral("[*]"));
    ShowModifiedMark();
}

void CChildFrame::ShowModifiedMark() { setWindowModified(m_doc->IsModified()); }

ShowCheckOptions CChildFrame::CheckOptions() const
{
    ShowCheckOptions options;
    options.musicLengthMs = ShowTrackLengthMs(*m_doc, m_path.toStdString());
    if (m_database) {
        CItemTable items(m_database);
        if (items.OpenTable()) {
            auto known = std::make_shared<std::set<std::string>>();
            for (; !items.IsEOF(); items.MoveNext())
                known->insert(items.MakeItem()->GetArticleNumber());
            options.knowsItem = [known](const std::string& articleNumber) {
                return known->contains(articleNumber);
            };
        }
    }
    return options;
}

bool CChildFrame::RunShowCheck(CShowCheckDialog::Purpose purpose)
{
    ShowCheckResult result = CheckShow(*m_doc, CheckOptions());
    const bool errors = result.HasErrors();
    if (purpose == CShowCheckDialog::Purpose::BeforeDownload && result.findings.empty()) {
        return true;
    }
    CShowCheckDialog dialog(std::move(result), purpose, DialogParent());
    dialog.SetEntrySelector([this](const CIgnition* entry) { m_view->List()->SelectEntry(entry); });
    const bool accepted = RunDialog(dialog) == QDialog::Accepted;
    return purpose == CShowCheckDialog::Purpose::BeforeDownload && !errors && accepted;
}

QWidget* CChildFrame::DialogParent()
{
    // A new show asks for its setup before its frame is on screen.
    return isVisible() ? static_cast<QWidget*>(this) : QApplication::activeWindow();
}

std::function<void()> CChildFrame::AddCustomerCommand()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    QAction* action = frame ? frame->Action(cmd::AddCustomer) : nullptr;
    if (!action || !action->isEnabled()) return {};
    return [action] { action->trigger(); };
}

bool CChildFrame::SaveModified()
{
    if (!m_doc->IsModified()) return true;
    const std::string text = "Save changes to " + m_title.toStdString() + "?";
    switch (ShowMessage(text, "FLR", PromptButtons::YesNoCancel, PromptIcon::Warning)) {
    case PromptAnswer::Yes: return Save();
    case PromptAnswer::No: return true;
    default: return false;
    }
}

bool CChildFrame::Save()
{
    if (m_doc->IsOpenedDamaged()) {
        ShowMessage(
            "This show was damaged when it was opened: only what came before the damage "
            "was read. Save it under a new name, so that the file it came from stays as "
            "it was.",
            "FLR", PromptButtons::Ok, PromptIcon::Information);
        return SaveAs();
    }
    if (m_path.isEmpty()) return SaveAs();
    if (!SaveShowFile(*m_doc, m_path.toStdString())) return false;
    m_view->History().SetClean();
    if (m_recovery) m_recovery->Remove(m_recoveryKey);
    return true;
}

bool CChildFrame::SaveAs()
{
    QFileDialog dialog(this, tr("Save As"), m_path.isEmpty() ? m_title : m_path,
                       QStringLiteral("FLR Files (*.flr)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    QString path = dialog.selectedFiles().front();
    if (path.isEmpty()) return false;
    if (!path.endsWith(QLatin1String(".flr"), Qt::CaseInsensitive)) path += QLatin1String(".flr");
    if (m_doc->IsOpenedDamaged() && !m_path.isEmpty() &&
        QFileInfo(path).absoluteFilePath() == QFileInfo(m_path).absoluteFilePath()) {
        ShowMessage("Choose another name: the damaged file is kept as it is.", "FLR",
                    PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    if (!SaveShowFile(*m_doc, path.toStdString())) return false;
    m_view->History().SetClean();
    if (m_recovery) m_recovery->Remove(m_recoveryKey);
    // The new file holds the whole show as it stands: nothing is missing from it any more.
    m_doc->SetOpenedDamaged(false);
    SetPath(path);
    emit SavedAs(path);
    return true;
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

}  // namespace flr
