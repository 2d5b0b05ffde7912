#include "engine/graphics/device/GlslText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel::rd {
namespace {

// "#define A0 x" then n lines "#define Ai(v) A(i-1)(v) A(i-1)(v)": each
// level doubles the expansion.
std::string DoublingMacros(int levels, const char* tail = "void main() {}\n") {
    std::string text = "#define A0(v) v\n";
    for (int i = 1; i <= levels; ++i) {
        text += "#define A" + std::to_string(i) + "(v) A" + std::to_string(i - 1) + "(v) A" +
                std::to_string(i - 1) + "(v)\n";
    }
    return text + tail;
}

TEST(GlslText, MacroEstimateGrowsWithTheChainAndSaturates) {
    EXPECT_EQ(EstimateGlslMacroExpansion("void main() {}\n"), 0u);
    EXPECT_EQ(EstimateGlslMacroExpansion("#define ONE 1\n#define TWO (ONE+ONE)\n"), 5u);
    // Each level is at least twice the one before.
    const u64 ten = EstimateGlslMacroExpansion(DoublingMacros(10));
    EXPECT_GE(ten, 1024u);
    EXPECT_LT(ten, 16384u);
    EXPECT_EQ(EstimateGlslMacroExpansion(DoublingMacros(39)), kMaxGlslMacroExpansion + 1);
    EXPECT_EQ(EstimateGlslMacroExpansion(DoublingMacros(2000)), kMaxGlslMacroExpansion + 1);
    // Continuation lines belong to the define; comments and other
    // directives are not macros; a macro's own name is not expanded again.
    EXPECT_EQ(EstimateGlslMacroExpansion("#define A xxxx\n#define B A \\\n A\n"), 10u);
    EXPECT_EQ(EstimateGlslMacroExpansion("#define A xxxx\n// #define B A A A A\n#if A\n#endif\n"), 4u);
    EXPECT_EQ(EstimateGlslMacroExpansion("#define A A A\n"), 3u);
    EXPECT_EQ(EstimateGlslMacroExpansion("  #  define  A\n#define\n#define (x)\n"), 0u);
    // Macros used before they are defined expand all the same, and a loop
    // of names stops where the preprocessor stops.
    std::string reversed;
    for (int i = 0; i < 39; ++i) reversed += "#define B" + std::to_string(i) + " B" + std::to_string(i + 1) + " B" + std::to_string(i + 1) + "\n";
    reversed += "#define B39 x\n";
    EXPECT_EQ(EstimateGlslMacroExpansion(reversed), kMaxGlslMacroExpansion + 1);
    EXPECT_EQ(EstimateGlslMacroExpansion("#define P Q Q\n#define Q P\n"), 3u);
    std::string longChain;
    for (int i = 0; i < 100000; ++i) longChain += "#define C" + std::to_string(i) + " C" + std::to_string(i + 1) + "\n";
    EXPECT_EQ(EstimateGlslMacroExpansion(longChain), 7u);  // "C100000", no stack depth needed
}

TEST(GlslText, CheckRefusesExplodingMacrosAndHugeUniformsOnly) {
    EXPECT_EQ(CheckGlslSource(DoublingMacros(10), 1024), "");
    EXPECT_NE(CheckGlslSource(DoublingMacros(39), 1024).find("macro expands to more than 1048576 bytes"),
              std::string::npos);
    EXPECT_EQ(CheckGlslSource("uniform mat4 BoneMat[64];\nvoid main() {}\n", 64), "");
    EXPECT_NE(CheckGlslSource("uniform mat4 BoneMat[64];\nvoid main() {}\n", 63).find("more than 63 elements"),
              std::string::npos);
    // The struct case: elements are array size times members.
    const char* structs = "struct S { vec4 a; float b[3]; };\nuniform S s[100];\n";
    EXPECT_EQ(CheckGlslSource(structs, 400), "");
    EXPECT_NE(CheckGlslSource(structs, 399), "");
}

TEST(GlslText, HugeAndOverflowingArraysAreBoundedNotExpanded) {
    struct Case {
        const char* source;
        bool over;
    };
    const Case cases[] = {
        {"struct S { vec4 a[4]; };\nuniform S s[100000000];\n", true},
        {"struct S { vec4 a[100000000]; vec4 b[100000000]; };\nuniform S s[100000000];\n", true},
        {"uniform float f[99999999999999999999999999999];\n", true},
        {"uniform float f[2147483647], g[2147483647];\n", true},
        {"uniform float f[65536];\n", false},
        {"uniform float f[65536], g;\n", true},
        {"struct S { float x; };\nuniform S s[0];\n", false},
    };
    for (const Case& c : cases) {
        const UniformScan scan = ScanGlslUniformsBounded(c.source, kMaxScannedUniformElements);
        EXPECT_EQ(scan.overLimit, c.over) << c.source;
        EXPECT_LE(scan.uniforms.size(), size_t(kMaxScannedUniformElements)) << c.source;
        EXPECT_LE(scan.elements, kMaxScannedUniformElements + 1) << c.source;
    }
    // The plain entry point is bounded the same way and keeps what fitted.
    const auto kept = ScanGlslUniforms("uniform vec4 a;\nstruct S { float x; };\nuniform S s[100000000];\n");
    EXPECT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept.count("a"));
}

TEST(GlslText, EveryShippedShaderPassesTheCheck) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(LV_SOURCE_DIR) + "/rsc/shaders")) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(CheckGlslSource(text.str(), 1024), "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 5);
}

}  // namespace
}  // namespace Ostrel::rd
