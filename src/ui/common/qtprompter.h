#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "base/prompt.h"

namespace flr {

// The desktop program's prompter: real message boxes and the system beep. Calls from other
// threads are carried to the user-interface thread: a plain report (OK only, as the serial
// monitor threads send) is queued and answered Ok at once; a question waits for the answer.
class CQtPrompter final : public QObject, public CPrompter {
    Q_OBJECT
public:
    CQtPrompter();
    ~CQtPrompter() override;

    // The window the boxes are centred on; none gives boxes without an owner.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                     PromptIcon icon) override;
    void Beep(BeepKind kind) override;
    // Shown in the owner's status bar, when the owner is a main window.
    void Note(std::string_view text) override;

private:
    PromptAnswer AskHere(const QString& text, const QString& caption, PromptButtons buttons,
                         PromptIcon icon);

    QPointer<QWidget> m_owner;  // cleared by Qt when the owner goes
    CPrompter* m_previous = nullptr;
};

}  // namespace flr
