#include "engine/io/FileSystemFile.h"

#include "engine/base/Paths.h"

#include <climits>

namespace Ostrel {

FileSystemFile::~FileSystemFile() { Close(); }

bool FileSystemFile::Open() {
    if (m_file) return true;
    if (m_path.empty()) return false;
    m_file = std::fopen(NormalizeSeparators(m_path).c_str(), "rb");
    return m_file != nullptr;
}

bool FileSystemFile::Reopen(const std::string& path) {
    Close();
    m_path = path;
    return Open();
}

bool FileSystemFile::Close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    return true;
}

bool FileSystemFile::IsEof() { return m_file && std::feof(m_file) != 0; }

bool FileSystemFile::SeekRelative(s32 offset) {
    return m_file && std::fseek(m_file, offset, SEEK_CUR) == 0;
}

bool FileSystemFile::SeekAbsolute(s32 offset) {
    if (!m_file) return false;
    if (offset == -1) return std::fseek(m_file, 0, SEEK_END) == 0;
    if (offset < 0) return false;
    return std::fseek(m_file, offset, SEEK_SET) == 0;
}

s32 FileSystemFile::Tell() {
    if (!m_file) return -1;
    long position = std::ftell(m_file);
    return position < 0 || position > INT_MAX ? -1 : s32(position);
}

u32 FileSystemFile::Read(void* destination, u32 count) {
    if (!m_file || !destination || count == 0) return 0;
    return u32(std::fread(destination, 1, count, m_file));
}

s32 FileSystemFile::ReadAll(void* destination) {
    s32 start = Tell();
    if (start < 0 || !SeekAbsolute(-1)) return -1;
    s32 end = Tell();
    if (!SeekAbsolute(start) || end < start) return -1;
    s32 size = end - start;
    if (!destination) return size;
    return s32(Read(destination, u32(size)));
}

}  // namespace Ostrel
