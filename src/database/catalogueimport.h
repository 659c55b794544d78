#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "database/csvtable.h"
#include "database/database.h"

namespace flr {

// What an import does with a row whose article number tbFireworks holds already: leave the
// stored item, write the row's matched columns over it, or refuse the row (only new items are
// wanted; a catalogue never holds an article number twice).
enum class ExistingItems { Skip, Update, Add };

// A CSV file's rows as items of tbFireworks: which file column feeds which table column, each
// row checked, and the rows written in one transaction. Nothing is written until Write, and
// Write writes every row or none. User-interface thread (or the CLI's main thread) only.
class CCatalogueImport {
public:
    // A table column rows can be written to (all of tbFireworks' but the record number).
    struct Target {
        const char* name;
        enum Kind { Integer, Text, Decimal } kind;
    };
    static const std::vector<Target>& Targets();
    static constexpr int kUnmatched = -1;
    static constexpr size_t kMaxText = 255;  // the columns' VARCHAR(255), in Windows-1252 bytes

    // Matches each file column to the target of the same name (case and blanks aside, or the
    // name the program's lists show, "Art No"); each target once, the first column wins.
    explicit CCatalogueImport(CsvTable file);

    const CsvTable& File() const { return m_file; }
    // For each file column the index in Targets(), or kUnmatched.
    const std::vector<int>& Matches() const { return m_matches; }
    // Matches file column `column` to `target` (kUnmatched to leave it out); a target matched
    // to another column before is taken from it. Out of range: nothing changes.
    void SetMatch(size_t column, int target);
    void SetExisting(ExistingItems existing) { m_existing = existing; }
    ExistingItems Existing() const { return m_existing; }

    // Reads the article numbers tbFireworks holds. False with `error` when it cannot.
    bool ReadStored(CDatabase& database, DBError* error);
    void SetStored(std::set<std::string> stored) { m_stored = std::move(stored); }

    struct Refusal {
        size_t line;
        std::string reason;  // UTF-8, names the column
    };
    struct Plan {
        size_t added = 0;
        size_t updated = 0;
        size_t skipped = 0;
        std::vector<Refusal> refused;  // in file order
    };
    // Checks every row against the matches, the stored article numbers and the other rows.
    // "120 new, 14 updated, 3 refused: see the list" (", 2 skipped" before "refused" when
    // rows were skipped).
    Plan Check() const;
    static std::string Summary(const Plan& plan);

    // Checks, then writes the planned rows in one transaction: new items inserted only where
    // no row holds the article number yet (another program may have stored it since
    // ReadStored), updates only where one does. False with `error`, nothing written, when a
    // row is refused or the database fails; `plan` gets the check's result either way.
    bool Write(CDatabase& database, Plan* plan, DBError* error);

private:
    // A row's values for the matched targets, in Windows-1252; "" in `reason` when it passes.
    struct RowValues {
        std::vector<std::string> texts;  // per target
        std::vector<int32_t> integers;   // per target
        std::string articleNumber;
    };
    bool ReadRow(const CsvTable::Record& record, RowValues& values, std::string& reason) const;

    CsvTable m_file;
    std::vector<int> m_matches;
    ExistingItems m_existing = ExistingItems::Skip;
    std::set<std::string> m_stored;  // Windows-1252
};

}  // namespace flr
