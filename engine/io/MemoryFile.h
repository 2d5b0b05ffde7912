#pragma once
// An IFile over bytes held in memory (a file image already read, packed data,
// tests and fuzzing). It behaves like a file on disk: IsEof turns true only
// after a read ran into the end, and seeking clears it.

#include "engine/io/IFile.h"

#include <string>
#include <vector>

namespace Ostrel {

class MemoryFile : public IFile {
public:
    explicit MemoryFile(std::vector<u8> bytes) : m_bytes(std::move(bytes)) {}
    MemoryFile(const void* data, std::size_t size);

    bool Close() override;
    bool IsEof() override { return m_eof; }
    bool SeekRelative(s32 offset) override;
    bool SeekAbsolute(s32 offset) override;
    s32 Tell() override { return m_open ? s32(m_position) : -1; }
    u32 Read(void* destination, u32 count) override;
    s32 ReadAll(void* destination) override;

private:
    bool SeekTo(s64 position);

    std::vector<u8> m_bytes;
    std::size_t m_position = 0;
    bool m_eof = false;
    bool m_open = true;
};

}  // namespace Ostrel
