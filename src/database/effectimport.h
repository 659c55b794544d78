#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/effect.h"

namespace flr {

class CDatabase;

// One row of the "Import effects" dialog. The entry holds a reference on the show's own item,
// so edits made in the dialog change the item as the show sees it.
struct ImportEntry {
    CEffectRef item;
    bool import = true;
};

inline constexpr int kImportColumns = 11;
enum class ImportColumn {
    Row,
    Size,
    ArtNo,
    Name,
    Weight,
    Prefire,
    Duration,
    InPrice,
    OutPrice,
    Import,
    Description
};

// How a column's cells are edited in place.
enum class ImportCellEditor { None, Text, Digits, Decimal, Toggle };

struct ImportColumnInfo {
    const char* heading;
    bool centred;
    int width;
    ImportCellEditor editor;
};
const ImportColumnInfo& ImportColumnAt(int column);

struct ImportResult {
    int succeeded = 0;
    int failed = 0;
    int skipped = 0;
    int Total() const { return succeeded + failed + skipped; }
};

// The summary shown titled "Imported effects".
std::string ImportSummary(const ImportResult& result);

// A decimal as strtod reads it in the C locale: leading blanks, sign, digits, "." and
// digits; reading stops at the first other character ("12,5" is 12); no number gives 0.
double LeadingDecimal(std::string_view text);

// The items of a show that the product database should be offered: those the catalogue lacked
// and whose article number tbFireworks does not hold either (the catalogue knows only what
// the database bar has listed, so an unlisted item would otherwise be stored twice). Without
// a database nothing is offered; when the table cannot be read, every item is. The items
// tbFireworks does hold take their stored values (the database's fields win over the file's).
std::vector<CEffectRef> ItemsToOffer(CDatabase* database, const std::vector<CEffectRef>& missing);

// The rows of the "Import effects" dialog and writing the chosen ones into tbFireworks.
// User-interface thread only.
class CEffectImport {
public:
    // Appends a row for `item` (importing); returns 1.
    int AddEffect(const CEffectRef& item);
    // By calibre, ascending; equal calibres may change places (a gap-halving insertion sort).
    void SortBySize();

    size_t Count() const { return m_entries.size(); }
    const ImportEntry& Entry(size_t row) const { return m_entries[row]; }

    // Bytes (Windows-1252); "" outside the rows or columns.
    std::string CellText(size_t row, int column) const;
    void ToggleImport(size_t row);
    // Puts an edited cell's text into the row's item. False, changing nothing, for a column
    // that is not edited with a text.
    bool ApplyEdit(size_t row, int column, std::string_view text);

    // Called after each row with the rows done and the row count.
    using Progress = std::function<void(int done, int count)>;
    // Adds every row marked for import to tbFireworks on `database` and shows the summary
    // ("Imported effects") through the prompt layer. A table that cannot be opened shows the
    // connect message; it, a table that takes no rows, and an article number the table holds
    // already count the rows to import as failures, so the summary never claims a success
    // that did not happen. A failed row does not stop the others.
    ImportResult Import(CDatabase* database, const Progress& progress = {});

private:
    std::vector<ImportEntry> m_entries;
};

}  // namespace flr
