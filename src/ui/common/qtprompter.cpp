#include "ui/common/qtprompter.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QThread>

#include "ui/common/dialogrunner.h"

namespace flr {

CQtPrompter::CQtPrompter() { m_previous = InstallPrompter(this); }

CQtPrompter::~CQtPrompter() { InstallPrompter(m_previous); }

PromptAnswer CQtPrompter::Ask(std::string_view text, std::string_view caption,
                              PromptButtons buttons, PromptIcon icon)
{
    const QString qText = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QString qCaption = QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    if (QThread::currentThread() == thread()) return AskHere(qText, qCaption, buttons, icon);
    if (buttons == PromptButtons::Ok) {
        // A report from a worker (a serial port's monitor thread) has only one answer: show it
        // without making the worker wait, for the user-interface thread may itself be waiting
        // for that worker to stop.
        QPointer<CQtPrompter> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, qText, qCaption, buttons, icon] {
                if (self) self->AskHere(qText, qCaption, buttons, icon);
            },
            Qt::QueuedConnection);
        return PromptAnswer::Ok;
    }
    PromptAnswer answer = CautiousAnswer(buttons);
    QMetaObject::invokeMethod(
        this, [&] { answer = AskHere(qText, qCaption, buttons, icon); },
        Qt::BlockingQueuedConnection);
    return answer;
}

void CQtPrompter::Beep(BeepKind)
{
    if (QThread::currentThread() == thread()) {
        QApplication::beep();
    } else {
        QMetaObject::invokeMethod(
            this, [] { QApplication::beep(); }, Qt::QueuedConnection);
    }
}

void CQtPrompter::Note(std::string_view text)
{
    const QString qText = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QPointer<CQtPrompter> self(this);
    auto show = [self, qText] {
        if (!self) return;
        if (auto* window = qobject_cast<QMainWindow*>(self->m_owner.data())) {
            window->statusBar()->showMessage(qText, 15000);
        }
    };
    if (QThread::currentThread() == thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
    }
}

PromptAnswer CQtPrompter::AskHere(const QString& text, const QString& caption,
                                  PromptButtons buttons, PromptIcon icon)
{
    QMessageBox::StandardButtons standard;
    switch (buttons) {
    case PromptButtons::Ok: standard = QMessageBox::Ok; break;
    case PromptButtons::OkCancel: standard = QMessageBox::Ok | QMessageBox::Cancel; break;
    case PromptButtons::YesNo: standard = QMessageBox::Yes | QMessageBox::No; break;
    case PromptButtons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case PromptButtons::RetryCancel: standard = QMessageBox::Retry | QMessageBox::Cancel; break;
    case PromptButtons::AbortRetryIgnore:
        standard = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        break;
    }
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case PromptIcon::None: boxIcon = QMessageBox::NoIcon; break;
    case PromptIcon::Information: boxIcon = QMessageBox::Information; break;
    case PromptIcon::Question: boxIcon = QMessageBox::Question; break;
    case PromptIcon::Warning: boxIcon = QMessageBox::Warning; break;
    case PromptIcon::Error: boxIcon = QMessageBox::Critical; break;
    }
    QMessageBox box(boxIcon, caption.isEmpty() ? QStringLiteral("FLR") : caption, text, standard,
                    m_owner);
    // Messages carry outside text (file paths, database values, a server's reply): shown as
    // typed, never as markup or links.
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    switch (RunDialog(box)) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    case QMessageBox::Abort: return PromptAnswer::Abort;
    case QMessageBox::Ignore: return PromptAnswer::Ignore;
    default: return CautiousAnswer(buttons);  // closed with Escape or the title bar
    }
}

}  // namespace flr
