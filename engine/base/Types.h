#pragma once
// Fixed-width names used throughout the engine and the game. Sizes matter for
// ids (u32 four-character codes, handle slots and generations) and for file
// formats read byte by byte.

#include <cstddef>
#include <cstdint>

namespace Ostrel {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using s8 = std::int8_t;
using s16 = std::int16_t;
using s32 = std::int32_t;
using s64 = std::int64_t;
using i64 = std::int64_t;
using f32 = float;
using f64 = double;

// Packs a four-character code with the first character as the most
// significant byte: FourCC("core") == 0x636F7265.
constexpr u32 FourCC(const char (&code)[5]) {
    return (u32(u8(code[0])) << 24) | (u32(u8(code[1])) << 16) | (u32(u8(code[2])) << 8) |
           u32(u8(code[3]));
}

}  // namespace Ostrel
