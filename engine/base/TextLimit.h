#pragma once
// Caps on texts the game draws. A title or label comes from data (a room
// palette's "name:", a scene script) and is drawn every frame: a huge one
// would stall every frame, so texts are cut to a length no screen shows.

#include <cstddef>
#include <string>

namespace Ostrel {

// Bytes a drawn text keeps (a line of the widest screen holds far fewer).
inline constexpr std::size_t kMaxDrawnTextBytes = 1024;

// Cuts text to at most maxBytes, never inside a UTF-8 sequence. True when
// something was cut.
inline bool CapUtf8(std::string& text, std::size_t maxBytes = kMaxDrawnTextBytes) {
    if (text.size() <= maxBytes) return false;
    std::size_t end = maxBytes;
    // Back over continuation bytes (10xxxxxx) to the start of a character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return true;
}

}  // namespace Ostrel
