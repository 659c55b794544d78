#pragma once

#include <string>
#include <vector>

#include "editing/schedulecells.h"
#include "model/effect.h"

namespace flr {

class CDatabase;
class CEffectCatalogue;

// The drop-down texts of the schedule list's Size, Art No and Name cells and the item a chosen
// text names, read from tbFireworks with bound parameters. User-interface thread only.
struct CellChoices {
    std::vector<std::string> texts;  // bytes, Windows-1252
    int current = -1;                // the entry to preselect, -1 for none
};

// `database` (not owned) may be nullptr: no choices. `sizeCell` is the row's Size cell (the
// Art No and Name lists keep to that size; all items when it is empty), `currentArticle` the
// row's article number. A refused query has said so and gives no choices.
CellChoices ItemCellChoices(CDatabase* database, ScheduleColumn column, const std::string& sizeCell,
                            const std::string& currentArticle);

// The item a chosen text names: Size, the first item of that size by name; Art No, the item
// with that article number; Name, the article number between "[" and "]". An item the
// catalogue lacks is made from its row and added. Nothing when the database has none.
CEffectRef ItemForCellText(CDatabase* database, CEffectCatalogue& catalogue, ScheduleColumn column,
                           const std::string& text);

// "[" article number "] " name, the Name cell's drop-down entry.
std::string NameChoiceText(const std::string& articleNumber, const std::string& name);

}  // namespace flr
