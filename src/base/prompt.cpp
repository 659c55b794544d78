#include "base/prompt.h"

#include <atomic>
#include <cassert>
#include <cstdio>
#include <thread>

namespace flr {

namespace {

class StderrPrompter final : public CPrompter {
public:
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                     PromptIcon) override
    {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return CautiousAnswer(buttons);
    }
    void Beep(BeepKind) override {}
};

StderrPrompter g_stderrPrompter;

// The serial monitor threads report through the prompter too, so the pointer is atomic;
// installation itself happens on the main thread before any such thread runs.
std::atomic<CPrompter*> g_prompter{&g_stderrPrompter};
// The thread that may ask questions; none until a prompter is installed.
std::atomic<std::thread::id> g_askingThread{};
std::atomic<int> g_prompterUses{0};

}  // namespace

CPrompter* InstallPrompter(CPrompter* prompter)
{
    assert(g_prompterUses.load() == 0 && "prompter replaced while a port may still report");
    g_askingThread.store(std::this_thread::get_id());
    CPrompter* previous = g_prompter.exchange(prompter ? prompter : &g_stderrPrompter);
    return previous == &g_stderrPrompter ? nullptr : previous;
}

PromptAnswer CautiousAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
    case PromptButtons::RetryCancel: return PromptAnswer::Cancel;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::AbortRetryIgnore: return PromptAnswer::Abort;
    }
    return PromptAnswer::Cancel;
}

CPrompterUse::CPrompterUse() { g_prompterUses.fetch_add(1); }

CPrompterUse::~CPrompterUse() { g_prompterUses.fetch_sub(1); }

PromptAnswer ShowMessage(std::string_view text, std::string_view caption, PromptButtons buttons,
                         PromptIcon icon)
{
    [[maybe_unused]] const std::thread::id asking = g_askingThread.load();
    assert((buttons == PromptButtons::Ok || asking == std::thread::id() ||
            asking == std::this_thread::get_id()) &&
           "a worker thread may only tell, never ask");
    return g_prompter.load()->Ask(text, caption, buttons, icon);
}

void Beep(BeepKind kind) { g_prompter.load()->Beep(kind); }

void Note(std::string_view text)
{
    if (!text.empty()) g_prompter.load()->Note(text);
}

void Beep(BeepKind kind, std::string_view why)
{
    CPrompter* prompter = g_prompter.load();
    prompter->Beep(kind);
    if (!why.empty()) prompter->Note(why);
}

}  // namespace flr
