#pragma once
// Text work on GLSL sources that needs no GL: the preparation both backends
// apply before compiling, and a scan of the declarations for the recording
// backend (the GL backend asks the driver instead).

#include "engine/base/Types.h"
#include "engine/graphics/device/DeviceTypes.h"

#include <map>
#include <string>
#include <string_view>

namespace Ostrel::rd {

// The source as compiled: "#version 330 core" first when it has no version
// line; a vertex shader's main is wrapped so that the clip depth it writes
// (0..w) becomes GL's (-w..w). Line numbers in compiler messages stay those
// of the original text.
std::string PrepareGlslSource(bool pixel, std::string_view source);

// Uniforms declared at global scope, with their kinds and array sizes;
// struct arrays expand to "name[i].member". Locations are sequential, each
// array taking as many as it has elements; sampler units follow
// AssignSamplerUnits. Expansion stops at kMaxScannedUniformElements, so a
// declaration like "S s[100000000]" costs nothing (see ScanGlslUniformsBounded).
std::map<std::string, UniformRef> ScanGlslUniforms(std::string_view source);

// No GL implementation offers more uniform components than this, and every
// uniform element takes at least one component.
constexpr i64 kMaxScannedUniformElements = 65536;

struct UniformScan {
    std::map<std::string, UniformRef> uniforms;
    // Elements declared (each array element and each struct member of each
    // element counts one), saturating at maxElements + 1.
    i64 elements = 0;
    // True when the declarations need more than maxElements elements; the
    // map then holds only those that fitted.
    bool overLimit = false;
};
UniformScan ScanGlslUniformsBounded(std::string_view source, i64 maxElements);

// An upper estimate, in bytes, of the largest text one macro of the source's
// "#define" lines expands to: each use of another macro inside a body (in
// whatever order they are defined) counts that macro's whole expansion.
// Only "#define" lines are read; saturates at kMaxGlslMacroExpansion + 1.
constexpr u64 kMaxGlslMacroExpansion = u64(1) << 20;
u64 EstimateGlslMacroExpansion(std::string_view source);

// Why a source must not be handed to the driver (a macro expanding past
// kMaxGlslMacroExpansion, more uniform elements than maxUniformElements), or
// empty when it may be compiled. The source itself is never changed.
std::string CheckGlslSource(std::string_view source, i64 maxUniformElements);
// Bit i set when the source declares the output "out_color<i>" (i 0..2).
u32 ScanGlslOutputs(std::string_view source);

}  // namespace Ostrel::rd
