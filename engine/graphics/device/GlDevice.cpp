#include "engine/graphics/device/GlDevice.h"

#include "engine/graphics/device/GlslText.h"
#include "engine/base/Log.h"

#include <algorithm>
#include <cstring>

namespace Ostrel::rd {

namespace {

void DeleteTexture(GLuint name) { glDeleteTextures(1, &name); }
void DeleteBuffer(GLuint name) { glDeleteBuffers(1, &name); }
void DeleteRenderbuffer(GLuint name) { glDeleteRenderbuffers(1, &name); }
void DeleteSampler(GLuint name) { glDeleteSamplers(1, &name); }
void DeleteShader(GLuint name) { glDeleteShader(name); }
void DeleteProgram(GLuint name) { glDeleteProgram(name); }

struct GlFormat {
    GLint internal;
    GLenum format;
    GLenum type;
};

// Image pixels come as bytes R, G, B, A (8-bit formats) or floats. X8R8G8B8
// is stored without alpha so that blending reads destination alpha 1.
bool FormatOf(Format format, GlFormat& out) {
    switch (format) {
        case Format::X8R8G8B8: out = {GL_RGB8, GL_RGBA, GL_UNSIGNED_BYTE}; return true;
        case Format::A8R8G8B8: out = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE}; return true;
        case Format::R32F: out = {GL_R32F, GL_RED, GL_FLOAT}; return true;
        case Format::A32B32G32R32F: out = {GL_RGBA32F, GL_RGBA, GL_FLOAT}; return true;
        case Format::Unknown: return false;
    }
    return false;
}

UniformType UniformTypeOf(GLenum type) {
    switch (type) {
        case GL_FLOAT: return UniformType::Float;
        case GL_FLOAT_VEC2: return UniformType::Vec2;
        case GL_FLOAT_VEC3: return UniformType::Vec3;
        case GL_FLOAT_VEC4: return UniformType::Vec4;
        case GL_INT: return UniformType::Int;
        case GL_FLOAT_MAT4: return UniformType::Mat4;
        case GL_SAMPLER_2D: return UniformType::Sampler2D;
        default: return UniformType::Other;
    }
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string text(size_t(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string ProgramLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string text(size_t(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

}  // namespace

std::unique_ptr<Device> CreateGlDevice(const PresentParams& params, std::string* error) {
    auto context = GlContext::Create(params.window, error);
    if (!context) return nullptr;
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not supported (version " + std::to_string(epoxy_gl_version()) + ")";
        return nullptr;
    }
    auto device = std::make_unique<GlDevice>(params, std::move(context));
    if (!device->Initialize(error)) return nullptr;
    return device;
}

void GlProgram::Reflect() {
    const GLuint program = name.Get();
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char text[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, GLuint(i), sizeof text, &length, &size, &type, text);
        std::string uniformName(text, size_t(length));
        // Arrays are reported as "name[0]"; they are found by their name.
        if (uniformName.size() > 3 && uniformName.compare(uniformName.size() - 3, 3, "[0]") == 0) {
            uniformName.resize(uniformName.size() - 3);
        }
        const GLint location = glGetUniformLocation(program, uniformName.c_str());
        if (location < 0) continue;
        m_uniforms[uniformName] = UniformRef{location, -1, size, UniformTypeOf(type)};
    }
    AssignSamplerUnits(m_uniforms);
    m_outputMask = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string output = "out_color" + std::to_string(i);
        const GLint location = glGetFragDataLocation(program, output.c_str());
        if (location >= 0 && location < 3) m_outputMask |= 1u << location;
    }
}

GlDevice::GlDevice(const PresentParams& params, std::unique_ptr<GlContext> context)
    : Device(params), m_context(std::move(context)), m_renderThread(std::this_thread::get_id()) {}

GlDevice::~GlDevice() {
    m_context->MakeCurrent();
    glBindVertexArray(0);
    m_vertexArrays.clear();
    m_framebuffers.clear();
    m_objects.clear();
}

bool GlDevice::Initialize(std::string* error) {
    for (u32 unit = 0; unit < kMaxTextureUnits; ++unit) {
        GLuint sampler = 0;
        glGenSamplers(1, &sampler);
        m_samplers[unit] = GlName(sampler, DeleteSampler);
        m_samplerStates[unit][u32(SamplerState::AddressU)] = TextureAddress::Wrap;
        m_samplerStates[unit][u32(SamplerState::AddressV)] = TextureAddress::Wrap;
        m_samplerStates[unit][u32(SamplerState::MagFilter)] = TextureFilter::Point;
        m_samplerStates[unit][u32(SamplerState::MinFilter)] = TextureFilter::Point;
        m_samplerStates[unit][u32(SamplerState::MipFilter)] = TextureFilter::None;
        ApplySampler(unit);
        glBindSampler(unit, sampler);
    }
    if (!MakeBackBuffer(std::max(m_params.width, 1u), std::max(m_params.height, 1u), error)) return false;
    m_targets[0] = m_backBuffer.get();
    ApplyDefaultState();
    Clear(kClearTarget | kClearZBuffer, 0, 1.0f);
    return true;
}

bool GlDevice::MakeBackBuffer(u32 width, u32 height, std::string* error) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width > u32(maxSize) || height > u32(maxSize)) {
        if (error) *error = "back buffer " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
        return false;
    }
    if (!m_backBuffer) {
        m_backBuffer = std::make_unique<GlTexture>(m_nextId++, width, height, Format::X8R8G8B8, Texture::Usage::BackBuffer);
        m_backBuffer->SetName("backbuffer");
    }
    m_backBuffer->Resize(width, height);
    m_backBuffer->name.Reset();
    Prepare(m_backBuffer.get());
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, GLsizei(width), GLsizei(height));
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    m_depth = GlName(depth, DeleteRenderbuffer);
    // Every cached framebuffer holds the old depth buffer (and perhaps the
    // old back buffer texture).
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    m_framebuffers.clear();
    m_boundFramebuffer = ~0u;
    if (!FramebufferFor({m_backBuffer->Id(), 0, 0})) {
        if (error) *error = "the back buffer's framebuffer is incomplete";
        return false;
    }
    return true;
}

void GlDevice::ApplyDefaultState() {
    const std::pair<RS, u32> defaults[] = {
        {RS::ZEnable, 1},           {RS::ZWriteEnable, 1},      {RS::ZFunc, Cmp::LessEqual},
        {RS::FillMode, FillMode::Solid}, {RS::CullMode, Cull::CounterClockwise}, {RS::AlphaBlendEnable, 0},
        {RS::SrcBlend, Blend::One}, {RS::DestBlend, Blend::Zero},
    };
    for (const auto& [state, value] : defaults) {
        m_states[u32(state)] = value;
        ApplyRenderState(state, value);
    }
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

bool GlDevice::Reset(const PresentParams& params) {
    if (params.width == 0 || params.height == 0) return false;
    ProcessReleases();
    std::string error;
    if (!MakeBackBuffer(params.width, params.height, &error)) {
        LogMessagef("render device: reset to %u x %u failed: %s\n", params.width, params.height, error.c_str());
        MakeBackBuffer(m_params.width, m_params.height, nullptr);
        return false;
    }
    m_params = params;
    for (Texture*& target : m_targets) target = nullptr;
    m_targets[0] = m_backBuffer.get();
    return true;
}

std::vector<std::pair<u32, u32>> GlDevice::DisplayModes() {
    std::vector<std::pair<u32, u32>> modes;
    for (const auto& [w, h] : GlContext::DisplayModes()) modes.emplace_back(u32(w), u32(h));
    return modes;
}

template <class T, class... Args>
T* GlDevice::Make(Args&&... args) {
    std::lock_guard lock(m_mutex);
    auto object = std::make_unique<T>(m_nextId++, std::forward<Args>(args)...);
    T* raw = object.get();
    m_objects[raw->Id()] = std::move(object);
    return raw;
}

VertexLayout* GlDevice::CreateVertexLayout(std::span<const VertexElement> elements) {
    if (elements.empty()) return nullptr;
    return Make<VertexLayout>(std::vector<VertexElement>(elements.begin(), elements.end()));
}

Buffer* GlDevice::CreateVertexBuffer(size_t bytes, bool dynamic) {
    return bytes ? Make<GlBuffer>(false, bytes, dynamic) : nullptr;
}

Buffer* GlDevice::CreateIndexBuffer16(size_t bytes, bool dynamic) {
    return bytes ? Make<GlBuffer>(true, bytes, dynamic) : nullptr;
}

Texture* GlDevice::CreateTexture(u32 width, u32 height, Format format, const void* pixels, bool mips) {
    const u32 texel = Texture::TexelSize(format);
    if (width == 0 || height == 0 || texel == 0 || width > 16384 || height > 16384) {
        LogMessagef("render device: cannot create a %u x %u texture of format %u\n", width, height, u32(format));
        return nullptr;
    }
    GlTexture* texture = Make<GlTexture>(width, height, format, Texture::Usage::Image);
    const size_t size = size_t(width) * height * texel;
    const auto* bytes = static_cast<const u8*>(pixels);
    if (bytes) {
        texture->Pixels().assign(bytes, bytes + size);
    } else {
        texture->Pixels().assign(size, 0);
    }
    texture->SetWantsMips(mips);
    return texture;
}

Texture* GlDevice::CreateRenderTarget(u32 width, u32 height, Format format) {
    if (width == 0 || height == 0 || Texture::TexelSize(format) == 0 || width > 16384 || height > 16384) {
        LogMessagef("render device: cannot create a %u x %u render target of format %u\n", width, height,
                    u32(format));
        return nullptr;
    }
    return Make<GlTexture>(width, height, format, Texture::Usage::RenderTarget);
}

void GlDevice::Prepare(GlTexture* texture) {
    if (!texture || texture->name.Get()) return;
    GlFormat format;
    if (!FormatOf(texture->GetFormat(), format)) return;
    GLuint name = 0;
    glGenTextures(1, &name);
    texture->name = GlName(name, DeleteTexture);
    glActiveTexture(GL_TEXTURE0 + kMaxTextureUnits);  // a unit the renderer never samples
    glBindTexture(GL_TEXTURE_2D, name);
    const void* pixels = texture->Pixels().empty() ? nullptr : texture->Pixels().data();
    glTexImage2D(GL_TEXTURE_2D, 0, format.internal, GLsizei(texture->Width()), GLsizei(texture->Height()), 0,
                 format.format, format.type, pixels);
    if (texture->WantsMips() && !texture->IsRenderTarget()) {
        glGenerateMipmap(GL_TEXTURE_2D);
    } else {
        // A single level is complete whatever the sampler's mip filter.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    // The device's copy is enough from now on (GL does not lose textures).
    std::vector<u8>().swap(texture->Pixels());
}

void GlDevice::Prepare(GlBuffer* buffer) {
    if (!buffer) return;
    if (!buffer->name.Get()) {
        GLuint name = 0;
        glGenBuffers(1, &name);
        buffer->name = GlName(name, DeleteBuffer);
    }
    const u64 revision = buffer->Revision();
    if (buffer->uploadedRevision == revision) return;
    // Through the copy target, so no vertex array's index binding changes.
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer->name.Get());
    glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(buffer->Size()), buffer->Bytes().data(),
                 buffer->IsDynamic() ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    buffer->uploadedRevision = revision;
}

Shader* GlDevice::CompileShader(bool pixel, std::string_view source, std::string_view name, std::string* log) {
    // Some sources crash or exhaust the driver's compiler (exploding macros,
    // huge uniform arrays); those are refused before it sees them.
    GLint components = 0;
    glGetIntegerv(pixel ? GL_MAX_FRAGMENT_UNIFORM_COMPONENTS : GL_MAX_VERTEX_UNIFORM_COMPONENTS, &components);
    const i64 maxElements = components > 0 ? std::min<i64>(components, kMaxScannedUniformElements)
                                           : kMaxScannedUniformElements;
    const std::string refusal = CheckGlslSource(source, maxElements);
    if (!refusal.empty()) {
        if (log) *log = std::string(name) + ": " + refusal;
        return nullptr;
    }
    const std::string text = PrepareGlslSource(pixel, source);
    const GLuint shader = glCreateShader(pixel ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER);
    GlName owned(shader, DeleteShader);
    const char* sources[] = {text.c_str()};
    glShaderSource(shader, 1, sources, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    const std::string messages = ShaderLog(shader);
    if (log) *log = messages.empty() ? std::string() : std::string(name) + ": " + messages;
    if (!ok) return nullptr;
    GlShader* result = Make<GlShader>(pixel, std::string(source));
    result->SetName(std::string(name));
    result->name = std::move(owned);
    return result;
}

Program* GlDevice::LinkProgram(Shader* vs, Shader* ps, std::string* log) {
    auto* vertex = dynamic_cast<GlShader*>(vs);
    auto* pixel = dynamic_cast<GlShader*>(ps);
    if (!vertex || !pixel || vertex->IsPixel() || !pixel->IsPixel()) {
        if (log) *log = "link: a vertex and a pixel shader are needed";
        return nullptr;
    }
    const GLuint program = glCreateProgram();
    GlName owned(program, DeleteProgram);
    glAttachShader(program, vertex->name.Get());
    glAttachShader(program, pixel->name.Get());
    for (GLuint i = 0; i < 3; ++i) glBindFragDataLocation(program, i, ("out_color" + std::to_string(i)).c_str());
    glLinkProgram(program);
    glDetachShader(program, vertex->name.Get());
    glDetachShader(program, pixel->name.Get());
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    const std::string messages = ProgramLog(program);
    if (log) *log = messages.empty() ? std::string() : vs->Label() + " + " + ps->Label() + ": " + messages;
    if (!ok) return nullptr;
    GlProgram* result = Make<GlProgram>(vs, ps);
    result->name = std::move(owned);
    result->Reflect();
    // Sampler units are fixed at link time.
    glUseProgram(program);
    for (const auto& [uniformName, ref] : result->Uniforms()) {
        if (ref.type == UniformType::Sampler2D) glUniform1i(ref.location, ref.unit);
    }
    glUseProgram(m_glProgram);
    return result;
}

void GlDevice::Release(Resource* resource) {
    if (!resource) return;
    if (!OnRenderThread()) {
        std::lock_guard lock(m_mutex);
        m_pendingReleases.push_back(resource);
        return;
    }
    Destroy(resource);
}

void GlDevice::ProcessReleases() {
    std::vector<Resource*> pending;
    {
        std::lock_guard lock(m_mutex);
        pending.swap(m_pendingReleases);
    }
    for (Resource* resource : pending) Destroy(resource);
}

void GlDevice::Destroy(Resource* resource) {
    switch (resource->GetKind()) {
        case Resource::Kind::Texture: ForgetTexture(resource->Id()); break;
        case Resource::Kind::Buffer: ForgetBuffer(resource->Id()); break;
        case Resource::Kind::VertexLayout:
            std::erase_if(m_vertexArrays, [&](const auto& entry) { return entry.first.layout == resource->Id(); });
            if (m_layout == resource) m_layout = nullptr;
            break;
        case Resource::Kind::Program:
            if (m_program == resource) m_program = nullptr;
            if (m_glProgram == static_cast<GlProgram*>(resource)->name.Get()) {
                glUseProgram(0);
                m_glProgram = 0;
            }
            break;
        case Resource::Kind::Shader: break;
    }
    for (Texture*& target : m_targets) {
        if (target == resource) target = nullptr;
    }
    if (!m_targets[0]) m_targets[0] = m_backBuffer.get();
    for (Texture*& texture : m_textures) {
        if (texture == resource) texture = nullptr;
    }
    std::lock_guard lock(m_mutex);
    m_objects.erase(resource->Id());
}

void GlDevice::ForgetTexture(u32 id) {
    const bool bound = std::any_of(m_framebuffers.begin(), m_framebuffers.end(), [&](const auto& entry) {
        return std::find(entry.first.begin(), entry.first.end(), id) != entry.first.end();
    });
    if (bound) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        m_boundFramebuffer = ~0u;
    }
    std::erase_if(m_framebuffers, [&](const auto& entry) {
        return std::find(entry.first.begin(), entry.first.end(), id) != entry.first.end();
    });
}

void GlDevice::ForgetBuffer(u32 id) {
    glBindVertexArray(0);
    std::erase_if(m_vertexArrays,
                  [&](const auto& entry) { return entry.first.vertices == id || entry.first.indices == id; });
    if (m_vertices && m_vertices->Id() == id) m_vertices = nullptr;
    if (m_indices && m_indices->Id() == id) m_indices = nullptr;
}

namespace {

// The device logs this many GL errors, then one line saying it stops.
constexpr u32 kLoggedGlErrors = 20;
// At most this many codes are read at a time: a lost context may keep
// reporting itself.
constexpr int kErrorReadsPerFrame = 16;

const char* GlErrorName(GLenum code) {
    switch (code) {
        case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
        case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
        case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
        default: return "unknown";
    }
}

}  // namespace

// GL keeps its error flags until they are read: reading them once a frame
// tells that something in the frame went wrong (not which call), cheaply
// enough for every run.
void GlDevice::ReportGlErrors() {
    for (int read = 0; read < kErrorReadsPerFrame; ++read) {
        const GLenum code = glGetError();
        if (code == GL_NO_ERROR) return;
        ++m_glErrors;
        if (m_glErrors <= kLoggedGlErrors)
            LogMessagef("render device: GL error 0x%04X (%s) in a frame\n", unsigned(code), GlErrorName(code));
        if (m_glErrors == kLoggedGlErrors) LogMessagef("render device: further GL errors are not logged\n");
    }
}

void GlDevice::DoPresent() {
    ReportGlErrors();
    ProcessReleases();
    if (!m_context->IsHeadless()) {
        int width = 0;
        int height = 0;
        m_context->GetDrawableSize(width, height);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, FramebufferFor({m_backBuffer->Id(), 0, 0}));
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDrawBuffer(GL_BACK);
        glBlitFramebuffer(0, 0, GLint(m_backBuffer->Width()), GLint(m_backBuffer->Height()), 0, 0, width, height,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
        m_context->SwapBuffers();
    } else {
        glFlush();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    m_boundFramebuffer = ~0u;
}

bool GlDevice::ReadPixels(Texture* target, std::vector<u8>& rgbaTopRowFirst) {
    auto* texture = dynamic_cast<GlTexture*>(target);
    if (!texture || !texture->IsRenderTarget()) return false;
    Prepare(texture);
    const GLuint framebuffer = FramebufferFor({texture->Id(), 0, 0});
    if (!framebuffer) return false;
    const u32 width = texture->Width();
    const u32 height = texture->Height();
    std::vector<u8> rows(size_t(width) * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    rgbaTopRowFirst.resize(rows.size());
    const size_t rowBytes = size_t(width) * 4;
    for (u32 y = 0; y < height; ++y) {
        std::memcpy(rgbaTopRowFirst.data() + y * rowBytes, rows.data() + (height - 1 - y) * rowBytes, rowBytes);
    }
    return true;
}

}  // namespace Ostrel::rd
