#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/effect.h"
#include "model/ignition.h"

namespace flr {

class CScheduleEditor;

// The columns of the chain list: row number, the item's size, article number and name, the
// delay and the running total of the delays.
enum class ChainColumn { Row, Size, ArtNo, Name, Delay, Total };
inline constexpr int kChainColumnCount = 6;

struct ChainColumnInfo {
    const char* heading;
    bool centre;
    int width;  // initial width in pixels
};
const ChainColumnInfo& ChainColumnInfoOf(ChainColumn column);

// The Name column's width after a resize: what the other columns (and the scroll bar when the
// rows do not all fit) leave, less 4, at least 50. `widths` holds all six.
int ChainNameWidth(const std::vector<int>& widths, int clientWidth, bool rowsFit,
                   int scrollBarWidth);

// A delay text read as a decimal number ("1.50" or "1,50"); 0 for anything else.
double DelaySeconds(std::string_view text);

// The rows of the "Select chain to insert..." dialog, without widgets: row 0 is a chain's
// primary entry, the others its chained effects in chain order.
//
// Either a template chain of its own (entries that belong to no show, owned here until
// TakeTemplate), or a chain of a show edited in place: rows added, removed and edited change
// the show at once, and the show is re-timed, renumbered and notified after each change so a
// view behind the dialog never lists a destroyed entry. User-interface thread only.
class CChainEditor {
public:
    CChainEditor() = default;
    CChainEditor(const CChainEditor&) = delete;
    CChainEditor& operator=(const CChainEditor&) = delete;
    ~CChainEditor();

    // Edits the chain of `entry` (followed to its head) in the show of `show`; a template held
    // so far is destroyed. Fills the rows and the same-effect/same-delay flags.
    void SetShowChain(CScheduleEditor& show, CIgnition* entry);
    // Starts a template of `rows` rows (when no chain is set yet).
    void StartTemplate(int rows);

    // The primary entry of the chain shown, or nullptr.
    CIgnition* Chain() const { return m_chain; }
    bool EditsShow() const { return m_show != nullptr; }
    // Hands the template chain (its primary entry owns the rest) to the caller; nullptr when
    // this edits a show's chain or holds nothing.
    std::unique_ptr<CIgnition> TakeTemplate();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    CIgnition* EntryAt(int row) const;
    std::string CellText(int row, ChainColumn column) const;

    bool SameEffect() const { return m_sameEffect; }
    bool SameDelay() const { return m_sameDelay; }
    void SetSameEffect(bool value) { m_sameEffect = value; }
    void SetSameDelay(bool value) { m_sameDelay = value; }

    // The number of rows as typed: the integer value of its first 40 characters. 0, text that
    // is not a number, or the current count change nothing; false then. At most 100 rows.
    bool SetRowCountText(std::string_view text);
    // Removes rows from the end (destroying their entries) or adds rows that copy the last
    // row's item and delay. The primary row is never removed.
    bool SetRowCount(int rows);

    // The item chosen in a Size, Art No or Name cell (none: the row keeps no item), on `row`
    // or, with same effect, on every row.
    bool ApplyItem(int row, const CEffectRef& item);
    // A delay typed into `row`; row 0 beeps and changes nothing. With same delay, on every
    // chained row.
    bool ApplyDelay(int row, const std::string& text);

private:
    void Clear();
    void Fill();
    void AddRow();
    // After a change to a show's chain: its effects re-timed, the show sorted, numbered,
    // checked and notified.
    void ShowChanged();

    CScheduleEditor* m_show = nullptr;
    CIgnition* m_chain = nullptr;
    std::unique_ptr<CIgnition> m_template;
    std::vector<CIgnition*> m_rows;
    bool m_sameEffect = false;
    bool m_sameDelay = false;
};

// Copies the template chain `chain` (a primary entry and its chained effects) onto `target`, a
// primary entry of `show`: the target takes the template's primary item (keeping its own when
// the template has none), and new chained effects with the template's items and delays follow
// it; effects the target already had stay in its chain behind the new ones. The show is
// re-timed from the target's delays, not yet renumbered. False, changing nothing, for a target
// that is itself a chained effect.
bool ApplyChain(CScheduleEditor& show, CIgnition* target, const CIgnition& chain);

// The view's OK step of "Select Chain": `chain` onto each of `selected`, from the last to the
// first, then the show sorted, numbered and notified. False when nothing changed.
bool ApplyChainToSelection(CScheduleEditor& show, const std::vector<CIgnition*>& selected,
                           const CIgnition& chain);

// The view's step after "Edit Chain": the show re-timed from the chain's primary entry on,
// sorted, numbered and notified.
void FinishChainEdit(CScheduleEditor& show, CIgnition* chain);

}  // namespace flr
