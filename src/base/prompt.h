#pragma once

#include <string>
#include <string_view>

namespace flr {

// The buttons a message box offers.
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

enum class PromptIcon { None, Information, Question, Warning, Error };

enum class PromptAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

enum class BeepKind { Default, Exclamation };

// Every message box and beep of the program goes through the one installed CPrompter: the
// desktop program installs one that shows real boxes, tests install one that answers from a
// script and records what was asked. Texts are UTF-8.
class CPrompter {
public:
    virtual ~CPrompter() = default;
    // Shows the box and returns the button the user chose. May be called from any thread, but
    // only the thread that installed the prompter may ask a question: from any other thread
    // the buttons are Ok alone (asserted), so a worker never waits on a user's choice. An
    // implementation that needs a particular thread marshals the call itself.
    virtual PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                             PromptIcon icon) = 0;
    virtual void Beep(BeepKind kind) = 0;
    // A passing note that says why something was refused (the status bar's text).
    virtual void Note(std::string_view /*text*/) {}
};

// Installs `prompter` (not owned; it must outlive its installation) and returns the one it
// replaces. nullptr restores the built-in prompter, which writes to stderr and answers every
// question with its most cautious button (Cancel or No). The calling thread becomes the one
// that may ask questions. Asserts that no CPrompterUse is alive: a worker thread may be
// about to call the prompter being replaced.
CPrompter* InstallPrompter(CPrompter* prompter);

// Held for as long as a worker thread may report through the prompter (each open serial
// port holds one), so the prompter is not replaced or destroyed under it.
class CPrompterUse {
public:
    CPrompterUse();
    ~CPrompterUse();
    CPrompterUse(const CPrompterUse&) = delete;
    CPrompterUse& operator=(const CPrompterUse&) = delete;
};

// The answer the built-in prompter gives: Ok for a plain box, otherwise Cancel, No or Abort.
PromptAnswer CautiousAnswer(PromptButtons buttons);

PromptAnswer ShowMessage(std::string_view text, std::string_view caption,
                         PromptButtons buttons = PromptButtons::Ok,
                         PromptIcon icon = PromptIcon::None);

void Beep(BeepKind kind = BeepKind::Default);
// A beep that refuses something, with the reason (UTF-8) as a note: many desktops sound no
// beep, so the beep alone would say nothing.
void Beep(BeepKind kind, std::string_view why);
// A passing note (UTF-8) without a beep: what just happened, for the status bar.
void Note(std::string_view text);

}  // namespace flr
