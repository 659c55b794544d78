#include "editing/scheduleeditor.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include "base/commandids.h"
#include "base/prompt.h"
#include "base/textcodec.h"
#include "editing/showhistory.h"
#include "model/flrdoc.h"

namespace flr {

namespace {

// A new entry behind one numbered this high or higher does not take the next number.
constexpr int kMaxNumberForFollowUp = 767;

std::string Format(const char* format, auto... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// Why a cue's prefire was refused: the item, its prefire and the Time it must fit before.
std::string PrefireNote(const CIgnition& entry)
{
    const CEffect* item = entry.GetItem();
    const std::string name = item ? Cp1252ToUtf8(item->GetName()) : std::string("The item");
    return Format("%s needs a prefire of %.2f s, which does not fit before %s.", name.c_str(),
                  item ? item->GetPrefire() : 0.0, FormatTimeCode(entry.GetTime()).c_str());
}

bool Ask(const std::string& text, const char* caption)
{
    return ShowMessage(text, caption, PromptButtons::YesNo, PromptIcon::Question) ==
           PromptAnswer::Yes;
}

std::string InTimeText(const CIgnition* e) { return FormatTimeCode(e->GetInTime()); }

bool SameArticle(const CEffect* a, const CEffect* b)
{
    return a && b && a->GetArticleNumber() == b->GetArticleNumber();
}

// A time code whose fields a show can hold at this frame rate.
std::optional<TimeCodeParts> ReadTimeCode(const std::string& text, int fps)
{
    const std::optional<TimeCodeParts> p = ParseTimeCode(text);
    if (!p) return std::nullopt;
    if (fps < 1 || fps > 255) fps = 25;
    const bool inRange = p->hours >= 0 && p->hours < 100 && p->minutes >= 0 && p->minutes < 60 &&
                         p->seconds >= 0 && p->seconds < 60 && p->frames >= 0 && p->frames < fps;
    return inRange ? p : std::nullopt;
}

// The digits of `text` from `from` on as a number, none when there are none or anything else
// follows; at most four digits are read, so nothing overflows.
std::optional<int> ReadNumber(const std::string& text, size_t from)
{
    while (from < text.size() && text[from] == ' ') ++from;
    if (from >= text.size() || text.size() - from > 4) return std::nullopt;
    int value = 0;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

CScheduleEditor::CScheduleEditor(CFLRDoc& doc) : m_doc(doc) {}

int CScheduleEditor::Fps() const { return m_doc.GetFrameRate(); }

std::vector<CIgnition*> CScheduleEditor::Rows() const
{
    std::vector<CIgnition*> rows;
    for (CIgnition* e = m_doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (m_showChained || !e->GetChainPrev()) rows.push_back(e);
    }
    return rows;
}

void CScheduleEditor::SetPrefireOff(bool prefireOff)
{
    m_prefireOff = prefireOff;
    // Every entry, also chained effects whose rows are hidden: they fire too. Then each chain
    // from its delays, so that its effects still fire their delays after one another.
    std::vector<CIgnition*> heads;
    for (CIgnition* e = m_doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        RetimeEntry(e);
        if (!e->GetChainPrev() && e->GetChainNext()) heads.push_back(e);
    }
    // Each effect walks to its place, as an edit moves it; a show whose chains move far (a
    // crafted file) would make that quadratic, so past a linear number of steps the rest is
    // re-timed and the schedule sorted by Time once (entries of one Time may then keep another
    // order than the walks would give them).
    size_t budget = 64 * heads.size() + 100000;
    bool walking = true;
    for (CIgnition* head : heads) {
        if (walking) {
            walking = head->RetimeChain(Fps(), m_prefireOff, budget);
        } else {
            head->RetimeChainTimes(Fps(), m_prefireOff);
        }
    }
    if (!walking) CIgnition::SortSchedule(m_doc.FirstSchedule());
    if (CIgnition* first = m_doc.FirstFiring()) {
        first->Resort(true);
        m_doc.FirstFiring()->CheckAddresses();
    }
    m_doc.SetModifiedFlag(true);
}

bool CScheduleEditor::RetimeEntry(CIgnition* e)
{
    const TimeCodeParts t = e->GetTime().Parts();
    e->SetTime(t, {.prefireOff = m_prefireOff, .fps = Fps()});
    return !e->HasPrefireError();
}

void CScheduleEditor::Place(CIgnition* entry, CIgnition* after)
{
    // Behind `after` when that keeps the schedule in Time order, else at its place by Time.
    if (after && after->GetTime() <= entry->GetTime()) {
        entry->LinkAfter(after, false);
        return;
    }
    CIgnition* first = m_doc.FirstSchedule();
    CIgnition* last = nullptr;
    for (CIgnition* e = first; e && e->GetTime() <= entry->GetTime(); e = e->GetNextSchedule()) {
        last = e;
    }
    if (last) {
        entry->LinkAfter(last, false);
    } else if (first) {
        entry->LinkAfter(first, false);
        entry->MoveBefore(first, false);
    } else {
        entry->LinkAfter(nullptr, false);
    }
}

CIgnition* CScheduleEditor::AddIgnition(int row, CEffectRef item, const std::string& timeText)
{
    CHistoryStep step(m_history, item ? "Drop Item" : "Add Ignition");
    const std::vector<CIgnition*> rows = Rows();
    const int count = static_cast<int>(rows.size());
    int index = (item && row >= 0) ? std::min(row, count) : count;

    std::string time;
    if (!item) {
        time = timeText;
    } else if (count == 0) {
        time = "00:00:00:00";
    } else {
        time = FormatTimeCode(rows[index > 0 ? index - 1 : 0]->GetTime());
    }
    if (!ParseTimeCode(time)) time = "00:00:00:00";

    auto* e = new CIgnition;
    e->SetDelayText(std::string("0.00"), false);
    e->SetItem(std::move(item));
    e->SetAddress('A', 1);
    if (!e->SetTimeText(time, {.prefireOff = m_prefireOff, .fps = Fps()}) && !m_prefireOff) {
        Beep(BeepKind::Exclamation, PrefireNote(*e));
    }

    if (count == 0) {
        e->SetPosition(1);
        e->LinkAfter(nullptr, false);
    } else if (index == 0) {
        e->SetPosition(1);
        CIgnition* first = m_doc.FirstSchedule();
        if (e->GetTime() <= first->GetTime()) {
            e->LinkAfter(first, false);
            e->MoveBefore(first, false);
        } else {
            Place(e, nullptr);
        }
    } else {
        CIgnition* before = rows[index - 1];
        e->SetPosition(before->GetPosition());
        if (before->GetNumber() < kMaxNumberForFollowUp) e->SetNumbers(before->GetNumber() + 1);
        Place(e, before);
    }
    if (!m_doc.GetIgnitions()) m_doc.SetIgnitions(e);
    // Its delay and the next one's follow from where it now stands, so that re-timing from the
    // delays later leaves every Time where it is.
    e->UpdateDelay(Fps());
    if (CIgnition* next = e->GetNextSchedule()) next->UpdateDelay(Fps());
    Finish();
    return e;
}

bool CScheduleEditor::DeleteIgnitions(const std::vector<CIgnition*>& selected, bool confirm)
{
    CHistoryStep step(m_history, selected.size() > 1 ? "Delete Ignitions" : "Delete Ignition");
    if (selected.empty()) return false;
    if (!confirm) {
        // Cut: it can be undone, so nothing is asked.
    } else if (selected.size() > 1) {
        if (!Ask(Format("Are you sure that you want to delete the %d selected ignitions?",
                        static_cast<int>(selected.size())),
                 "Confirm Delete")) {
            return false;
        }
    } else {
        const CIgnition* e = selected.front();
        const std::string text =
            e->GetNumber() == CIgnition::kNoNumber
                ? Format("Are you sure that you want to delete the chained ignition at [%s]?",
                         InTimeText(e).c_str())
                : Format(
                      "Are you sure that you want to delete the selected ignition at [%s] "
                      "(%03d)?",
                      InTimeText(e).c_str(), e->GetNumber());
        if (!Ask(text, "Confirm Delete")) return false;
    }

    // Everything that dies: the selected entries and the chains of selected heads.
    std::set<const CIgnition*> dying(selected.begin(), selected.end());
    for (const CIgnition* e : selected) {
        if (!e->GetChainPrev()) {
            for (const CIgnition* c = e->GetChainNext(); c; c = c->GetChainNext()) dying.insert(c);
        }
    }
    // The entry that follows the first selected one in firing order, and, when that one is a
    // chained effect, the next primary entry of the schedule: their delays and times follow.
    CIgnition* follower = selected.front()->GetNextFiring();
    while (follower && dying.count(follower)) follower = follower->GetNextFiring();
    CIgnition* nextPrimary = nullptr;
    if (follower && follower->GetChainPrev()) {
        nextPrimary = follower->NextPrimary();
        while (nextPrimary && dying.count(nextPrimary)) nextPrimary = nextPrimary->NextPrimary();
    }

    // A chained effect whose head is also selected dies with the head; destroying it on its own
    // as well would destroy it twice.
    std::set<const CIgnition*> chosen(selected.begin(), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        CIgnition* e = *it;
        bool diesWithHead = false;
        for (const CIgnition* p = e->GetChainPrev(); p; p = p->GetChainPrev()) {
            if (!p->GetChainPrev() && chosen.count(p)) diesWithHead = true;
        }
        if (!diesWithHead) m_doc.DeleteIgnition(e);
    }

    if (nextPrimary) nextPrimary->UpdateDelay(Fps());
    if (follower) {
        if (follower->GetChainPrev()) {
            follower->RetimeFromDelays(Fps(), m_prefireOff);
        } else {
            follower->UpdateDelay(Fps());
        }
    }
    Finish();
    return true;
}

bool CScheduleEditor::Duplicate(const std::vector<CIgnition*>& selected)
{
    CHistoryStep step(m_history,
                      selected.size() > 1 ? "Duplicate Ignitions" : "Duplicate Ignition");
    if (selected.empty()) return false;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const CIgnition* source = *it;
        auto* copy = new CIgnition;
        copy->SetDelayText(std::string("0.00"), false);
        copy->SetItem(source->GetItemRef());
        copy->SetIgnorePrefire(source->GetIgnorePrefire());
        copy->SetAddress(source->GetLetter(), source->GetAddressNumber());
        copy->SetChained(source->IsChained());
        copy->SetNote(source->GetNote());
        copy->SetPosition(source->GetPosition());
        copy->SetTimeText(FormatTimeCode(source->GetTime()),
                          {.prefireOff = m_prefireOff, .fps = Fps()});
        copy->LinkAfter(const_cast<CIgnition*>(source), false);
        copy->UpdateDelay(Fps());
    }
    Finish();
    return true;
}

bool CScheduleEditor::PutItem(CIgnition* entry, const CEffectRef& item, bool keepOldOnFailure)
{
    const CEffectRef old = entry->GetItemRef();
    entry->SetItem(item);
    if (RetimeEntry(entry) || m_prefireOff) return true;
    Beep(BeepKind::Exclamation, PrefireNote(*entry));
    if (keepOldOnFailure) {
        entry->SetItem(old);
        RetimeEntry(entry);
    }
    return false;
}

bool CScheduleEditor::ApplyChosenItem(const std::vector<CIgnition*>& selected,
                                      const CEffectRef& item)
{
    CHistoryStep step(m_history, "Select Item");
    if (selected.empty() || !item) return false;
    if (selected.size() == 1) {
        CIgnition* e = selected.front();
        if (const CEffect* current = e->GetItem()) {
            if (SameArticle(current, item.get())) return false;
            if (!Ask(Format("Are you sure that you want to replace \"%s\" with \"%s\" at [%s]?",
                            Cp1252ToUtf8(current->GetName()).c_str(),
                            Cp1252ToUtf8(item->GetName()).c_str(), InTimeText(e).c_str()),
                     "Confirm Replace Item")) {
                return false;
            }
        }
        PutItem(e, item, true);
    } else {
        if (!Ask(Format("Are you sure that you want to replace the %d selected effects with "
                        "\"%s\"?",
                        static_cast<int>(selected.size()), item->GetName().c_str()),
                 "Confirm Replace Effects")) {
            return false;
        }
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            if (!SameArticle((*it)->GetItem(), item.get())) PutItem(*it, item, true);
        }
    }
    Finish();
    return true;
}

bool CScheduleEditor::ReplaceItem(CIgnition* entry, const CEffectRef& item)
{
    CHistoryStep step(m_history, "Replace Item");
    if (!entry || !item) return false;
    if (const CEffect* current = entry->GetItem()) {
        if (!Ask(Format("Are you sure that you want to replace \"%s\" with \"%s\" at [%s]?",
                        current->GetName().c_str(), item->GetName().c_str(),
                        InTimeText(entry).c_str()),
                 "Confirm Replace")) {
            return false;
        }
    }
    PutItem(entry, item, false);
    Finish();
    return true;
}

bool CScheduleEditor::RemoveItems(const std::vector<CIgnition*>& selected)
{
    CHistoryStep step(m_history, selected.size() > 1 ? "Remove Items" : "Remove Item");
    if (selected.empty()) return false;
    if (selected.size() > 1) {
        if (!Ask(Format("Are you sure that you want to remove the effects from the %d selected "
                        "ignitions?",
                        static_cast<int>(selected.size())),
                 "Confirm Remove Items")) {
            return false;
        }
    } else {
        const CIgnition* e = selected.front();
        if (!e->GetItem()) return false;
        if (!Ask(Format("Are you sure that you want to remove \"%s\" at [%s] (%03d)?",
                        Cp1252ToUtf8(e->GetItem()->GetName()).c_str(), InTimeText(e).c_str(),
                        e->GetNumber()),
                 "Confirm Remove Item")) {
            return false;
        }
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) (*it)->SetItem({});
    Finish();
    return true;
}

bool CScheduleEditor::ToggleIgnorePrefire(const std::vector<CIgnition*>& selected)
{
    CHistoryStep step(m_history, "Ignore Prefire");
    if (selected.empty()) return false;
    const bool value = !selected.front()->GetIgnorePrefire();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) (*it)->SetIgnorePrefire(value);
    if (!selected.front()->RetimeFromDelays(Fps(), m_prefireOff) && !m_prefireOff) {
        Beep(BeepKind::Exclamation, "A prefire in the chain does not fit before its Time.");
    }
    Finish();
    return true;
}

bool CScheduleEditor::RemoveChain(CIgnition* entry)
{
    CHistoryStep step(m_history, "Remove Chain");
    if (!entry) return false;
    CIgnition* head = entry->ChainHead();
    if (!head->GetChainNext()) return false;
    while (head->GetChainNext()) m_doc.DeleteIgnition(head->GetChainNext());
    Finish();
    return true;
}

bool CScheduleEditor::ApplyCellItem(CIgnition* entry, const CEffectRef& item)
{
    CHistoryStep step(m_history, "Edit Item");
    if (!entry) return false;
    if (!item) {
        Beep(BeepKind::Exclamation, "No item of the catalogue matches that cell.");
        return false;
    }
    if (SameArticle(entry->GetItem(), item.get())) return false;
    return ApplyChosenItem({entry}, item);
}

bool CScheduleEditor::ApplyNote(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit Note");
    if (!entry || entry->GetNote().value_or(std::string()) == text) return false;
    entry->SetNote(text.empty() ? OptText() : OptText(text));
    Finish();
    return true;
}

bool CScheduleEditor::RefusedOnChained(const CIgnition* entry, const std::string& text,
                                       const std::string& current)
{
    if (!entry->GetChainPrev()) return false;
    // Its times follow its predecessor; only an edit of the chain can change them.
    if (!text.empty() && text != current) {
        Beep(BeepKind::Default,
             "A chained effect's times follow the effect before it: edit the chain.");
    }
    return true;
}

bool CScheduleEditor::ApplyDelay(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit Delay");
    if (!entry) return false;
    if (RefusedOnChained(entry, text, entry->GetDelayText().value_or(std::string()))) {
        return false;
    }
    if (text.empty() || entry->GetDelayText() == text) return false;
    entry->SetDelayText(text, true);
    if (!entry->RetimeFromDelays(Fps(), m_prefireOff) && !m_prefireOff) {
        Beep(BeepKind::Exclamation, "A prefire in the chain does not fit before its Time.");
    }
    Finish();
    return true;
}

void CScheduleEditor::Reposition(CIgnition* entry)
{
    const CTimeCode t = entry->GetTime();
    CIgnition* p = entry->GetPrevSchedule();
    if (p && p->GetTime() > t) {
        while (p->GetPrevSchedule() && p->GetPrevSchedule()->GetTime() > t) {
            p = p->GetPrevSchedule();
        }
        entry->MoveBefore(p, false);
        return;
    }
    CIgnition* n = entry->GetNextSchedule();
    if (n && n->GetTime() <= t) {
        while (n->GetNextSchedule() && n->GetNextSchedule()->GetTime() <= t) {
            n = n->GetNextSchedule();
        }
        entry->LinkAfter(n, false);
    }
}

bool CScheduleEditor::SetTimeAndPlace(CIgnition* entry, const std::string& timeText)
{
    const std::optional<TimeCodeParts> t = ReadTimeCode(timeText, Fps());
    if (!t) {
        Beep(BeepKind::Default,
             "\"" + Cp1252ToUtf8(timeText) + "\" is not a time code (HH:MM:SS:FF).");
        return false;
    }
    const CTimeCode oldTime = entry->GetTime();
    const CTimeCode oldInTime = entry->GetInTime();
    // The entry that followed it: its delay was counted from this one's old Time.
    CIgnition* oldNext = entry->NextPrimary();
    entry->SetTime(*t, {.prefireOff = m_prefireOff, .fps = Fps()});
    if (entry->HasPrefireError() && !m_prefireOff) {
        Beep(BeepKind::Exclamation, PrefireNote(*entry));
    }
    if (entry->GetTime() == oldTime && entry->GetInTime() == oldInTime) return false;
    Reposition(entry);
    entry->UpdateDelay(Fps());
    CIgnition* next = entry->NextPrimary();
    if (next) next->UpdateDelay(Fps());
    if (oldNext && oldNext != next) oldNext->UpdateDelay(Fps());
    if (entry->GetChainNext()) entry->RetimeChain(Fps(), m_prefireOff);
    Finish();
    return true;
}

bool CScheduleEditor::ApplyTime(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit Time");
    if (!entry || RefusedOnChained(entry, text, FormatTimeCode(entry->GetTime()))) {
        return false;
    }
    return SetTimeAndPlace(entry, text);
}

bool CScheduleEditor::ApplyInTime(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit In Time");
    if (!entry || RefusedOnChained(entry, text, FormatTimeCode(entry->GetInTime()))) {
        return false;
    }
    if (!ReadTimeCode(text, Fps())) {
        Beep(BeepKind::Default, "\"" + Cp1252ToUtf8(text) + "\" is not a time code (HH:MM:SS:FF).");
        return false;
    }
    std::string time = FormatTimeCodeParts(*ParseTimeCode(text));
    const CEffect* item = entry->GetItem();
    // Where the prefire applies, the Time lies that much later; the span is the one SetTime
    // takes off again, so the In Time comes out as typed.
    if (!m_prefireOff && item && !entry->GetIgnorePrefire() && item->GetPrefire() > 0) {
        time = AddTimeCodeTexts(PrefireToTimeCodeText(item->GetPrefire(), Fps()), time, Fps());
    }
    return SetTimeAndPlace(entry, time);
}

bool CScheduleEditor::ApplyAddress(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit Address");
    if (!entry) return false;
    if (entry->GetChainPrev()) {
        Beep(BeepKind::Default, "A chained effect fires on the address of its chain's head.");
        return false;
    }
    if (text.empty()) return false;
    char letter = text[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    const std::optional<int> number = ReadNumber(text, 1);
    if (letter < 'A' || letter > 'Z' || !number || *number < 1 ||
        *number > CIgnition::kAddressesPerBank) {
        Beep(BeepKind::Default, "\"" + Cp1252ToUtf8(text) + "\" is not an address (A01 to Z32).");
        return false;
    }
    if (entry->GetLetter() == letter && entry->GetAddressNumber() == *number) return false;
    entry->SetAddress(letter, static_cast<uint8_t>(*number));
    Finish();
    return true;
}

bool CScheduleEditor::ApplyPosition(CIgnition* entry, const std::string& text)
{
    CHistoryStep step(m_history, "Edit Position");
    const std::optional<int> value = ReadNumber(text, 0);
    if (!entry || !value || *value < 1 || *value > 6) return false;
    const auto position = static_cast<uint8_t>(*value);
    bool changed = false;
    if (!entry->GetChainPrev() && !entry->GetChainNext()) {
        changed = entry->GetPosition() != position;
        entry->SetPosition(position);
    } else {
        for (CIgnition* c = entry->ChainHead(); c; c = c->GetChainNext()) {
            changed = changed || c->GetPosition() != position;
            c->SetPosition(position);
        }
    }
    if (changed) Finish();
    return changed;
}

bool CScheduleEditor::MoveRow(CIgnition* entry, int row)
{
    CHistoryStep step(m_history, "Move Ignition");
    if (!entry || entry->GetChainPrev()) return false;
    const std::vector<CIgnition*> rows = Rows();
    const int count = static_cast<int>(rows.size());
    const auto at = std::find(rows.begin(), rows.end(), entry);
    if (at == rows.end()) return false;
    const int from = static_cast<int>(at - rows.begin());
    if (row < 0 || row > count) row = count;
    if (row == from || row == from + 1) return false;

    CIgnition* oldNext = entry->NextPrimary();
    CTimeCode time;
    if (row > 0) {
        CIgnition* before = rows[row - 1];
        entry->LinkAfter(before, false);
        time = before->GetTime();
    } else {
        // At the top it takes the first row's Time, so the schedule stays in Time order.
        CIgnition* after = rows[0];
        entry->MoveBefore(after, false);
        time = after->GetTime();
    }
    const TimeCodeParts t = time.Parts();
    entry->SetTime(t, {.prefireOff = m_prefireOff, .fps = Fps()});
    if (entry->HasPrefireError() && !m_prefireOff) {
        Beep(BeepKind::Exclamation, PrefireNote(*entry));
    }
    entry->UpdateDelay(Fps());
    CIgnition* next = entry->NextPrimary();
    if (next) next->UpdateDelay(Fps());
    if (oldNext && oldNext != next) oldNext->UpdateDelay(Fps());
    if (entry->GetChainNext()) entry->RetimeChain(Fps(), m_prefireOff);
    Finish();
    return true;
}

void CScheduleEditor::ApplySetup(std::unique_ptr<CFireworkSetup> setup)
{
    {
        CHistoryStep step(m_history, "Setup");
        const int oldFps = Fps();
        const bool hadSetup = m_doc.GetSetup() != nullptr;
        const int newFps = setup ? setup->GetFrameRate() : oldFps;
        m_doc.SetSetup(std::move(setup));  // every view hears hint 136
        if (hadSetup && newFps != oldFps) {
            if (CIgnition* first = m_doc.FirstFiring()) {
                first->RetimeFromDelays(newFps, m_prefireOff);
                Finish();
            }
        }
    }
    // The dialog's OK marks the show modified even when nothing in it changed.
    m_doc.SetModifiedFlag(true);
}

void CScheduleEditor::Finish()
{
    if (CIgnition* first = m_doc.FirstFiring()) {
        first->Resort(true, false);
        first = m_doc.FirstFiring();
        first->SetNumbers(0);
        m_doc.SetIgnitions(first);
        first->CheckAddresses();
    }
    m_doc.NotifyChanged();
}

CommandState CScheduleEditor::State(int id, const std::vector<CIgnition*>& selected,
                                    bool listHasFocus) const
{
    const size_t n = selected.size();
    auto inChain = [](const CIgnition* e) { return e->GetChainPrev() || e->GetChainNext(); };
    CommandState s;
    switch (id) {
    case cmd::AddIgnition:
    case cmd::HideChained:
    case cmd::ShowSetup:
    case cmd::Racks:
    case cmd::AddRack: s.enabled = true; break;
    case cmd::DeleteIgnition:
        s.enabled = n > 0;
        s.text = n > 1 ? "Delete Ignitions" : "Delete Ignition";
        break;
    case cmd::EditClear:
    case cmd::EditSelectAll: s.enabled = listHasFocus; break;
    case cmd::DuplicateIgnition:
        s.enabled = n > 0 && std::none_of(selected.begin(), selected.end(),
                                          [](const CIgnition* e) { return e->GetChainPrev(); });
        s.text = n > 1 ? "Duplicate Ignitions" : "Duplicate Ignition";
        break;
    case cmd::SelectItem: s.enabled = n > 0; break;
    case cmd::RemoveItem: {
        const auto withItem = std::count_if(selected.begin(), selected.end(),
                                            [](const CIgnition* e) { return e->GetItem(); });
        s.enabled = withItem > 0;
        s.text = withItem < 2 ? "Remove Item" : "Remove Items";
        break;
    }
    case cmd::IgnorePrefire:
        s.enabled = n > 0;
        s.checked = n > 0 && std::all_of(selected.begin(), selected.end(),
                                         [](const CIgnition* e) { return e->GetIgnorePrefire(); });
        break;
    case cmd::SelectChain: {
        const bool anyInChain = std::any_of(selected.begin(), selected.end(), inChain);
        if (n == 1 && anyInChain) {
            s.enabled = true;
            s.text = "Edit Chain";
        } else {
            s.enabled = n > 0 && !anyInChain;
            s.text = "Select Chain";
        }
        break;
    }
    case cmd::RemoveChain: s.enabled = n == 1 && inChain(selected.front()); break;
    default: break;
    }
    if (id == cmd::HideChained) s.checked = !m_showChained;
    return s;
}

}  // namespace flr
