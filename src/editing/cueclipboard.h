#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flr {

class CEffectCatalogue;
class CFLRDoc;
class CIgnition;
class CScheduleEditor;

// The clipboard's own form of cues: a show file holding copies of the entries, with their
// items, so that a paste into another show or another running program loses nothing.
inline constexpr const char* kCueMimeType = "application/x-flr-cues";

// What Copy puts on the clipboard.
struct CueClip {
    std::string bytes;  // kCueMimeType
    std::string text;   // UTF-8, tab-separated: a heading line, then a line per entry
    int count = 0;      // entries copied
};

// Copies of `selected` (the list's selected entries, in row order) and, for a primary entry,
// of its whole chain. A chained effect selected without its chain's head comes alone, as an
// entry of its own. An empty clip when nothing is selected.
CueClip CopyCues(const CFLRDoc& doc, const std::vector<CIgnition*>& selected);

// Paste, one undo step: the entries of `bytes` (CopyCues's form) into the show, keeping their
// Times apart as they were. The first lands on the Time of the row `row` of the editor's rows
// and in front of it; with no such row, on `clockText`, the time display's position, as Add
// Ignition's new entry does. Items the catalogue lacks join it. Returns the new entries; on
// a clip that cannot be read (said through the prompt layer) nothing changes and none.
std::vector<CIgnition*> PasteCues(CScheduleEditor& editor, std::string_view bytes, int row,
                                  const std::string& clockText, CEffectCatalogue& catalogue);

}  // namespace flr
