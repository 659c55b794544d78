#pragma once

#include <vector>

#include "model/effect.h"

namespace flr {
class CFLRDoc;
}

namespace flr::test {

// Items "FX-001" upwards with prefires of 0 to 2.5 s, sizes, weights and colours.
std::vector<CEffectRef> MakeCatalogueItems(int count);

// Fills an empty `doc` with a realistic show of about `entries` entries, linked, numbered,
// conflict-checked and with delays, as the view leaves a show: an effect every 0 to 0.8 s,
// about one primary entry in five carrying a chain of 2 to 4 effects, some addresses used
// again (at the same moment, firing together, or later, in conflict). Gives the show a
// setup. Deterministic for a seed. No GoogleTest here: the benchmarks use it too.
void MakeRealisticShow(CFLRDoc& doc, int entries, unsigned seed,
                       const std::vector<CEffectRef>& items);

}  // namespace flr::test
