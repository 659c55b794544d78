#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace flr {

class CHelpWindow;

// Opens the manual: "Help Topics" and F1 pressed anywhere in the program, which opens the
// page of the window holding the focus. There is one help window; asking again raises it.
class CHelpLauncher final : public QObject {
    Q_OBJECT
public:
    // Watches the application's keys while it lives. The help window, made on first use, is a
    // window of `owner` (may be null) and goes with it or with this object.
    explicit CHelpLauncher(QWidget* owner, QString folder = QString());
    ~CHelpLauncher() override;

    // `href` as a link in the manual names it ("setup.md#racks").
    void ShowPage(const QString& href);
    // The page of `widget`'s window, as F1 there opens it.
    void ShowFor(const QWidget* widget);
    // Null until the manual was first opened.
    CHelpWindow* Window() const;

    // The page F1 opens over `widget`: the first of it and its parents that names one (by the
    // help-page property, else by its class), the contents page when none does.
    static QString PageFor(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    QString m_folder;
    QPointer<CHelpWindow> m_window;
};

}  // namespace flr
