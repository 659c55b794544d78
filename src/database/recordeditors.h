#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

class CDatabase;
class CRecordset;

// The record editors' results, as their dialogs end.
inline constexpr int kEditorOk = 1;
inline constexpr int kEditorCancel = 2;
inline constexpr int kEditorDeleted = 3;

enum class EditorMode { Add, Edit };

// An entry of a choice list: its text (Windows-1252 bytes) and its data.
struct EditorChoice {
    std::string name;
    int32_t data = 0;
    friend bool operator==(const EditorChoice&, const EditorChoice&) = default;
};

// The item editor's colour boxes.
inline constexpr int kColourBoxes = 16;
// How many colours are kept before the boxes are labelled.
inline constexpr size_t kMaxColours = 32;

// Prefire and duration as typed: digits and at most one ",", with at most two characters
// after it; "." is refused, an empty text accepted.
bool IsDecimalTextAccepted(std::string_view text);

// The integer value of a text as atol reads it (leading blanks, sign, digits), held to the
// range of a column instead of wrapping.
int32_t IntegerValue(std::string_view text);

// "%d".
std::string DecimalText(int32_t value);

// Inserts `choice` before the first entry whose text compares greater byte by byte; a name
// beginning with "-" is left out.
void InsertInOrder(std::vector<EditorChoice>& list, EditorChoice choice);

// The lookup lists, each from a recordset of its own that is closed again. A failed open has
// shown the connect message and gives an empty list; so does no database (nullptr).
std::vector<EditorChoice> LoadCategoryChoices(CDatabase* database);
// Names in table order with their Index; "Other" (0) appended when there is any.
std::vector<EditorChoice> LoadManufacturerChoices(CDatabase* database);
std::vector<EditorChoice> LoadCountryChoices(CDatabase* database);
// The colours not beginning with "-" (at most kMaxColours of them, in table order), sorted
// by name byte by byte; data is the ColorID.
std::vector<EditorChoice> LoadColourChoices(CDatabase* database);

// The position of the first entry with `data`, or -1.
int FindChoice(const std::vector<EditorChoice>& list, int32_t data);
// The data of entry `index`; -1 when nothing is chosen.
int32_t ChoiceData(const std::vector<EditorChoice>& list, int index);

// An item's Color mask from the colours of the checked boxes: 2^(ColorID-1) each. A ColorID
// outside 1..32 has no bit and adds nothing.
int32_t ColourMask(const std::vector<EditorChoice>& colours, const std::vector<bool>& checked);
bool HasColour(int32_t mask, int32_t colorId);

// What a newly chosen category or manufacturer entry does: an entry beginning with "-" is not
// taken (silently), one beginning with "Edit " is not taken with a beep.
enum class ComboVerdict { Take, RestoreSilently, RestoreWithBeep };
ComboVerdict JudgeComboEntry(std::string_view text);

// The question before a row is deleted: `name` (bytes) into "...delete %s\nfrom the `what`
// database?", as UTF-8 for the prompt layer. Yes when the user agreed.
bool ConfirmDelete(std::string_view name, std::string_view what);

// "Database Error" with `text`.
void ReportDatabaseError(std::string_view text);

// Writes the row `rows` is editing (Edit called, the members set) and says how the editor
// ends: kEditorOk, kEditorDeleted, or 0 to stay open. When another user changed or deleted the
// row since it was read, the user chooses: Yes writes over it (or stores it again), No reloads
// it into `rows` (a deleted row ends the editor with kEditorDeleted), Cancel goes back to
// editing; nothing is written unasked. Other failures show "Unable to edit `what` in FLR
// database." and end with kEditorOk on the row as stored.
int SaveEditedRow(CRecordset& rows, std::string_view what);

}  // namespace flr
