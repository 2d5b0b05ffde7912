#pragma once
// Codes and small records of the render-device layer.
//
// The numeric values are the ones the renderer's drawing code was written
// against (render states, formats, primitive kinds, clear flags, cooperative
// levels, vertex element types and usages), so that code reads and records
// the same numbers it always did. Each backend maps them to its own API; no
// backend type appears here.

#include "engine/base/Types.h"

#include <string>

namespace Ostrel::rd {

// Primitive kinds of an indexed draw.
enum class Prim : u32 { LineList = 2, LineStrip = 3, TriangleList = 4, TriangleStrip = 5 };

// Texture and render-target formats. X8R8G8B8 has no alpha channel: blending
// reads its destination alpha as 1.
enum class Format : u32 { Unknown = 0, A8R8G8B8 = 21, X8R8G8B8 = 22, R32F = 114, A32B32G32R32F = 116 };

// Render states and their values.
enum class RS : u32 {
    ZEnable = 7,           // 0 off, 1 on (default 1)
    FillMode = 8,          // FillMode (default Solid)
    ZWriteEnable = 14,     // 0 / 1 (default 1)
    SrcBlend = 19,         // Blend (default One)
    DestBlend = 20,        // Blend (default Zero)
    CullMode = 22,         // Cull (default CounterClockwise)
    ZFunc = 23,            // Cmp (default LessEqual)
    AlphaBlendEnable = 27, // 0 / 1 (default 0)
    ScissorTestEnable = 174, // 0 / 1 (default 0): draws and clears keep to the scissor rectangle
};
namespace Cull {
constexpr u32 None = 1;
constexpr u32 Clockwise = 2;         // culls faces that are clockwise on screen
constexpr u32 CounterClockwise = 3;  // culls counter-clockwise faces: clockwise ones are the front
}  // namespace Cull
namespace FillMode {
constexpr u32 Point = 1;
constexpr u32 Wireframe = 2;
constexpr u32 Solid = 3;
}  // namespace FillMode
namespace Blend {
constexpr u32 Zero = 1;
constexpr u32 One = 2;
constexpr u32 SrcColor = 3;
constexpr u32 InvSrcColor = 4;
constexpr u32 SrcAlpha = 5;
constexpr u32 InvSrcAlpha = 6;
constexpr u32 DestAlpha = 7;
constexpr u32 InvDestAlpha = 8;
constexpr u32 DestColor = 9;
constexpr u32 InvDestColor = 10;
}  // namespace Blend
namespace Cmp {
constexpr u32 Never = 1;
constexpr u32 Less = 2;
constexpr u32 Equal = 3;
constexpr u32 LessEqual = 4;
constexpr u32 Greater = 5;
constexpr u32 NotEqual = 6;
constexpr u32 GreaterEqual = 7;
constexpr u32 Always = 8;
}  // namespace Cmp

// Sampler states and their values (per texture unit).
enum class SamplerState : u32 { AddressU = 1, AddressV = 2, MagFilter = 5, MinFilter = 6, MipFilter = 7 };
namespace TextureAddress {
constexpr u32 Wrap = 1;
constexpr u32 Mirror = 2;
constexpr u32 Clamp = 3;
}  // namespace TextureAddress
namespace TextureFilter {
constexpr u32 None = 0;
constexpr u32 Point = 1;
constexpr u32 Linear = 2;
}  // namespace TextureFilter

// Clear flags, combined with |.
constexpr u32 kClearTarget = 1;
constexpr u32 kClearZBuffer = 2;
constexpr u32 kClearStencil = 4;

// Answers of TestCooperativeLevel. GL never loses its device; the recording
// backend can be told to answer the other two.
enum class CoopLevel : u32 { Ok = 0, DeviceLost = 0x88760868u, DeviceNotReset = 0x88760869u };

// Vertex elements: type and usage codes. Each usage has a fixed attribute
// location in the shaders: Position 0, Normal 1, TexCoord 2, Color 3,
// BlendWeight 4, BlendIndices 5.
enum class DeclType : u8 { Float1 = 0, Float2 = 1, Float3 = 2, Float4 = 3, Color = 4, UByte4 = 5 };
enum class DeclUsage : u8 { Position = 0, BlendWeight = 1, BlendIndices = 2, Normal = 3, TexCoord = 5, Color = 10 };
struct VertexElement {
    u16 offset = 0;  // bytes from the start of the vertex
    DeclType type = DeclType::Float3;
    DeclUsage usage = DeclUsage::Position;
};
int AttributeLocation(DeclUsage usage);

// What the device presents into: the window's client size, the mode, and
// the window (the platform's opaque handle; null makes a headless device
// that draws into its own back buffer only).
struct PresentParams {
    u32 width = 0;
    u32 height = 0;
    bool windowed = true;
    void* window = nullptr;
};

// Kinds of shader uniforms, as reflected at link time.
enum class UniformType : u8 { Other, Float, Vec2, Vec3, Vec4, Int, Mat4, Sampler2D };

// A uniform of one program: where it is, its kind, how many array elements
// it has, and the texture unit of a sampler. An absent name gives an invalid
// reference; setting through it does nothing.
struct UniformRef {
    int location = -1;
    int unit = -1;       // samplers only
    int arraySize = 0;   // 1 for a plain uniform
    UniformType type = UniformType::Other;
    bool Valid() const { return location >= 0; }
};

// Index count of an indexed draw of primCount primitives of the kind.
u32 IndexCount(Prim prim, u32 primCount);

// Unpacks a colour packed as 0xAARRGGBB into floats 0..1 (r, g, b, a).
void UnpackArgb(u32 argb, float out[4]);

const char* RenderStateName(RS state);

}  // namespace Ostrel::rd
