#include "ui/help/helplauncher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "help/helptopics.h"
#include "help/manual.h"
#include "ui/help/helpwindow.h"

namespace flr {

CHelpLauncher::CHelpLauncher(QWidget* owner, QString folder)
    : QObject(owner), m_owner(owner), m_folder(std::move(folder))
{
    if (m_folder.isEmpty())
        m_folder = CManual::DefaultFolder(QCoreApplication::applicationDirPath());
    qApp->installEventFilter(this);
}

CHelpLauncher::~CHelpLauncher()
{
    qApp->removeEventFilter(this);
    delete m_window.data();
}

void CHelpLauncher::ShowPage(const QString& href)
{
    if (!m_window) m_window = new CHelpWindow(m_folder, m_owner);
    // A page the manual lacks still shows its contents rather than nothing.
    if (!m_window->Open(href)) m_window->Open(QString::fromLatin1(CManual::kContentsPage));
    m_window->Present();
}

CHelpWindow* CHelpLauncher::Window() const { return m_window.data(); }

void CHelpLauncher::ShowFor(const QWidget* widget) { ShowPage(PageFor(widget)); }

QString CHelpLauncher::PageFor(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString own = w->property(kHelpPageProperty).toString();
        if (!own.isEmpty()) return own;
        for (const QMetaObject* m = w->metaObject(); m; m = m->superClass()) {
            const QString page = HelpPageForClass(m->className());
            if (!page.isEmpty()) return page;
        }
    }
    return QString::fromLatin1(CManual::kContentsPage);
}

namespace {

bool IsPlainF1(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           !key->isAutoRepeat();
}

// A control that explains itself (its What's This text, shown by its window's own F1) keeps
// the key; the manual answers everywhere else.
bool ExplainsItself(const QWidget* control)
{
    for (; control && !control->isWindow(); control = control->parentWidget()) {
        if (!control->whatsThis().isEmpty()) return true;
    }
    return false;
}

}  // namespace

bool CHelpLauncher::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsPlainF1(event)) return QObject::eventFilter(watched, event);
    // Keys reach the focus widget; the window's own copy of the press comes first.
    const QWidget* target = qobject_cast<QWidget*>(watched);
    if (!target) target = QApplication::focusWidget();
    // An ignored press travels up the parents; the focus widget is where it began.
    if (ExplainsItself(target) || ExplainsItself(QApplication::focusWidget())) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Taken as a key, F1 does not run a window's own F1 shortcut.
        event->accept();
        return true;
    }
    ShowFor(target);
    return true;
}

}  // namespace flr
