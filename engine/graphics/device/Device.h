#pragma once
// The render-device layer: one thin interface through which the renderer
// draws, with the semantics its drawing code was written for.
//
// Two backends implement it: OpenGL 3.3 core on the SDL window (GlDevice.h)
// and a recording device without any GL (RecordingDevice.h) that returns
// fake objects and writes every call into a trace for tests. RenderDevice
// owns the one device of the process and its lock.
//
// Conventions every caller and shader relies on (the GL backend converts):
// - Matrices are row-major with row vectors (v' = v * M) and go to the
//   shaders as given; in GLSL `M * v` then equals v * M, so a vertex shader
//   writes `gl_Position = ProjMat * CamMat * WorldMat * vec4(p, 1.0)`.
// - Vertex shaders write clip depth from 0 to w (left-handed projections);
//   the layer maps it to GL's range itself. Shaders must not convert it.
// - Depth test less-or-equal; clockwise faces on screen are the front faces
//   (Cull::CounterClockwise culls the others).
// - Image textures are given top row first and v = 0 samples the top row.
//   Render targets hold their bottom row first: read them at gl_FragCoord
//   (every target has the back buffer's size), by texelFetch or by point
//   sampling at texel centres with v = 0 at the bottom row.
// - The device draws into its own back buffer (BackBuffer()), which may be
//   bound at target 0 while other textures are bound at 1 and 2. All targets
//   share one depth buffer of the back buffer's size. Present copies the
//   back buffer to the window.
// - A draw writes colour output i only when a target is bound at i and the
//   program declares "out_color<i>"; Clear clears every bound target.
// - X8R8G8B8 targets read destination alpha 1 when blending.
// - Samplers default to point filtering without mips and wrap addressing.
// - Attribute locations come from the usage (see DeclUsage); shaders
//   declare them with layout(location = N). Colour outputs are named
//   "out_color0" .. "out_color2" (locations 0..2).
// - Vertex colours (DeclType::Color) are bytes B, G, R, A and reach the
//   shader as a normalised vec4 (r, g, b, a); BlendIndices (UByte4) reach it
//   as a uvec4.
//
// Threads: the Create* calls for textures, buffers and layouts, Lock and
// Unlock may run on any thread while the caller holds RenderDevice's lock;
// they store CPU data only and the GL objects are made on the render thread
// at first use. Shaders, programs, uniforms, state, drawing, Reset and
// Present belong to the render thread.

#include "engine/core/Matrix4.h"
#include "engine/base/Types.h"
#include "engine/core/Vec4.h"
#include "engine/graphics/device/DeviceResources.h"
#include "engine/graphics/device/DeviceTypes.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Ostrel::rd {

// Arrays of Matrix4 go to the shaders as one float array.
static_assert(sizeof(Matrix4) == 16 * sizeof(float));

class Device {
public:
    static constexpr u32 kMaxRenderTargets = 3;
    static constexpr u32 kMaxTextureUnits = 8;

    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // "gl" or "recording".
    virtual const char* BackendName() const = 0;

    // Device state and the back buffer.
    virtual CoopLevel TestCooperativeLevel() = 0;
    // Resizes the back buffer (and its depth buffer) to the parameters; the
    // objects made so far stay valid. False when the size is 0 or the
    // backend cannot make the new buffers; the old ones then remain.
    virtual bool Reset(const PresentParams& params) = 0;
    const PresentParams& GetPresentParams() const { return m_params; }
    // Display modes of the primary screen in enumeration order, one entry
    // per mode (a size may repeat with another refresh rate).
    virtual std::vector<std::pair<u32, u32>> DisplayModes() = 0;
    virtual Texture* BackBuffer() = 0;

    // Resources (see the thread rule above). Null after logging why when the
    // arguments are impossible (a size of 0, an unknown format).
    virtual VertexLayout* CreateVertexLayout(std::span<const VertexElement> elements) = 0;
    virtual Buffer* CreateVertexBuffer(size_t bytes, bool dynamic) = 0;
    virtual Buffer* CreateIndexBuffer16(size_t bytes, bool dynamic) = 0;
    // pixels: width * height texels, top row first (null: zeros): bytes R, G,
    // B, A for the 8-bit formats (X8R8G8B8 ignores A), one float for R32F,
    // floats R, G, B, A for A32B32G32R32F.
    virtual Texture* CreateTexture(u32 width, u32 height, Format format, const void* pixels, bool mips) = 0;
    virtual Texture* CreateRenderTarget(u32 width, u32 height, Format format) = 0;
    // Compiles one stage. Null on failure, with the compiler's messages in
    // log (prefixed by name). A source without a "#version" line is GLSL 3.30.
    virtual Shader* CompileShader(bool pixel, std::string_view source, std::string_view name, std::string* log) = 0;
    // Links a vertex and a pixel shader and reflects the uniforms and outputs.
    virtual Program* LinkProgram(Shader* vs, Shader* ps, std::string* log) = 0;
    // Gives an object back; it must not be bound any more (bindings to it are
    // dropped). Null is ignored.
    virtual void Release(Resource* resource) = 0;

    // Uniforms of one program; invalid references are ignored. Matrices are
    // row-major 16 floats each; counts beyond the array size are clamped.
    UniformRef FindUniform(const Program* program, const std::string& name) const;
    virtual void SetInt(Program* program, UniformRef ref, int value) = 0;
    virtual void SetFloats(Program* program, UniformRef ref, const float* values, int count) = 0;
    virtual void SetMatrices(Program* program, UniformRef ref, const float* rowMajor16, int count) = 0;
    // The same with the engine's types.
    void SetMatrix(Program* program, UniformRef ref, const Matrix4& matrix) { SetMatrices(program, ref, matrix.m, 1); }
    void SetMatrices(Program* program, UniformRef ref, const Matrix4* matrices, int count) {
        SetMatrices(program, ref, matrices ? matrices->m : nullptr, count);
    }
    void SetVec4(Program* program, UniformRef ref, const Vec4& value) {
        const float values[4] = {value.x, value.y, value.z, value.w};
        SetFloats(program, ref, values, 4);
    }

    // State and drawing (render thread).
    virtual void SetRenderState(RS state, u32 value) = 0;
    virtual u32 GetRenderState(RS state) const = 0;
    virtual void SetSamplerState(u32 unit, SamplerState state, u32 value) = 0;
    // index 0..2; null unbinds (target 0 cannot be unbound and keeps its
    // texture); BackBuffer() is allowed at any index.
    virtual void SetRenderTarget(u32 index, Texture* target) = 0;
    virtual Texture* GetRenderTarget(u32 index) const = 0;
    // Clears every bound target to the colour (0xAARRGGBB, each channel / 255)
    // and, with kClearZBuffer, the depth buffer to z.
    virtual void Clear(u32 flags, u32 argb, float z) = 0;
    // Null clears the unit: it then samples (0, 0, 0, 1).
    virtual void SetTexture(u32 unit, Texture* texture) = 0;
    virtual void SetProgram(Program* program) = 0;
    virtual void SetVertexLayout(VertexLayout* layout) = 0;
    virtual void SetStreamSource(Buffer* vertices, u32 stride) = 0;
    virtual void SetIndices(Buffer* indices) = 0;
    // Draws primCount primitives from the bound index buffer (starting at
    // index 0; numVertices is the number of vertices they may use).
    void DrawIndexed(Prim prim, u32 numVertices, u32 primCount) { DrawIndexedFrom(prim, 0, numVertices, primCount); }
    // The same from index startIndex of the bound index buffer; a range that
    // runs past the buffer draws nothing.
    virtual void DrawIndexedFrom(Prim prim, u32 startIndex, u32 numVertices, u32 primCount) = 0;
    // The scissor rectangle in pixels of target 0, origin at the top left
    // (used while ScissorTestEnable is 1). Negative sizes count as 0.
    virtual void SetScissorRect(int x, int y, int width, int height) = 0;
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    // Shows the back buffer. The present hook (if set) runs first, with the
    // finished back buffer still readable.
    void Present();
    void SetPresentHook(std::function<void(Device&)> hook) { m_presentHook = std::move(hook); }

    // Reads a render target (or the back buffer) as RGBA bytes, top row
    // first; R32F and float targets are clamped to 0..255 per channel, and
    // X8R8G8B8 reads alpha 255. False when the target cannot be read.
    virtual bool ReadPixels(Texture* target, std::vector<u8>& rgbaTopRowFirst) = 0;

protected:
    explicit Device(const PresentParams& params) : m_params(params) {}
    virtual void DoPresent() = 0;
    PresentParams m_params;

private:
    std::function<void(Device&)> m_presentHook;
};

// Makes the GL device on params.window (or, with no window, on a hidden
// window of its own). Null with the reason in error when there is no usable
// OpenGL 3.3 core context.
std::unique_ptr<Device> CreateGlDevice(const PresentParams& params, std::string* error);

}  // namespace Ostrel::rd
