#pragma once
// The OpenGL 3.3 core backend of the render-device layer (internal to the
// layer: only its .cpp files include this; everyone else uses Device.h and
// CreateGlDevice).
//
// How the renderer's semantics are kept:
// - Own back buffer: an RGB8 texture with a 24-bit depth renderbuffer of the
//   window's size. Every combination of bound targets is a framebuffer
//   object, cached by the targets' ids, all sharing that one depth buffer;
//   Present blits the back buffer to the window and swaps. So the back
//   buffer can be target 0 while textures are bound at 1 and 2, and reading
//   pixels back works headless.
// - Draw buffers: a draw enables buffer i only when a target is bound at i
//   and the program declares output i; Clear enables every bound one.
// - Clip depth: every vertex shader's main is wrapped (PrepareGlslSource).
// - Winding, depth function, blend factors and fill modes map from the
//   layer's codes; sampler objects per unit give point filtering and wrap
//   addressing by default.
// - Deferred creation: objects made on another thread hold CPU data only;
//   textures and buffers are created and uploaded here at first use,
//   vertex arrays are made per (layout, vertex buffer, index buffer, stride)
//   at draw time and cached. Releases from another thread are queued and
//   carried out on the render thread.

#include "engine/graphics/device/Device.h"
#include "engine/platform/GlContext.h"

#include <epoxy/gl.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Ostrel::rd {

// One GL object name with the function that deletes it; moves, never copies.
class GlName {
public:
    using Deleter = void (*)(GLuint);
    GlName() = default;
    GlName(GLuint name, Deleter deleter) : m_name(name), m_deleter(deleter) {}
    ~GlName() { Reset(); }
    GlName(GlName&& o) noexcept : m_name(std::exchange(o.m_name, 0)), m_deleter(o.m_deleter) {}
    GlName& operator=(GlName&& o) noexcept {
        if (this != &o) {
            Reset();
            m_name = std::exchange(o.m_name, 0);
            m_deleter = o.m_deleter;
        }
        return *this;
    }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;
    GLuint Get() const { return m_name; }
    void Reset() {
        if (m_name && m_deleter) m_deleter(m_name);
        m_name = 0;
    }

private:
    GLuint m_name = 0;
    Deleter m_deleter = nullptr;
};

class GlTexture : public Texture {
public:
    using Texture::Texture;
    using Texture::Resize;
    GlName name;
};

class GlBuffer : public Buffer {
public:
    using Buffer::Buffer;
    GlName name;
    u64 uploadedRevision = 0;
};

class GlShader : public Shader {
public:
    using Shader::Shader;
    GlName name;
};

class GlProgram : public Program {
public:
    GlProgram(u32 id, Shader* vs, Shader* ps) : Program(id, vs, ps) {}
    void Reflect();  // fills the uniforms and the output mask from the linked program
    GlName name;
};

class GlDevice : public Device {
public:
    GlDevice(const PresentParams& params, std::unique_ptr<GlContext> context);
    ~GlDevice() override;
    // Makes the back buffer and the default state; false with the reason.
    bool Initialize(std::string* error);

    const char* BackendName() const override { return "gl"; }
    CoopLevel TestCooperativeLevel() override { return CoopLevel::Ok; }
    bool Reset(const PresentParams& params) override;
    std::vector<std::pair<u32, u32>> DisplayModes() override;
    Texture* BackBuffer() override { return m_backBuffer.get(); }

    VertexLayout* CreateVertexLayout(std::span<const VertexElement> elements) override;
    Buffer* CreateVertexBuffer(size_t bytes, bool dynamic) override;
    Buffer* CreateIndexBuffer16(size_t bytes, bool dynamic) override;
    Texture* CreateTexture(u32 width, u32 height, Format format, const void* pixels, bool mips) override;
    Texture* CreateRenderTarget(u32 width, u32 height, Format format) override;
    Shader* CompileShader(bool pixel, std::string_view source, std::string_view name, std::string* log) override;
    Program* LinkProgram(Shader* vs, Shader* ps, std::string* log) override;
    void Release(Resource* resource) override;

    void SetInt(Program* program, UniformRef ref, int value) override;
    void SetFloats(Program* program, UniformRef ref, const float* values, int count) override;
    void SetMatrices(Program* program, UniformRef ref, const float* rowMajor16, int count) override;

    void SetRenderState(RS state, u32 value) override;
    u32 GetRenderState(RS state) const override;
    void SetSamplerState(u32 unit, SamplerState state, u32 value) override;
    void SetRenderTarget(u32 index, Texture* target) override;
    Texture* GetRenderTarget(u32 index) const override { return index < kMaxRenderTargets ? m_targets[index] : nullptr; }
    void Clear(u32 flags, u32 argb, float z) override;
    void SetTexture(u32 unit, Texture* texture) override;
    void SetProgram(Program* program) override;
    void SetVertexLayout(VertexLayout* layout) override { m_layout = layout; }
    void SetStreamSource(Buffer* vertices, u32 stride) override;
    void SetIndices(Buffer* indices) override { m_indices = static_cast<GlBuffer*>(indices); }
    void DrawIndexedFrom(Prim prim, u32 startIndex, u32 numVertices, u32 primCount) override;
    void SetScissorRect(int x, int y, int width, int height) override;
    void BeginScene() override { ProcessReleases(); }
    void EndScene() override {}
    bool ReadPixels(Texture* target, std::vector<u8>& rgbaTopRowFirst) override;

protected:
    void DoPresent() override;

private:
    using TargetKey = std::array<u32, kMaxRenderTargets>;
    struct VaoKey {
        u32 layout, vertices, indices, stride;
        auto operator<=>(const VaoKey&) const = default;
    };

    template <class T, class... Args>
    T* Make(Args&&... args);
    bool OnRenderThread() const { return std::this_thread::get_id() == m_renderThread; }
    bool MakeBackBuffer(u32 width, u32 height, std::string* error);
    void ApplyDefaultState();
    void ApplyRenderState(RS state, u32 value);
    void ApplySampler(u32 unit);
    void ApplyScissor();
    // Creates or refreshes the GL side of a texture or buffer (render thread).
    void Prepare(GlTexture* texture);
    void Prepare(GlBuffer* buffer);
    GLuint FramebufferFor(const TargetKey& key);
    // Binds the framebuffer of the current targets with the draw buffers in
    // mask enabled; false when it cannot be made.
    bool BindTargets(u32 drawMask);
    u32 BoundTargetMask() const;
    GLuint VertexArrayFor();
    void BindTextures();
    void UseProgramForUniforms(Program* program);
    void ProcessReleases();
    void Destroy(Resource* resource);
    void ForgetTexture(u32 id);
    void ForgetBuffer(u32 id);
    // Logs the errors GL raised since the last call (see the .cpp).
    void ReportGlErrors();

    std::unique_ptr<GlContext> m_context;  // first: destroyed after every GL name below
    std::thread::id m_renderThread;
    std::mutex m_mutex;  // objects, ids and pending releases (creation runs on any thread)
    u32 m_nextId = 1;
    std::map<u32, std::unique_ptr<Resource>> m_objects;
    std::vector<Resource*> m_pendingReleases;

    std::unique_ptr<GlTexture> m_backBuffer;
    GlName m_depth;
    std::map<TargetKey, GlName> m_framebuffers;
    std::map<VaoKey, GlName> m_vertexArrays;
    GlName m_samplers[kMaxTextureUnits];
    u32 m_samplerStates[kMaxTextureUnits][8] = {};

    u32 m_states[176] = {};  // by render-state code
    int m_scissor[4] = {};   // x, y, width, height from the top left of target 0
    Texture* m_targets[kMaxRenderTargets] = {};
    Texture* m_textures[kMaxTextureUnits] = {};
    Program* m_program = nullptr;
    VertexLayout* m_layout = nullptr;
    GlBuffer* m_vertices = nullptr;
    GlBuffer* m_indices = nullptr;
    u32 m_stride = 0;
    GLuint m_glProgram = 0;  // the program bound in GL (uniform setters bind theirs)
    GLuint m_boundFramebuffer = ~0u;
    u32 m_boundDrawMask = ~0u;
    bool m_warnedNoProgram = false;
    u32 m_glErrors = 0;  // raised over the device's life
};

}  // namespace Ostrel::rd
