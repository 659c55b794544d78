#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "base/prompt.h"

namespace flr::test {

// Installs itself for its lifetime: answers questions from a script (the cautious answer
// once the script runs out) and records every message and beep.
class ScriptedPrompter final : public CPrompter {
public:
    struct Message {
        std::string text;
        std::string caption;
        PromptButtons buttons;
        PromptIcon icon;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    void Answer(PromptAnswer answer);  // queues the next answer

    std::vector<Message> Messages() const;
    int Beeps(BeepKind kind) const;
    int BeepCount() const;

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                     PromptIcon icon) override;
    void Beep(BeepKind kind) override;
    void Note(std::string_view text) override;
    std::vector<std::string> Notes() const;  // why each refusing beep refused

private:
    CPrompter* m_previous;
    mutable std::mutex m_mutex;  // guards everything below; monitor threads report too
    std::deque<PromptAnswer> m_script;
    std::vector<Message> m_messages;
    std::vector<BeepKind> m_beeps;
    std::vector<std::string> m_notes;
};

}  // namespace flr::test
