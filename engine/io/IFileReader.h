#pragma once
// An IFile with typed array reads on top. Values are read in the file's byte
// order, which is the machine's (little-endian); no conversion is done.
// Array reads answer the number of whole elements read.

#include "engine/io/IFile.h"

#include <string>

namespace Ostrel {

class IFileReader : public IFile {
public:
    // Strings are a length byte (0..255) followed by that many bytes.
    virtual u32 ReadStrings(std::string* strings, u32 count) = 0;
    virtual u32 ReadArray(u64* destination, u32 count) = 0;
    virtual u32 ReadArray(s32* destination, u32 count) = 0;
    virtual u32 ReadArray(u32* destination, u32 count) = 0;
    virtual u32 ReadArray(f32* destination, u32 count) = 0;
    virtual u32 ReadArray(s16* destination, u32 count) = 0;
    virtual u32 ReadArray(u16* destination, u32 count) = 0;
    virtual u32 ReadArray(u8* destination, u32 count) = 0;
};

}  // namespace Ostrel
