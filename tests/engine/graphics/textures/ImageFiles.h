#pragma once
// Builders of small image files for the reader and texture tests: bytes laid
// out by hand, so each test states exactly what the file holds.

#include "engine/base/Types.h"

#include <cstring>
#include <string>
#include <vector>

namespace Ostrel::Testing {

inline void PutU32(std::string& out, std::size_t at, u32 v) {
    for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (8 * i)) & 0xFF);
}

inline void AppendFloat(std::string& out, float v, bool bigEndian = false) {
    char b[4];
    std::memcpy(b, &v, 4);
    if (bigEndian) std::swap(b[0], b[3]), std::swap(b[1], b[2]);
    out.append(b, 4);
}

// A float map whose header is given as text; rows are given bottom row first,
// as the file stores them.
inline std::string MakePfm(const std::string& header, const std::vector<float>& floats, bool bigEndian = false) {
    std::string out = header;
    for (float f : floats) AppendFloat(out, f, bigEndian);
    return out;
}

// A DDS header: flags 0x4 with a compression code, or 0x40 (| 0x1 with alpha)
// with a bit count and masks.
inline std::string MakeDdsHeader(u32 width, u32 height, u32 formatFlags, const char* fourCC = nullptr,
                                 u32 bitCount = 0, const u32 masks[4] = nullptr) {
    std::string out(128, '\0');
    std::memcpy(out.data(), "DDS ", 4);
    PutU32(out, 4, 124);
    PutU32(out, 8, 0x1007);
    PutU32(out, 12, height);
    PutU32(out, 16, width);
    PutU32(out, 76, 32);
    PutU32(out, 80, formatFlags);
    if (fourCC) std::memcpy(out.data() + 84, fourCC, 4);
    PutU32(out, 88, bitCount);
    for (int i = 0; masks && i < 4; ++i) PutU32(out, 92 + 4 * i, masks[i]);
    PutU32(out, 108, 0x1000);
    return out;
}

// An uncompressed true-colour TGA (type 2, 32 bits) with the origin at the
// top left; pixels are RGBA, top row first.
inline std::string MakeTga32(u32 width, u32 height, const std::vector<u8>& rgba) {
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(width & 0xFF), out[13] = char(width >> 8);
    out[14] = char(height & 0xFF), out[15] = char(height >> 8);
    out[16] = 32;
    out[17] = 0x28;  // 8 alpha bits, top-left origin
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        out += char(rgba[i + 2]);
        out += char(rgba[i + 1]);
        out += char(rgba[i]);
        out += char(rgba[i + 3]);
    }
    return out;
}

inline const u8* Bytes(const std::string& s) { return reinterpret_cast<const u8*>(s.data()); }

}  // namespace Ostrel::Testing
