#include "engine/graphics/device/RecordingDevice.h"

#include "engine/graphics/device/GlslText.h"

#include <algorithm>
#include <cstdio>

namespace Ostrel::rd {

namespace {

std::string Hex(u32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string Num(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

}  // namespace

std::string TraceEntry::Line() const {
    return args.empty() ? op : op + " " + args;
}

void Trace::Add(TraceEntry entry) {
    m_entries.push_back(std::move(entry));
}

std::vector<std::string> Trace::Lines() const {
    std::vector<std::string> lines;
    for (const TraceEntry& entry : m_entries) lines.push_back(entry.Line());
    return lines;
}

std::vector<std::string> Trace::Lines(const std::vector<std::string>& ops) const {
    std::vector<std::string> lines;
    for (const TraceEntry& entry : m_entries) {
        if (std::find(ops.begin(), ops.end(), entry.op) != ops.end()) lines.push_back(entry.Line());
    }
    return lines;
}

size_t Trace::Count(const std::string& op) const {
    return size_t(std::count_if(m_entries.begin(), m_entries.end(), [&](const TraceEntry& e) { return e.op == op; }));
}

// A program with the values its uniforms were last given.
class RecordingDevice::FakeProgram : public Program {
public:
    FakeProgram(u32 id, Shader* vs, Shader* ps) : Program(id, vs, ps) {
        m_uniforms = ScanGlslUniforms(vs->Source());
        for (const auto& [name, ref] : ScanGlslUniforms(ps->Source())) {
            if (!m_uniforms.count(name)) m_uniforms[name] = ref;
        }
        // Locations must be unique across both stages.
        int location = 0;
        for (auto& [name, ref] : m_uniforms) {
            ref.location = location;
            location += ref.arraySize;
        }
        AssignSamplerUnits(m_uniforms);
        m_outputMask = ScanGlslOutputs(ps->Source());
    }
    std::map<int, std::vector<float>> values;
};

RecordingDevice::RecordingDevice(const PresentParams& params)
    : Device(params),
      m_modes{{640, 480}, {1024, 768}, {1024, 768}, {1280, 720}, {1280, 720}, {1920, 1080}} {
    m_backBuffer = std::make_unique<Texture>(0, params.width, params.height, Format::X8R8G8B8,
                                             Texture::Usage::BackBuffer);
    m_backBuffer->SetName("backbuffer");
    m_targets[0] = m_backBuffer.get();
    m_states = {{u32(RS::ZEnable), 1},         {u32(RS::FillMode), FillMode::Solid},
                {u32(RS::ZWriteEnable), 1},    {u32(RS::SrcBlend), Blend::One},
                {u32(RS::DestBlend), Blend::Zero}, {u32(RS::CullMode), Cull::CounterClockwise},
                {u32(RS::ZFunc), Cmp::LessEqual}, {u32(RS::AlphaBlendEnable), 0}};
}

RecordingDevice::~RecordingDevice() = default;

RecordingDevice::Factory RecordingDevice::MakeFactory(int failCount, std::function<void(RecordingDevice&)> made) {
    auto attempts = std::make_shared<int>(0);
    return [attempts, failCount, made](const PresentParams& params, std::string* error) -> std::unique_ptr<Device> {
        const int attempt = ++*attempts;
        if (attempt <= failCount) {
            if (error) *error = "simulated failure " + std::to_string(attempt);
            return nullptr;
        }
        auto device = std::make_unique<RecordingDevice>(params);
        if (made) made(*device);
        return device;
    };
}

template <class T, class... Args>
T* RecordingDevice::Make(Args&&... args) {
    std::lock_guard lock(m_mutex);
    auto object = std::make_unique<T>(m_nextId++, std::forward<Args>(args)...);
    T* raw = object.get();
    m_objects[raw->Id()] = std::move(object);
    return raw;
}

std::string RecordingDevice::LabelOf(const Resource* resource) {
    return resource ? resource->Label() : "null";
}

void RecordingDevice::Record(std::string op, std::string args) {
    TraceEntry entry{std::move(op), std::move(args), {}, {}, {}};
    for (u32 i = 0; i < kMaxRenderTargets; ++i) entry.targets[i] = m_targets[i] ? m_targets[i]->Label() : "";
    entry.program = m_program ? m_program->Label() : "";
    if (entry.op == "DrawIndexed") entry.uniformsSinceDraw = std::exchange(m_uniformsSinceDraw, {});
    m_trace.Add(std::move(entry));
}

void RecordingDevice::ScriptCooperativeLevels(std::vector<CoopLevel> levels) {
    m_coopScript.assign(levels.begin(), levels.end());
}

size_t RecordingDevice::LiveObjects() const {
    std::lock_guard lock(m_mutex);
    return m_objects.size();
}

std::vector<float> RecordingDevice::UniformValues(const Program* program, const std::string& name) const {
    const auto* fake = dynamic_cast<const FakeProgram*>(program);
    const UniformRef ref = FindUniform(program, name);
    if (!fake || !ref.Valid()) return {};
    const auto it = fake->values.find(ref.location);
    return it == fake->values.end() ? std::vector<float>{} : it->second;
}

CoopLevel RecordingDevice::TestCooperativeLevel() {
    CoopLevel level = CoopLevel::Ok;
    if (!m_coopScript.empty()) {
        level = m_coopScript.front();
        m_coopScript.pop_front();
    }
    Record("TestCooperativeLevel", Hex(u32(level)));
    return level;
}

bool RecordingDevice::Reset(const PresentParams& params) {
    const bool fail = m_failResets > 0 || params.width == 0 || params.height == 0;
    if (m_failResets > 0) --m_failResets;
    Record("Reset", std::to_string(params.width) + " " + std::to_string(params.height) + " " +
                        (params.windowed ? "windowed" : "fullscreen") + (fail ? " failed" : ""));
    if (fail) return false;
    m_params = params;
    m_backBuffer = std::make_unique<Texture>(0, params.width, params.height, Format::X8R8G8B8,
                                             Texture::Usage::BackBuffer);
    m_backBuffer->SetName("backbuffer");
    for (Texture*& target : m_targets) target = nullptr;
    m_targets[0] = m_backBuffer.get();
    return true;
}

std::vector<std::pair<u32, u32>> RecordingDevice::DisplayModes() {
    return m_modes;
}

Texture* RecordingDevice::BackBuffer() {
    return m_backBuffer.get();
}

VertexLayout* RecordingDevice::CreateVertexLayout(std::span<const VertexElement> elements) {
    return Make<VertexLayout>(std::vector<VertexElement>(elements.begin(), elements.end()));
}

Buffer* RecordingDevice::CreateVertexBuffer(size_t bytes, bool dynamic) {
    return bytes ? Make<Buffer>(false, bytes, dynamic) : nullptr;
}

Buffer* RecordingDevice::CreateIndexBuffer16(size_t bytes, bool dynamic) {
    return bytes ? Make<Buffer>(true, bytes, dynamic) : nullptr;
}

Texture* RecordingDevice::CreateTexture(u32 width, u32 height, Format format, const void* pixels, bool mips) {
    const u32 texel = Texture::TexelSize(format);
    if (width == 0 || height == 0 || texel == 0) return nullptr;
    Texture* texture = Make<Texture>(width, height, format, Texture::Usage::Image);
    const auto* bytes = static_cast<const u8*>(pixels);
    const size_t size = size_t(width) * height * texel;
    texture->Pixels().assign(size, 0);
    if (bytes) std::copy(bytes, bytes + size, texture->Pixels().begin());
    texture->SetWantsMips(mips);
    return texture;
}

Texture* RecordingDevice::CreateRenderTarget(u32 width, u32 height, Format format) {
    if (m_failRenderTargets > 0) {
        --m_failRenderTargets;
        return nullptr;
    }
    if (width == 0 || height == 0 || Texture::TexelSize(format) == 0) return nullptr;
    return Make<Texture>(width, height, format, Texture::Usage::RenderTarget);
}

Shader* RecordingDevice::CompileShader(bool pixel, std::string_view source, std::string_view name, std::string* log) {
    // The same refusals as the GL device, with GL 3.3's smallest uniform
    // budget (1024 components).
    const std::string refusal = CheckGlslSource(source, 1024);
    if (!refusal.empty()) {
        if (log) *log = std::string(name) + ": " + refusal;
        return nullptr;
    }
    if (source.find("#error") != std::string_view::npos || source.find("main") == std::string_view::npos) {
        if (log) *log = std::string(name) + ": 0:1(1): error: simulated compile failure";
        return nullptr;
    }
    if (log) log->clear();
    Shader* shader = Make<Shader>(pixel, std::string(source));
    shader->SetName(std::string(name));
    return shader;
}

Program* RecordingDevice::LinkProgram(Shader* vs, Shader* ps, std::string* log) {
    if (!vs || !ps || vs->IsPixel() || !ps->IsPixel()) {
        if (log) *log = "link: a vertex and a pixel shader are needed";
        return nullptr;
    }
    if (log) log->clear();
    return Make<FakeProgram>(vs, ps);
}

void RecordingDevice::Release(Resource* resource) {
    if (!resource) return;
    for (Texture*& target : m_targets) {
        if (target == resource) target = nullptr;
    }
    if (!m_targets[0]) m_targets[0] = m_backBuffer.get();
    for (Texture*& texture : m_textures) {
        if (texture == resource) texture = nullptr;
    }
    if (m_program == resource) m_program = nullptr;
    Record("Release", resource->Label());
    std::lock_guard lock(m_mutex);
    m_objects.erase(resource->Id());
}

void RecordingDevice::NoteUniform(Program* program, UniformRef ref, std::vector<float> values) {
    auto* fake = dynamic_cast<FakeProgram*>(program);
    if (!fake) return;
    std::string name;
    for (const auto& [uniformName, uniform] : fake->Uniforms()) {
        if (uniform.location == ref.location) name = uniformName;
    }
    fake->values[ref.location] = values;
    m_uniformsSinceDraw.push_back(name);
    std::string args = fake->Label() + " " + name;
    for (size_t i = 0; i < std::min<size_t>(values.size(), 4); ++i) args += " " + Num(values[i]);
    if (values.size() > 4) args += " ... (" + std::to_string(values.size()) + ")";
    Record("SetUniform", args);
}

void RecordingDevice::SetInt(Program* program, UniformRef ref, int value) {
    if (!program || !ref.Valid()) return;
    NoteUniform(program, ref, {float(value)});
}

void RecordingDevice::SetFloats(Program* program, UniformRef ref, const float* values, int count) {
    if (!program || !ref.Valid() || !values || count <= 0) return;
    NoteUniform(program, ref, std::vector<float>(values, values + count));
}

void RecordingDevice::SetMatrices(Program* program, UniformRef ref, const float* rowMajor16, int count) {
    if (!program || !ref.Valid() || !rowMajor16 || count <= 0) return;
    count = std::min(count, std::max(ref.arraySize, 1));
    NoteUniform(program, ref, std::vector<float>(rowMajor16, rowMajor16 + 16 * count));
}

void RecordingDevice::SetRenderState(RS state, u32 value) {
    m_states[u32(state)] = value;
    Record("SetRenderState", std::string(RenderStateName(state)) + " " + std::to_string(value));
}

u32 RecordingDevice::GetRenderState(RS state) const {
    const auto it = m_states.find(u32(state));
    return it == m_states.end() ? 0 : it->second;
}

void RecordingDevice::SetSamplerState(u32 unit, SamplerState state, u32 value) {
    Record("SetSamplerState", std::to_string(unit) + " " + std::to_string(u32(state)) + " " + std::to_string(value));
}

void RecordingDevice::SetRenderTarget(u32 index, Texture* target) {
    if (index >= kMaxRenderTargets) return;
    Record("SetRenderTarget", std::to_string(index) + " " + LabelOf(target));
    if (index == 0 && !target) return;
    m_targets[index] = target;
}

Texture* RecordingDevice::GetRenderTarget(u32 index) const {
    return index < kMaxRenderTargets ? m_targets[index] : nullptr;
}

void RecordingDevice::Clear(u32 flags, u32 argb, float z) {
    if ((flags & kClearTarget) && (m_targets[0] == m_backBuffer.get() || m_targets[1] == m_backBuffer.get() ||
                                   m_targets[2] == m_backBuffer.get())) {
        m_backBufferColour = argb | 0xFF000000u;  // no alpha channel
    }
    Record("Clear", std::to_string(flags) + " " + Hex(argb) + " " + Num(z));
}

void RecordingDevice::SetTexture(u32 unit, Texture* texture) {
    if (unit >= kMaxTextureUnits) return;
    m_textures[unit] = texture;
    Record("SetTexture", std::to_string(unit) + " " + LabelOf(texture));
}

void RecordingDevice::SetProgram(Program* program) {
    m_program = program;
    Record("SetProgram", LabelOf(program));
}

void RecordingDevice::SetVertexLayout(VertexLayout* layout) {
    Record("SetVertexLayout", LabelOf(layout));
}

void RecordingDevice::SetStreamSource(Buffer* vertices, u32 stride) {
    Record("SetStreamSource", LabelOf(vertices) + " " + std::to_string(stride));
}

void RecordingDevice::SetIndices(Buffer* indices) {
    Record("SetIndices", LabelOf(indices));
}

void RecordingDevice::DrawIndexedFrom(Prim prim, u32 startIndex, u32 numVertices, u32 primCount) {
    std::string args = std::to_string(u32(prim)) + " " + std::to_string(numVertices) + " " + std::to_string(primCount);
    if (startIndex != 0) args += " from " + std::to_string(startIndex);
    Record("DrawIndexed", std::move(args));
}

void RecordingDevice::SetScissorRect(int x, int y, int width, int height) {
    Record("SetScissorRect", std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(std::max(width, 0)) +
                                 " " + std::to_string(std::max(height, 0)));
}

void RecordingDevice::BeginScene() {
    m_inScene = true;
    Record("BeginScene", "");
}

void RecordingDevice::EndScene() {
    m_inScene = false;
    Record("EndScene", "");
}

void RecordingDevice::DoPresent() {
    ++m_presents;
    Record("Present", "");
}

bool RecordingDevice::ReadPixels(Texture* target, std::vector<u8>& rgbaTopRowFirst) {
    if (target != m_backBuffer.get()) return false;
    const u32 count = target->Width() * target->Height();
    rgbaTopRowFirst.resize(size_t(count) * 4);
    for (u32 i = 0; i < count; ++i) {
        rgbaTopRowFirst[i * 4 + 0] = u8(m_backBufferColour >> 16);
        rgbaTopRowFirst[i * 4 + 1] = u8(m_backBufferColour >> 8);
        rgbaTopRowFirst[i * 4 + 2] = u8(m_backBufferColour);
        rgbaTopRowFirst[i * 4 + 3] = 255;
    }
    return true;
}

}  // namespace Ostrel::rd
