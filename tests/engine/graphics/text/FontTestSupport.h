#pragma once
// Helpers of the font tests: the shipped face's bytes, a log that keeps its
// lines, and a text renderer that records what it is asked to draw.

#include "engine/graphics/text/GlyphAtlas.h"
#include "engine/graphics/text/TextSprite.h"
#include "engine/base/Logger.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace FontTest {

inline std::string ShippedFontPath() {
    return std::string(LV_SOURCE_DIR) + "/rsc/fonts/DejaVuSans.ttf";
}

inline std::vector<Ostrel::u8> ShippedFontBytes() {
    std::ifstream in(ShippedFontPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Installs itself as the current log hub for its lifetime.
class CapturedLog {
public:
    CapturedLog() {
        m_logger.AddProvider(new Provider(m_lines));
        Ostrel::Logger::SetCurrent(&m_logger);
    }
    ~CapturedLog() { Ostrel::Logger::SetCurrent(nullptr); }
    size_t Count(const std::string& part) const {
        return std::count_if(m_lines.begin(), m_lines.end(),
                             [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    struct Provider : Ostrel::ILogProvider {
        explicit Provider(std::vector<std::string>& lines) : out(lines) {}
        void Write(const char* text) override { out.emplace_back(text); }
        std::vector<std::string>& out;
    };
    std::vector<std::string> m_lines;
    Ostrel::Logger m_logger;
};

class RecordingRenderer : public Ostrel::TextRenderer {
public:
    void BeginText() override { calls.push_back("begin"); }
    void DrawQuads(const Ostrel::GlyphAtlas& a, std::span<const Ostrel::TextQuad> q) override {
        calls.push_back("draw");
        atlas = &a;
        quads.insert(quads.end(), q.begin(), q.end());
    }
    void EndText() override { calls.push_back("end"); }

    // The bounding box of every quad drawn: left, top, right, bottom.
    std::vector<float> Bounds() const {
        std::vector<float> b{1e9f, 1e9f, -1e9f, -1e9f};
        for (const auto& q : quads) {
            b[0] = std::min(b[0], q.left);
            b[1] = std::min(b[1], q.top);
            b[2] = std::max(b[2], q.right);
            b[3] = std::max(b[3], q.bottom);
        }
        return b;
    }
    void Reset() {
        calls.clear();
        quads.clear();
    }

    std::vector<std::string> calls;
    std::vector<Ostrel::TextQuad> quads;
    const Ostrel::GlyphAtlas* atlas = nullptr;
};

}  // namespace FontTest
