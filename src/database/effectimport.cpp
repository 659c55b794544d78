#include "database/effectimport.h"

#include <charconv>
#include <map>
#include <set>

#include "base/prompt.h"
#include "database/itemtable.h"
#include "database/recordeditors.h"

namespace flr {

namespace {

constexpr ImportColumnInfo kColumns[kImportColumns] = {
    {"", true, 35, ImportCellEditor::None},
    {"Size", true, 35, ImportCellEditor::None},
    {"Art No", false, 65, ImportCellEditor::None},
    {"Name", false, 150, ImportCellEditor::Text},
    {"Wgt", true, 40, ImportCellEditor::Digits},
    {"PF", true, 40, ImportCellEditor::Decimal},
    {"Dur", true, 40, ImportCellEditor::Decimal},
    {"In Price", true, 60, ImportCellEditor::Decimal},
    {"Out Price", true, 60, ImportCellEditor::Decimal},
    {"Import", true, 50, ImportCellEditor::Toggle},
    {"Description", false, 75, ImportCellEditor::Text},
};

// "%0.2f" with a "." whatever the process locale says.
std::string TwoDecimals(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0.00");
}

// The article numbers tbFireworks holds; false when the table cannot be read.
bool StoredArticles(CItemTable& table, std::set<std::string>& articles)
{
    if (!table.IsOpen()) return false;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) articles.insert(table.m_SerialID);
    return true;
}

}  // namespace

const ImportColumnInfo& ImportColumnAt(int column)
{
    static constexpr ImportColumnInfo kNone{"", false, 0, ImportCellEditor::None};
    return column >= 0 && column < kImportColumns ? kColumns[column] : kNone;
}

std::string ImportSummary(const ImportResult& result)
{
    std::string text = std::to_string(result.succeeded) + " of " + std::to_string(result.Total()) +
                       " effects was succesfully imported.";
    if (result.failed > 0) {
        text += "\n" + std::to_string(result.failed) +
                " effects could not be imported due to unknown errors.";
    }
    return text;
}

double LeadingDecimal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    }
    std::string_view number = text.substr(start, i - start);
    // from_chars takes no "+".
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    return result.ec == std::errc() ? value : 0.0;
}

std::vector<CEffectRef> ItemsToOffer(CDatabase* database, const std::vector<CEffectRef>& missing)
{
    if (!database || missing.empty()) return {};
    std::map<std::string, CEffect*, std::less<>> byArticle;
    for (const CEffectRef& item : missing) {
        if (item) byArticle.emplace(item->GetArticleNumber(), item.get());
    }
    CItemTable table(database);
    if (!table.Open(OpenType::Snapshot)) return missing;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
        const auto it = byArticle.find(table.m_SerialID);
        if (it == byArticle.end()) continue;
        // The catalogue's row is the item as the company sells it now: its stock, prices
        // and timings count, not the copy the show file carried.
        table.FillItem(*it->second);
        byArticle.erase(it);
    }
    std::vector<CEffectRef> offered;
    for (const CEffectRef& item : missing) {
        if (item && byArticle.count(item->GetArticleNumber())) offered.push_back(item);
    }
    return offered;
}

int CEffectImport::AddEffect(const CEffectRef& item)
{
    m_entries.push_back({item, true});
    return 1;
}

void CEffectImport::SortBySize()
{
    const size_t n = m_entries.size();
    auto size = [this](size_t i) { return m_entries[i].item ? m_entries[i].item->GetSize() : 0; };
    for (size_t gap = n / 2; gap > 0; gap /= 2) {
        for (size_t i = gap; i < n; ++i) {
            for (size_t j = i; j >= gap && size(j - gap) > size(j); j -= gap) {
                std::swap(m_entries[j - gap], m_entries[j]);
            }
        }
    }
}

std::string CEffectImport::CellText(size_t row, int column) const
{
    if (row >= m_entries.size()) return {};
    const ImportEntry& entry = m_entries[row];
    if (static_cast<ImportColumn>(column) == ImportColumn::Row) return std::to_string(row + 1);
    if (static_cast<ImportColumn>(column) == ImportColumn::Import) {
        return entry.import ? "YES" : "NO";
    }
    const CEffect* item = entry.item.get();
    if (!item) return {};
    switch (static_cast<ImportColumn>(column)) {
    case ImportColumn::Size: return std::to_string(item->GetSize());
    case ImportColumn::ArtNo: return item->GetArticleNumber();
    case ImportColumn::Name: return item->GetName();
    case ImportColumn::Weight: return std::to_string(item->GetWeight());
    case ImportColumn::Prefire: return TwoDecimals(item->GetPrefire());
    case ImportColumn::Duration: return TwoDecimals(item->GetDuration());
    case ImportColumn::InPrice: return TwoDecimals(item->GetInPrice());
    case ImportColumn::OutPrice: return TwoDecimals(item->GetOutPrice());
    case ImportColumn::Description: return item->GetDescription();
    default: return {};
    }
}

void CEffectImport::ToggleImport(size_t row)
{
    if (row < m_entries.size()) m_entries[row].import = !m_entries[row].import;
}

bool CEffectImport::ApplyEdit(size_t row, int column, std::string_view text)
{
    if (row >= m_entries.size() || !m_entries[row].item) return false;
    CEffect& item = *m_entries[row].item;
    switch (static_cast<ImportColumn>(column)) {
    case ImportColumn::Name: item.SetName(text); return true;
    case ImportColumn::Weight: item.SetWeight(IntegerValue(text)); return true;
    case ImportColumn::Prefire: item.SetPrefire(LeadingDecimal(text)); return true;
    case ImportColumn::Duration: item.SetDuration(LeadingDecimal(text)); return true;
    case ImportColumn::InPrice: item.SetInPrice(LeadingDecimal(text)); return true;
    case ImportColumn::OutPrice: item.SetOutPrice(LeadingDecimal(text)); return true;
    case ImportColumn::Description: item.SetDescription(text); return true;
    default: return false;
    }
}

ImportResult CEffectImport::Import(CDatabase* database, const Progress& progress)
{
    ImportResult result;
    const int count = static_cast<int>(m_entries.size());
    CItemTable table(database);
    std::set<std::string> stored;
    const bool writable =
        database && table.OpenTable() && table.CanAppend() && StoredArticles(table, stored);
    for (int i = 0; i < count; ++i) {
        const ImportEntry& entry = m_entries[size_t(i)];
        if (!entry.item || !entry.import) {
            ++result.skipped;
        } else if (!writable || stored.count(entry.item->GetArticleNumber())) {
            ++result.failed;
        } else {
            table.AddNew();
            table.SetFromItem(entry.item.get());
            if (table.Update()) {
                ++result.succeeded;
                stored.insert(entry.item->GetArticleNumber());
            } else {
                table.CancelUpdate();
                ++result.failed;
            }
        }
        if (progress) progress(i + 1, count);
    }
    table.Close();
    ShowMessage(ImportSummary(result), "Imported effects", PromptButtons::Ok);
    return result;
}

}  // namespace flr
