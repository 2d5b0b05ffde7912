#include "engine/platform/PlatformMessages.h"

namespace Ostrel {

namespace {

// Until the core system's message table is wired in, the default sends go
// nowhere; the listeners answer nothing, so "WindowMessage" is never handled.
class CorePlatformMessages final : public PlatformMessages {
public:
    bool WindowMessage(unsigned, unsigned, long) override { return false; }
    void KeyTriggered(int, bool) override {}
    void MouseMoved(int, int, int) override {}
    void MouseWheel(int) override {}
    void ControllerChanged(bool) override {}
    void ControllerUpdate(ControllerData*) override {}
    void SetFocus() override {}
    void LostFocus() override {}
    void DeviceChange() override {}
    void FileDrop(const std::string&) override {}
    void WindowScreenStateChange(bool, unsigned, unsigned) override {}
};

}  // namespace

PlatformMessages& DefaultPlatformMessages() {
    static CorePlatformMessages messages;
    return messages;
}

}  // namespace Ostrel
