#pragma once
// The core system ('core') carries the engine-wide settings "debug" and
// "max-fps" from its configuration ("coresystem") into the engine, and owns
// the global message table: the program's one place to subscribe to, send
// and directly handle named messages (see MessageListenerTable).

#include "engine/core/System.h"

namespace Ostrel {

class CoreSystem : public System {
public:
    static constexpr u32 kId = FourCC("core");

    CoreSystem();
    ~CoreSystem() override;

    void Update(f32) override {}
    // Reads "debug" (bool) and "max-fps" (float). Without a configuration the
    // defaults stay: debug off, no frame cap.
    void LoadConfig(Serializer* config) override;
    // Hands the settings to the engine before Run fixes its frame cap.
    void Initialize() override;
    std::string GetName() const override { return "CoreSystem"; }
    u32 GetId() const override { return kId; }

    bool IsDebug() const { return m_debug; }
    f32 GetMaxFps() const { return m_maxFps; }

    // Sends a message without arguments to the global listeners.
    void Send(const std::string& name);

private:
    bool m_debug = false;
    f32 m_maxFps = 0.0f;
};

}  // namespace Ostrel
