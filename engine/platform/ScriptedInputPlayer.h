#pragma once
// Plays an InputScript into SDL at the frames it names. Keys, text, mouse and
// close requests become the SDL events a real device would queue (pushed
// before the frame's pump, so they take the same path through the window
// system and Input as real input). Pad lines drive a virtual SDL game
// controller, attached when the script is loaded, whose state SDL reports
// like a real pad's.

#include "engine/platform/InputScript.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class ScriptedInputPlayer {
public:
    // Finds a named place of the window ("mouse item" lines) in window
    // pixels; false when there is no such place.
    using ItemLocator = std::function<bool(const std::string& place, int& x, int& y)>;

    // Null when the file cannot be read; malformed lines are skipped. Every
    // problem is added to errors, ready for the log.
    static std::unique_ptr<ScriptedInputPlayer> Load(const std::string& path, unsigned windowId,
                                                     std::vector<std::string>& errors);
    ScriptedInputPlayer(InputScript script, unsigned windowId);
    ~ScriptedInputPlayer();
    ScriptedInputPlayer(const ScriptedInputPlayer&) = delete;
    ScriptedInputPlayer& operator=(const ScriptedInputPlayer&) = delete;

    // Pushes the events of frames up to and including frame.
    void Inject(long frame);
    // A core message was sent during frame (see InputScript's "at" lines).
    void MessageSent(std::string_view name, long frame) { m_script.MessageSent(name, frame); }
    const std::vector<std::string>& Anchors() const { return m_script.Anchors(); }
    bool HasVirtualPad() const { return m_pad != nullptr; }
    void SetItemLocator(ItemLocator locator) { m_locator = std::move(locator); }

private:
    void AttachPad();
    void Push(const ScriptedEvent& event);
    void PushKey(const ScriptedEvent& event);
    void PushText(const ScriptedEvent& event);
    void PushMouse(const ScriptedEvent& event);
    void PushMouseToItem(const ScriptedEvent& event);
    void SetPad(const ScriptedEvent& event);

    InputScript m_script;
    unsigned m_windowId;
    ItemLocator m_locator;
    void* m_pad = nullptr;  // SDL_Joystick* of the virtual pad
    int m_padDevice = -1;
    bool m_joystickStarted = false;
};

}  // namespace Ostrel
