// The panels' draw lists through the render device: one program, one vertex
// layout, the font atlas as a texture, and a vertex and index buffer grown
// as needed. Every state the drawing changes is put back afterwards.

#include "tools/panels/PanelRenderer.h"

#include "engine/base/Log.h"
#include "engine/graphics/device/Device.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace Ostrel {

namespace {

// Positions in back-buffer pixels from the top left; vertex colours come as
// bytes R, G, B, A, which the device hands over as if they were B, G, R, A.
constexpr const char* kVertexShader = R"(
layout(location = 0) in vec2 a_position;
layout(location = 2) in vec2 a_uv;
layout(location = 3) in vec4 a_color;
uniform vec2 u_screen_size;
out vec2 v_uv;
out vec4 v_color;
void main() {
    v_uv = a_uv;
    v_color = a_color.bgra;
    gl_Position = vec4(a_position.x / u_screen_size.x * 2.0 - 1.0,
                       1.0 - a_position.y / u_screen_size.y * 2.0, 0.0, 1.0);
}
)";

constexpr const char* kPixelShader = R"(
uniform sampler2D PanelAtlas;
in vec2 v_uv;
in vec4 v_color;
out vec4 out_color0;
void main() {
    out_color0 = v_color * texture(PanelAtlas, v_uv);
}
)";

static_assert(sizeof(ImDrawIdx) == 2, "the device draws 16-bit indices");
static_assert(sizeof(ImDrawVert) == 20);

const rd::VertexElement kLayout[] = {
    {u16(offsetof(ImDrawVert, pos)), rd::DeclType::Float2, rd::DeclUsage::Position},
    {u16(offsetof(ImDrawVert, uv)), rd::DeclType::Float2, rd::DeclUsage::TexCoord},
    {u16(offsetof(ImDrawVert, col)), rd::DeclType::Color, rd::DeclUsage::Color},
};

// The states the drawing sets, and their values while it draws.
constexpr std::pair<rd::RS, u32> kDrawStates[] = {
    {rd::RS::ZEnable, 0},
    {rd::RS::ZWriteEnable, 0},
    {rd::RS::CullMode, rd::Cull::None},
    {rd::RS::FillMode, rd::FillMode::Solid},
    {rd::RS::AlphaBlendEnable, 1},
    {rd::RS::SrcBlend, rd::Blend::SrcAlpha},
    {rd::RS::DestBlend, rd::Blend::InvSrcAlpha},
    {rd::RS::ScissorTestEnable, 1},
};

}  // namespace


void PanelRenderer::DeviceObjects::Release() {
    for (rd::Resource* r : std::initializer_list<rd::Resource*>{program, vs, ps, layout, atlas, vertices, indices}) {
        device->Release(r);
    }
}

void PanelRenderer::ReleaseDeviceObjects(rd::Device* live) {
    if (!m_objects) return;
    if (m_objects->device == live) m_objects->Release();
    m_objects.reset();
    ImGui::SetCurrentContext(m_context);
    ImGui::GetIO().Fonts->SetTexID(nullptr);
}

bool PanelRenderer::MakeDeviceObjects(rd::Device& device) {
    if (m_objects && m_objects->device == &device) return !m_objects->failed;
    ReleaseDeviceObjects(nullptr);
    m_objects = std::make_unique<DeviceObjects>();
    DeviceObjects& o = *m_objects;
    o.device = &device;
    std::string log;
    o.vs = device.CompileShader(false, kVertexShader, "panel-vs", &log);
    o.ps = device.CompileShader(true, kPixelShader, "panel-ps", &log);
    o.program = o.vs && o.ps ? device.LinkProgram(o.vs, o.ps, &log) : nullptr;
    o.layout = device.CreateVertexLayout(kLayout);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    o.atlas = device.CreateTexture(u32(width), u32(height), rd::Format::A8R8G8B8, pixels, false);
    if (!o.program || !o.layout || !o.atlas) {
        LogMessagef("panels: cannot draw on this device (%s)\n", log.empty() ? "no atlas or layout" : log.c_str());
        o.failed = true;
        return false;
    }
    o.atlas->SetName("panelAtlas");
    o.program->SetName("panels");
    io.Fonts->SetTexID(o.atlas);
    o.screenSize = device.FindUniform(o.program, "u_screen_size");
    const rd::UniformRef atlas = device.FindUniform(o.program, "PanelAtlas");
    o.atlasUnit = atlas.unit >= 0 ? atlas.unit : 0;
    return true;
}

void PanelRenderer::Draw(rd::Device& device) {
    if (!m_built) return;
    ImGui::SetCurrentContext(m_context);
    ImDrawData* data = ImGui::GetDrawData();
    if (!data || !data->Valid || data->CmdListsCount == 0 || data->TotalVtxCount == 0) return;
    if (!MakeDeviceObjects(device)) return;

    u32 savedStates[std::size(kDrawStates)];
    for (size_t i = 0; i < std::size(kDrawStates); ++i) {
        savedStates[i] = device.GetRenderState(kDrawStates[i].first);
        device.SetRenderState(kDrawStates[i].first, kDrawStates[i].second);
    }
    rd::Texture* savedTargets[rd::Device::kMaxRenderTargets];
    for (u32 i = 0; i < rd::Device::kMaxRenderTargets; ++i) savedTargets[i] = device.GetRenderTarget(i);
    device.SetRenderTarget(0, device.BackBuffer());
    device.SetRenderTarget(1, nullptr);
    device.SetRenderTarget(2, nullptr);

    DrawLists(device);

    device.SetTexture(u32(m_objects->atlasUnit), nullptr);
    for (u32 i = 0; i < rd::Device::kMaxRenderTargets; ++i) device.SetRenderTarget(i, savedTargets[i]);
    for (size_t i = std::size(kDrawStates); i-- > 0;) device.SetRenderState(kDrawStates[i].first, savedStates[i]);
}

void PanelRenderer::DrawLists(rd::Device& device) {
    DeviceObjects& o = *m_objects;
    ImDrawData* data = ImGui::GetDrawData();
    const rd::Texture* target = device.BackBuffer();
    const float targetWidth = float(target->Width());
    const float targetHeight = float(target->Height());
    const float screen[2] = {data->DisplaySize.x, data->DisplaySize.y};
    device.SetProgram(o.program);
    device.SetFloats(o.program, o.screenSize, screen, 2);
    device.SetVertexLayout(o.layout);
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList& list = *data->CmdLists[n];
        const size_t vertexBytes = size_t(list.VtxBuffer.Size) * sizeof(ImDrawVert);
        const size_t indexBytes = size_t(list.IdxBuffer.Size) * sizeof(ImDrawIdx);
        if (vertexBytes == 0 || indexBytes == 0) continue;
        // One buffer pair for all lists, refilled per list and grown by half
        // again whenever a list does not fit.
        if (!o.vertices || o.vertices->Size() < vertexBytes) {
            device.Release(o.vertices);
            o.vertices = device.CreateVertexBuffer(vertexBytes + vertexBytes / 2, true);
        }
        if (!o.indices || o.indices->Size() < indexBytes) {
            device.Release(o.indices);
            o.indices = device.CreateIndexBuffer16(indexBytes + indexBytes / 2, true);
        }
        if (!o.vertices || !o.indices) return;
        std::memcpy(o.vertices->Lock(true), list.VtxBuffer.Data, vertexBytes);
        o.vertices->Unlock();
        std::memcpy(o.indices->Lock(true), list.IdxBuffer.Data, indexBytes);
        o.indices->Unlock();
        device.SetStreamSource(o.vertices, sizeof(ImDrawVert));
        device.SetIndices(o.indices);
        for (const ImDrawCmd& cmd : list.CmdBuffer) {
            if (cmd.UserCallback || cmd.ElemCount == 0) continue;
            // The clip rectangle, in whole pixels inside the target.
            const float x0 = std::clamp(cmd.ClipRect.x - data->DisplayPos.x, 0.0f, targetWidth);
            const float y0 = std::clamp(cmd.ClipRect.y - data->DisplayPos.y, 0.0f, targetHeight);
            const float x1 = std::clamp(cmd.ClipRect.z - data->DisplayPos.x, 0.0f, targetWidth);
            const float y1 = std::clamp(cmd.ClipRect.w - data->DisplayPos.y, 0.0f, targetHeight);
            if (x1 <= x0 || y1 <= y0) continue;
            device.SetScissorRect(int(x0), int(y0), int(x1 - x0 + 0.5f), int(y1 - y0 + 0.5f));
            // Lists built before the atlas existed on this device name no texture.
            rd::Texture* texture = static_cast<rd::Texture*>(cmd.GetTexID());
            device.SetTexture(u32(o.atlasUnit), texture ? texture : o.atlas);
            device.DrawIndexedFrom(rd::Prim::TriangleList, cmd.IdxOffset, u32(list.VtxBuffer.Size), cmd.ElemCount / 3);
        }
    }
}

}  // namespace Ostrel
