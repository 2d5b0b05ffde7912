#include "engine/graphics/textures/PfmReader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Ostrel {

namespace {

// A header is a few short tokens; anything longer is not a float map.
constexpr std::size_t kMaxHeaderBytes = 256;

bool IsSpace(u8 c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class HeaderCursor {
public:
    HeaderCursor(const u8* data, std::size_t size) : m_data(data), m_size(size < kMaxHeaderBytes ? size : kMaxHeaderBytes) {}

    // The next whitespace-separated token, or empty at the end of the header.
    std::string Token() {
        while (m_pos < m_size && IsSpace(m_data[m_pos])) ++m_pos;
        std::size_t start = m_pos;
        while (m_pos < m_size && !IsSpace(m_data[m_pos])) ++m_pos;
        return std::string(reinterpret_cast<const char*>(m_data) + start, m_pos - start);
    }
    // Consumes the single whitespace byte that ends the header.
    bool EndOfHeader() {
        if (m_pos >= m_size || !IsSpace(m_data[m_pos])) return false;
        ++m_pos;
        return true;
    }
    std::size_t Position() const { return m_pos; }

private:
    const u8* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

bool ParseSide(const std::string& token, u32& out) {
    if (token.empty() || token.size() > 9) return false;
    u32 value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + u32(c - '0');
    }
    out = value;
    return true;
}

bool ParseScale(const std::string& token, float& out) {
    if (token.empty()) return false;
    char* end = nullptr;
    out = std::strtof(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(out) && out != 0.0f;
}

float ReadFloat(const u8* p, bool littleEndian) {
    u8 bytes[4] = {p[0], p[1], p[2], p[3]};
    if (!littleEndian) {
        std::swap(bytes[0], bytes[3]);
        std::swap(bytes[1], bytes[2]);
    }
    float value;
    std::memcpy(&value, bytes, 4);
    return value;
}

}  // namespace

bool LooksLikePfm(const u8* data, std::size_t size) {
    return size >= 3 && data[0] == 'P' && (data[1] == 'F' || data[1] == 'f') && IsSpace(data[2]);
}

std::optional<Image> ReadPfm(const u8* data, std::size_t size, std::string* error) {
    if (!LooksLikePfm(data, size)) return RejectImage(error, "not a float map (no \"PF\" or \"Pf\" line)");
    const u32 channels = data[1] == 'F' ? 3 : 1;
    HeaderCursor header(data, size);
    header.Token();
    u32 width = 0, height = 0;
    float scale = 0.0f;
    if (!ParseSide(header.Token(), width) || !ParseSide(header.Token(), height))
        return RejectImage(error, "bad width or height in the float map header");
    if (!ParseScale(header.Token(), scale) || !header.EndOfHeader())
        return RejectImage(error, "bad scale line in the float map header");
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return RejectImage(error, "float map size out of range");
    const std::size_t offset = header.Position();
    const std::size_t rowFloats = std::size_t(width) * channels;
    if ((size - offset) / 4 / rowFloats < height) return RejectImage(error, "float map pixel data truncated");

    const bool littleEndian = scale < 0.0f;
    Image image;
    image.width = width;
    image.height = height;
    image.format = ImageFormat::Rgba32F;
    image.pixels.resize(std::size_t(width) * height * 16);
    float* out = reinterpret_cast<float*>(image.pixels.data());
    for (u32 fileRow = 0; fileRow < height; ++fileRow) {
        const u8* in = data + offset + fileRow * rowFloats * 4;
        float* row = out + std::size_t(height - 1 - fileRow) * width * 4;
        for (u32 x = 0; x < width; ++x) {
            for (u32 c = 0; c < 3; ++c) row[x * 4 + c] = ReadFloat(in + (x * channels + (channels == 3 ? c : 0)) * 4, littleEndian);
            row[x * 4 + 3] = 1.0f;
        }
    }
    return image;
}

}  // namespace Ostrel
