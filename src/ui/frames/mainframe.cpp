#include "ui/frames/mainframe.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

#include "app/commands.h"
#include "app/recentfilelist.h"
#include "app/recoveryfiles.h"
#include "app/showio.h"
#include "app/updatesettings.h"
#include "app/windowplacement.h"
#include "base/prompt.h"
#include "base/settingsstore.h"
#include "database/itemtable.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "ui/common/columnwidths.h"
#include "ui/common/dialogrunner.h"
#include "ui/database/cataloguefiledialogs.h"
#include "ui/database/contacteditor.h"
#include "ui/database/databasebar.h"
#include "ui/database/importeffectsdialog.h"
#include "ui/database/itemeditor.h"
#include "ui/frames/aboutdialog.h"
#include "ui/frames/childframe.h"
#include "ui/frames/icons.h"
#include "ui/frames/preferencesdialog.h"
#include "ui/help/helplauncher.h"
#include "ui/schedule/flrview.h"

namespace flr {

namespace {

constexpr const char* kPlacementKey = "MainFrame/PLACEMENT";
constexpr const char* kBarsKey = "Control Bars/State";
constexpr const char* kStatusBarKey = "Control Bars/StatusBar";

QString Text(const std::string& s) { return QString::fromStdString(s); }

// A command's changing text ("Delete Ignitions") keeps the mnemonic of its menu text
// ("&Delete Ignition") where the two begin alike; an empty text restores the menu text.
QString WithMnemonic(const QString& base, const std::string& text)
{
    if (text.empty()) return base;
    QString out = QString::fromStdString(text);
    const qsizetype amp = base.indexOf(QLatin1Char('&'));
    if (amp >= 0 && out.left(amp) == base.left(amp)) out.insert(amp, QLatin1Char('&'));
    return out;
}

// Every command id that appears in a menu or the toolbar, with its display text.
void CollectCommands(const std::vector<MenuEntry>& entries, std::map<int, std::string>& out)
{
    for (const MenuEntry& e : entries) {
        if (e.IsPopup()) {
            CollectCommands(e.entries, out);
        } else if (!e.IsSeparator()) {
            out.emplace(e.id, e.text);
        }
    }
}

}  // namespace

CMainFrame::CMainFrame(CSettingsStore& settings, CUpdateSettings& updateSettings,
                       CRecentFileList& recent, CDatabase* database)
    : m_settings(settings), m_updateSettings(updateSettings), m_recent(recent), m_database(database)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("FLR"));
    InstallColumnWidthStore(&m_settings);
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    // A first start fills most of the screen; later starts restore the stored placement.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize area = screen->availableGeometry().size();
        resize(std::max(1024, area.width() * 9 / 10), std::max(720, area.height() * 9 / 10));
    } else {
        resize(1024, 720);
    }

    m_mdi = new QMdiArea;
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        const bool withShow = !m_mdi->subWindowList().isEmpty();
        if (withShow != m_menusWithShow) {
            m_menusWithShow = withShow;
            RebuildMenus();
        }
        setWindowTitle(w ? QStringLiteral("FLR - ") + w->windowTitle() : QStringLiteral("FLR"));
        UpdateCommandUi();
    });

    CreateActions();
    CreateToolBar();
    statusBar()->showMessage(tr("Ready"));
    CreateDatabaseBar();
    new CHelpLauncher(this);  // F1 anywhere, and Help Topics
    RebuildMenus();
    UpdateCommandUi();
}

CMainFrame::~CMainFrame()
{
    // The base class destroys the bars and sub-windows after this object has stopped being a
    // CMainFrame; their signals must not reach it any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    InstallColumnWidthStore(nullptr);
}

QAction* CMainFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions()
{
    std::map<int, std::string> texts;
    for (const auto* bar : {&MenuBarWithoutShow(), &MenuBarWithShow(), &ContextMenus()}) {
        for (const Menu& m : *bar) CollectCommands(m.entries, texts);
    }
    texts.emplace(cmd::ContextHelp, "Help");
    for (const auto& entry : texts) {
        // A plain copy: structured bindings cannot be captured by the lambda below in clang 14.
        const int id = entry.first;
        const std::string& text = entry.second;
        const size_t tab = text.find('\t');
        auto* action = new QAction(Text(text.substr(0, tab)), this);
        action->setProperty("baseText", action->text());
        QList<QKeySequence> keys;
        // Ctrl+E belongs to Show Editor alone; Check Out Effects only shows it in its text.
        if (tab != std::string::npos && id != cmd::CheckOutEffects) {
            keys << QKeySequence(Text(text.substr(tab + 1)));
        }
        for (const std::string& extra : ExtraShortcuts(id)) keys << QKeySequence(Text(extra));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setStatusTip(Text(CommandPrompt(id)));
        action->setToolTip(Text(CommandToolTip(id)));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { Run(id); });
        addAction(action);  // shortcuts work while the menu bar shows another state
        m_actions[id] = action;
    }
    for (int id : {cmd::ViewToolbar, cmd::ViewStatusBar, cmd::ShowDatabase, cmd::Racks,
                   cmd::HideChained, cmd::ShowFrameDigits, cmd::IgnorePrefire}) {
        Action(id)->setCheckable(true);
    }
    Action(cmd::ViewToolbar)->setChecked(true);
    Action(cmd::ViewStatusBar)->setChecked(true);

    const QStyle* s = style();
    Action(cmd::FileNew)
        ->setIcon(
            QIcon::fromTheme(QStringLiteral("document-new"), s->standardIcon(QStyle::SP_FileIcon)));
    Action(cmd::FileOpen)
        ->setIcon(QIcon::fromTheme(QStringLiteral("document-open"),
                                   s->standardIcon(QStyle::SP_DialogOpenButton)));
    Action(cmd::FileSave)
        ->setIcon(QIcon::fromTheme(QStringLiteral("document-save"),
                                   s->standardIcon(QStyle::SP_DialogSaveButton)));
    Action(cmd::EditUndo)
        ->setIcon(
            QIcon::fromTheme(QStringLiteral("edit-undo"), s->standardIcon(QStyle::SP_ArrowBack)));
    Action(cmd::EditRedo)
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                   s->standardIcon(QStyle::SP_ArrowForward)));
    Action(cmd::EditCut)
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-cut"), ToolIcon(cmd::EditCut)));
    Action(cmd::EditCopy)
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy"), ToolIcon(cmd::EditCopy)));
    Action(cmd::EditPaste)
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-paste"), ToolIcon(cmd::EditPaste)));
    Action(cmd::FilePrint)
        ->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), ToolIcon(cmd::FilePrint)));
    Action(cmd::CheckShow)
        ->setIcon(QIcon::fromTheme(QStringLiteral("dialog-warning"),
                                   s->standardIcon(QStyle::SP_MessageBoxWarning)));
    Action(cmd::AppAbout)
        ->setIcon(QIcon::fromTheme(QStringLiteral("help-about"),
                                   s->standardIcon(QStyle::SP_MessageBoxInformation)));
    Action(cmd::ContextHelp)
        ->setIcon(QIcon::fromTheme(QStringLiteral("help-contextual"),
                                   s->standardIcon(QStyle::SP_TitleBarContextHelpButton)));
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    for (int id : std::initializer_list<int>{cmd::FileNew, cmd::FileOpen, cmd::FileSave, 0,
                                             cmd::EditCut, cmd::EditCopy, cmd::EditPaste, 0,
                                             cmd::EditUndo, cmd::EditRedo, 0, cmd::FilePrint,
                                             cmd::CheckShow, 0, cmd::AppAbout, cmd::ContextHelp}) {
        if (id == 0) {
            m_toolBar->addSeparator();
        } else {
            m_toolBar->addAction(Action(id));
        }
    }
    connect(m_toolBar, &QToolBar::visibilityChanged, this,
            [this](bool visible) { Action(cmd::ViewToolbar)->setChecked(visible); });
}

void CMainFrame::CreateDatabaseBar()
{
    m_databaseBar = new QDockWidget(tr("Database"), this);
    m_databaseBar->setObjectName(QStringLiteral("DatabaseBar"));
    m_databaseBar->setAllowedAreas(Qt::BottomDockWidgetArea);
    m_databaseTabs = new CDatabaseBar(m_database, CEffectCatalogue::Program());
    m_databaseTabs->setMinimumHeight(140);
    connect(m_databaseTabs->ItemsPage(), &CItemPage::ContextMenuRequested, this,
            [this](const QPoint& at) {
                UpdateCommandUi();
                QMenu menu(this);
                FillMenu(&menu, ContextMenus()[3].entries, true);
                menu.exec(at);
            });
    connect(m_databaseTabs->ItemsPage(), &CItemPage::ItemActivated, this, &CMainFrame::EditItem);
    connect(m_databaseTabs->ItemsPage(), &CItemPage::ItemsChanged, this,
            &CMainFrame::CatalogueChanged);
    for (CContactPage* page :
         {m_databaseTabs->CustomersPage(), m_databaseTabs->ManufacturersPage()}) {
        connect(page, &CContactPage::RowActivated, this,
                [this, page](const ContactRow& row) { EditContact(page, row); });
    }
    m_databaseBar->setWidget(m_databaseTabs);
    addDockWidget(Qt::BottomDockWidgetArea, m_databaseBar);
    // A first start gives the bar room for about eight rows; a saved layout replaces this.
    resizeDocks({m_databaseBar}, {230}, Qt::Vertical);
    connect(m_databaseBar, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandUi(); });
}

void CMainFrame::RebuildMenus()
{
    // clear() leaves the menus themselves to their parent, the menu bar.
    for (QAction* a : menuBar()->actions()) {
        if (QMenu* menu = a->menu()) menu->deleteLater();
    }
    menuBar()->clear();
    for (const Menu& m : m_menusWithShow ? MenuBarWithShow() : MenuBarWithoutShow()) {
        QMenu* menu = menuBar()->addMenu(Text(m.title));
        FillMenu(menu, m.entries);
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUi(); });
        if (std::string_view(m.title) == "&Window") {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
        }
    }
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuEntry>& entries, bool popup)
{
    menu->setToolTipsVisible(false);
    for (const MenuEntry& e : entries) {
        if (e.IsSeparator()) {
            menu->addSeparator();
        } else if (e.IsPopup()) {
            FillMenu(menu->addMenu(Text(e.text)), e.entries, popup);
        } else if (e.id == cmd::FileMruFirst) {
            FillRecentFiles(menu);
        } else if (QAction* base = Action(e.id);
                   popup && Text(e.text) != base->property("baseText").toString()) {
            // A pop-up that names the command its own way ("&Select New Track") gets an entry
            // of its own; pop-ups are filled just before they open, so it is current.
            QString text = Text(e.text);
            if (base->text() != base->property("baseText").toString()) {
                text = WithMnemonic(text, base->text().remove(QLatin1Char('&')).toStdString());
            }
            QAction* own = menu->addAction(text);
            own->setEnabled(base->isEnabled());
            own->setCheckable(base->isCheckable());
            own->setChecked(base->isChecked());
            connect(own, &QAction::triggered, base, &QAction::trigger);
        } else {
            menu->addAction(base);
        }
    }
}

void CMainFrame::FillWindowList(QMenu* menu)
{
    // The open shows, numbered, after the menu's own commands; made afresh each time it opens.
    for (QAction* a : menu->actions()) {
        if (!a->property("windowEntry").toBool()) continue;
        menu->removeAction(a);
        a->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    menu->addSeparator()->setProperty("windowEntry", true);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (!child) continue;
        ++number;
        QString title = child->Title();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (child->isWindowModified()) title += QLatin1Char('*');
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* entry = menu->addAction(text);
        entry->setProperty("windowEntry", true);
        entry->setCheckable(true);
        entry->setChecked(window == m_mdi->activeSubWindow());
        const QPointer<QMdiSubWindow> target(window);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target) m_mdi->setActiveSubWindow(target);
        });
    }
}

void CMainFrame::FillRecentFiles(QMenu* menu)
{
    // The entries are made when the menu opens, so the list is always current.
    QAction* anchor = menu->addSeparator();
    anchor->setVisible(false);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, anchor] {
        for (QAction* a : menu->actions()) {
            if (a->property("recent").toBool()) {
                menu->removeAction(a);
                a->deleteLater();
            }
        }
        const auto& files = m_recent.Files();
        QList<QAction*> made;
        if (files.empty()) {
            auto* a = new QAction(tr("Recent File"), menu);
            a->setEnabled(false);
            made << a;
        }
        for (size_t i = 0; i < files.size(); ++i) {
            const QString path = QString::fromStdString(files[i]);
            auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), menu);
            a->setStatusTip(Text(CommandPrompt(cmd::FileMruFirst)));
            connect(a, &QAction::triggered, this, [this, path] { OpenShow(path); });
            made << a;
        }
        const QList<QAction*> all = menu->actions();
        const int at = all.indexOf(anchor);
        QAction* before = at + 1 < all.size() ? all[at + 1] : nullptr;
        for (QAction* a : made) {
            a->setProperty("recent", true);
            menu->insertAction(before, a);
        }
    });
}

bool CMainFrame::IsHandled(int id) const
{
    switch (id) {
    case cmd::FileNew:
    case cmd::FileOpen:
    case cmd::FileClose:
    case cmd::FileSave:
    case cmd::FileSaveAs:
    case cmd::FilePrintSetup:
    case cmd::AppExit:
    case cmd::AppAbout:
    case cmd::ContextHelp:
    case cmd::HelpFinder:
    case cmd::Settings:
    case cmd::ShowDatabase:
    case cmd::ViewToolbar:
    case cmd::ViewStatusBar:
    case cmd::WindowCascade:
    case cmd::WindowTile:
    case cmd::WindowArrange: return true;
    // The editors write to the application's database; without one there is nothing to add to.
    case cmd::AddItem:
    case cmd::AddItemFromBar:
    case cmd::AddCustomer:
    case cmd::AddManufacturer:
    case cmd::ExportDatabase:
    case cmd::ImportDatabase: return m_database != nullptr;
    default: return false;
    }
}

void CMainFrame::UpdateCommandUi()
{
    CChildFrame* child = ActiveChild();
    for (CChildFrame* each : Children()) each->ShowModifiedMark();
    setWindowModified(child && child->isWindowModified());
    const bool hasShow = child != nullptr;
    const CCommandTarget* view = child ? child->View() : nullptr;
    for (const auto& [id, action] : m_actions) {
        bool enabled = IsHandled(id);
        switch (id) {
        case cmd::FileClose:
        case cmd::FileSave:
        case cmd::FileSaveAs:
        case cmd::WindowCascade:
        case cmd::WindowTile:
        case cmd::WindowArrange: enabled = hasShow; break;
        case cmd::AddItem:
        case cmd::AddItemFromBar: enabled = enabled && !m_addingItem; break;
        default: break;
        }
        if (!IsHandled(id) && view) {
            const CommandState state = view->State(id);
            enabled = state.enabled;
            if (action->isCheckable()) action->setChecked(state.checked);
            action->setText(WithMnemonic(action->property("baseText").toString(), state.text));
        }
        action->setEnabled(enabled);
    }
    // isHidden, not isVisible: a bar restored hidden before the window was first shown has
    // sent no visibility signal.
    Action(cmd::ShowDatabase)->setChecked(m_databaseBar && !m_databaseBar->isHidden());
    Action(cmd::ViewToolbar)->setChecked(!m_toolBar->isHidden());
    Action(cmd::ViewStatusBar)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::Run(int id)
{
    switch (id) {
    case cmd::FileNew: NewShow(); break;
    case cmd::FileOpen: OpenDialog(); break;
    case cmd::FileClose:
        if (CChildFrame* child = ActiveChild()) child->close();
        break;
    case cmd::FileSave:
        if (CChildFrame* child = ActiveChild(); child && child->Save()) {
            m_recent.Add(child->Path().toStdString());
        }
        break;
    case cmd::FileSaveAs:
        if (CChildFrame* child = ActiveChild()) child->SaveAs();
        break;
    case cmd::FilePrintSetup: {
        QPrintDialog dialog(&Printer(), this);
        dialog.setWindowTitle(QStringLiteral("Print Setup"));
        RunDialog(dialog);
        break;
    }
    case cmd::AppExit: close(); break;
    case cmd::AppAbout: ShowAbout(); break;
    case cmd::ContextHelp: QWhatsThis::enterWhatsThisMode(); break;
    case cmd::HelpFinder:
        findChild<CHelpLauncher*>(QString(), Qt::FindDirectChildrenOnly)
            ->ShowPage(QStringLiteral("index.md"));
        break;
    case cmd::Settings: ShowPreferences(); break;
    case cmd::ShowDatabase: m_databaseBar->setVisible(m_databaseBar->isHidden()); break;
    case cmd::ViewToolbar: m_toolBar->setVisible(m_toolBar->isHidden()); break;
    case cmd::ViewStatusBar: statusBar()->setVisible(statusBar()->isHidden()); break;
    case cmd::WindowCascade: m_mdi->cascadeSubWindows(); break;
    case cmd::WindowTile: m_mdi->tileSubWindows(); break;
    case cmd::WindowArrange: ArrangeIcons(); break;
    case cmd::AddItem:
    case cmd::AddItemFromBar:
    case cmd::AddCustomer:
    case cmd::AddManufacturer: AddRecord(id); break;
    case cmd::ExportDatabase: RunExportDatabase(*m_database, this); break;
    case cmd::ImportDatabase:
        if (RunImportDatabase(*m_database, this)) RefreshDatabaseLists();
        break;
    default:
        if (CChildFrame* child = ActiveChild()) child->View()->RunCommand(id);
        break;
    }
    UpdateCommandUi();
}

void CMainFrame::RefreshDatabaseLists() { m_databaseTabs->RefreshLists(); }

void CMainFrame::CatalogueChanged()
{
    for (CChildFrame* child : Children()) child->View()->CatalogueChanged();
    UpdateCommandUi();
}

void CMainFrame::OfferImport(const std::vector<CEffectRef>& missing)
{
    const std::vector<CEffectRef> offered = ItemsToOffer(m_database, missing);
    if (offered.empty()) return;
    CImportEffectsDialog dialog(m_database, this);
    for (const CEffectRef& item : offered) dialog.AddEffect(item);
    dialog.Initialise();
    if (RunDialog(dialog) == QDialog::Accepted) RefreshDatabaseLists();
}

void CMainFrame::AddRecord(int id)
{
    if (!m_database) return;
    int result = kEditorCancel;
    if (id == cmd::AddCustomer || id == cmd::AddManufacturer) {
        CContactEditor dialog(id == cmd::AddCustomer ? CustomerKind() : ManufacturerKind(),
                              m_database, nullptr, this);
        result = RunDialog(dialog);
    } else {
        if (m_addingItem) return;
        m_addingItem = true;
        UpdateCommandUi();
        CItemEditor dialog(m_database, nullptr, CEffectCatalogue::Program(), this);
        result = RunDialog(dialog);
        m_addingItem = false;
    }
    if (result == kEditorOk) RefreshDatabaseLists();
}

void CMainFrame::EditItem(CEffect* item)
{
    CItemPage* page = m_databaseTabs->ItemsPage();
    CItemTable* rows = page->Recordset();
    if (!item || !rows || !FindItemRecord(*rows, item->GetArticleNumber())) return;
    // Deleting takes the item out of the catalogue; the list's row must not outlive it.
    const CEffectRef keep(item);
    CItemEditor dialog(m_database, rows, CEffectCatalogue::Program(), this);
    switch (RunDialog(dialog)) {
    case kEditorOk:
        rows->FillItem(*item);
        page->RedrawItems();
        CatalogueChanged();
        break;
    case kEditorDeleted: page->RemoveItem(item); break;
    default: break;
    }
}

void CMainFrame::EditContact(CContactPage* page, const ContactRow& row)
{
    CRecordset* rows = page->Recordset();
    if (!row || !rows || !FindContactRecord(page->Kind(), *rows, row->Key())) return;
    const ContactRow keep = row;  // the page may drop its own reference on a delete
    CContactEditor dialog(page->Kind(), m_database, rows, this);
    switch (RunDialog(dialog)) {
    case kEditorOk:
        *keep = page->Kind().List(*rows);
        page->Redraw();
        break;
    case kEditorDeleted: page->RemoveRow(keep); break;
    default: break;
    }
}

QPrinter& CMainFrame::Printer()
{
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CMainFrame::ArrangeIcons()
{
    // Lines the minimised shows up along the bottom of the working area; the others stay.
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

CChildFrame* CMainFrame::ActiveChild() const
{
    auto* active = qobject_cast<CChildFrame*>(m_mdi->activeSubWindow());
    if (active) return active;
    const auto list = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    return list.isEmpty() ? nullptr : qobject_cast<CChildFrame*>(list.last());
}

std::vector<CChildFrame*> CMainFrame::Children() const
{
    std::vector<CChildFrame*> out;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (auto* c = qobject_cast<CChildFrame*>(w)) out.push_back(c);
    }
    return out;
}

CChildFrame* CMainFrame::AddChild(std::unique_ptr<CFLRDoc> doc, const QString& path,
                                  const QString& title)
{
    auto* child = new CChildFrame(std::move(doc), path, title, m_database);
    child->SetRecovery(m_recoveryFiles, ++m_recoveryKeys, m_autosaveMs);
    m_mdi->addSubWindow(child);
    connect(child->View(), &CFLRView::ContextMenuRequested, this, [this](const QPoint& at) {
        UpdateCommandUi();
        QMenu menu(this);
        FillMenu(&menu, ContextMenus()[1].entries, true);
        menu.exec(at);
    });
    connect(child->View(), &CFLRView::WaveMenuRequested, this, [this](const QPoint& at) {
        UpdateCommandUi();
        QMenu menu(this);
        FillMenu(&menu, ContextMenus()[0].entries, true);
        menu.exec(at);
    });
    connect(child->View(), &CFLRView::StatusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, 10000); });
    connect(child->View(), &CFLRView::ClockStateChanged, this, &CMainFrame::UpdateCommandUi);
    // Undo and Redo (and their buttons) follow every step, from a menu, a cell or a drop.
    connect(&child->View()->History().Stack(), &QUndoStack::indexChanged, this,
            &CMainFrame::UpdateCommandUi);
    connect(child->View(), &CFLRView::RackMenuRequested, this, [this](const QPoint& at) {
        UpdateCommandUi();
        QMenu menu(this);
        FillMenu(&menu, ContextMenus()[2].entries, true);
        menu.exec(at);
    });
    connect(child, &CChildFrame::SavedAs, this, [this, child](const QString& p) {
        m_recent.Add(p.toStdString());
        if (ActiveChild() == child) setWindowTitle(QStringLiteral("FLR - ") + child->windowTitle());
    });
    // After the connections: loading the show's music may have something to say.
    child->InitialUpdate();
    connect(child, &QObject::destroyed, this, [this] {
        if (m_mdi->subWindowList().isEmpty() && m_menusWithShow) {
            m_menusWithShow = false;
            RebuildMenus();
            setWindowTitle(QStringLiteral("FLR"));
        }
        UpdateCommandUi();
    });
    // A new show gets most of the working area, not the sub-window's minimum; at start-up the
    // area has its size only once the main window is shown.
    QTimer::singleShot(0, child, [this, child] {
        const QSize area = m_mdi->viewport()->size();
        child->resize(std::max(CChildFrame::kMinWidth, area.width() * 9 / 10),
                      std::max(CChildFrame::kMinHeight, area.height() * 9 / 10));
        // A cascaded place plus that size can leave the title bar or a side off the area.
        child->move(std::clamp(child->x(), 0, std::max(0, area.width() - child->width())),
                    std::clamp(child->y(), 0, std::max(0, area.height() - child->height())));
    });
    child->show();
    child->setFocus();
    if (!m_menusWithShow) {
        m_menusWithShow = true;
        RebuildMenus();
    }
    UpdateCommandUi();
    return child;
}

CChildFrame* CMainFrame::NewShow()
{
    const QString title = QStringLiteral("FLR%1").arg(++m_untitledCount);
    return AddChild(std::make_unique<CFLRDoc>(), QString(), title);
}

CChildFrame* CMainFrame::OpenShow(const QString& path)
{
    const QString canonical = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* child : Children()) {
        if (QFileInfo(child->Path()).absoluteFilePath() == canonical) {
            m_mdi->setActiveSubWindow(child);
            return child;
        }
    }
    std::vector<CEffectRef> missing;
    std::unique_ptr<CFLRDoc> doc =
        OpenShowFile(canonical.toStdString(), [&missing](const std::vector<CEffectRef>& items) {
            missing.insert(missing.end(), items.begin(), items.end());
        });
    if (!doc) {
        m_recent.Remove(canonical.toStdString());
        return nullptr;
    }
    OfferImport(missing);
    m_recent.Add(canonical.toStdString());
    return AddChild(std::move(doc), canonical, QFileInfo(canonical).fileName());
}

int CMainFrame::OfferRecovery()
{
    if (!m_recoveryFiles) return 0;
    int opened = 0;
    for (const RecoveryEntry& entry : m_recoveryFiles->Orphans()) {
        const QString when = QDateTime::fromSecsSinceEpoch(entry.savedAt)
                                 .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        const std::string text = "FLR ended without saving the changes to \"" + entry.title +
                                 "\" (as they stood at " + when.toStdString() +
                                 ").\n\nRecover them? No discards them; Cancel asks again at "
                                 "the next start.";
        const PromptAnswer answer =
            ShowMessage(text, "Recover Show", PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptAnswer::No) {
            m_recoveryFiles->Discard(entry);
        } else if (answer == PromptAnswer::Yes) {
            std::unique_ptr<CFLRDoc> doc = m_recoveryFiles->Recover(entry);
            if (!doc) continue;
            const QString path = QString::fromStdString(entry.originalPath);
            CChildFrame* child =
                AddChild(std::move(doc), path, QString::fromStdString(entry.title));
            // Not saved anywhere yet: the history's start is no saved position.
            child->View()->History().Clear(false);
            child->Doc().SetModifiedFlag(true);
            ++opened;
        }
    }
    return opened;
}

void CMainFrame::OpenDialog()
{
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, tr("Open"), QString(), QStringLiteral("FLR Files (*.flr);;All Files (*)"));
    for (const QString& path : paths) OpenShow(path);
}

bool CMainFrame::SaveAllModified()
{
    for (CChildFrame* child : Children()) {
        if (!child->SaveModified()) return false;
    }
    return true;
}

void CMainFrame::ShowPreferences()
{
    CPreferencesDialog dialog(m_updateSettings, m_settings, this);
    RunDialog(dialog);
}

void CMainFrame::ShowAbout()
{
    CAboutDialog dialog(m_settings, this);
    RunDialog(dialog);
}

void CMainFrame::RestoreLayout()
{
    if (const auto bars = m_settings.ReadBytes(kBarsKey)) {
        restoreState(
            QByteArray(reinterpret_cast<const char*>(bars->data()), qsizetype(bars->size())));
    }
    if (const auto status = m_settings.ReadText(kStatusBarKey)) {
        statusBar()->setVisible(*status != "hidden");
    }
    const auto bytes = m_settings.ReadBytes(kPlacementKey);
    if (!bytes) return;
    const auto placement = WindowPlacement::Decode(*bytes);
    if (!placement) return;
    setGeometry(placement->left, placement->top, placement->right - placement->left,
                placement->bottom - placement->top);
    if (placement->showState == WindowPlacement::kShowMaximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void CMainFrame::SaveLayout()
{
    WindowPlacement p;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    p.showState = isMaximized()   ? WindowPlacement::kShowMaximized
                  : isMinimized() ? WindowPlacement::kShowMinimized
                                  : WindowPlacement::kShowNormal;
    // Failing to write the layout costs only the layout; nothing to report.
    m_settings.WriteBytes(kPlacementKey, p.Encode());
    const QByteArray state = saveState();
    m_settings.WriteBytes(kBarsKey, std::vector<unsigned char>(state.begin(), state.end()));
    // The bars' state holds the tool and dock bars only; the status bar is a bar too.
    m_settings.WriteText(kStatusBarKey, statusBar()->isHidden() ? "hidden" : "shown");
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SaveLayout();
    if (!SaveAllModified()) {
        event->ignore();
        return;
    }
    // Modified shows were saved or declined above; close without asking again.
    for (CChildFrame* child : Children()) {
        child->Doc().SetModifiedFlag(false);
        child->close();
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasUrls()) return;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".flr"), Qt::CaseInsensitive)) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    // Opened once the drop is over: a file's error box must not run inside the drag.
    QTimer::singleShot(0, this, [this, paths] {
        for (const QString& path : paths) OpenShow(path);
    });
}

}  // namespace flr
