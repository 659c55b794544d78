#include "ui/common/celleditors.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

#include "base/prompt.h"

namespace flr {

namespace {

// Keys the editor keeps from the main frame's application-wide shortcuts: Delete must edit
// text, not delete an ignition.
bool KeptFromShortcuts(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Delete:
    case Qt::Key_Escape: return true;
    default: return key->modifiers() & Qt::ControlModifier;
    }
}

void PlaceOver(QWidget* editor, QAbstractItemView* list, const QRect& rect)
{
    editor->setFont(list->font());
    editor->setGeometry(rect);
}

}  // namespace

// ---- CTextCellEdit

CTextCellEdit::CTextCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                             const QRect& rect)
    : CTextCellEdit(list, row, column, text, rect, 0)
{
}

CTextCellEdit::CTextCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                             const QRect& rect, int limit)
    : QLineEdit(list->viewport()), m_list(list), m_row(row), m_column(column)
{
    PlaceOver(this, list, rect);
    if (limit > 0) setMaxLength(limit);
    setText(text);
    show();
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

CellEditState CTextCellEdit::State() const
{
    CellEditState s;
    s.text = text().toStdString();
    s.caret = cursorPosition();
    if (hasSelectedText()) {
        s.selStart = selectionStart();
        s.selLength = static_cast<int>(selectedText().size());
    } else {
        s.selStart = s.caret;
    }
    return s;
}

void CTextCellEdit::Insert(char key)
{
    if (key == kBackspaceKey) {
        backspace();
    } else {
        insert(QString(QChar::fromLatin1(key)));
    }
    Widen();
}

void CTextCellEdit::Refuse() { Beep(BeepKind::Default); }

void CTextCellEdit::Widen()
{
    const int frame = width() - contentsRect().width() + 4;  // the frame and the text margins
    const int needed = fontMetrics().horizontalAdvance(text()) + 5 + frame;
    if (needed <= width()) return;
    const int room = m_list->viewport()->width() - x();
    if (room > width()) resize(std::min(needed, room), height());
}

bool CTextCellEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        if (KeptFromShortcuts(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
    } else if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        // Tab never moves the focus on: it ends this edit and, but in the delay editor,
        // asks for the next cell.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            m_tabbed = key->key() == Qt::Key_Tab && !TabOnlyEnds();
            m_list->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CTextCellEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        m_cancelled = true;
        m_list->setFocus(Qt::OtherFocusReason);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: m_list->setFocus(Qt::OtherFocusReason); return;
    case Qt::Key_Backspace: TypeKey(kBackspaceKey, e); return;
    default: break;
    }
    const QString typed = e->text();
    if (typed.isEmpty() || (e->modifiers() & Qt::ControlModifier) || typed.at(0) < QChar(0x20) ||
        typed.at(0) == QChar(0x7F)) {
        QLineEdit::keyPressEvent(e);  // moves, selections, copy and paste
        return;
    }
    const char16_t c = typed.at(0).unicode();
    TypeKey(c < 0x80 ? static_cast<char>(c) : kOtherKey, e);
}

void CTextCellEdit::TypeKey(char key, QKeyEvent* e)
{
    if (BackspaceOnEmpty(State(), key)) {
        Refuse();
        return;
    }
    QLineEdit::keyPressEvent(e);
    Widen();
}

void CTextCellEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // The line edit's own context menu takes the focus for a moment; the edit goes on.
    if (e->reason() == Qt::PopupFocusReason) return;
    End();
}

void CTextCellEdit::End()
{
    if (m_ended) return;
    m_ended = true;
    std::optional<QString> out;
    if (!m_cancelled) out = Finalise(text());
    emit EditEnded(m_row, m_column, out.value_or(QString()), out.has_value());
    if (m_tabbed) emit NextCellRequested(m_row, m_column);
    hide();
    deleteLater();
}

// ---- CDelayCellEdit

CDelayCellEdit::CDelayCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                               const QRect& rect)
    : CTextCellEdit(list, row, column, text, rect, kDelayEditLimit)
{
}

void CDelayCellEdit::TypeKey(char key, QKeyEvent*)
{
    if (DelayKey(State(), key) == KeyVerdict::Accept) {
        Insert(key);
    } else {
        Refuse();
    }
}

std::optional<QString> CDelayCellEdit::Finalise(const QString& text)
{
    const auto out = NormaliseDelay(text.toStdString());
    return out ? std::optional<QString>(QString::fromStdString(*out)) : std::nullopt;
}

// ---- CTimeCellEdit

CTimeCellEdit::CTimeCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                             const QRect& rect, int fps)
    : CTextCellEdit(list, row, column, text, rect, kTimeEditLimit), m_fps(fps)
{
}

void CTimeCellEdit::TypeKey(char key, QKeyEvent*)
{
    const TimeKeyResult r = TimeKey(State(), key, m_fps);
    if (r.verdict == KeyVerdict::Refuse) Refuse();
    if (r.verdict != KeyVerdict::Accept) return;
    Insert(key);
    if (r.insertColon) Insert(':');
    if (r.doubleBackspace) Insert(kBackspaceKey);
}

std::optional<QString> CTimeCellEdit::Finalise(const QString& text)
{
    const auto out = CompleteTimeCode(text.toStdString());
    return out ? std::optional<QString>(QString::fromStdString(*out)) : std::nullopt;
}

// ---- CAddressCellEdit

CAddressCellEdit::CAddressCellEdit(QAbstractItemView* list, int row, int column,
                                   const QString& text, const QRect& rect)
    : CTextCellEdit(list, row, column, text, rect, kAddressEditLimit)
{
}

void CAddressCellEdit::TypeKey(char key, QKeyEvent*)
{
    const KeyVerdict verdict = AddressKey(State(), key);
    if (verdict == KeyVerdict::Refuse) Refuse();
    if (verdict != KeyVerdict::Accept) return;
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    Insert(key);
}

std::optional<QString> CAddressCellEdit::Finalise(const QString& text)
{
    const auto out = AddressToSend(text.toStdString());
    return out ? std::optional<QString>(QString::fromStdString(*out)) : std::nullopt;
}

// ---- CDigitCellEdit

CDigitCellEdit::CDigitCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                               const QRect& rect)
    : CTextCellEdit(list, row, column, text, rect, kDigitEditLimit)
{
}

void CDigitCellEdit::TypeKey(char key, QKeyEvent*)
{
    if (DigitKey(State(), key) == KeyVerdict::Accept) {
        Insert(key);
    } else {
        Refuse();
    }
}

// ---- CCellCombo

CCellCombo::CCellCombo(QAbstractItemView* list, int row, int column, const QStringList& texts,
                       int current, const QRect& rect)
    : QComboBox(list->viewport()), m_list(list), m_row(row), m_column(column)
{
    PlaceOver(this, list, rect);
    addItems(texts);
    setCurrentIndex(current >= 0 && current < texts.size() ? current : -1);
    // The list's rows are short; the drop-down needs its own height.
    setMinimumHeight(std::max(rect.height(), sizeHint().height()));
    show();
    setFocus(Qt::OtherFocusReason);
}

bool CCellCombo::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride && KeptFromShortcuts(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QComboBox::event(e);
}

void CCellCombo::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        m_cancelled = true;
        m_list->setFocus(Qt::OtherFocusReason);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: m_list->setFocus(Qt::OtherFocusReason); return;
    default: QComboBox::keyPressEvent(e);
    }
}

void CCellCombo::hidePopup()
{
    QComboBox::hidePopup();
    // After the choice has been taken: the combo sets it once the list has closed.
    QTimer::singleShot(0, this, [this] {
        if (!m_ended) m_list->setFocus(Qt::OtherFocusReason);
    });
}

void CCellCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // Its own drop-down list took the focus. Inside a modal dialog a window manager may give
    // the list the focus as a window of its own: then only the list being up tells.
    if (e->reason() == Qt::PopupFocusReason || view()->isVisible()) return;
    End();
}

void CCellCombo::End()
{
    if (m_ended) return;
    m_ended = true;
    const bool hasText = !m_cancelled && currentIndex() >= 0;
    emit EditEnded(m_row, m_column, hasText ? currentText() : QString(), hasText);
    hide();
    deleteLater();
}

}  // namespace flr
