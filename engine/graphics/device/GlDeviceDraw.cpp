// The GL backend's state, targets, uniforms and drawing (see GlDevice.h).

#include "engine/graphics/device/GlDevice.h"

#include "engine/base/Log.h"

#include <algorithm>

namespace Ostrel::rd {

namespace {

void DeleteFramebuffer(GLuint name) { glDeleteFramebuffers(1, &name); }
void DeleteVertexArray(GLuint name) { glDeleteVertexArrays(1, &name); }

GLenum BlendFactor(u32 code) {
    switch (code) {
        case Blend::Zero: return GL_ZERO;
        case Blend::One: return GL_ONE;
        case Blend::SrcColor: return GL_SRC_COLOR;
        case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
        case Blend::SrcAlpha: return GL_SRC_ALPHA;
        case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        case Blend::DestAlpha: return GL_DST_ALPHA;
        case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
        case Blend::DestColor: return GL_DST_COLOR;
        case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
        default: return GL_ONE;
    }
}

GLenum CompareFunc(u32 code) {
    switch (code) {
        case Cmp::Never: return GL_NEVER;
        case Cmp::Less: return GL_LESS;
        case Cmp::Equal: return GL_EQUAL;
        case Cmp::LessEqual: return GL_LEQUAL;
        case Cmp::Greater: return GL_GREATER;
        case Cmp::NotEqual: return GL_NOTEQUAL;
        case Cmp::GreaterEqual: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum PrimitiveMode(Prim prim) {
    switch (prim) {
        case Prim::LineList: return GL_LINES;
        case Prim::LineStrip: return GL_LINE_STRIP;
        case Prim::TriangleList: return GL_TRIANGLES;
        case Prim::TriangleStrip: return GL_TRIANGLE_STRIP;
    }
    return GL_TRIANGLES;
}

GLint MinFilter(u32 min, u32 mip) {
    const bool linear = min == TextureFilter::Linear;
    if (mip == TextureFilter::None) return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == TextureFilter::Point) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLint AddressMode(u32 code) {
    switch (code) {
        case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
        case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
        default: return GL_REPEAT;
    }
}

}  // namespace

void GlDevice::SetRenderState(RS state, u32 value) {
    const u32 index = u32(state);
    if (index >= std::size(m_states) || m_states[index] == value) return;
    m_states[index] = value;
    ApplyRenderState(state, value);
}

u32 GlDevice::GetRenderState(RS state) const {
    return u32(state) < std::size(m_states) ? m_states[u32(state)] : 0;
}

void GlDevice::ApplyRenderState(RS state, u32 value) {
    switch (state) {
        case RS::ZEnable: value ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST); break;
        case RS::ZWriteEnable: glDepthMask(value ? GL_TRUE : GL_FALSE); break;
        case RS::ZFunc: glDepthFunc(CompareFunc(value)); break;
        case RS::FillMode:
            glPolygonMode(GL_FRONT_AND_BACK, value == FillMode::Wireframe ? GL_LINE
                                             : value == FillMode::Point   ? GL_POINT
                                                                          : GL_FILL);
            break;
        case RS::CullMode:
            // Faces clockwise on screen are the front ones; "counter-clockwise"
            // culling therefore culls GL's back faces with GL_CW as front.
            if (value == Cull::None) {
                glDisable(GL_CULL_FACE);
            } else {
                glEnable(GL_CULL_FACE);
                glFrontFace(value == Cull::CounterClockwise ? GL_CW : GL_CCW);
                glCullFace(GL_BACK);
            }
            break;
        case RS::AlphaBlendEnable: value ? glEnable(GL_BLEND) : glDisable(GL_BLEND); break;
        case RS::ScissorTestEnable: value ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST); break;
        case RS::SrcBlend:
        case RS::DestBlend:
            glBlendFunc(BlendFactor(m_states[u32(RS::SrcBlend)]), BlendFactor(m_states[u32(RS::DestBlend)]));
            break;
    }
}

void GlDevice::SetScissorRect(int x, int y, int width, int height) {
    m_scissor[0] = x;
    m_scissor[1] = y;
    m_scissor[2] = width < 0 ? 0 : width;
    m_scissor[3] = height < 0 ? 0 : height;
}

// GL counts scissor rows from the bottom of the bound framebuffer; the
// rectangle is given from the top of target 0.
void GlDevice::ApplyScissor() {
    const int targetHeight = m_targets[0] ? int(m_targets[0]->Height()) : int(m_params.height);
    glScissor(m_scissor[0], targetHeight - m_scissor[1] - m_scissor[3], m_scissor[2], m_scissor[3]);
}

void GlDevice::SetSamplerState(u32 unit, SamplerState state, u32 value) {
    if (unit >= kMaxTextureUnits || u32(state) >= 8) return;
    m_samplerStates[unit][u32(state)] = value;
    ApplySampler(unit);
}

void GlDevice::ApplySampler(u32 unit) {
    const GLuint sampler = m_samplers[unit].Get();
    const u32* states = m_samplerStates[unit];
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(states[u32(SamplerState::AddressU)]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(states[u32(SamplerState::AddressV)]));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        states[u32(SamplerState::MagFilter)] == TextureFilter::Linear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                        MinFilter(states[u32(SamplerState::MinFilter)], states[u32(SamplerState::MipFilter)]));
}

void GlDevice::SetRenderTarget(u32 index, Texture* target) {
    if (index >= kMaxRenderTargets) return;
    if (target && !target->IsRenderTarget()) {
        LogMessagef("render device: %s is not a render target\n", target->Label().c_str());
        return;
    }
    if (index == 0 && !target) return;
    m_targets[index] = target;
}

u32 GlDevice::BoundTargetMask() const {
    u32 mask = 0;
    for (u32 i = 0; i < kMaxRenderTargets; ++i) mask |= m_targets[i] ? 1u << i : 0u;
    return mask;
}

GLuint GlDevice::FramebufferFor(const TargetKey& key) {
    if (const auto it = m_framebuffers.find(key); it != m_framebuffers.end()) return it->second.Get();
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    GlName owned(framebuffer, DeleteFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    m_boundFramebuffer = ~0u;
    for (u32 i = 0; i < kMaxRenderTargets; ++i) {
        if (!key[i]) continue;
        GlTexture* texture = key[i] == m_backBuffer->Id() ? m_backBuffer.get() : nullptr;
        if (!texture) {
            std::lock_guard lock(m_mutex);
            const auto found = m_objects.find(key[i]);
            if (found != m_objects.end()) texture = static_cast<GlTexture*>(found->second.get());
        }
        if (!texture) continue;
        Prepare(texture);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, texture->name.Get(), 0);
    }
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth.Get());
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        LogMessagef("render device: the targets (%u, %u, %u) make an incomplete framebuffer (0x%X)\n", key[0], key[1],
                    key[2], status);
        return 0;
    }
    return m_framebuffers.emplace(key, std::move(owned)).first->second.Get();
}

bool GlDevice::BindTargets(u32 drawMask) {
    TargetKey key{};
    for (u32 i = 0; i < kMaxRenderTargets; ++i) key[i] = m_targets[i] ? m_targets[i]->Id() : 0;
    const GLuint framebuffer = FramebufferFor(key);
    if (!framebuffer) return false;
    if (framebuffer != m_boundFramebuffer) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        m_boundFramebuffer = framebuffer;
        m_boundDrawMask = ~0u;
        glViewport(0, 0, GLsizei(m_targets[0]->Width()), GLsizei(m_targets[0]->Height()));
    }
    if (drawMask != m_boundDrawMask) {
        GLenum buffers[kMaxRenderTargets];
        for (u32 i = 0; i < kMaxRenderTargets; ++i) buffers[i] = (drawMask >> i) & 1 ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
        glDrawBuffers(GLsizei(kMaxRenderTargets), buffers);
        m_boundDrawMask = drawMask;
    }
    return true;
}

void GlDevice::Clear(u32 flags, u32 argb, float z) {
    ProcessReleases();
    const u32 bound = BoundTargetMask();
    if (!BindTargets(bound)) return;
    if (m_states[u32(RS::ScissorTestEnable)]) ApplyScissor();
    if (flags & kClearTarget) {
        float colour[4];
        UnpackArgb(argb, colour);
        for (u32 i = 0; i < kMaxRenderTargets; ++i) {
            if ((bound >> i) & 1) glClearBufferfv(GL_COLOR, GLint(i), colour);
        }
    }
    if (flags & kClearZBuffer) {
        glDepthMask(GL_TRUE);
        glClearBufferfv(GL_DEPTH, 0, &z);
        glDepthMask(m_states[u32(RS::ZWriteEnable)] ? GL_TRUE : GL_FALSE);
    }
}

void GlDevice::SetTexture(u32 unit, Texture* texture) {
    if (unit >= kMaxTextureUnits) return;
    m_textures[unit] = texture;
}

void GlDevice::BindTextures() {
    for (u32 unit = 0; unit < kMaxTextureUnits; ++unit) {
        auto* texture = static_cast<GlTexture*>(m_textures[unit]);
        if (texture != m_backBuffer.get()) Prepare(texture);
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, texture ? texture->name.Get() : 0);
    }
    glActiveTexture(GL_TEXTURE0);
}

void GlDevice::SetProgram(Program* program) {
    m_program = program;
}

void GlDevice::UseProgramForUniforms(Program* program) {
    const GLuint name = static_cast<GlProgram*>(program)->name.Get();
    if (m_glProgram != name) {
        glUseProgram(name);
        m_glProgram = name;
    }
}

void GlDevice::SetInt(Program* program, UniformRef ref, int value) {
    if (!program || !ref.Valid()) return;
    UseProgramForUniforms(program);
    if (ref.type == UniformType::Float) {
        glUniform1f(ref.location, float(value));
    } else {
        glUniform1i(ref.location, value);
    }
}

void GlDevice::SetFloats(Program* program, UniformRef ref, const float* values, int count) {
    if (!program || !ref.Valid() || !values || count <= 0) return;
    UseProgramForUniforms(program);
    const int elements = std::max(ref.arraySize, 1);
    switch (ref.type) {
        case UniformType::Float: glUniform1fv(ref.location, std::min(count, elements), values); break;
        case UniformType::Vec2: glUniform2fv(ref.location, std::min(count / 2, elements), values); break;
        case UniformType::Vec3: glUniform3fv(ref.location, std::min(count / 3, elements), values); break;
        case UniformType::Vec4: glUniform4fv(ref.location, std::min(count / 4, elements), values); break;
        case UniformType::Mat4: glUniformMatrix4fv(ref.location, std::min(count / 16, elements), GL_FALSE, values); break;
        case UniformType::Int:
        case UniformType::Sampler2D: glUniform1i(ref.location, int(values[0])); break;
        case UniformType::Other: break;
    }
}

void GlDevice::SetMatrices(Program* program, UniformRef ref, const float* rowMajor16, int count) {
    if (!program || !ref.Valid() || !rowMajor16 || count <= 0 || ref.type != UniformType::Mat4) return;
    UseProgramForUniforms(program);
    // Untransposed: with row vectors stored row-major, GLSL's M * v is v * M.
    glUniformMatrix4fv(ref.location, std::min(count, std::max(ref.arraySize, 1)), GL_FALSE, rowMajor16);
}

void GlDevice::SetStreamSource(Buffer* vertices, u32 stride) {
    m_vertices = static_cast<GlBuffer*>(vertices);
    m_stride = stride;
}

GLuint GlDevice::VertexArrayFor() {
    const VaoKey key{m_layout->Id(), m_vertices->Id(), m_indices->Id(), m_stride};
    if (const auto it = m_vertexArrays.find(key); it != m_vertexArrays.end()) return it->second.Get();
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertices->name.Get());
    for (const VertexElement& element : m_layout->Elements()) {
        const GLuint location = GLuint(AttributeLocation(element.usage));
        const auto* offset = reinterpret_cast<const void*>(uintptr_t(element.offset));
        const auto stride = GLsizei(m_stride);
        glEnableVertexAttribArray(location);
        switch (element.type) {
            case DeclType::Float1: glVertexAttribPointer(location, 1, GL_FLOAT, GL_FALSE, stride, offset); break;
            case DeclType::Float2: glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, stride, offset); break;
            case DeclType::Float3: glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, stride, offset); break;
            case DeclType::Float4: glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, stride, offset); break;
            // Bytes B, G, R, A in memory: GL_BGRA swizzles them into (r, g, b, a).
            case DeclType::Color: glVertexAttribPointer(location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset); break;
            case DeclType::UByte4:
                if (element.usage == DeclUsage::BlendIndices) {
                    glVertexAttribIPointer(location, 4, GL_UNSIGNED_BYTE, stride, offset);
                } else {
                    glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride, offset);
                }
                break;
        }
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indices->name.Get());
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return m_vertexArrays.emplace(key, GlName(vao, DeleteVertexArray)).first->second.Get();
}

void GlDevice::DrawIndexedFrom(Prim prim, u32 startIndex, u32 numVertices, u32 primCount) {
    ProcessReleases();
    if (!m_program) {
        if (!m_warnedNoProgram) LogMessage("render device: a draw without a program is skipped\n");
        m_warnedNoProgram = true;
        return;
    }
    if (!m_layout || !m_vertices || !m_indices || m_stride == 0) return;
    const u32 count = IndexCount(prim, primCount);
    if (count == 0 || (size_t(startIndex) + count) * 2 > m_indices->Size()) return;
    Prepare(m_vertices);
    Prepare(m_indices);
    BindTextures();
    if (!BindTargets(BoundTargetMask() & m_program->OutputMask())) return;
    UseProgramForUniforms(m_program);
    glBindVertexArray(VertexArrayFor());
    if (m_states[u32(RS::ScissorTestEnable)]) ApplyScissor();
    glDrawRangeElements(PrimitiveMode(prim), 0, numVertices ? numVertices - 1 : 0, GLsizei(count),
                        GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(size_t(startIndex) * 2));
    glBindVertexArray(0);
}

}  // namespace Ostrel::rd
