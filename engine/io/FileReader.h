#pragma once
// Typed reads over an IFile that the reader owns.

#include "engine/io/IFileReader.h"

#include <memory>

namespace Ostrel {

class FileReader : public IFileReader {
public:
    explicit FileReader(std::unique_ptr<IFile> file) : m_file(std::move(file)) {}
    ~FileReader() override { Close(); }

    // Closes and deletes the file; answers the file's answer (true when there
    // is no file).
    bool Close() override;
    bool IsEof() override { return m_file && m_file->IsEof(); }
    bool SeekRelative(s32 offset) override { return m_file && m_file->SeekRelative(offset); }
    bool SeekAbsolute(s32 offset) override { return m_file && m_file->SeekAbsolute(offset); }
    s32 Tell() override { return m_file ? m_file->Tell() : -1; }
    u32 Read(void* destination, u32 count) override;
    s32 ReadAll(void* destination) override { return m_file ? m_file->ReadAll(destination) : -1; }

    // False on a short read; the string is then unchanged.
    bool ReadString(std::string& value);
    u32 ReadStrings(std::string* strings, u32 count) override;
    u32 ReadArray(u64* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(s32* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(u32* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(f32* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(s16* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(u16* destination, u32 count) override { return ReadElements(destination, count); }
    u32 ReadArray(u8* destination, u32 count) override { return ReadElements(destination, count); }

private:
    template <typename T>
    u32 ReadElements(T* destination, u32 count) {
        if (!m_file || !destination || count == 0) return 0;
        u64 bytes = u64(count) * sizeof(T);
        if (bytes > 0xFFFFFFFFull) return 0;
        return m_file->Read(destination, u32(bytes)) / u32(sizeof(T));
    }

    std::unique_ptr<IFile> m_file;
};

}  // namespace Ostrel
