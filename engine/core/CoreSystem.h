#pragma once
// The core system ('core') carries the engine-wide settings "debug" and
// "max-fps" from its configuration ("coresystem") into the engine, and owns
// the global message table: the program's one place to subscribe to, send
// and directly handle named messages. Reach it through
// Engine::GetCoreSystem(). The rules of delivery are MessageListenerTable's.
//
// The typed senders (SendMessage...) pack their arguments in order: a C
// string is copied into an owning text variant, every other argument is
// referred to and is valid only during the send (a bool* lets a listener
// answer a question). All of them are SendMessageValues.

#include "engine/core/MessageListenerTable.h"
#include "engine/core/System.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

class MessageTrace;

class CoreSystem : public System {
public:
    static constexpr u32 kId = FourCC("core");

    CoreSystem();
    ~CoreSystem() override;

    void Update(f32) override {}
    // Reads "debug" (bool) and "max-fps" (float). Without a configuration the
    // defaults stay: debug off, no frame cap.
    void LoadConfig(Serializer* config) override;
    // Hands the settings to the engine before Run fixes its frame cap, and
    // starts the message trace the engine's run switches ask for
    // (TAVRIN_TRACE_MESSAGES, see MessageTrace).
    void Initialize() override;
    std::string GetName() const override { return "CoreSystem"; }
    u32 GetId() const override { return kId; }

    bool IsDebug() const { return m_debug; }
    f32 GetMaxFps() const { return m_maxFps; }

    MessageListenerTable& GetTable() { return *m_table; }

    // One watcher of sends by name, whatever their arguments, told before
    // the receivers run and also when nobody listens (an input script's "at"
    // lines wait on these). A new call replaces the last; no names clears it.
    using SendWatcher = std::function<void(std::string_view name)>;
    void WatchSends(const std::vector<std::string>& names, SendWatcher watcher);

    void Listen(const std::string& name, const FunctionRef& function) { m_table->Listen(name, function); }
    void Unlisten(const std::string& name, const FunctionRef& function) {
        m_table->Unlisten(name, function);
    }
    void Send(std::string_view name) { m_table->Send(name); }
    void SendArgs(std::string_view name, const VariantList& arguments) {
        m_table->SendArgs(name, arguments);
    }
    void SetHandler(const std::string& name, const FunctionRef& function) {
        m_table->SetHandler(name, function);
    }
    void ClearHandler(const std::string& name) { m_table->ClearHandler(name); }

    template <class... Args>
    void SendMessageValues(std::string_view name, const Args&... args) {
        m_table->SendValues(name, args...);
    }

    // Typed senders, one per argument list that messages use; each name says
    // what it carries.
    void SendMessageString(std::string_view n, const char* text) { SendMessageValues(n, text); }
    void SendMessageStringValue(std::string_view n, const std::string& text) {
        SendMessageValues(n, text);
    }
    void SendMessageStringPtr(std::string_view n, std::string* text) { SendMessageValues(n, text); }
    // A text by reference plus any reflected value (an enumeration, a record)
    // by reference.
    template <class T>
    void SendMessageStringPtrValue(std::string_view n, const std::string& text, const T& value) {
        SendMessageValues(n, text, value);
    }
    void SendMessageStringFloat(std::string_view n, const char* text, const float& v) {
        SendMessageValues(n, text, v);
    }
    void SendMessageUInt(std::string_view n, const unsigned& v) { SendMessageValues(n, v); }
    void SendMessageUIntPtr(std::string_view n, unsigned* v) { SendMessageValues(n, v); }
    void SendMessageInt(std::string_view n, const int& v) { SendMessageValues(n, v); }
    void SendMessageInt2(std::string_view n, const int& a, const int& b) { SendMessageValues(n, a, b); }
    void SendMessageFloat(std::string_view n, const float& v) { SendMessageValues(n, v); }
    void SendMessageFloat3(std::string_view n, const float& a, const float& b, const float& c) {
        SendMessageValues(n, a, b, c);
    }
    void SendMessageBool(std::string_view n, const bool& v) { SendMessageValues(n, v); }
    void SendMessageBoolPtr(std::string_view n, bool* v) { SendMessageValues(n, v); }
    void SendMessageValueBool(std::string_view n, const int& v, const bool& b) {
        SendMessageValues(n, v, b);
    }
    // (SoundFamily, bool) and (SoundFamily, bool*): any reflected enumeration.
    template <class Family>
    void SendMessageSoundFamilyBool(std::string_view n, const Family& f, const bool& b) {
        SendMessageValues(n, f, b);
    }
    template <class Family>
    void SendMessageSoundFamilyBoolPtr(std::string_view n, const Family& f, bool* b) {
        SendMessageValues(n, f, b);
    }
    template <class Vec>
    void SendMessageVec3(std::string_view n, const Vec& v) { SendMessageValues(n, v); }

private:
    std::unique_ptr<MessageListenerTable> m_table;
    class Observer;
    void InstallObserver();

    std::unique_ptr<MessageTrace> m_trace;
    std::unique_ptr<Observer> m_observer;
    bool m_debug = false;
    f32 m_maxFps = 0.0f;
};

}  // namespace Ostrel
