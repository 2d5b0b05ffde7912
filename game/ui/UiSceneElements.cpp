#include "game/ui/UiSceneElements.h"

#include "engine/base/Log.h"
#include "engine/ui/UiBase.h"
#include "engine/ui/UiElementBase.h"
#include "engine/ui/UiScene.h"
#include "game/common/LogOnce.h"

namespace Vandle {

using namespace Ostrel;

namespace {

// "path: " of the scene's file, or nothing for a scene made in code.
std::string SceneFile(UiBase* owner) {
    const auto* scene = dynamic_cast<const UiScene*>(owner);
    return scene != nullptr && !scene->GetPath().empty() ? scene->GetPath() + ": " : std::string();
}

// Once per scene file, handler and element.
bool FirstForScene(const std::string& file, const char* handler, const char* name) {
    return FirstReport(file + handler + ": " + name);
}

}  // namespace

UiElementBase* FindSceneElement(UiBase* owner, const char* handler, const char* name) {
    if (owner == nullptr) return nullptr;
    UiElementBase* element = owner->FindElement(name);
    const std::string file = SceneFile(owner);
    if (element == nullptr && FirstForScene(file, handler, name))
        LogErrorf("%s%s: the scene has no element '%s'; the handler does without it\n", file.c_str(), handler, name);
    return element;
}

void ReportWrongElementKind(UiBase* owner, const char* handler, const char* name, const char* kind) {
    const std::string file = SceneFile(owner);
    if (FirstForScene(file, handler, name))
        LogErrorf("%s%s: the scene's element '%s' is not a %s; the handler does without it\n", file.c_str(), handler,
                  name, kind);
}

}  // namespace Vandle
