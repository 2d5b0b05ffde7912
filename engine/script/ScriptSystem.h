#pragma once
// The script system ('luaS'): a debug Lua console on the process console.
// With "debug" set in its configuration ("scriptsystem"), the back-quote key
// opens a line editor; while it is open the console is the direct handler of
// "KeyTriggered", so it alone receives keys. Typed characters echo to the
// output; Return runs the line in the shared Lua state (under the render
// device lock, since scene scripts may run on the loading thread), Escape
// drops it, Backspace deletes; a failing line prints "ERROR:<message>".
// Console text never goes to the log.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/platform/SubscriptionList.h"

#include <functional>
#include <string>
#include <string_view>

namespace Ostrel {

class ScriptSystem : public System {
public:
    static constexpr u32 kId = FourCC("luaS");
    static constexpr int kToggleKey = 192;  // the back-quote key

    ScriptSystem();
    ~ScriptSystem() override;

    void Update(f32) override {}
    void LoadConfig(Serializer* config) override;
    void Initialize() override;
    void Shutdown() override;
    std::string GetName() const override { return "ScriptSystem"; }
    u32 GetId() const override { return kId; }

    void OnKeyTriggered(int key, bool down);
    // Turns a key code into the character it types (0 for keys that type
    // nothing), following the Shift key; true when the code was converted.
    bool TranslateKey(int& code, bool down);
    void ExecuteConsoleLine();

    // Where the console writes (standard output unless replaced).
    void SetOutput(std::function<void(std::string_view)> output) { m_output = std::move(output); }
    void SetDebug(bool debug) { m_debug = debug; }
    bool IsConsoleOpen() const { return m_consoleOpen; }
    const std::string& GetConsoleLine() const { return m_line; }

private:
    void Write(std::string_view text) const;
    void Toggle();

    bool m_shiftHeld = false;
    std::string m_line;
    bool m_consoleOpen = false;
    bool m_debug = false;
    SubscriptionList m_subscriptions;
    std::function<void(std::string_view)> m_output;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ScriptSystem);
