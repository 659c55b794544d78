#include "support/scriptedprompter.h"

namespace flr::test {

ScriptedPrompter::ScriptedPrompter() : m_previous(InstallPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() { InstallPrompter(m_previous); }

void ScriptedPrompter::Answer(PromptAnswer answer)
{
    std::lock_guard lock(m_mutex);
    m_script.push_back(answer);
}

PromptAnswer ScriptedPrompter::Ask(std::string_view text, std::string_view caption,
                                   PromptButtons buttons, PromptIcon icon)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back({std::string(text), std::string(caption), buttons, icon});
    if (m_script.empty()) return CautiousAnswer(buttons);
    const PromptAnswer answer = m_script.front();
    m_script.pop_front();
    return answer;
}

void ScriptedPrompter::Beep(BeepKind kind)
{
    std::lock_guard lock(m_mutex);
    m_beeps.push_back(kind);
}

void ScriptedPrompter::Note(std::string_view text)
{
    std::lock_guard lock(m_mutex);
    m_notes.emplace_back(text);
}

}  // namespace flr::test
