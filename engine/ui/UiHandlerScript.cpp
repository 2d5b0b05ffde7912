// The script bindings of the stock handlers: each class has "new" and its
// setters (setters return nothing). A handler "new" made that no scene or
// element took is deleted with the Lua state.

#include "engine/core/Reflect.h"
#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiLoadHandlers.h"
#include "engine/ui/UiScriptClasses.h"

namespace Ostrel {

namespace {

template <class T>
ScriptOwnership* HandlerOwnership(void* object) {
    return &static_cast<T*>(object)->Ownership();
}

// Binds a setter taking the checked text of argument 2.
template <class T, const ScriptClass& Cls, void (T::*Set)(const std::string&)>
int SetText(lua_State* L) {
    ScriptArgs args(L);
    T& self = args.Self<T>(Cls);
    (self.*Set)(CheckScriptText(L, 2));
    return 0;
}

template <class T, const ScriptClass& Cls, void (T::*Set)(float)>
int SetNumber(lua_State* L) {
    ScriptArgs args(L);
    T& self = args.Self<T>(Cls);
    (self.*Set)(CheckScriptNumber(L, 2));
    return 0;
}

template <class T, const ScriptClass& Cls, void (T::*Set)(bool)>
int SetFlag(lua_State* L) {
    ScriptArgs args(L);
    (args.Self<T>(Cls).*Set)(args.Flag(2));
    return 0;
}

}  // namespace

extern const ScriptClass kUiSendMessageHandlerScript;
extern const ScriptClass kUiTimerHandlerScript;
extern const ScriptClass kUiAnyKeyHandlerScript;
extern const ScriptClass kUiAutoMessageHandlerScript;
extern const ScriptClass kUiKeyHandlerScript;
extern const ScriptClass kUiQueryTextHandlerScript;
extern const ScriptClass kUiSceneChangeHandlerScript;
extern const ScriptClass kUiBobHandlerScript;
extern const ScriptClass kUiPauseHandlerScript;
extern const ScriptClass kUiResourceLoadHandlerScript;
extern const ScriptClass kUiLevelLoadHandlerScript;

namespace {

int KeyAddKey(lua_State* L) {
    ScriptArgs args(L);
    UiKeyHandler& self = args.Self<UiKeyHandler>(kUiKeyHandlerScript);
    self.AddKey(args.CheckInteger(2));
    return 0;
}

int SceneChangeSetMethod(lua_State* L) {
    ScriptArgs args(L);
    UiSceneChangeHandler& self = args.Self<UiSceneChangeHandler>(kUiSceneChangeHandlerScript);
    const int method = args.CheckInteger(2);
    if (method < 0 || method > 3) args.Error("SetSceneChangeMethod: " + std::to_string(method) + " is no scene change method");
    self.SetSceneChangeMethod(UiSceneChangeMethod(method));
    return 0;
}

using Send = UiSendMessageHandler;
using Timer = UiTimerHandler;
using Change = UiSceneChangeHandler;
using Bob = UiBobHandler;

constexpr ScriptMethod kSendMethods[] = {
    {"SetRaiseEvent", &SetText<Send, kUiSendMessageHandlerScript, &Send::SetRaiseEvent>},
    {"SetResponseEvent", &SetText<Send, kUiSendMessageHandlerScript, &Send::SetResponseEvent>},
    {"SetDeactivateOnSend", &SetFlag<Send, kUiSendMessageHandlerScript, &Send::SetDeactivateOnSend>},
};
constexpr ScriptMethod kTimerMethods[] = {
    {"SetTimeout", &SetNumber<Timer, kUiTimerHandlerScript, &Timer::SetTimeout>},
    {"SetRaiseEvent", &SetText<Timer, kUiTimerHandlerScript, &Timer::SetRaiseEvent>},
    {"SetRepeating", &SetFlag<Timer, kUiTimerHandlerScript, &Timer::SetRepeating>},
};
constexpr ScriptMethod kAnyKeyMethods[] = {
    {"SetRaiseEvent", &SetText<UiAnyKeyHandler, kUiAnyKeyHandlerScript, &UiAnyKeyHandler::SetRaiseEvent>},
};
constexpr ScriptMethod kAutoMethods[] = {
    {"SetRaiseEvent",
     &SetText<UiAutoMessageHandler, kUiAutoMessageHandlerScript, &UiAutoMessageHandler::SetRaiseEvent>},
};
constexpr ScriptMethod kQueryTextMethods[] = {
    {"SetQuery", &SetText<UiQueryTextHandler, kUiQueryTextHandlerScript, &UiQueryTextHandler::SetQuery>},
};
constexpr ScriptMethod kKeyMethods[] = {
    {"SetRaiseEvent", &SetText<UiKeyHandler, kUiKeyHandlerScript, &UiKeyHandler::SetRaiseEvent>},
    {"AddKey", &KeyAddKey},
};
constexpr ScriptMethod kChangeMethods[] = {
    {"SetTargetScene", &SetText<Change, kUiSceneChangeHandlerScript, &Change::SetTargetScene>},
    {"SetSceneChangeMethod", &SceneChangeSetMethod},
    {"SetResponseEvent", &SetText<Change, kUiSceneChangeHandlerScript, &Change::SetResponseEvent>},
    {"SetDeactivateOnChange", &SetFlag<Change, kUiSceneChangeHandlerScript, &Change::SetDeactivateOnChange>},
};
using Level = UiLevelLoadHandler;
constexpr ScriptMethod kLevelLoadMethods[] = {
    {"SetStartLoaderMessageName", &SetText<Level, kUiLevelLoadHandlerScript, &Level::SetStartLoaderMessageName>},
    {"SetRequestLoaderMessageName",
     &SetText<Level, kUiLevelLoadHandlerScript, &Level::SetRequestLoaderMessageName>},
    {"SetLoaderCompleteMessageName",
     &SetText<Level, kUiLevelLoadHandlerScript, &Level::SetLoaderCompleteMessageName>},
};
constexpr ScriptMethod kBobMethods[] = {
    {"SetLength", &SetNumber<Bob, kUiBobHandlerScript, &Bob::SetLength>},
    {"SetHeight", &SetNumber<Bob, kUiBobHandlerScript, &Bob::SetHeight>},
    {"ForceSign", &SetNumber<Bob, kUiBobHandlerScript, &Bob::ForceSign>},
};

}  // namespace

#define LV_HANDLER_SCRIPT(Class, missing, methods)                                                            \
    const ScriptClass k##Class##Script{#Class,   missing,  methods, ScriptClass::kCreatable, nullptr, "Ostrel.", \
                                       &HandlerOwnership<Class>}

LV_HANDLER_SCRIPT(UiSendMessageHandler, "missing uisendmessagehandler instance", kSendMethods);
LV_HANDLER_SCRIPT(UiTimerHandler, "missing uitimerhandler instance", kTimerMethods);
LV_HANDLER_SCRIPT(UiAnyKeyHandler, "missing uianykeyhandler instance", kAnyKeyMethods);
LV_HANDLER_SCRIPT(UiAutoMessageHandler, "missing uiautomessagehandler instance", kAutoMethods);
LV_HANDLER_SCRIPT(UiKeyHandler, "missing uikeyhandler instance", kKeyMethods);
LV_HANDLER_SCRIPT(UiQueryTextHandler, "missing uiquerytexthandler instance", kQueryTextMethods);
LV_HANDLER_SCRIPT(UiSceneChangeHandler, "missing uiscenechangehandler instance", kChangeMethods);
LV_HANDLER_SCRIPT(UiBobHandler, "missing uibobhandler instance", kBobMethods);
LV_HANDLER_SCRIPT(UiPauseHandler, "missing uipausehandler instance", {});
LV_HANDLER_SCRIPT(UiResourceLoadHandler, "missing uiresourceloadhandler instance", {});
LV_HANDLER_SCRIPT(UiLevelLoadHandler, "missing uilevelloadhandler instance", kLevelLoadMethods);

#undef LV_HANDLER_SCRIPT

}  // namespace Ostrel

#define LV_REFLECT_HANDLER(Class)                                  \
    LV_REFLECT_CLASS(Ostrel::Class, [](Ostrel::MetaClass& m) {     \
        Ostrel::BindScriptClass(m, Ostrel::k##Class##Script);      \
        Ostrel::RegisterUiHandlerClass(Ostrel::k##Class##Script);  \
    })

LV_REFLECT_HANDLER(UiSendMessageHandler);
LV_REFLECT_HANDLER(UiTimerHandler);
LV_REFLECT_HANDLER(UiAnyKeyHandler);
LV_REFLECT_HANDLER(UiAutoMessageHandler);
LV_REFLECT_HANDLER(UiKeyHandler);
LV_REFLECT_HANDLER(UiQueryTextHandler);
LV_REFLECT_HANDLER(UiSceneChangeHandler);
LV_REFLECT_HANDLER(UiBobHandler);
LV_REFLECT_HANDLER(UiPauseHandler);
LV_REFLECT_HANDLER(UiResourceLoadHandler);
LV_REFLECT_HANDLER(UiLevelLoadHandler);
