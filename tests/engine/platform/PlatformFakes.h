#pragma once
// Fakes for the platform tests: a recorder of the messages the window system
// and Input send, and a pad source whose states the test sets.

#include "engine/platform/ControllerData.h"
#include "engine/platform/PadSource.h"
#include "engine/platform/PlatformMessages.h"

#include <array>
#include <functional>
#include <ostream>
#include <utility>
#include <string>
#include <vector>

namespace OstrelTest {

struct RecordedMessage {
    RecordedMessage(std::string n, long a0 = 0, long b0 = 0, long c0 = 0, std::string t = {})
        : name(std::move(n)), a(a0), b(b0), c(c0), text(std::move(t)) {}
    std::string name;
    long a = 0;
    long b = 0;
    long c = 0;
    std::string text;
    bool operator==(const RecordedMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RecordedMessage& m) {
    return out << m.name << "(" << m.a << ", " << m.b << ", " << m.c << (m.text.empty() ? "" : ", " + m.text) << ")";
}

class RecordingMessages : public Ostrel::PlatformMessages {
public:
    std::vector<RecordedMessage> sent;
    // Decides the handled flag of "WindowMessage" (default: not handled).
    std::function<bool(unsigned, unsigned, long)> handleWindowMessage;
    Ostrel::ControllerData lastController;

    bool WindowMessage(unsigned message, unsigned wParam, long lParam) override {
        sent.push_back({"WindowMessage", long(message), long(wParam), lParam});
        return handleWindowMessage ? handleWindowMessage(message, wParam, lParam) : false;
    }
    void KeyTriggered(int code, bool pressed) override { sent.push_back({"KeyTriggered", code, pressed}); }
    void MouseMoved(int mode, int x, int y) override { sent.push_back({"MouseMoved", mode, x, y}); }
    void MouseWheel(int delta) override { sent.push_back({"MouseWheel", delta}); }
    void ControllerChanged(bool connected) override { sent.push_back({"ControllerChanged", connected}); }
    void ControllerUpdate(Ostrel::ControllerData* data) override {
        lastController = *data;
        sent.push_back({"ControllerUpdate"});
    }
    void SetFocus() override { sent.push_back({"SetFocus"}); }
    void LostFocus() override { sent.push_back({"LostFocus"}); }
    void DeviceChange() override { sent.push_back({"DeviceChange"}); }
    void FileDrop(const std::string& path) override { sent.push_back({"FileDrop", 0, 0, 0, path}); }
    void WindowScreenStateChange(bool windowed, unsigned width, unsigned height) override {
        sent.push_back({"WindowScreenStateChange", windowed, long(width), long(height)});
    }

    std::vector<RecordedMessage> Named(const std::string& name) const {
        std::vector<RecordedMessage> out;
        for (const auto& m : sent) {
            if (m.name == name) out.push_back(m);
        }
        return out;
    }
    void Clear() { sent.clear(); }
};

class FakePadSource : public Ostrel::PadSource {
public:
    struct Write {
        int index;
        Ostrel::u16 left;
        Ostrel::u16 right;
        bool operator==(const Write&) const = default;
    };
    std::array<bool, kMaxPads> connected{};
    std::array<Ostrel::PadState, kMaxPads> states{};
    std::vector<Write> writes;

    bool GetState(int index, Ostrel::PadState& out) override {
        if (!connected[size_t(index)]) return false;
        out = states[size_t(index)];
        return true;
    }
    void SetVibration(int index, Ostrel::u16 left, Ostrel::u16 right) override {
        writes.push_back({index, left, right});
    }
    // Changes pad 0's state and its packet number, as a real pad would.
    void Press(Ostrel::PadState state, int index = 0) {
        state.packetNumber = states[size_t(index)].packetNumber + 1;
        states[size_t(index)] = state;
    }
};

}  // namespace OstrelTest
