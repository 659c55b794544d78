#pragma once

#include <string>
#include <unordered_map>

#include "model/timecode.h"

namespace flr {

class CFLRDoc;

// The In Times of a show before they are derived again from the items' prefires, to say
// afterwards what the catalogue changed: a show saved with other prefires than the catalogue
// holds now, or an item re-timed by another user meanwhile.
class CInTimeSnapshot {
public:
    explicit CInTimeSnapshot(const CFLRDoc& doc);

    // A note for the status bar (UTF-8) naming how many cues moved and for which items;
    // empty when no In Time changed.
    std::string ChangesNote(const CFLRDoc& doc) const;

private:
    std::unordered_map<const void*, CTimeCode> m_inTimes;
};

}  // namespace flr
