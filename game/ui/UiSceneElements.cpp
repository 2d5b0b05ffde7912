#include "game/ui/UiSceneElements.h"

#include "engine/base/Log.h"
#include "engine/ui/UiBase.h"
#include "engine/ui/UiElementBase.h"
#include "game/common/LogOnce.h"

namespace Vandle {

using namespace Ostrel;

namespace {

// Once per scene file (the current log source), handler and element.
bool FirstForScene(const char* handler, const char* name) {
    return FirstReport(CurrentLogSource() + ": " + handler + ": " + name);
}

}  // namespace

UiElementBase* FindSceneElement(UiBase* owner, const char* handler, const char* name) {
    if (owner == nullptr) return nullptr;
    UiElementBase* element = owner->FindElement(name);
    if (element == nullptr && FirstForScene(handler, name))
        LogErrorf("%s: the scene has no element '%s'; the handler does without it\n", handler, name);
    return element;
}

void ReportWrongElementKind(const char* handler, const char* name, const char* kind) {
    if (FirstForScene(handler, name))
        LogErrorf("%s: the scene's element '%s' is not a %s; the handler does without it\n", handler, name, kind);
}

}  // namespace Vandle
