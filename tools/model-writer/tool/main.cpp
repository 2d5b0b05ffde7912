// model-writer: writes the sample model files (crate.bin, hinge.bin,
// hinge-wave.bin and the set hinge-fast.anim) into a folder, or describes
// model files as the engine reads them.
//   model-writer FOLDER
//   model-writer --info FILE...
// scripts/gen-models.sh runs the first form into rsc/models.

#include "engine/graphics/models/ModelData.h"
#include "engine/io/ChunkReader.h"
#include "engine/io/FileSystemFile.h"
#include "tools/model-writer/SampleModels.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace Ostrel;

void DescribeSkeleton(const Skeleton& skeleton) {
    std::printf("  skeleton: %zu bones\n", skeleton.bones.size());
    for (const Bone& bone : skeleton.bones) {
        const Vec3& t = bone.bindTranslation;
        std::printf("    %u '%s' parent %d, bind at (%g, %g, %g), %zu children\n", bone.index, bone.name.c_str(),
                    bone.parent == kNoParentBone ? -1 : int(bone.parent), double(t.x), double(t.y), double(t.z),
                    bone.children.size());
    }
}

// Reads one file as the game does (problems go to stderr) and prints its parts.
bool Describe(const std::string& path) {
    auto file = std::make_unique<FileSystemFile>(path);
    if (!file->Open()) {
        std::fprintf(stderr, "%s: cannot be opened\n", path.c_str());
        return false;
    }
    ChunkReader reader(std::move(file));
    ModelData model;
    model.Read(reader, path);
    std::printf("%s:\n", path.c_str());
    if (const ModelMeshData* mesh = model.mesh.get())
        std::printf("  mesh: %s, %u vertices, %u indices\n", mesh->format ? "skinned" : "static", mesh->vertexCount,
                    mesh->indexCount);
    if (model.skeleton) DescribeSkeleton(*model.skeleton);
    if (const ModelAnimationData* clip = model.animation.get()) {
        std::printf("  clip: %g s, %zu tracks\n", double(clip->duration), clip->tracks.size());
        for (std::size_t t = 0; t < clip->tracks.size(); ++t)
            std::printf("    track %zu: %zu keys\n", t, clip->tracks[t].size());
    }
    return model.Parts() != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--info") == 0) {
        bool all = true;
        for (int i = 2; i < argc; ++i) all = Describe(argv[i]) && all;
        return all ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER | --info FILE...\n", argv[0]);
        return 2;
    }
    const std::string problems = Ostrel::WriteSampleModels(argv[1]);
    if (!problems.empty()) {
        std::fprintf(stderr, "%s", problems.c_str());
        return 1;
    }
    return 0;
}
