#pragma once

#include <string>

namespace Ostrel {

// The loader of the "ARCHETYPE" resource kind: every top-level element of the
// ".xobj" file at path becomes an archetype of the current CompositionFactory,
// named by its tag (not initialised). A file that cannot be read is logged and
// changes nothing.
void LoadArchetypeResource(const std::string& path);

}  // namespace Ostrel
