#pragma once
// IChunkReader over an open IFile, which the reader owns (through its
// FileReader) and closes in Close or its destructor.

#include "engine/io/FileReader.h"
#include "engine/io/IChunkReader.h"

#include <memory>

namespace Ostrel {

class ChunkReader : public IChunkReader {
public:
    explicit ChunkReader(std::unique_ptr<IFile> file);
    ~ChunkReader() override { Close(); }
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    bool Close() override;
    bool IsEof() override { return m_reader && m_reader->IsEof(); }
    s32 FileLength() override;
    ChunkHeader PeekChunk() override;
    ChunkHeader ReadChunk() override;
    bool SkipChunk(const ChunkHeader& header) override;
    bool RewindChunk(const ChunkHeader& header) override;
    s32 Tell() { return m_reader ? m_reader->Tell() : -1; }

    u32 ReadStrings(std::string* strings, u32 count) override;
    u32 ReadArray(u64* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(s32* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(u32* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(f32* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(s16* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(u16* destination, u32 count) override { return Forward(destination, count); }
    u32 ReadArray(u8* destination, u32 count) override { return Forward(destination, count); }
    u32 Read(void* destination, u32 count) override;

private:
    template <typename T>
    u32 Forward(T* destination, u32 count) {
        return m_reader ? m_reader->ReadArray(destination, count) : 0;
    }
    ChunkHeader ReadHeader();

    std::unique_ptr<FileReader> m_reader;
};

}  // namespace Ostrel
