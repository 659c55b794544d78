#include "database/recordeditors.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "base/prompt.h"
#include "base/textcodec.h"
#include "database/categorytable.h"
#include "database/colortable.h"
#include "database/countrytable.h"
#include "database/manufacturertable.h"
#include "database/recordset.h"

namespace flr {

bool IsDecimalTextAccepted(std::string_view text)
{
    const size_t comma = text.find(',');
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') continue;
        if (c == ',' && i == comma) continue;
        return false;
    }
    return comma == std::string_view::npos || text.size() - comma - 1 <= 2;
}

int32_t IntegerValue(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Enough headroom to hold any excess before clamping.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(1) << 40);
    }
    if (negative) value = -value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

std::string DecimalText(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", int(value));
    return text;
}

void InsertInOrder(std::vector<EditorChoice>& list, EditorChoice choice)
{
    if (!choice.name.empty() && choice.name.front() == '-') return;
    // std::string compares as unsigned bytes.
    const auto at = std::find_if(list.begin(), list.end(), [&](const EditorChoice& entry) {
        return entry.name > choice.name;
    });
    list.insert(at, std::move(choice));
}

std::vector<EditorChoice> LoadCategoryChoices(CDatabase* database)
{
    std::vector<EditorChoice> list;
    if (!database) return list;
    CCategoryTable rows(database);
    if (!rows.OpenTable()) return list;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        InsertInOrder(list, {rows.m_Category, rows.m_CategoryNo});
    }
    return list;
}

std::vector<EditorChoice> LoadManufacturerChoices(CDatabase* database)
{
    std::vector<EditorChoice> list;
    if (!database) return list;
    CManufacturerTable rows(database);
    if (!rows.OpenTable()) return list;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
        list.push_back({rows.m_Name, rows.m_Index});
    if (!list.empty()) list.push_back({"Other", 0});
    return list;
}

std::vector<EditorChoice> LoadCountryChoices(CDatabase* database)
{
    std::vector<EditorChoice> list;
    if (!database) return list;
    CCountryTable rows(database);
    if (!rows.OpenTable()) return list;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        InsertInOrder(list, {rows.m_Country, rows.m_CountryID});
    }
    return list;
}

std::vector<EditorChoice> LoadColourChoices(CDatabase* database)
{
    std::vector<EditorChoice> list;
    if (!database) return list;
    CColorTable rows(database);
    if (!rows.OpenTable()) return list;
    for (rows.MoveFirst(); !rows.IsEOF() && list.size() < kMaxColours; rows.MoveNext()) {
        if (!rows.m_Color.empty() && rows.m_Color.front() == '-') continue;
        list.push_back({rows.m_Color, rows.m_ColorID});
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const EditorChoice& a, const EditorChoice& b) { return a.name < b.name; });
    return list;
}

int FindChoice(const std::vector<EditorChoice>& list, int32_t data)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].data == data) return int(i);
    }
    return -1;
}

int32_t ChoiceData(const std::vector<EditorChoice>& list, int index)
{
    return index >= 0 && size_t(index) < list.size() ? list[size_t(index)].data : -1;
}

int32_t ColourMask(const std::vector<EditorChoice>& colours, const std::vector<bool>& checked)
{
    uint32_t mask = 0;
    for (size_t i = 0; i < colours.size() && i < checked.size(); ++i) {
        const int32_t id = colours[i].data;
        if (checked[i] && id >= 1 && id <= 32) mask |= uint32_t(1) << (id - 1);
    }
    return int32_t(mask);
}

bool HasColour(int32_t mask, int32_t colorId)
{
    return colorId >= 1 && colorId <= 32 && (uint32_t(mask) >> (colorId - 1) & 1u) != 0;
}

ComboVerdict JudgeComboEntry(std::string_view text)
{
    if (text.starts_with('-')) return ComboVerdict::RestoreSilently;
    if (text.starts_with("Edit ")) return ComboVerdict::RestoreWithBeep;
    return ComboVerdict::Take;
}

bool ConfirmDelete(std::string_view name, std::string_view what)
{
    const std::string text = "Are you sure that you want to delete " + Cp1252ToUtf8(name) +
                             "\nfrom the " + std::string(what) + " database?";
    return ShowMessage(text, "Confirm Delete", PromptButtons::YesNo, PromptIcon::Question) ==
           PromptAnswer::Yes;
}

void ReportDatabaseError(std::string_view text)
{
    ShowMessage(text, "Database Error", PromptButtons::Ok, PromptIcon::Error);
}

int SaveEditedRow(CRecordset& rows, std::string_view what)
{
    DBError error;
    if (rows.Update(&error)) return kEditorOk;
    const bool gone = error.state == kRowGoneState;
    if (!gone && error.state != kRowChangedState) {
        rows.CancelUpdate();
        ReportDatabaseError("Unable to edit " + std::string(what) + " in FLR database.");
        return kEditorOk;
    }
    const std::string subject = "This " + std::string(what) + " was " +
                                (gone ? "deleted" : "changed") +
                                " by another user since you opened it.\n\n";
    const std::string text =
        subject +
        (gone ? "Yes: store your version again.\nNo: drop it and your changes.\n"
              : "Yes: save your version over theirs.\nNo: reload theirs and drop "
                "your changes.\n") +
        "Cancel: go back to editing; nothing is saved.";
    switch (ShowMessage(text, "Changed by Another User", PromptButtons::YesNoCancel,
                        PromptIcon::Warning)) {
    case PromptAnswer::Yes:
        if (rows.Update(&error, UpdateCheck::Overwrite)) return kEditorOk;
        if (error.state == kValueTakenState) {
            rows.CancelUpdate();
            ReportDatabaseError("Another " + std::string(what) +
                                " has this number now. Change it and save again, or cancel.");
            return 0;
        }
        rows.CancelUpdate();
        ReportDatabaseError("Unable to edit " + std::string(what) + " in FLR database.");
        return kEditorOk;
    case PromptAnswer::No:
        if (rows.RefreshRow(&error)) return kEditorOk;
        if (error.state == kRowGoneState) return kEditorDeleted;
        rows.CancelUpdate();
        ReportDatabaseError("Unable to read the " + std::string(what) + " from FLR database.");
        return kEditorOk;
    default: rows.CancelUpdate(); return 0;
    }
}

}  // namespace flr
