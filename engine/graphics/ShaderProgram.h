#pragma once
// A shader program: one vertex and one pixel shader compiled from the SHADER
// resources (GLSL text, extension "psh") and linked on the render device.
//
// One name gives the sources name + "-vs" and name + "-ps"; two names are
// used as given. Parameters are set through handles (AtomManager.h): each
// program resolves a handle once, looking in the vertex shader's
// declarations first and then in the pixel shader's, and keeps the answer in
// a cache until ClearParameterCache or a recompile. In a linked GL program a
// name declared by both stages is a single uniform, so setting it reaches
// both. A name neither stage declares is cached as absent and setting it does
// nothing.
//
// Failure: a missing source or a compile or link error is logged with the
// source's file name and the compiler's message. A program that never
// compiled is invalid: its setters do nothing, and Use binds no program, so
// a draw with it draws nothing (logged once). A failed recompile keeps the
// shaders and the program that worked before.
//
// Render thread only, with the render device's lock held (start-up and the
// frame both hold it).

#include "engine/core/Matrix4.h"
#include "engine/base/Types.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"
#include "engine/graphics/AtomManager.h"
#include "engine/graphics/device/DeviceTypes.h"

#include <map>
#include <set>
#include <string>

namespace Ostrel {

class Texture;

namespace rd {
class Device;
class Program;
class Shader;
class Texture;
}  // namespace rd

class ShaderProgram {
public:
    // The stage whose declarations answered a parameter look-up.
    enum class Table : u8 { Vertex, Pixel };
    struct ParameterRecord {
        rd::UniformRef constant;  // invalid when neither stage declares the name
        Table table = Table::Pixel;
    };
    // Bits of Use.
    static constexpr u32 kUseVertex = 1;
    static constexpr u32 kUsePixel = 2;

    // Sources name + "-vs" and name + "-ps"; compiles at once.
    explicit ShaderProgram(const std::string& name);
    ShaderProgram(const std::string& vertexSourceName, const std::string& pixelSourceName);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Compiles the vertex source, then the pixel source (each through
    // CompileShader).
    void Compile();
    // Compiles one stage (kind 1 vertex, 2 pixel) from the resource's file
    // and links it with the other stage when both exist. False after logging
    // why; the stage and program that worked before stay.
    bool CompileShader(const std::string& sourceName, int kind);

    // Binds the program for drawing. GL binds both stages together, so any of
    // the flags 1 (vertex), 2 (pixel) and 3 binds the whole program; an
    // invalid program binds none, and draws skip until another program is
    // bound.
    void Use(u32 flags);

    void SetInt(ParamHandle handle, int value);
    void SetFloat(ParamHandle handle, float value);
    void SetMatrix(ParamHandle handle, const Matrix4* matrix);
    // count matrices from matrices (clamped to the array the shader declares).
    void SetMatrixArray(ParamHandle handle, const Matrix4* matrices, u32 count);
    void SetVec2(ParamHandle handle, const Vec2* value);
    void SetVec3(ParamHandle handle, const Vec3* value);
    void SetVec4(ParamHandle handle, const Vec4* value);
    // Binds the texture to the parameter's sampler unit; null clears the unit.
    void SetTexture(ParamHandle handle, Texture* texture);
    // The same with a device texture (render targets); null clears.
    void SetRawTexture(ParamHandle handle, rd::Texture* texture);
    void ClearTexture(ParamHandle handle);

    // The cached record of handle, resolving it on first use.
    const ParameterRecord& FindParameter(ParamHandle handle);
    void ClearParameterCache() { m_parameters.clear(); }
    // Gives the shaders and the program back to the device; returns how many
    // objects were released.
    int ReleaseShaders();

    bool IsValid() const { return m_program != nullptr; }
    const std::string& GetVertexSourceName() const { return m_vertexSourceName; }
    const std::string& GetPixelSourceName() const { return m_pixelSourceName; }
    rd::Program* GetDeviceProgram() const { return m_program; }
    std::size_t CachedParameterCount() const { return m_parameters.size(); }

private:
    struct Stage {
        rd::Shader* shader = nullptr;
        std::set<std::string> declared;  // uniform names the source declares
    };

    bool ReadSource(const std::string& sourceName, std::string& path, std::string& text) const;
    bool Relink(Stage& changed, const Stage& replacement);
    void SetFloats(ParamHandle handle, const float* values, int count);
    int SamplerUnit(ParamHandle handle);
    // The device, or null (logged once) when there is none.
    rd::Device* CurrentDevice();

    std::string m_vertexSourceName;
    std::string m_pixelSourceName;
    Stage m_vertex;
    Stage m_pixel;
    rd::Program* m_program = nullptr;
    std::map<ParamHandle, ParameterRecord> m_parameters;
    bool m_warnedInvalid = false;
};

}  // namespace Ostrel
