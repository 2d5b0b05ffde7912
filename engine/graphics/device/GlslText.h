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
// AssignSamplerUnits.
std::map<std::string, UniformRef> ScanGlslUniforms(std::string_view source);
// Bit i set when the source declares the output "out_color<i>" (i 0..2).
u32 ScanGlslOutputs(std::string_view source);

}  // namespace Ostrel::rd
