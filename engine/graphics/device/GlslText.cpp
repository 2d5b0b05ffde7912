#include "engine/graphics/device/GlslText.h"

#include "engine/graphics/device/DeviceResources.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
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
    int count;
};

// Reads "name", "name[N]" and comma-separated lists up to ';' from tokens at
// i (which ends after the ';'). False on anything else.
bool ReadDeclarators(const std::vector<std::string>& tokens, size_t& i, const std::string& type,
                     std::vector<Member>& out) {
    while (i < tokens.size()) {
        if (!IsWordChar(tokens[i][0])) return false;
        Member member{type, tokens[i++], 1};
        if (i + 2 < tokens.size() && tokens[i] == "[" && tokens[i + 2] == "]" &&
            std::isdigit(static_cast<unsigned char>(tokens[i + 1][0]))) {
            member.count = std::max(1, std::atoi(tokens[i + 1].c_str()));
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

std::map<std::string, UniformRef> ScanGlslUniforms(std::string_view source) {
    const std::vector<std::string> tokens = Tokens(source);
    std::map<std::string, std::vector<Member>> structs;
    std::map<std::string, UniformRef> uniforms;
    int location = 0;
    auto add = [&](const std::string& name, const std::string& type, int count) {
        if (uniforms.count(name)) return;
        uniforms[name] = UniformRef{location, -1, count, TypeOf(type)};
        location += count;
    };
    size_t i = 0;
    while (i < tokens.size()) {
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
            const auto structIt = structs.find(type);
            if (structIt == structs.end()) {
                add(one.name, type, one.count);
                continue;
            }
            for (int element = 0; element < one.count; ++element) {
                std::string prefix = one.name;
                if (one.count > 1) prefix.append("[").append(std::to_string(element)).append("]");
                prefix += '.';
                for (const Member& member : structIt->second) add(prefix + member.name, member.type, member.count);
            }
        }
    }
    AssignSamplerUnits(uniforms);
    return uniforms;
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
