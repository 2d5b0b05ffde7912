// Fuzz target: model files. Reads the input as a model file and, when the
// reader accepts parts, uses them as the loaders do, so anything the reader
// lets through must be safe to build a mesh and a skeleton copy from.

#include "engine/graphics/models/ModelData.h"
#include "engine/io/ChunkReader.h"
#include "engine/base/Logger.h"
#include "engine/io/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Ostrel;
    static Logger quiet;
    Logger::SetCurrent(&quiet);
    ChunkReader reader(std::make_unique<MemoryFile>(data, size));
    ModelData model;
    model.Read(reader, "fuzz.bin");
    if (model.mesh) {
        const ModelMeshData& mesh = *model.mesh;
        for (u32 i = 0; i < mesh.indexCount; ++i) {
            if (mesh.GetIndex(i) >= mesh.vertexCount) __builtin_trap();
            (void)mesh.GetVertex(mesh.GetIndex(i));
        }
    }
    if (model.skeleton) {
        Skeleton copy(*model.skeleton);
        std::size_t linked = copy.roots.size();
        for (const Bone& bone : copy.bones) linked += bone.children.size();
        if (linked != copy.bones.size()) __builtin_trap();  // each bone linked exactly once
    }
    if (model.animation) {
        for (const AnimationTrack& track : model.animation->tracks)
            if (track.empty()) __builtin_trap();
    }
    return 0;
}
