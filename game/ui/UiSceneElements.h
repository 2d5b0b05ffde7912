#pragma once
// Looking up the elements a game handler drives in its scene, by name and
// kind. A scene file that lacks one, or holds one of another kind under the
// name, is told once per scene file and element (the scene's file starts the
// line while its handlers attach); the handler then does without it.

#include <string>

namespace Ostrel {
class UiBase;
class UiElementBase;
}  // namespace Ostrel

namespace Vandle {

// The element of that name, or nullptr after saying it is missing.
Ostrel::UiElementBase* FindSceneElement(Ostrel::UiBase* owner, const char* handler, const char* name);

// Reports that the element of that name is not of the kind the handler needs.
void ReportWrongElementKind(Ostrel::UiBase* owner, const char* handler, const char* name, const char* kind);

// The element of that name as a T, or nullptr after saying what is wrong.
template <class T>
T* FindSceneElementAs(Ostrel::UiBase* owner, const char* handler, const char* name, const char* kind) {
    Ostrel::UiElementBase* element = FindSceneElement(owner, handler, name);
    if (element == nullptr) return nullptr;
    T* typed = dynamic_cast<T*>(element);
    if (typed == nullptr) ReportWrongElementKind(owner, handler, name, kind);
    return typed;
}

}  // namespace Vandle
