// The user interface's reflected classes that are not written yet,
// registered by name (MetaClassPlaceholder.h) so that the registry lists
// every class of the program. A class written since takes its stand-in's
// place through its own registration line; remove its name here then.

#include "engine/core/MetaClassPlaceholder.h"

namespace {

const Ostrel::PlaceholderMetaClasses s_pendingUiClasses{
    "UiTextArea", "UiLabel", "UiScrollGroup", "UiResourceLoadHandler", "UiLevelLoadHandler"
};

}  // namespace
