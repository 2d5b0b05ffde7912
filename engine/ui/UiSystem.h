#pragma once
// Placeholder for the user interface subsystem's UiSystem. As it stands, it is
// a System that the mains add to the engine; every frame operation does
// nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"
#include "engine/platform/DeviceParams.h"

#include <string>

namespace Ostrel {

class UiSystem : public System {
public:
    static constexpr u32 kId = FourCC("uiSy");

    void Update(f32) override {}
    std::string GetName() const override { return "UiSystem"; }
    u32 GetId() const override { return kId; }

    // The screen starts at 640 x 480 until told otherwise.
    void SetScreenSize(const DeviceParams& params) {
        m_width = params.width;
        m_height = params.height;
    }
    // Replaces the start scene; nothing shows it yet.
    void SetStartScene(const std::string& name) { m_startScene = name; }
    const std::string& GetStartScene() const { return m_startScene; }
    u32 GetWidth() const { return m_width; }
    u32 GetHeight() const { return m_height; }

private:
    u32 m_width = 640;
    u32 m_height = 480;
    std::string m_startScene;
};

}  // namespace Ostrel
