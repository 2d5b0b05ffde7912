#pragma once
// An IFile over a file on disk, opened read-only in byte mode.

#include "engine/io/IFile.h"

#include <cstdio>
#include <string>

namespace Ostrel {

class FileSystemFile : public IFile {
public:
    FileSystemFile() = default;
    explicit FileSystemFile(std::string path) : m_path(std::move(path)) {}
    ~FileSystemFile() override;
    FileSystemFile(const FileSystemFile&) = delete;
    FileSystemFile& operator=(const FileSystemFile&) = delete;

    // True at once when open; false for an empty path or a file that cannot
    // be opened (the handle then stays null).
    bool Open();
    bool Reopen(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    const std::string& GetPath() const { return m_path; }

    bool Close() override;
    bool IsEof() override;
    bool SeekRelative(s32 offset) override;
    bool SeekAbsolute(s32 offset) override;
    s32 Tell() override;
    u32 Read(void* destination, u32 count) override;
    s32 ReadAll(void* destination) override;

private:
    std::string m_path;
    std::FILE* m_file = nullptr;
};

}  // namespace Ostrel
