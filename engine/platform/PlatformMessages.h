#pragma once
// The engine messages the window system and Input send, as one interface. The
// engine's implementation (CorePlatformMessages) sends them globally through
// the core system with their exact names and argument types; tests record
// them. Keeping the senders behind this seam lets the platform code be driven
// without the whole engine.

#include <string>

namespace Ostrel {

struct ControllerData;

class PlatformMessages {
public:
    virtual ~PlatformMessages() = default;

    // "WindowMessage"(unsigned message, unsigned wParam, long lParam, bool* handled):
    // answers the handled flag a listener may have set (false when nobody did).
    virtual bool WindowMessage(unsigned message, unsigned wParam, long lParam) = 0;
    // "KeyTriggered"(int code, bool pressed)
    virtual void KeyTriggered(int code, bool pressed) = 0;
    // "MouseMoved"(int mode, int x, int y): mode 0 absolute cursor, 1 relative motion.
    virtual void MouseMoved(int mode, int x, int y) = 0;
    // "MouseWheel"(int delta), multiples of 120.
    virtual void MouseWheel(int delta) = 0;
    // "ControllerChanged"(bool connected)
    virtual void ControllerChanged(bool connected) = 0;
    // "ControllerUpdate"(ControllerData*)
    virtual void ControllerUpdate(ControllerData* data) = 0;
    // "SetFocus"(), "LostFocus"(), "DeviceChange"()
    virtual void SetFocus() = 0;
    virtual void LostFocus() = 0;
    virtual void DeviceChange() = 0;
    // "FileDrop"(string path)
    virtual void FileDrop(const std::string& path) = 0;
    // "WindowScreenStateChange"(bool windowed, unsigned width, unsigned height)
    virtual void WindowScreenStateChange(bool windowed, unsigned width, unsigned height) = 0;
};

// The window-message ids that travel as data in "WindowMessage".
namespace WindowMessageId {
constexpr unsigned kKeyDown = 0x0100;
constexpr unsigned kKeyUp = 0x0101;
constexpr unsigned kChar = 0x0102;
constexpr unsigned kSysKeyDown = 0x0104;
constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kLButtonUp = 0x0202;
constexpr unsigned kMouseWheel = 0x020A;
}  // namespace WindowMessageId

}  // namespace Ostrel

namespace Ostrel {
// The messages of the running engine (sent through the core system). Input
// and the window system use it unless a test gives them another.
PlatformMessages& DefaultPlatformMessages();
}  // namespace Ostrel
