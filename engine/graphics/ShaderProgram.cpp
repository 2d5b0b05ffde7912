#include "engine/graphics/ShaderProgram.h"

#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/device/Device.h"
#include "engine/graphics/device/GlslText.h"
#include "engine/io/FilePath.h"
#include "engine/base/Log.h"
#include "engine/resources/ResourceManager.h"

#include <fstream>
#include <iterator>

namespace Ostrel {

namespace {

constexpr int kVertexKind = 1;
constexpr int kPixelKind = 2;

std::set<std::string> DeclaredUniforms(const std::string& source) {
    std::set<std::string> names;
    for (const auto& [name, ref] : rd::ScanGlslUniforms(source)) names.insert(name);
    return names;
}

}  // namespace

ShaderProgram::ShaderProgram(const std::string& name) : ShaderProgram(name + "-vs", name + "-ps") {}

ShaderProgram::ShaderProgram(const std::string& vertexSourceName, const std::string& pixelSourceName)
    : m_vertexSourceName(vertexSourceName), m_pixelSourceName(pixelSourceName) {
    Compile();
}

ShaderProgram::~ShaderProgram() { ReleaseShaders(); }

rd::Device* ShaderProgram::CurrentDevice() {
    RenderDevice* renderDevice = GetRenderDevice();
    return renderDevice ? renderDevice->GetDevice() : nullptr;
}

void ShaderProgram::Compile() {
    CompileShader(m_vertexSourceName, kVertexKind);
    CompileShader(m_pixelSourceName, kPixelKind);
}

bool ShaderProgram::ReadSource(const std::string& sourceName, std::string& path, std::string& text) const {
    ResourceManager* resources = ResourceManager::Instance();
    const FilePath file = resources ? resources->GetPath(sourceName) : FilePath();
    if (!file.IsValid()) {
        LogMessagef("shader '%s': no such SHADER resource, program left without it\n", sourceName.c_str());
        return false;
    }
    path = file.GetString();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        LogMessagef("shader '%s': cannot read %s\n", sourceName.c_str(), path.c_str());
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool ShaderProgram::CompileShader(const std::string& sourceName, int kind) {
    rd::Device* device = CurrentDevice();
    if (!device) {
        LogMessagef("shader '%s': no render device, not compiled\n", sourceName.c_str());
        return false;
    }
    std::string path, text;
    if (!ReadSource(sourceName, path, text)) return false;
    const bool pixel = kind == kPixelKind;
    std::string log;
    Stage replacement;
    replacement.shader = device->CompileShader(pixel, text, path, &log);
    if (!replacement.shader) {
        LogMessagef("shader compile failed: %s\n", log.c_str());
        return false;
    }
    if (!log.empty()) LogMessagef("shader compiled with messages: %s\n", log.c_str());
    replacement.declared = DeclaredUniforms(text);
    return Relink(pixel ? m_pixel : m_vertex, replacement);
}

// Swaps a newly compiled stage in. With both stages present the pair is
// linked first, and only a successful link replaces the old stage and
// program; otherwise the new shader is given back and nothing changes.
bool ShaderProgram::Relink(Stage& changed, const Stage& replacement) {
    rd::Device* device = CurrentDevice();
    const rd::Shader* other = &changed == &m_vertex ? m_pixel.shader : m_vertex.shader;
    rd::Program* linked = nullptr;
    if (other) {
        std::string log;
        rd::Shader* vs = &changed == &m_vertex ? replacement.shader : m_vertex.shader;
        rd::Shader* ps = &changed == &m_pixel ? replacement.shader : m_pixel.shader;
        linked = device->LinkProgram(vs, ps, &log);
        if (!linked) {
            LogMessagef("shader program %s + %s: link failed: %s\n", m_vertexSourceName.c_str(),
                        m_pixelSourceName.c_str(), log.c_str());
            device->Release(replacement.shader);
            return false;
        }
    }
    if (m_program) device->Release(m_program);
    if (changed.shader) device->Release(changed.shader);
    m_program = linked;
    changed = replacement;
    m_parameters.clear();
    m_warnedInvalid = false;
    return true;
}

void ShaderProgram::Use(u32 flags) {
    rd::Device* device = CurrentDevice();
    if (!device || (flags & (kUseVertex | kUsePixel)) == 0) return;
    if (!m_program && !m_warnedInvalid) {
        LogMessagef("shader program %s + %s is not usable; its draws are skipped\n", m_vertexSourceName.c_str(),
                    m_pixelSourceName.c_str());
        m_warnedInvalid = true;
    }
    device->SetProgram(m_program);
}

const ShaderProgram::ParameterRecord& ShaderProgram::FindParameter(ParamHandle handle) {
    auto it = m_parameters.find(handle);
    if (it != m_parameters.end()) return it->second;
    ParameterRecord record;
    if (handle && m_program) {
        if (m_vertex.declared.count(*handle)) {
            record.table = Table::Vertex;
            record.constant = m_program->Find(*handle);
        } else if (m_pixel.declared.count(*handle)) {
            record.constant = m_program->Find(*handle);
        }
    }
    return m_parameters.emplace(handle, record).first->second;
}

void ShaderProgram::SetInt(ParamHandle handle, int value) {
    const rd::UniformRef ref = FindParameter(handle).constant;
    if (rd::Device* device = ref.Valid() ? CurrentDevice() : nullptr) device->SetInt(m_program, ref, value);
}

void ShaderProgram::SetFloats(ParamHandle handle, const float* values, int count) {
    const rd::UniformRef ref = FindParameter(handle).constant;
    if (rd::Device* device = ref.Valid() && values ? CurrentDevice() : nullptr) device->SetFloats(m_program, ref, values, count);
}

void ShaderProgram::SetFloat(ParamHandle handle, float value) { SetFloats(handle, &value, 1); }
void ShaderProgram::SetVec2(ParamHandle handle, const Vec2* value) { SetFloats(handle, value ? &value->x : nullptr, 2); }
void ShaderProgram::SetVec3(ParamHandle handle, const Vec3* value) { SetFloats(handle, value ? &value->x : nullptr, 3); }
void ShaderProgram::SetVec4(ParamHandle handle, const Vec4* value) { SetFloats(handle, value ? &value->x : nullptr, 4); }

void ShaderProgram::SetMatrix(ParamHandle handle, const Matrix4* matrix) { SetMatrixArray(handle, matrix, 1); }

void ShaderProgram::SetMatrixArray(ParamHandle handle, const Matrix4* matrices, u32 count) {
    const rd::UniformRef ref = FindParameter(handle).constant;
    if (rd::Device* device = ref.Valid() && matrices ? CurrentDevice() : nullptr)
        device->SetMatrices(m_program, ref, matrices, int(count));
}

int ShaderProgram::SamplerUnit(ParamHandle handle) {
    const rd::UniformRef ref = FindParameter(handle).constant;
    return ref.Valid() && ref.type == rd::UniformType::Sampler2D ? ref.unit : -1;
}

void ShaderProgram::SetTexture(ParamHandle handle, Texture* texture) {
    if (!texture) return ClearTexture(handle);
    SetRawTexture(handle, texture->GetDeviceTexture());
}

void ShaderProgram::SetRawTexture(ParamHandle handle, rd::Texture* texture) {
    const int unit = SamplerUnit(handle);
    if (unit < 0) return;
    if (rd::Device* device = CurrentDevice()) device->SetTexture(u32(unit), texture);
}

void ShaderProgram::ClearTexture(ParamHandle handle) { SetRawTexture(handle, nullptr); }

int ShaderProgram::ReleaseShaders() {
    rd::Device* device = CurrentDevice();
    int released = 0;
    auto giveBack = [&](auto*& object) {
        if (object && device) {
            device->Release(object);
            ++released;
        }
        object = nullptr;
    };
    giveBack(m_program);
    giveBack(m_vertex.shader);
    giveBack(m_pixel.shader);
    m_vertex.declared.clear();
    m_pixel.declared.clear();
    m_parameters.clear();
    return released;
}

}  // namespace Ostrel
