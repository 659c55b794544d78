#include "editing/chaineditor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/prompt.h"
#include "editing/celleditrules.h"
#include "editing/scheduleeditor.h"
#include "model/flrdoc.h"
#include "model/ignition.h"
#include "model/timecode.h"

namespace flr {

namespace {

constexpr int kMaxChainRows = 100;
constexpr size_t kRowCountChars = 40;

constexpr std::array<ChainColumnInfo, kChainColumnCount> kColumns{{
    {"", true, 25},
    {"Size", true, 45},
    {"Art No", false, 95},
    {"Name", false, 150},
    {"Delay", true, 50},
    {"Total", true, 50},
}};

// Formatted by hand: printf's decimal point follows the process locale, which Qt sets.
std::string TwoDecimals(double value)
{
    const long long cents = std::llround(value * 100.0);
    const long long whole = std::llabs(cents);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld", cents < 0 ? "-" : "", whole / 100,
                  whole % 100);
    return buffer;
}

}  // namespace

const ChainColumnInfo& ChainColumnInfoOf(ChainColumn column)
{
    const auto i = static_cast<size_t>(column);
    return kColumns[i < kColumns.size() ? i : 0];
}

int ChainNameWidth(const std::vector<int>& widths, int clientWidth, bool rowsFit,
                   int scrollBarWidth)
{
    const int name = static_cast<int>(ChainColumn::Name);
    int others = 0;
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        if (c != name) others += widths[c];
    }
    int width = clientWidth - others - 4;
    if (!rowsFit) width -= scrollBarWidth;
    return std::max(50, width);
}

double DelaySeconds(std::string_view text)
{
    std::string copy(text);
    std::replace(copy.begin(), copy.end(), ',', '.');
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

// ---- CChainEditor

CChainEditor::~CChainEditor() = default;

void CChainEditor::Clear()
{
    m_rows.clear();
    m_template.reset();
    m_chain = nullptr;
    m_show = nullptr;
}

void CChainEditor::SetShowChain(CScheduleEditor& show, CIgnition* entry)
{
    Clear();
    if (!entry) return;
    m_show = &show;
    m_chain = entry->ChainHead();
    Fill();
}

void CChainEditor::StartTemplate(int rows)
{
    if (m_chain) return;
    SetRowCount(rows);
}

std::unique_ptr<CIgnition> CChainEditor::TakeTemplate()
{
    if (!m_template) return nullptr;
    m_rows.clear();
    m_chain = nullptr;
    return std::move(m_template);
}

void CChainEditor::Fill()
{
    m_rows.clear();
    for (CIgnition* e = m_chain; e; e = e->GetChainNext()) m_rows.push_back(e);
    m_sameEffect = true;
    m_sameDelay = true;
    if (m_rows.empty()) return;
    const CEffect* item = m_rows.front()->GetItem();
    const OptText delay = m_rows.size() > 1 ? m_rows[1]->GetDelayText() : OptText();
    // Row 1 counts for the effect too: "same effect" means every row fires the same item.
    for (size_t i = 1; i < m_rows.size(); ++i) {
        if (m_rows[i]->GetItem() != item) m_sameEffect = false;
        if (i >= 2 && m_rows[i]->GetDelayText() != delay) m_sameDelay = false;
    }
}

CIgnition* CChainEditor::EntryAt(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[row] : nullptr;
}

std::string CChainEditor::CellText(int row, ChainColumn column) const
{
    const CIgnition* e = EntryAt(row);
    if (!e) return {};
    const CEffect* item = e->GetItem();
    switch (column) {
    case ChainColumn::Row: return std::to_string(row + 1);
    case ChainColumn::Size: return item ? std::to_string(item->GetSize()) : std::string();
    case ChainColumn::ArtNo: return item ? item->GetArticleNumber() : std::string();
    case ChainColumn::Name: return item ? item->GetName() : std::string();
    case ChainColumn::Delay: return row == 0 ? std::string() : e->GetDelayText().value_or("");
    case ChainColumn::Total: {
        if (row == 0) return {};
        double total = 0.0;
        for (int r = 1; r <= row; ++r) {
            total += DelaySeconds(m_rows[r]->GetDelayText().value_or(""));
        }
        return TwoDecimals(total);
    }
    }
    return {};
}

bool CChainEditor::SetRowCountText(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), kRowCountChars));
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = std::min<long long>(n * 10 + (text[i] - '0'), kMaxChainRows);
    }
    return SetRowCount(static_cast<int>(n));
}

bool CChainEditor::SetRowCount(int rows)
{
    rows = std::min(rows, kMaxChainRows);
    if (rows <= 0 || rows == RowCount()) return false;
    while (RowCount() > rows) {
        CIgnition* e = m_rows.back();
        m_rows.pop_back();
        // Chained effects only: row 0 stays, so the template's owner is never destroyed here.
        if (m_show) {
            m_show->Doc().DeleteIgnition(e);
        } else {
            delete e;
        }
    }
    while (RowCount() < rows) AddRow();
    ShowChanged();
    return true;
}

void CChainEditor::AddRow()
{
    CIgnition* previous = m_rows.empty() ? nullptr : m_rows.back();
    auto* e = new CIgnition;
    if (m_rows.empty() && !m_chain) {
        m_chain = e;
        m_template.reset(e);
    }
    if (previous) {
        e->SetChained(true);
        e->SetPosition(previous->GetPosition());
        const OptText& delay = previous->GetDelayText();
        e->SetDelayText(!delay || *delay == "0.00" ? OptText("3.00") : delay, true);
        e->SetItem(previous->GetItemRef());
        // Just after its predecessor, so the chain keeps its order; the delays give the times.
        if (previous->GetInTime().Value() != 0) {
            e->SetInTimeRaw(CTimeCode(previous->GetInTime().Value() + 25));
        }
        previous->AddChained(e);
        e->LinkAfter(previous, false);
    } else {
        e->SetPosition(1);
        e->SetDelayText(std::string("0.00"), true);
    }
    m_rows.push_back(e);
}

bool CChainEditor::ApplyItem(int row, const CEffectRef& item)
{
    if (!EntryAt(row)) return false;
    bool changed = false;
    for (int r = 0; r < RowCount(); ++r) {
        if (r != row && !m_sameEffect) continue;
        if (m_rows[r]->GetItem() == item.get()) continue;
        m_rows[r]->SetItem(item);
        changed = true;
    }
    if (changed) ShowChanged();
    return changed;
}

bool CChainEditor::ApplyDelay(int row, const std::string& text)
{
    if (!EntryAt(row)) return false;
    if (row == 0) {
        Beep(BeepKind::Exclamation);
        return false;
    }
    const std::optional<std::string> delay = NormaliseDelay(text);
    if (!delay) return false;
    bool changed = false;
    for (int r = 1; r < RowCount(); ++r) {
        if (r != row && !m_sameDelay) continue;
        changed = m_rows[r]->SetDelayText(*delay, true) || changed;
    }
    if (changed) ShowChanged();
    return changed;
}

void CChainEditor::ShowChanged()
{
    if (!m_show || !m_chain) return;
    m_chain->RetimeFromDelays(m_show->Fps(), m_show->PrefireOff());
    m_show->Finish();
}

// ---- Copying a chain onto the show

bool ApplyChain(CScheduleEditor& show, CIgnition* target, const CIgnition& chain)
{
    if (!target || target->GetChainPrev()) return false;
    const int fps = show.Fps();
    // An empty first row must not strip the target of the item it fires.
    if (chain.GetItem()) target->SetItem(chain.GetItemRef());

    double total = 0.0;
    CIgnition* previous = target;
    const std::string start = FormatTimeCode(target->GetInTime());
    for (const CIgnition* m = chain.GetChainNext(); m; m = m->GetChainNext()) {
        auto* e = new CIgnition;
        e->SetChained(true);
        e->SetDelayText(m->GetDelayText(), true);
        e->SetItem(m->GetItemRef());
        e->SetPosition(previous->GetPosition());
        previous->LinkChainedAfter(e);
        total += DelaySeconds(m->GetDelayText().value_or(""));
        const std::string t = AddTimeCodeTexts(SecondsToTimeCodeText(total, fps), start, fps);
        e->SetTimeText(t, {.prefireOff = true, .fps = fps});
        e->LinkAfter(previous, false);
        previous = e;
    }
    target->RetimeFromDelays(fps, show.PrefireOff());
    return true;
}

bool ApplyChainToSelection(CScheduleEditor& show, const std::vector<CIgnition*>& selected,
                           const CIgnition& chain)
{
    bool changed = false;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        changed = ApplyChain(show, *it, chain) || changed;
    }
    if (changed) show.Finish();
    return changed;
}

void FinishChainEdit(CScheduleEditor& show, CIgnition* chain)
{
    if (chain) chain->RetimeFromDelays(show.Fps(), show.PrefireOff());
    show.Finish();
}

}  // namespace flr
