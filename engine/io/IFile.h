#pragma once
// A readable file. Positions and sizes are signed 32-bit: data files are far
// below 2 GB.

#include "engine/base/Types.h"

namespace Ostrel {

class IFile {
public:
    virtual ~IFile() = default;
    // Always answers true; closing a closed file does nothing.
    virtual bool Close() = 0;
    // True only after a read ran into the end of the file.
    virtual bool IsEof() = 0;
    virtual bool SeekRelative(s32 offset) = 0;
    // offset >= 0 is a position from the start; -1 is the end of the file.
    virtual bool SeekAbsolute(s32 offset) = 0;
    virtual s32 Tell() = 0;
    // Reads up to count bytes; answers how many were read.
    virtual u32 Read(void* destination, u32 count) = 0;
    // Measures the rest of the file from the current position. With a null
    // destination answers that size and leaves the position; otherwise reads
    // it into destination and answers the count read. -1 when the file cannot
    // be measured.
    virtual s32 ReadAll(void* destination) = 0;
};

}  // namespace Ostrel
