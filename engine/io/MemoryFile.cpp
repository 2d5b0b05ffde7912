#include "engine/io/MemoryFile.h"

#include <cstring>

namespace Ostrel {

namespace {
// Positions are signed 32-bit, as for files on disk.
constexpr s64 kMaxPosition = 0x7FFFFFFF;
}  // namespace

MemoryFile::MemoryFile(const void* data, std::size_t size) {
    const u8* bytes = static_cast<const u8*>(data);
    if (bytes && size > 0) m_bytes.assign(bytes, bytes + size);
}

bool MemoryFile::Close() {
    m_open = false;
    return true;
}

bool MemoryFile::SeekTo(s64 position) {
    if (!m_open || position < 0 || position > kMaxPosition) return false;
    m_position = std::size_t(position);
    m_eof = false;
    return true;
}

bool MemoryFile::SeekRelative(s32 offset) { return SeekTo(s64(m_position) + offset); }

bool MemoryFile::SeekAbsolute(s32 offset) {
    if (offset == -1) return SeekTo(s64(m_bytes.size()));
    return SeekTo(offset);
}

u32 MemoryFile::Read(void* destination, u32 count) {
    if (!m_open || !destination || count == 0) return 0;
    std::size_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    std::size_t n = count < available ? count : available;
    if (n > 0) std::memcpy(destination, m_bytes.data() + m_position, n);
    m_position += n;
    if (n < count) m_eof = true;
    return u32(n);
}

s32 MemoryFile::ReadAll(void* destination) {
    if (!m_open || m_bytes.size() > std::size_t(kMaxPosition)) return -1;
    if (m_position >= m_bytes.size()) return 0;
    s32 size = s32(m_bytes.size() - m_position);
    if (!destination) return size;
    return s32(Read(destination, u32(size)));
}

}  // namespace Ostrel
