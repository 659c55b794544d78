#pragma once

#include <algorithm>
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

    std::vector<Message> Messages() const { return Locked(m_messages); }
    int Beeps(BeepKind kind) const
    {
        return static_cast<int>(std::ranges::count(Locked(m_beeps), kind));
    }
    int BeepCount() const { return static_cast<int>(Locked(m_beeps).size()); }

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                     PromptIcon icon) override;
    void Beep(BeepKind kind) override;
    void Note(std::string_view text) override;
    std::vector<std::string> Notes() const { return Locked(m_notes); }  // why beeps refused

private:
    template <class T>
    T Locked(const T& value) const
    {
        std::lock_guard lock(m_mutex);
        return value;
    }

    CPrompter* m_previous;
    mutable std::mutex m_mutex;  // guards everything below; monitor threads report too
    std::deque<PromptAnswer> m_script;
    std::vector<Message> m_messages;
    std::vector<BeepKind> m_beeps;
    std::vector<std::string> m_notes;
};

}  // namespace flr::test
