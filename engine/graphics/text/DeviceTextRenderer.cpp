#include "engine/graphics/text/DeviceTextRenderer.h"

#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/GlyphAtlas.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/Device.h"
#include "engine/base/Log.h"

#include <cstring>
#include <string>

namespace Ostrel {

namespace {

struct TextVertex {
    float x, y, z;
    float u, v;
    u8 bgra[4];
};
static_assert(sizeof(TextVertex) == 24);

const rd::VertexElement kTextElements[] = {
    {0, rd::DeclType::Float3, rd::DeclUsage::Position},
    {12, rd::DeclType::Float2, rd::DeclUsage::TexCoord},
    {20, rd::DeclType::Color, rd::DeclUsage::Color},
};

// The states text drawing sets, and their values while it draws.
const std::pair<rd::RS, u32> kTextStates[] = {
    {rd::RS::AlphaBlendEnable, 1},           {rd::RS::SrcBlend, rd::Blend::SrcAlpha},
    {rd::RS::DestBlend, rd::Blend::InvSrcAlpha}, {rd::RS::ZEnable, 0},
    {rd::RS::ZWriteEnable, 0},               {rd::RS::CullMode, rd::Cull::None},
    {rd::RS::FillMode, rd::FillMode::Solid},
};

std::string ShaderText(const char* name) {
    std::vector<u8> bytes;
    if (!ReadResourceBytes(name, bytes)) return {};
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

DeviceTextRenderer::DeviceTextRenderer(rd::Device& device) : m_device(device) {}

DeviceTextRenderer::~DeviceTextRenderer() {
    if (!DeviceAlive()) return;
    ReleaseTextures();
    for (rd::Resource* r : std::initializer_list<rd::Resource*>{m_vertices, m_smallVertices, m_indices, m_layout, m_program, m_vs, m_ps}) {
        m_device.Release(r);
    }
}

bool DeviceTextRenderer::DeviceAlive() const {
    // The device goes with the window (or its holder), and its objects with it.
    RenderDevice* renderDevice = GetRenderDevice();
    return renderDevice && renderDevice->GetDevice() == &m_device;
}

void DeviceTextRenderer::ReleaseTextures() {
    for (auto& [id, entry] : m_textures) m_device.Release(entry.texture);
    m_textures.clear();
}

bool DeviceTextRenderer::Prepare() {
    if (m_tried) return m_program && m_layout && m_vertices && m_smallVertices && m_indices;
    m_tried = true;
    const std::string vsText = ShaderText("text-vs");
    const std::string psText = ShaderText("text-ps");
    if (vsText.empty() || psText.empty()) {
        LogMessagef("text shaders 'text-vs' and 'text-ps' not found; text is not drawn\n");
        return false;
    }
    std::string log;
    m_vs = m_device.CompileShader(false, vsText, "text-vs", &log);
    m_ps = m_vs ? m_device.CompileShader(true, psText, "text-ps", &log) : nullptr;
    m_program = m_ps ? m_device.LinkProgram(m_vs, m_ps, &log) : nullptr;
    if (!m_program) {
        LogMessagef("text program could not be made; text is not drawn:\n%s\n", log.c_str());
        return false;
    }
    m_layout = m_device.CreateVertexLayout(kTextElements);
    m_vertices = m_device.CreateVertexBuffer(kQuadsPerDraw * 4 * sizeof(TextVertex), true);
    m_smallVertices = m_device.CreateVertexBuffer(kSmallQuads * 4 * sizeof(TextVertex), true);
    m_indices = m_device.CreateIndexBuffer16(kQuadsPerDraw * 6 * sizeof(u16), false);
    if (!m_layout || !m_vertices || !m_smallVertices || !m_indices) {
        LogMessagef("text buffers could not be made; text is not drawn\n");
        return false;
    }
    auto* index = static_cast<u16*>(m_indices->Lock(true));
    for (u32 q = 0; q < kQuadsPerDraw; ++q) {
        const u16 base = static_cast<u16>(q * 4);
        const u16 six[6] = {base, u16(base + 1), u16(base + 2), base, u16(base + 2), u16(base + 3)};
        std::memcpy(index + q * 6, six, sizeof(six));
    }
    m_indices->Unlock();
    return true;
}

void DeviceTextRenderer::BeginText() {
    m_saved.clear();
    for (const auto& [state, value] : kTextStates) {
        m_saved.push_back({state, m_device.GetRenderState(state)});
        m_device.SetRenderState(state, value);
    }
}

void DeviceTextRenderer::EndText() {
    for (const SavedState& saved : m_saved) m_device.SetRenderState(saved.state, saved.value);
    m_saved.clear();
}

rd::Texture* DeviceTextRenderer::TextureOf(const GlyphAtlas& atlas) {
    AtlasTexture& entry = m_textures[atlas.Id()];
    if (entry.texture && entry.version == atlas.Version() &&
        entry.texture->Height() == static_cast<u32>(atlas.Height())) {
        return entry.texture;
    }
    m_device.Release(entry.texture);
    // Coverage in every channel, so the byte order of the format does not matter.
    const std::vector<u8>& coverage = atlas.Pixels();
    m_texels.resize(coverage.size() * 4);
    for (size_t i = 0; i < coverage.size(); ++i) std::memset(&m_texels[i * 4], coverage[i], 4);
    entry.texture = m_device.CreateTexture(atlas.Width(), atlas.Height(), rd::Format::A8R8G8B8, m_texels.data(), false);
    entry.version = atlas.Version();
    return entry.texture;
}

void DeviceTextRenderer::DrawQuads(const GlyphAtlas& atlas, std::span<const TextQuad> quads) {
    if (quads.empty() || !Prepare()) return;
    rd::Texture* texture = TextureOf(atlas);
    if (!texture) return;
    rd::Texture* target = m_device.GetRenderTarget(0);
    const float screen[2] = {float(target ? target->Width() : m_device.GetPresentParams().width),
                             float(target ? target->Height() : m_device.GetPresentParams().height)};
    m_device.SetProgram(m_program);
    m_device.SetFloats(m_program, m_program->Find("u_screen_size"), screen, 2);
    const rd::UniformRef sampler = m_program->Find("Tex");
    m_device.SetTexture(sampler.unit >= 0 ? u32(sampler.unit) : 0, texture);
    m_device.SetVertexLayout(m_layout);
    m_device.SetIndices(m_indices);
    for (size_t first = 0; first < quads.size(); first += kQuadsPerDraw) {
        DrawBatch(atlas, quads.subspan(first, std::min<size_t>(kQuadsPerDraw, quads.size() - first)));
    }
}

void DeviceTextRenderer::DrawBatch(const GlyphAtlas& atlas, std::span<const TextQuad> quads) {
    rd::Buffer* buffer = quads.size() <= kSmallQuads ? m_smallVertices : m_vertices;
    m_device.SetStreamSource(buffer, sizeof(TextVertex));
    auto* vertex = static_cast<TextVertex*>(buffer->Lock(true));
    const float invW = 1.0f / float(atlas.Width());
    const float invH = 1.0f / float(atlas.Height());
    for (const TextQuad& q : quads) {
        const float u0 = q.atlasX * invW, v0 = q.atlasY * invH;
        const float u1 = (q.atlasX + (q.right - q.left)) * invW, v1 = (q.atlasY + (q.bottom - q.top)) * invH;
        const u8 bgra[4] = {u8(q.argb), u8(q.argb >> 8), u8(q.argb >> 16), u8(q.argb >> 24)};
        const TextVertex corners[4] = {{q.left, q.top, 0, u0, v0, {}},
                                       {q.right, q.top, 0, u1, v0, {}},
                                       {q.right, q.bottom, 0, u1, v1, {}},
                                       {q.left, q.bottom, 0, u0, v1, {}}};
        for (const TextVertex& c : corners) {
            *vertex = c;
            std::memcpy(vertex->bgra, bgra, 4);
            ++vertex;
        }
    }
    buffer->Unlock();
    const u32 count = static_cast<u32>(quads.size());
    m_device.DrawIndexed(rd::Prim::TriangleList, count * 4, count * 2);
}

}  // namespace Ostrel
