// The levels and game flow's reflected types that are not written yet,
// registered by name (MetaClassPlaceholder.h) so that the registry lists
// every type of the program. A type written since takes its stand-in's place
// through its own registration line; remove its name here then.

#include "engine/core/MetaClassPlaceholder.h"

namespace {

const Ostrel::PlaceholderMetaClasses s_pendingWorldClasses{"GameSystem", "TutorialManager"};
const Ostrel::PlaceholderMetaClasses s_pendingWorldEnums{{"TutorialSceneInput"}, Ostrel::kKindEnum};

}  // namespace
