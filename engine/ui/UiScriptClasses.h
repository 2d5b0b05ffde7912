#pragma once
// The script bindings of the UI classes (ScriptBinding.h): metatables
// "Ostrel.<class>" and global tables of the class names. Elements share the
// base "UiElementBase" (its 19 methods); the scene's methods fall back to
// "UiBaseImpl" ("AddHandler"). Scripts create elements and navigators with
// "new" and hand them to a scene (or group); the receiver owns them from
// then on, and a second hand-over is a Lua error ("... already has an
// owner") that changes nothing. Arguments that must be objects are checked
// against their class; a table argument must be a table.
//
// Handlers have no common scripted base: each handler class announces its
// description with RegisterUiHandlerClass (at static initialisation), and
// "AddHandler" accepts a userdata of any announced class.

#include "engine/script/ScriptBinding.h"

namespace Ostrel {

class UiEventHandler;

extern const ScriptClass kUiElementBaseScript;
extern const ScriptClass kUiBaseImplScript;
extern const ScriptClass kUiSceneScript;
extern const ScriptClass kUiNavigatorScript;
extern const ScriptClass kUiImageScript;
extern const ScriptClass kUiToggleImageScript;
extern const ScriptClass kUiSolidScript;
extern const ScriptClass kUiButtonScript;
extern const ScriptClass kUiLabelScript;
extern const ScriptClass kUiTextAreaScript;
extern const ScriptClass kUiScrollGroupScript;

// Announces a handler class (its userdata may be given to "AddHandler").
void RegisterUiHandlerClass(const ScriptClass& cls);
// The handler at index, or a Lua type error ("UiEventHandler expected").
UiEventHandler& CheckUiHandler(lua_State* L, int index);
// Hands the handler at argument 2 to owner, claiming it first.
void AddHandlerFromScript(lua_State* L, class UiBase& owner);

}  // namespace Ostrel
