#pragma once

#include <vector>

#include "help/manual.h"

namespace flr {

// The help window's Back and Forward: the places visited, and where in that list it stands.
// Visiting a place drops the places ahead of the current one, as a browser does.
class CHelpHistory {
public:
    // A visit to the place already current leaves the history as it is.
    void Visit(const ManualLocation& where);
    bool CanGoBack() const { return m_at > 0; }
    bool CanGoForward() const { return m_at + 1 < m_places.size(); }
    // The place gone to; the current one when there is nowhere to go.
    ManualLocation Back();
    ManualLocation Forward();
    // Empty before the first visit.
    ManualLocation Current() const;

private:
    std::vector<ManualLocation> m_places;
    size_t m_at = 0;
};

}  // namespace flr
