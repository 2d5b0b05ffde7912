#pragma once
// The editor's panel as the components see it: Composition::ExposeProperties
// opens one group per component (BeginGroup with the class name), and each
// component's ExposeProperties adds its fields to that group. The tools
// implement it over their panel bars (PanelGroup in tools/panels); everywhere
// else NullTweakBarGroup takes the calls and does nothing.
//
// Field pointers and client data must stay valid while the panel shows them
// (the editor rebuilds the panel when its selection changes).

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {

// Kinds of callback fields (AddCallbackVar). A kind above kTweakFloat adds
// nothing.
enum TweakBarKind : int {
    kTweakInt = 0,     // s32
    kTweakUInt = 1,    // u32
    kTweakBool = 2,    // bool
    kTweakChar = 3,    // char
    kTweakString = 4,  // std::string
    kTweakDir3 = 5,    // float[3], a direction
    kTweakFloat = 6,   // f32
};

// A setter receives the new value (a pointer to the kind's type above) and
// the client data; a getter fills the value it is given. A field without a
// setter is shown read-only.
using TweakBarSetter = void (*)(const void* value, void* clientData);
using TweakBarGetter = void (*)(void* value, void* clientData);
using TweakBarButton = void (*)(void* clientData);

class TweakBarGroup {
public:
    virtual ~TweakBarGroup() = default;

    // Fields added next belong to the group name; the panel also shows a
    // separator named name + "Separator".
    virtual void BeginGroup(const std::string& name) = 0;
    virtual void AddString(const std::string& label, std::string* value, bool readOnly) = 0;
    virtual void AddFloat(const std::string& label, f32* value, bool readOnly) = 0;
    virtual void AddInt(const std::string& label, s32* value, bool readOnly) = 0;
    virtual void AddBool(const std::string& label, bool* value, bool readOnly) = 0;
    virtual void AddCallbackVar(const std::string& label, int kind, TweakBarSetter setter,
                                TweakBarGetter getter, void* clientData) = 0;
    virtual void AddButton(const std::string& label, TweakBarButton callback, void* clientData) = 0;
};

// The panel of programs without an editor: accepts everything, shows nothing.
class NullTweakBarGroup final : public TweakBarGroup {
public:
    void BeginGroup(const std::string&) override {}
    void AddString(const std::string&, std::string*, bool) override {}
    void AddFloat(const std::string&, f32*, bool) override {}
    void AddInt(const std::string&, s32*, bool) override {}
    void AddBool(const std::string&, bool*, bool) override {}
    void AddCallbackVar(const std::string&, int, TweakBarSetter, TweakBarGetter, void*) override {}
    void AddButton(const std::string&, TweakBarButton, void*) override {}
};

}  // namespace Ostrel
