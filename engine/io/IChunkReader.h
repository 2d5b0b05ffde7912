#pragma once
// Reader of chunk containers (model files, ".bin"): a sequence of records of
// u32 id + u32 payload size + payload, little-endian, no padding; a payload
// may itself be a sequence of chunks, and the sequence ends with the file.
//
// Ids are multi-character codes with the first character as the most
// significant byte: 'dpm2' is 0x64706D32 (FourCC("dpm2")) and its four bytes
// in the file read "2mpd".

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {

struct ChunkHeader {
    // 0 when the end of the file cut the header short.
    u32 id = 0;
    u32 size = 0;
    // File position of the first payload byte, and just after the payload.
    s32 start = 0;
    s32 end = 0;
};

// "dpm2" for FourCC("dpm2"); non-printable bytes become '?'.
std::string ChunkIdText(u32 id);

class IChunkReader {
public:
    virtual ~IChunkReader() = default;
    virtual bool Close() = 0;
    virtual bool IsEof() = 0;
    // The length of the whole file in bytes, or -1 when it cannot be measured.
    // Readers of a chunk check each chunk's size against it before trusting it.
    virtual s32 FileLength() = 0;
    // Reads the next header and returns to where it started.
    virtual ChunkHeader PeekChunk() = 0;
    // Reads the next header and stays at the start of its payload.
    virtual ChunkHeader ReadChunk() = 0;
    // Moves to the header's end: the next chunk.
    virtual bool SkipChunk(const ChunkHeader& header) = 0;
    // Moves back to the first payload byte of the header's chunk.
    virtual bool RewindChunk(const ChunkHeader& header) = 0;
    virtual u32 ReadStrings(std::string* strings, u32 count) = 0;
    virtual u32 ReadArray(u64* destination, u32 count) = 0;
    virtual u32 ReadArray(s32* destination, u32 count) = 0;
    virtual u32 ReadArray(u32* destination, u32 count) = 0;
    virtual u32 ReadArray(f32* destination, u32 count) = 0;
    virtual u32 ReadArray(s16* destination, u32 count) = 0;
    virtual u32 ReadArray(u16* destination, u32 count) = 0;
    virtual u32 ReadArray(u8* destination, u32 count) = 0;
    virtual u32 Read(void* destination, u32 count) = 0;
};

}  // namespace Ostrel
