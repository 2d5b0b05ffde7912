// Fuzz target: the GLSL text work done before a source reaches the driver
// (macro estimate, bounded uniform scan, outputs, preparation). Nothing may
// grow past its bound, whatever the text declares.

#include "engine/graphics/device/GlslText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Ostrel::rd;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (EstimateGlslMacroExpansion(text) > kMaxGlslMacroExpansion + 1) std::abort();
    const UniformScan scan = ScanGlslUniformsBounded(text, 1024);
    if (scan.elements > 1025 || scan.uniforms.size() > 1024) std::abort();
    if (!scan.overLimit && scan.elements > 1024) std::abort();
    for (const auto& [name, ref] : scan.uniforms) {
        if (ref.location < 0 || ref.arraySize < 0 || ref.location + ref.arraySize > 1024) std::abort();
    }
    (void)CheckGlslSource(text, 1024);
    (void)ScanGlslOutputs(text);
    (void)PrepareGlslSource(size % 2 == 0, text);
    return 0;
}
