#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include "editing/celleditrules.h"

class QAbstractItemView;

namespace flr {

// The in-place editors a list creates over one of its cells. Each is a child of the list's
// viewport, takes the list's font, the focus and the whole text, and sends EditEnded exactly
// once when it loses the focus, then deletes itself. Enter, Delete, Escape and Ctrl keys reach
// the editor before the application's shortcuts. The key rules are in celleditrules.h.
class CTextCellEdit : public QLineEdit {
    Q_OBJECT
public:
    // `list` must outlive the editor (the editor is its viewport's child); `rect` is the cell's
    // rectangle in viewport coordinates.
    CTextCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                  const QRect& rect);

    int Row() const { return m_row; }
    int Column() const { return m_column; }

signals:
    // `hasText` false: the edit was cancelled or its text refused.
    void EditEnded(int row, int column, const QString& text, bool hasText);
    // Tab: the list may open the next cell once this edit has ended.
    void NextCellRequested(int row, int column);

protected:
    // `limit`: the text limit, 0 for none; set before the text is selected.
    CTextCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                  const QRect& rect, int limit);

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // A typed character (kBackspaceKey for Backspace, kOtherKey outside ASCII). The default
    // takes every key.
    virtual void TypeKey(char key, QKeyEvent* event);
    // The text to send, or nothing.
    virtual std::optional<QString> Finalise(const QString& text) { return text; }
    virtual bool TabOnlyEnds() const { return false; }

    CellEditState State() const;
    // Applies an accepted key and widens the editor to its text.
    void Insert(char key);
    void Refuse();

private:
    void Widen();
    void End();

    QAbstractItemView* m_list;
    int m_row;
    int m_column;
    bool m_cancelled = false;
    bool m_ended = false;
    bool m_tabbed = false;
};

class CDelayCellEdit : public CTextCellEdit {
    Q_OBJECT
public:
    CDelayCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                   const QRect& rect);

protected:
    void TypeKey(char key, QKeyEvent* event) override;
    std::optional<QString> Finalise(const QString& text) override;
    bool TabOnlyEnds() const override { return true; }
};

class CTimeCellEdit : public CTextCellEdit {
    Q_OBJECT
public:
    CTimeCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                  const QRect& rect, int fps);

protected:
    void TypeKey(char key, QKeyEvent* event) override;
    std::optional<QString> Finalise(const QString& text) override;

private:
    int m_fps;
};

class CAddressCellEdit : public CTextCellEdit {
    Q_OBJECT
public:
    CAddressCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                     const QRect& rect);

protected:
    void TypeKey(char key, QKeyEvent* event) override;
    std::optional<QString> Finalise(const QString& text) override;
};

class CDigitCellEdit : public CTextCellEdit {
    Q_OBJECT
public:
    CDigitCellEdit(QAbstractItemView* list, int row, int column, const QString& text,
                   const QRect& rect);

protected:
    void TypeKey(char key, QKeyEvent* event) override;
};

// A drop-down choice over a cell. Only Escape and Enter end it by key; it also ends when its
// drop-down list closes, or when it loses the focus, sending the chosen text.
class CCellCombo : public QComboBox {
    Q_OBJECT
public:
    CCellCombo(QAbstractItemView* list, int row, int column, const QStringList& texts, int current,
               const QRect& rect);

    void hidePopup() override;

signals:
    void EditEnded(int row, int column, const QString& text, bool hasText);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void End();

    QAbstractItemView* m_list;
    int m_row;
    int m_column;
    bool m_cancelled = false;
    bool m_ended = false;
};

}  // namespace flr
