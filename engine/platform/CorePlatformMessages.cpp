#include "engine/platform/PlatformMessages.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/platform/ControllerData.h"

namespace Ostrel {

namespace {

// Sends globally through the running engine's core system, with the exact
// names and argument types listeners bind to. Without an engine (or without
// a core system) nothing is sent and nothing is handled.
class CorePlatformMessages final : public PlatformMessages {
public:
    bool WindowMessage(unsigned message, unsigned wParam, long lParam) override {
        bool handled = false;
        if (CoreSystem* core = Core()) core->SendMessageValues("WindowMessage", message, wParam, lParam, &handled);
        return handled;
    }
    void KeyTriggered(int code, bool pressed) override { Send("KeyTriggered", code, pressed); }
    void MouseMoved(int mode, int x, int y) override { Send("MouseMoved", mode, x, y); }
    void MouseWheel(int delta) override { Send("MouseWheel", delta); }
    void ControllerChanged(bool connected) override { Send("ControllerChanged", connected); }
    void ControllerUpdate(ControllerData* data) override { Send("ControllerUpdate", data); }
    void SetFocus() override { Send("SetFocus"); }
    void LostFocus() override { Send("LostFocus"); }
    void DeviceChange() override { Send("DeviceChange"); }
    void FileDrop(const std::string& path) override { Send("FileDrop", path); }
    void WindowScreenStateChange(bool windowed, unsigned width, unsigned height) override {
        Send("WindowScreenStateChange", windowed, width, height);
    }

private:
    static CoreSystem* Core() {
        Engine* engine = Engine::Instance();
        return engine ? engine->GetCoreSystem() : nullptr;
    }

    template <class... Args>
    static void Send(const char* name, const Args&... args) {
        if (CoreSystem* core = Core()) core->SendMessageValues(name, args...);
    }
};

}  // namespace

PlatformMessages& DefaultPlatformMessages() {
    static CorePlatformMessages messages;
    return messages;
}

}  // namespace Ostrel
