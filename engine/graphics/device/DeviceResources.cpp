#include "engine/graphics/device/DeviceResources.h"

#include <set>

namespace Ostrel::rd {

std::string Resource::Label() const {
    if (!m_name.empty()) return m_name;
    const char* prefix = "obj";
    switch (m_kind) {
        case Kind::Texture: prefix = "tex"; break;
        case Kind::Buffer: prefix = static_cast<const Buffer*>(this)->IsIndex16() ? "ib" : "vb"; break;
        case Kind::VertexLayout: prefix = "layout"; break;
        case Kind::Shader: prefix = static_cast<const Shader*>(this)->IsPixel() ? "ps" : "vs"; break;
        case Kind::Program: prefix = "prog"; break;
    }
    return prefix + std::to_string(m_id);
}

u32 Texture::TexelSize(Format format) {
    switch (format) {
        case Format::A8R8G8B8:
        case Format::X8R8G8B8:
        case Format::R32F: return 4;
        case Format::A32B32G32R32F: return 16;
        case Format::Unknown: return 0;
    }
    return 0;
}

void* Buffer::Lock(bool /*discard*/) {
    m_locked = true;
    return m_bytes.data();
}

void Buffer::Unlock() {
    m_locked = false;
    m_revision.fetch_add(1, std::memory_order_acq_rel);
}

UniformRef Program::Find(const std::string& name) const {
    const auto it = m_uniforms.find(name);
    return it == m_uniforms.end() ? UniformRef{} : it->second;
}

int FixedSamplerUnit(const std::string& name) {
    static const std::pair<const char*, int> kUnits[] = {
        {"diffuse_sampler", 0}, {"Tex", 0},           {"screen_sampler", 0},      {"mapping_sampler", 1},
        {"debug_sampler", 1},   {"imp_depth_sampler", 2}, {"unimp_depth_sampler", 3},
    };
    for (const auto& [samplerName, unit] : kUnits) {
        if (name == samplerName) return unit;
    }
    return -1;
}

void AssignSamplerUnits(std::map<std::string, UniformRef>& uniforms) {
    std::set<int> used;
    for (auto& [name, ref] : uniforms) {
        if (ref.type != UniformType::Sampler2D) continue;
        ref.unit = FixedSamplerUnit(name);
        if (ref.unit >= 0) used.insert(ref.unit);
    }
    int next = 0;
    for (auto& [name, ref] : uniforms) {
        if (ref.type != UniformType::Sampler2D || ref.unit >= 0) continue;
        while (used.count(next)) ++next;
        ref.unit = next;
        used.insert(next);
    }
}

}  // namespace Ostrel::rd
