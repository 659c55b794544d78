#include "ui/help/helpwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/prompt.h"

namespace flr {

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kAnchorRole = Qt::UserRole + 1;

// Screenshots are as wide as a screen; the page shows them at most this wide.
constexpr int kImageWidth = 760;

void FitImages(QTextBrowser* browser)
{
    QTextDocument* doc = browser->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat()) continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage loaded = QImage::fromData(
                browser->loadResource(QTextDocument::ImageResource, QUrl(image.name()))
                    .toByteArray());
            if (loaded.width() <= kImageWidth) continue;
            image.setWidth(kImageWidth);
            image.setHeight(double(loaded.height()) * kImageWidth / loaded.width());
            QTextCursor cursor(doc);
            cursor.setPosition(f.position());
            cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

QString Href(const ManualLocation& where)
{
    return where.anchor.isEmpty() ? where.file : where.file + QLatin1Char('#') + where.anchor;
}

}  // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_owner(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("FLR Help"));
    resize(980, 700);
    if (!m_manual.Load(folder, &m_loadError) || !m_loadError.isEmpty()) {
        qWarning("%s", qPrintable(m_loadError));
    }

    auto* tools = new QToolBar;
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = tools->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"),
                              this, &CHelpWindow::GoBack);
    m_back->setShortcut(QKeySequence::Back);
    m_forward = tools->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                 QStringLiteral("Forward"), this, &CHelpWindow::GoForward);
    m_forward->setShortcut(QKeySequence::Forward);
    // Over a dialog it behaves as one: Escape gives the dialog back.
    auto* close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    tools->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"),
                     this, [this] { Open(QString::fromLatin1(CManual::kContentsPage)); });

    m_contents = new QTreeWidget;
    m_contents->setHeaderHidden(true);
    m_searchBox = new QLineEdit;
    m_searchBox->setPlaceholderText(QStringLiteral("Words to look for"));
    m_searchBox->setClearButtonEnabled(true);
    m_results = new QListWidget;
    m_results->setWordWrap(true);
    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(m_searchBox);
    searchLayout->addWidget(m_results);
    auto* tabs = new QTabWidget;
    tabs->addTab(m_contents, QStringLiteral("Contents"));
    tabs->addTab(searchPage, QStringLiteral("Search"));

    m_browser = new QTextBrowser;
    m_browser->setOpenLinks(false);
    m_browser->setSearchPaths({folder});
    auto* splitter = new QSplitter;
    splitter->addWidget(tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({260, 720});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(splitter);

    FillContents();
    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        Open(Href({item->data(0, kFileRole).toString(), item->data(0, kAnchorRole).toString()}));
    });
    connect(m_contents, &QTreeWidget::itemClicked, m_contents, &QTreeWidget::itemActivated);
    connect(m_searchBox, &QLineEdit::returnPressed, this, [this] {
        Search(m_searchBox->text());
        if (m_results->count() > 0) m_results->setCurrentRow(0);
    });
    connect(m_results, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        Open(Href({item->data(kFileRole).toString(), item->data(kAnchorRole).toString()}));
        // The section is on screen; mark where the first word is in it.
        if (!m_searchWords.isEmpty()) m_browser->find(m_searchWords.front());
    });
    connect(m_results, &QListWidget::itemClicked, m_results, &QListWidget::itemActivated);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::FollowLink);
    UpdateButtons();
}

bool CHelpWindow::Open(const QString& href)
{
    const auto where = m_manual.Resolve(Current().file, href);
    if (!where) {
        if (!m_loadError.isEmpty()) {
            ShowMessage(m_loadError.toStdString(), "FLR Help", PromptButtons::Ok,
                        PromptIcon::Warning);
        }
        return false;
    }
    m_history.Visit(*where);
    Display(*where);
    return true;
}

void CHelpWindow::Present()
{
    // A dialog waiting for an answer blocks every window but its own: over one, the help
    // window becomes the dialog's, until the dialog closes.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this || (modal && modal->isAncestorOf(this))) modal = nullptr;
    QWidget* owner = modal ? modal : m_owner.data();
    if (parentWidget() != owner) {
        if (m_over) m_over->removeEventFilter(this);
        m_over = modal;
        setParent(owner, modal ? Qt::Dialog : Qt::Window);
        if (modal) modal->installEventFilter(this);
    }
    show();
    raise();
    activateWindow();
}

bool CHelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_over && event->type() == QEvent::Hide) {
        // Back to the main window, so the dialog does not take the help window with it.
        m_over->removeEventFilter(this);
        m_over = nullptr;
        const bool shown = !isHidden();
        setParent(m_owner.data(), Qt::Window);
        if (shown) show();
    }
    return QWidget::eventFilter(watched, event);
}

int CHelpWindow::Search(const QString& query)
{
    m_searchBox->setText(query);
    m_results->clear();
    m_searchWords = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const std::vector<ManualHit> hits = m_manual.Search(query);
    for (const ManualHit& hit : hits) {
        const QString title = hit.heading == hit.pageTitle
                                  ? hit.pageTitle
                                  : hit.heading + QStringLiteral(" (") + hit.pageTitle + ')';
        auto* item = new QListWidgetItem(title + QLatin1Char('\n') + hit.excerpt, m_results);
        item->setData(kFileRole, hit.where.file);
        item->setData(kAnchorRole, hit.where.anchor);
    }
    if (hits.empty() && !m_searchWords.isEmpty()) {
        auto* none =
            new QListWidgetItem(QStringLiteral("No page holds all of these words."), m_results);
        none->setFlags(Qt::NoItemFlags);
    }
    return int(hits.size());
}

void CHelpWindow::Display(const ManualLocation& where)
{
    const ManualPage* page = m_manual.Find(where.file);
    if (!page) return;
    if (m_shownFile != where.file) {
        m_browser->setMarkdown(page->markdown);
        FitImages(m_browser);
        m_shownFile = where.file;
        setWindowTitle(QStringLiteral("FLR Help - ") + page->title);
    }
    QTextBlock target = m_browser->document()->begin();
    if (!where.anchor.isEmpty()) {
        for (QTextBlock b = target; b.isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() > 0 && CManual::Anchor(b.text()) == where.anchor) {
                target = b;
                break;
            }
        }
    }
    m_browser->setTextCursor(QTextCursor(target));
    const auto* layout = m_browser->document()->documentLayout();
    m_browser->verticalScrollBar()->setValue(int(layout->blockBoundingRect(target).top()));

    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, kFileRole).toString() == where.file &&
            (*it)->data(0, kAnchorRole).toString() == where.anchor) {
            m_contents->setCurrentItem(*it);
            break;
        }
    }
    UpdateButtons();
}

void CHelpWindow::GoBack()
{
    if (m_history.CanGoBack()) Display(m_history.Back());
}

void CHelpWindow::GoForward()
{
    if (m_history.CanGoForward()) Display(m_history.Forward());
}

void CHelpWindow::FollowLink(const QUrl& url)
{
    if (!url.scheme().isEmpty() && url.scheme() != QLatin1String("file")) {
        QDesktopServices::openUrl(url);
        return;
    }
    if (!Open(url.toString())) Beep(BeepKind::Default, "The manual has no such page.");
}

void CHelpWindow::FillContents()
{
    for (const ManualPage& page : m_manual.Pages()) {
        auto* top = new QTreeWidgetItem(m_contents, {page.title});
        top->setData(0, kFileRole, page.file);
        for (const ManualHeading& h : page.headings) {
            if (h.level != 2) continue;
            auto* item = new QTreeWidgetItem(top, {h.text});
            item->setData(0, kFileRole, page.file);
            item->setData(0, kAnchorRole, h.anchor);
        }
    }
}

void CHelpWindow::UpdateButtons()
{
    m_back->setEnabled(m_history.CanGoBack());
    m_forward->setEnabled(m_history.CanGoForward());
}

}  // namespace flr
