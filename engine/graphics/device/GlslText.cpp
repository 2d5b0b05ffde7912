#include "engine/graphics/device/GlslText.h"

#include "engine/graphics/device/DeviceResources.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <vector>

namespace Ostrel::rd {

namespace {

// Comments removed, line structure kept.
std::string StripComments(std::string_view source) {
    std::string out;
    out.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, "//") == 0) {
            while (i < source.size() && source[i] != '\n') ++i;
            if (i < source.size()) out += '\n';
        } else if (source.compare(i, 2, "/*") == 0) {
            const size_t end = source.find("*/", i + 2);
            for (size_t j = i; j < std::min(end, source.size()); ++j) {
                if (source[j] == '\n') out += '\n';
            }
            i = end == std::string_view::npos ? source.size() : end + 1;
        } else {
            out += source[i];
        }
    }
    return out;
}

UniformType TypeOf(const std::string& name) {
    static const std::map<std::string, UniformType> kTypes = {
        {"float", UniformType::Float}, {"vec2", UniformType::Vec2}, {"vec3", UniformType::Vec3},
        {"vec4", UniformType::Vec4},   {"int", UniformType::Int},   {"mat4", UniformType::Mat4},
        {"sampler2D", UniformType::Sampler2D},
    };
    const auto it = kTypes.find(name);
    return it == kTypes.end() ? UniformType::Other : it->second;
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Words and single punctuation characters, comments and preprocessor lines
// left out.
std::vector<std::string> Tokens(std::string_view source) {
    const std::string text = StripComments(source);
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '#') {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (IsWordChar(c)) {
            const size_t start = i;
            while (i < text.size() && IsWordChar(text[i])) ++i;
            tokens.push_back(text.substr(start, i - start));
        } else {
            if (!std::isspace(static_cast<unsigned char>(c))) tokens.emplace_back(1, c);
            ++i;
        }
    }
    return tokens;
}

struct Member {
    std::string type;
    std::string name;
    i64 count;
};

// Any array size past this is as bad as infinite: it is far beyond every
// element budget, and products of two such sizes still fit an i64.
constexpr i64 kCountCeiling = i64(1) << 31;

i64 SaturatingAdd(i64 a, i64 b, i64 ceiling) { return a >= ceiling - b ? ceiling : a + b; }

i64 SaturatingMul(i64 a, i64 b, i64 ceiling) {
    if (a == 0 || b == 0) return 0;
    return a > ceiling / b ? ceiling : a * b;
}

// The decimal digits of text as a count, saturating at kCountCeiling.
i64 ArrayCount(const std::string& text) {
    i64 count = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        count = SaturatingAdd(SaturatingMul(count, 10, kCountCeiling), c - '0', kCountCeiling);
    }
    return std::max<i64>(1, count);
}

// Reads "name", "name[N]" and comma-separated lists up to ';' from tokens at
// i (which ends after the ';'). False on anything else.
bool ReadDeclarators(const std::vector<std::string>& tokens, size_t& i, const std::string& type,
                     std::vector<Member>& out) {
    while (i < tokens.size()) {
        if (!IsWordChar(tokens[i][0])) return false;
        Member member{type, tokens[i++], 1};
        if (i + 2 < tokens.size() && tokens[i] == "[" && tokens[i + 2] == "]" &&
            std::isdigit(static_cast<unsigned char>(tokens[i + 1][0]))) {
            member.count = ArrayCount(tokens[i + 1]);
            i += 3;
        }
        out.push_back(member);
        if (i < tokens.size() && tokens[i] == ",") {
            ++i;
            continue;
        }
        if (i < tokens.size() && tokens[i] == ";") {
            ++i;
            return true;
        }
        return false;
    }
    return false;
}

bool IsPrecision(const std::string& word) {
    return word == "lowp" || word == "mediump" || word == "highp";
}

}  // namespace

std::string PrepareGlslSource(bool pixel, std::string_view source) {
    std::string text(source);
    std::string head;
    size_t bodyStart = 0;
    int nextLine = 1;
    const size_t firstCode = text.find_first_not_of(" \t\r\n");
    if (firstCode != std::string::npos && text.compare(firstCode, 8, "#version") == 0) {
        const size_t end = text.find('\n', firstCode);
        bodyStart = end == std::string::npos ? text.size() : end + 1;
        head = text.substr(0, bodyStart);
        if (end == std::string::npos) head += '\n';
        for (size_t i = 0; i < bodyStart; ++i) nextLine += text[i] == '\n';
    } else {
        head = "#version 330 core\n";
    }
    if (pixel) return head + "#line " + std::to_string(nextLine) + "\n" + text.substr(bodyStart);
    return head + "#define main lv_main_\n#line " + std::to_string(nextLine) + "\n" + text.substr(bodyStart) +
           "\n#undef main\n"
           "void main() {\n"
           "    lv_main_();\n"
           "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n"
           "}\n";
}

namespace {

// The elements one declaration of a type takes: its own count, times the
// elements of one struct value for a struct type.
i64 ElementsOf(const Member& declared, const std::map<std::string, std::vector<Member>>& structs) {
    const auto structIt = structs.find(declared.type);
    if (structIt == structs.end()) return declared.count;
    i64 perValue = 0;
    for (const Member& member : structIt->second) perValue = SaturatingAdd(perValue, member.count, kCountCeiling);
    return SaturatingMul(declared.count, perValue, kCountCeiling);
}

}  // namespace

UniformScan ScanGlslUniformsBounded(std::string_view source, i64 maxElements) {
    const std::vector<std::string> tokens = Tokens(source);
    std::map<std::string, std::vector<Member>> structs;
    UniformScan scan;
    const i64 ceiling = std::max<i64>(0, maxElements) + 1;
    int location = 0;
    auto add = [&](const std::string& name, const std::string& type, i64 count) {
        if (scan.uniforms.count(name)) return;
        scan.uniforms[name] = UniformRef{location, -1, int(count), TypeOf(type)};
        location += int(count);
    };
    size_t i = 0;
    while (i < tokens.size() && !scan.overLimit) {
        if (tokens[i] == "struct" && i + 2 < tokens.size() && tokens[i + 2] == "{") {
            const std::string name = tokens[i + 1];
            i += 3;
            std::vector<Member> members;
            while (i + 1 < tokens.size() && tokens[i] != "}") {
                const std::string type = tokens[i++];
                if (!ReadDeclarators(tokens, i, type, members)) break;
            }
            structs[name] = members;
            continue;
        }
        if (tokens[i] != "uniform") {
            ++i;
            continue;
        }
        ++i;
        if (i < tokens.size() && IsPrecision(tokens[i])) ++i;
        if (i + 1 >= tokens.size() || tokens[i + 1] == "{") continue;  // an interface block
        const std::string type = tokens[i++];
        std::vector<Member> declared;
        if (!ReadDeclarators(tokens, i, type, declared)) continue;
        for (const Member& one : declared) {
            // Counted before anything is expanded, so the budget bounds the
            // work and the memory the map takes.
            scan.elements = SaturatingAdd(scan.elements, ElementsOf(one, structs), ceiling);
            if (scan.elements >= ceiling) {
                scan.overLimit = true;
                break;
            }
            const auto structIt = structs.find(type);
            if (structIt == structs.end()) {
                add(one.name, type, one.count);
                continue;
            }
            for (i64 element = 0; element < one.count; ++element) {
                std::string prefix = one.name;
                if (one.count > 1) prefix.append("[").append(std::to_string(element)).append("]");
                prefix += '.';
                for (const Member& member : structIt->second) add(prefix + member.name, member.type, member.count);
            }
        }
    }
    AssignSamplerUnits(scan.uniforms);
    return scan;
}

std::map<std::string, UniformRef> ScanGlslUniforms(std::string_view source) {
    return ScanGlslUniformsBounded(source, kMaxScannedUniformElements).uniforms;
}

namespace {

// The logical lines of text: a backslash before a line break joins the next
// line, as the preprocessor does.
std::vector<std::string> LogicalLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        } else if (text[i] == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// Name and body of a "#define" line; false for any other line.
bool SplitDefine(const std::string& line, std::string& name, std::string& body) {
    size_t i = line.find_first_not_of(" \t\r");
    if (i == std::string::npos || line[i] != '#') return false;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 6, "define") != 0) return false;
    i = line.find_first_not_of(" \t", i + 6);
    if (i == std::string::npos) return false;
    const size_t nameStart = i;
    while (i < line.size() && IsWordChar(line[i])) ++i;
    if (i == nameStart) return false;
    name = line.substr(nameStart, i - nameStart);
    if (i < line.size() && line[i] == '(') {
        const size_t close = line.find(')', i);
        i = close == std::string::npos ? line.size() : close + 1;
    }
    const size_t first = line.find_first_not_of(" \t\r", i);
    const size_t last = line.find_last_not_of(" \t\r");
    body = first == std::string::npos || last < first ? std::string() : line.substr(first, last + 1 - first);
    return true;
}

}  // namespace

namespace {

// One piece of a macro body: a name that may be a macro, or other text of a
// known length.
struct MacroPiece {
    std::string name;
    i64 length = 0;
};

std::vector<MacroPiece> MacroPieces(const std::string& body) {
    std::vector<MacroPiece> pieces;
    size_t i = 0;
    while (i < body.size()) {
        if (IsWordChar(body[i])) {
            const size_t start = i;
            while (i < body.size() && IsWordChar(body[i])) ++i;
            pieces.push_back({body.substr(start, i - start), i64(i - start)});
        } else {
            if (pieces.empty() || !pieces.back().name.empty()) pieces.push_back({});
            ++pieces.back().length;
            ++i;
        }
    }
    return pieces;
}

}  // namespace

u64 EstimateGlslMacroExpansion(std::string_view source) {
    const i64 ceiling = i64(kMaxGlslMacroExpansion) + 1;
    // The preprocessor expands names when a macro is used, so a macro may
    // name others defined after it: every definition is read first (the last
    // one of a name counts), then each size is summed over its body. A name
    // already being expanded is not expanded again, as in the preprocessor.
    std::map<std::string, std::vector<MacroPiece>> bodies;
    for (const std::string& line : LogicalLines(StripComments(source))) {
        std::string name, body;
        if (SplitDefine(line, name, body)) bodies[name] = MacroPieces(body);
    }
    std::map<std::string, i64> sizes;
    std::set<std::string> expanding;
    struct Frame {
        const std::string* name;
        const std::vector<MacroPiece>* pieces;
        size_t next = 0;
        i64 size = 0;
    };
    i64 largest = 0;
    for (const auto& [root, rootPieces] : bodies) {
        if (sizes.count(root)) continue;
        std::vector<Frame> stack{{&root, &rootPieces}};
        expanding.insert(root);
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.pieces->size()) {
                const std::string& done = *top.name;
                const i64 size = top.size;
                sizes[done] = size;
                largest = std::max(largest, size);
                expanding.erase(done);
                stack.pop_back();
                if (!stack.empty()) stack.back().size = SaturatingAdd(stack.back().size, size, ceiling);
                continue;
            }
            const MacroPiece& piece = (*top.pieces)[top.next++];
            const auto known = piece.name.empty() ? sizes.end() : sizes.find(piece.name);
            const auto macro = piece.name.empty() ? bodies.end() : bodies.find(piece.name);
            if (known != sizes.end()) {
                top.size = SaturatingAdd(top.size, known->second, ceiling);
            } else if (macro == bodies.end() || expanding.count(piece.name)) {
                top.size = SaturatingAdd(top.size, piece.length, ceiling);
            } else {
                expanding.insert(macro->first);
                stack.push_back({&macro->first, &macro->second});
            }
        }
    }
    return u64(largest);
}

std::string CheckGlslSource(std::string_view source, i64 maxUniformElements) {
    if (EstimateGlslMacroExpansion(source) > kMaxGlslMacroExpansion) {
        return "a macro expands to more than " + std::to_string(kMaxGlslMacroExpansion) +
               " bytes; source refused before compiling";
    }
    const UniformScan scan = ScanGlslUniformsBounded(source, maxUniformElements);
    if (scan.overLimit) {
        return "uniforms declare more than " + std::to_string(maxUniformElements) +
               " elements; source refused before compiling";
    }
    return {};
}

u32 ScanGlslOutputs(std::string_view source) {
    const std::vector<std::string> tokens = Tokens(source);
    u32 mask = 0;
    for (size_t i = 0; i + 3 < tokens.size(); ++i) {
        if (tokens[i] != "out" || tokens[i + 3] != ";") continue;
        const std::string& name = tokens[i + 2];
        if (name.size() == 10 && name.compare(0, 9, "out_color") == 0 && name[9] >= '0' && name[9] <= '2') {
            mask |= 1u << (name[9] - '0');
        }
    }
    return mask;
}

}  // namespace Ostrel::rd
