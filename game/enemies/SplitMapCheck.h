#pragma once
// The bird split map ("bird-split-map": bird archetype -> page of weighted
// children) must not lead back to a bird it starts from: a bird whose
// children can be drawn to split into it again splits without end. The
// check walks the map and its pages once per run and logs the first cycle
// on a line that starts with the map's file; the birds still split as the
// pages say.

namespace Ostrel {
class PropertyManager;
}

namespace Vandle {

// Checks the map once per run (later calls do nothing). Leaves the manager's
// page selection changed.
void CheckSplitMapOnce(Ostrel::PropertyManager& properties, const char* mapPage);

}  // namespace Vandle
