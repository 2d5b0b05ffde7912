// The model converter on Assimp's own test models: counts as Assimp reads
// them, files the engine's loader reads back, clockwise front faces that
// agree with the normals (the same rule our hand-made samples follow), the
// scale switch, and clean failures that leave an earlier file alone.

#include "tools/model-converter/ModelConverter.h"

#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "tools/model-writer/SampleModels.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;
const fs::path kAssimpModels = "/usr/share/assimp/models";

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Share of triangles whose clockwise face normal, cross(b - a, c - a),
// points the way of their vertex normals.
double FrontFacesAgreeing(const WriterMesh& mesh) {
    size_t agree = 0, total = 0;
    for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const ModelVertexRecord& a = mesh.vertices[mesh.indices[i]];
        const ModelVertexRecord& b = mesh.vertices[mesh.indices[i + 1]];
        const ModelVertexRecord& c = mesh.vertices[mesh.indices[i + 2]];
        const Vec3 e1(b.position.x - a.position.x, b.position.y - a.position.y, b.position.z - a.position.z);
        const Vec3 e2(c.position.x - a.position.x, c.position.y - a.position.y, c.position.z - a.position.z);
        const Vec3 n(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
        const float along = n.x * (a.normal.x + b.normal.x + c.normal.x) +
                            n.y * (a.normal.y + b.normal.y + c.normal.y) + n.z * (a.normal.z + b.normal.z + c.normal.z);
        if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) continue;  // degenerate
        ++total;
        if (along > 0.0f) ++agree;
    }
    return total ? double(agree) / double(total) : 0.0;
}

TEST(ModelConverter, ConvertsAssimpTestModelsThatTheLoaderReadsBack) {
    const double sampleRule = FrontFacesAgreeing(*MakeCrate().mesh);
    ASSERT_GT(sampleRule, 0.99);  // the rule holds for our own samples
    const fs::path folder = fs::path(LV_TEST_TMP) / ("converter-" + std::to_string(getpid()));
    fs::create_directories(folder);
    MeshManager meshes;
    SkeletonManager skeletons;
    AnimationManager animations;
    for (const char* name :
         {"FBX/box.fbx", "OBJ/spider.obj", "FBX/animation_with_skeleton.fbx", "glTF2/simple_skin/simple_skin.gltf"}) {
        SCOPED_TRACE(name);
        const fs::path source = kAssimpModels / name;
        ASSERT_TRUE(fs::exists(source));
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFile(source.string(), aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                                   aiProcess_PreTransformVertices | aiProcess_SortByPType);
        ASSERT_NE(scene, nullptr);
        size_t vertices = 0, triangles = 0;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            if (!(scene->mMeshes[m]->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
            vertices += scene->mMeshes[m]->mNumVertices;
            for (unsigned f = 0; f < scene->mMeshes[m]->mNumFaces; ++f) {
                triangles += scene->mMeshes[m]->mFaces[f].mNumIndices == 3;
            }
        }
        const std::string out = (folder / (fs::path(name).stem().string() + ".bin")).string();
        const ConvertResult result = ConvertModelFile(source.string(), out, {});
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_EQ(result.model.mesh->vertices.size(), vertices);
        EXPECT_EQ(result.model.mesh->indices.size(), triangles * 3);
        EXPECT_GT(FrontFacesAgreeing(*result.model.mesh), 0.9);
        LoadGeometryResource(out);
        Mesh* loaded = meshes.Find(fs::path(name).stem().string());
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->GetIndexCount(), triangles * 3);
        // Skinned sources: parents first, one track per bone on shared key
        // times, at most four weights per vertex summing to 1.
        const bool skinned = std::string(name).find("_sk") != std::string::npos;
        ASSERT_EQ(result.model.skeleton.has_value(), skinned);
        if (!skinned) continue;
        const std::vector<WriterBone>& bones = *result.model.skeleton;
        for (u32 b = 0; b < bones.size(); ++b) EXPECT_TRUE(bones[b].parent == kNoParentBone || bones[b].parent < b);
        ASSERT_EQ(result.model.clip->tracks.size(), bones.size());
        for (const AnimationTrack& track : result.model.clip->tracks)
            EXPECT_EQ(track.size(), result.model.clip->tracks[0].size());
        for (const ModelVertexRecord& v : result.model.mesh->vertices) {
            EXPECT_NEAR(v.weights[0] + v.weights[1] + v.weights[2] + v.weights[3], 1.0f, 1e-5f);
        }
        const Skeleton* skeleton = skeletons.Find(fs::path(name).stem().string());
        ASSERT_NE(skeleton, nullptr);
        EXPECT_EQ(skeleton->bones.size(), bones.size());
        ASSERT_NE(animations.Find(fs::path(name).stem().string()), nullptr);
    }

    // "-s": the largest extent becomes 2.
    const ConvertResult scaled = ConvertModelSource((kAssimpModels / "OBJ/spider.obj").string(), {true});
    ASSERT_TRUE(scaled.ok);
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    for (const ModelVertexRecord& r : scaled.model.mesh->vertices) {
        const float p[3] = {r.position.x, r.position.y, r.position.z};
        for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], p[i]), high[i] = std::max(high[i], p[i]);
    }
    EXPECT_NEAR(std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]}), 2.0f, 1e-4f);
    fs::remove_all(folder);
}

TEST(ModelConverter, BadSourcesFailAndLeaveAnEarlierFileAsItWas) {
    const fs::path folder = fs::path(LV_TEST_TMP) / ("converter-bad-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path out = folder / "mv-asset.bin";
    ASSERT_EQ(WriteModelFile(out.string(), MakeCrate()), "");
    const std::string before = FileBytes(out);
    const std::string box = FileBytes(kAssimpModels / "FBX/box.fbx");
    std::ofstream(folder / "cut.fbx", std::ios::binary) << box.substr(0, box.size() / 2);
    for (const fs::path& source : {kAssimpModels / "invalid/empty.obj", kAssimpModels / "invalid/malformed.obj",
                                   folder / "cut.fbx", folder / "missing.fbx"}) {
        SCOPED_TRACE(source.string());
        const ConvertResult result = ConvertModelFile(source.string(), out.string(), {});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(FileBytes(out), before);
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace Ostrel
