#pragma once
// The objects a render device hands out: textures and render targets, vertex
// and index buffers, vertex layouts, shaders and programs.
//
// The device that made an object owns it; callers borrow the pointer until
// they give it back with Device::Release (or the device goes away). Every
// object keeps its CPU-side description (sizes, pixels, bytes, source,
// reflected uniforms); a backend adds its own API objects in a subclass and
// makes them lazily on the render thread, so an object created on the
// loading thread holds only CPU data until it is first used.

#include "engine/base/Types.h"
#include "engine/graphics/device/DeviceTypes.h"

#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace Ostrel::rd {

class Resource {
public:
    enum class Kind : u8 { Texture, Buffer, VertexLayout, Shader, Program };
    virtual ~Resource() = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    Kind GetKind() const { return m_kind; }
    // Unique per device, from 1; the recording trace names objects by it.
    u32 Id() const { return m_id; }
    // A name for traces and logs ("screenTarget"); empty by default.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    // The name, or the kind and id ("tex3", "vb4", "ib5", "layout6", "vs7",
    // "ps8", "prog9").
    std::string Label() const;

protected:
    Resource(Kind kind, u32 id) : m_kind(kind), m_id(id) {}

private:
    Kind m_kind;
    u32 m_id;
    std::string m_name;
};

class Texture : public Resource {
public:
    enum class Usage : u8 { Image, RenderTarget, BackBuffer };
    Texture(u32 id, u32 width, u32 height, Format format, Usage usage)
        : Resource(Kind::Texture, id), m_width(width), m_height(height), m_format(format), m_usage(usage) {}

    u32 Width() const { return m_width; }
    u32 Height() const { return m_height; }
    Format GetFormat() const { return m_format; }
    Usage GetUsage() const { return m_usage; }
    bool IsRenderTarget() const { return m_usage != Usage::Image; }
    // Bytes per texel of the format (4 for the 8-bit formats, 4 for R32F, 16
    // for A32B32G32R32F).
    static u32 TexelSize(Format format);

    // Image pixels, top row first, as given at creation (kept until the
    // backend has uploaded them; a backend may drop them afterwards).
    std::vector<u8>& Pixels() { return m_pixels; }
    bool WantsMips() const { return m_mips; }
    void SetWantsMips(bool mips) { m_mips = mips; }

protected:
    // Backends resize their back buffer on Reset.
    void Resize(u32 width, u32 height) { m_width = width; m_height = height; }

private:
    u32 m_width;
    u32 m_height;
    Format m_format;
    Usage m_usage;
    bool m_mips = false;
    std::vector<u8> m_pixels;
};

// A vertex buffer or a buffer of 16-bit indices. The bytes live in a CPU
// shadow; Lock hands them out whole and Unlock marks them for upload at the
// next draw that uses the buffer. Lock and Unlock may run on any thread
// while the caller holds the render device's lock (see RenderDevice).
class Buffer : public Resource {
public:
    Buffer(u32 id, bool index16, size_t bytes, bool dynamic)
        : Resource(Kind::Buffer, id), m_index16(index16), m_dynamic(dynamic), m_bytes(bytes, 0) {}

    bool IsIndex16() const { return m_index16; }
    bool IsDynamic() const { return m_dynamic; }
    size_t Size() const { return m_bytes.size(); }

    // The whole buffer. With discard the previous contents are undefined
    // (here: kept), as the caller rewrites everything.
    void* Lock(bool discard);
    void Unlock();
    bool IsLocked() const { return m_locked; }
    const std::vector<u8>& Bytes() const { return m_bytes; }
    // Grows on every Unlock; a backend uploads when it has an older one.
    u64 Revision() const { return m_revision.load(std::memory_order_acquire); }

private:
    bool m_index16;
    bool m_dynamic;
    bool m_locked = false;
    std::vector<u8> m_bytes;
    std::atomic<u64> m_revision{1};
};

class VertexLayout : public Resource {
public:
    VertexLayout(u32 id, std::vector<VertexElement> elements)
        : Resource(Kind::VertexLayout, id), m_elements(std::move(elements)) {}
    const std::vector<VertexElement>& Elements() const { return m_elements; }

private:
    std::vector<VertexElement> m_elements;
};

class Shader : public Resource {
public:
    Shader(u32 id, bool pixel, std::string source)
        : Resource(Kind::Shader, id), m_pixel(pixel), m_source(std::move(source)) {}
    bool IsPixel() const { return m_pixel; }
    // The source as given.
    const std::string& Source() const { return m_source; }

private:
    bool m_pixel;
    std::string m_source;
};

// A linked pair of shaders with its reflected uniforms and the colour
// outputs its pixel shader declares ("out_color0" .. "out_color2").
class Program : public Resource {
public:
    Program(u32 id, Shader* vs, Shader* ps) : Resource(Kind::Program, id), m_vs(vs), m_ps(ps) {}

    Shader* VertexShader() const { return m_vs; }
    Shader* PixelShader() const { return m_ps; }
    // Every active uniform by name; arrays under "name" (and each element of
    // a struct array under "name[i].member").
    const std::map<std::string, UniformRef>& Uniforms() const { return m_uniforms; }
    UniformRef Find(const std::string& name) const;
    // Bit i set: the program writes colour output i. Only those draw
    // buffers are written; the other bound targets keep their contents.
    u32 OutputMask() const { return m_outputMask; }

protected:
    std::map<std::string, UniformRef> m_uniforms;
    u32 m_outputMask = 0;

private:
    Shader* m_vs;
    Shader* m_ps;
};

// Texture units of the samplers the renderer's shaders use, fixed so that a
// program's units never depend on declaration order; other samplers get the
// next free units in name order.
int FixedSamplerUnit(const std::string& name);
void AssignSamplerUnits(std::map<std::string, UniformRef>& uniforms);

}  // namespace Ostrel::rd
