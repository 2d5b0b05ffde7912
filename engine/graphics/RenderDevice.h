#pragma once
// Placeholder for the graphics subsystem's RenderDevice. As it stands, it
// keeps the window parameters and records that Create was called; no GL
// context is made and nothing is drawn.

#include "engine/platform/DeviceParams.h"

namespace Ostrel {

class RenderDevice {
public:
    RenderDevice() = default;
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;
    void SetWindowParameters(const DeviceParams& params) { m_params = params; }
    // Real device: creates the GL context for the window. Here: only marks it.
    void Create() { m_created = true; }
    bool IsCreated() const { return m_created; }
    const DeviceParams& GetWindowParameters() const { return m_params; }

private:
    DeviceParams m_params;
    bool m_created = false;
};

}  // namespace Ostrel
