#pragma once
// The recording backend: a render device without GL for tests.
//
// It hands out fake objects (named "tex3", "vb4" ... or by their SetName),
// keeps the bound state (targets, program, textures, buffers, render states,
// uniform values) and appends every call with its arguments to a trace, so a
// test can assert the exact sequence a frame makes:
//
//   SetRenderState CullMode 3
//   SetRenderTarget 1 impDepth
//   Clear 3 0x00000000 1
//   DrawIndexed 4 24 12
//
// Each entry also records the targets and program bound at the time and the
// uniforms set since the previous draw. Programs reflect the uniforms and
// outputs their GLSL declares ("uniform mat4 WorldMat;", struct arrays,
// "out vec4 out_color1"); a source containing "#error" fails to compile.
//
// It can simulate what GL never does: failing device creations (Factory),
// failing render-target creations, and a lost device (cooperative levels
// answered from a script).

#include "engine/graphics/device/Device.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel::rd {

struct TraceEntry {
    std::string op;    // "Clear", "DrawIndexed", ...
    std::string args;  // the arguments as text, space-separated
    std::string targets[3];  // labels of the bound targets ("" when none)
    std::string program;     // label of the bound program ("" when none)
    std::vector<std::string> uniformsSinceDraw;  // DrawIndexed only: names set since the last draw
    // "op args"
    std::string Line() const;
};

class Trace {
public:
    void Add(TraceEntry entry);
    const std::vector<TraceEntry>& Entries() const { return m_entries; }
    // "op args" of every entry (or of those whose op is in ops).
    std::vector<std::string> Lines() const;
    std::vector<std::string> Lines(const std::vector<std::string>& ops) const;
    size_t Count(const std::string& op) const;
    void Clear() { m_entries.clear(); }

private:
    std::vector<TraceEntry> m_entries;
};

class RecordingDevice : public Device {
public:
    explicit RecordingDevice(const PresentParams& params);
    ~RecordingDevice() override;

    // A device factory for RenderDevice whose first failCount creations fail
    // (with the error "simulated failure <n>"); each device it makes is
    // reported to made (when given) before it is returned.
    using Factory = std::function<std::unique_ptr<Device>(const PresentParams&, std::string*)>;
    static Factory MakeFactory(int failCount, std::function<void(RecordingDevice&)> made = nullptr);

    const char* BackendName() const override { return "recording"; }
    const Trace& GetTrace() const { return m_trace; }
    Trace& GetTrace() { return m_trace; }

    // Simulations.
    // TestCooperativeLevel answers these in turn, then Ok.
    void ScriptCooperativeLevels(std::vector<CoopLevel> levels);
    // The next count render-target creations return null.
    void FailRenderTargets(int count) { m_failRenderTargets = count; }
    // Reset answers false the next count times.
    void FailResets(int count) { m_failResets = count; }
    void SetDisplayModes(std::vector<std::pair<u32, u32>> modes) { m_modes = std::move(modes); }

    // Inspection.
    size_t LiveObjects() const;
    u32 PresentCount() const { return m_presents; }
    Program* GetProgram() const { return m_program; }
    Texture* GetTexture(u32 unit) const { return unit < kMaxTextureUnits ? m_textures[unit] : nullptr; }
    // The values last set for a uniform of a program (empty when never set).
    std::vector<float> UniformValues(const Program* program, const std::string& name) const;
    // The back buffer's colour after the last Clear that reached it.
    u32 BackBufferColour() const { return m_backBufferColour; }

    CoopLevel TestCooperativeLevel() override;
    bool Reset(const PresentParams& params) override;
    std::vector<std::pair<u32, u32>> DisplayModes() override;
    Texture* BackBuffer() override;

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
    Texture* GetRenderTarget(u32 index) const override;
    void Clear(u32 flags, u32 argb, float z) override;
    void SetTexture(u32 unit, Texture* texture) override;
    void SetProgram(Program* program) override;
    void SetVertexLayout(VertexLayout* layout) override;
    void SetStreamSource(Buffer* vertices, u32 stride) override;
    void SetIndices(Buffer* indices) override;
    // Recorded as "DrawIndexed prim vertices count", plus " from N" when
    // the start index N is not 0.
    void DrawIndexedFrom(Prim prim, u32 startIndex, u32 numVertices, u32 primCount) override;
    // Recorded as "SetScissorRect x y width height".
    void SetScissorRect(int x, int y, int width, int height) override;
    void BeginScene() override;
    void EndScene() override;
    bool ReadPixels(Texture* target, std::vector<u8>& rgbaTopRowFirst) override;

protected:
    void DoPresent() override;

private:
    class FakeProgram;
    template <class T, class... Args>
    T* Make(Args&&... args);
    void Record(std::string op, std::string args);
    void NoteUniform(Program* program, UniformRef ref, std::vector<float> values);
    static std::string LabelOf(const Resource* resource);

    mutable std::mutex m_mutex;  // the object table and ids (creation runs on any thread)
    u32 m_nextId = 1;
    std::map<u32, std::unique_ptr<Resource>> m_objects;
    Trace m_trace;
    std::unique_ptr<Texture> m_backBuffer;
    std::map<u32, u32> m_states;
    Texture* m_targets[kMaxRenderTargets] = {};
    Texture* m_textures[kMaxTextureUnits] = {};
    Program* m_program = nullptr;
    std::vector<std::string> m_uniformsSinceDraw;
    std::deque<CoopLevel> m_coopScript;
    std::vector<std::pair<u32, u32>> m_modes;
    int m_failRenderTargets = 0;
    int m_failResets = 0;
    u32 m_presents = 0;
    u32 m_backBufferColour = 0;
    bool m_inScene = false;
};

}  // namespace Ostrel::rd
