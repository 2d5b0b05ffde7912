#pragma once
// Text drawn through the render device: each glyph atlas becomes a texture
// (made again when the atlas has changed), and the quads of a sprite run are
// drawn as alpha-blended triangles by the "text" program (rsc/shaders
// text-vs / text-ps), in back-buffer pixels over whatever targets are bound.
//
// BeginText saves the render states text changes (blending, depth test and
// writes, culling, fill mode) and EndText restores them, so text can be drawn
// in the middle of a frame. The program, vertex layout, buffers and texture
// unit 0 are left bound to the text's own: every draw of the frame binds its
// own before drawing.
//
// Render thread only, under the render device's lock. A missing or failing
// shader is logged once and text is then not drawn.

#include "engine/graphics/text/TextSprite.h"
#include "engine/graphics/device/DeviceTypes.h"

#include <map>
#include <vector>

namespace Ostrel {

namespace rd {
class Buffer;
class Device;
class Program;
class Shader;
class Texture;
class VertexLayout;
}  // namespace rd

class DeviceTextRenderer final : public TextRenderer {
public:
    static constexpr u32 kQuadsPerDraw = 4096;
    // Short texts use a small vertex buffer: a buffer is uploaded whole at
    // each draw, and most texts are a few dozen glyphs.
    static constexpr u32 kSmallQuads = 64;

    explicit DeviceTextRenderer(rd::Device& device);
    ~DeviceTextRenderer() override;
    DeviceTextRenderer(const DeviceTextRenderer&) = delete;
    DeviceTextRenderer& operator=(const DeviceTextRenderer&) = delete;

    void BeginText() override;
    void DrawQuads(const GlyphAtlas& atlas, std::span<const TextQuad> quads) override;
    void EndText() override;

    rd::Device& GetDevice() const { return m_device; }
    // Gives every atlas texture back (fonts made after this upload anew).
    void ReleaseTextures();

private:
    struct AtlasTexture {
        rd::Texture* texture = nullptr;
        u32 version = 0;
    };
    struct SavedState {
        rd::RS state;
        u32 value;
    };

    bool Prepare();
    rd::Texture* TextureOf(const GlyphAtlas& atlas);
    void DrawBatch(const GlyphAtlas& atlas, std::span<const TextQuad> quads);
    bool DeviceAlive() const;

    rd::Device& m_device;
    bool m_tried = false;
    rd::Shader* m_vs = nullptr;
    rd::Shader* m_ps = nullptr;
    rd::Program* m_program = nullptr;
    rd::VertexLayout* m_layout = nullptr;
    rd::Buffer* m_vertices = nullptr;
    rd::Buffer* m_smallVertices = nullptr;
    rd::Buffer* m_indices = nullptr;
    std::map<u64, AtlasTexture> m_textures;
    std::vector<SavedState> m_saved;
    std::vector<u8> m_texels;
};

}  // namespace Ostrel
