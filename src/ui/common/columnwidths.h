#pragma once

#include <QString>
#include <vector>

class QTableView;

namespace flr {

class CSettingsStore;

// Where lists keep the column widths their user dragged, as "Columns/<list>": the main frame
// installs its settings; without a store widths are neither read nor kept.
void InstallColumnWidthStore(CSettingsStore* store);

// Gives `list` the widths its user left it with last time, and keeps every width the user
// drags (a moment after the drag, so a drag is one write).
void RememberColumnWidths(QTableView* list, const QString& name);

// Widens each column that is too narrow for its heading or for `samples[c]`, the widest
// content it usually holds (an article number, a time code).
void FitColumnsToSamples(QTableView* list, const std::vector<QString>& samples);

// The widths as stored, and read back: nullopt-like empty when the text does not hold exactly
// `count` widths of 1 to 10000 pixels.
QString FormatColumnWidths(const std::vector<int>& widths);
std::vector<int> ParseColumnWidths(const QString& text, int count);

}  // namespace flr
