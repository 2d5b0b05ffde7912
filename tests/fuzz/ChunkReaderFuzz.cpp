// Fuzz target: chunk containers (model files). Walks the input as the model
// loader does, nested up to a few levels, with typed reads inside payloads.

#include "engine/io/ChunkReader.h"
#include "engine/io/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace Ostrel;

void Walk(ChunkReader& reader, s32 limit, int depth) {
    for (int guard = 0; guard < 256; ++guard) {
        s32 before = reader.Tell();
        ChunkHeader peeked = reader.PeekChunk();
        if (reader.Tell() != before) __builtin_trap();  // peek must not move
        if (peeked.id == 0 || peeked.start > limit) return;
        ChunkHeader header = reader.ReadChunk();
        if (header.id != peeked.id || header.start != peeked.start) __builtin_trap();
        if (header.end < header.start) __builtin_trap();
        u32 first = header.id & 0xFF;
        if (depth < 4 && (first & 1)) {
            Walk(reader, header.end, depth + 1);
        } else if (first & 2) {
            std::string strings[2];
            reader.ReadStrings(strings, 2);
            f32 floats[3];
            reader.ReadArray(floats, 3);
            reader.RewindChunk(header);
            u16 shorts[2];
            reader.ReadArray(shorts, 2);
        }
        if (!reader.SkipChunk(header)) return;
        if (reader.Tell() <= before) return;  // a zero-size chunk at the same spot ends the walk
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ChunkReader reader(std::make_unique<MemoryFile>(data, size));
    ChunkHeader top = reader.ReadChunk();
    if (top.id != 0) Walk(reader, top.end, 0);
    reader.Close();
    return 0;
}
