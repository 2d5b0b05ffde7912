// Skinned conversion on a small glTF written here: an armature node scaled
// by 2 above a two-bone chain with an end bone without weights, a strip
// weighted to the two bones, and a clip whose channels have different key
// times. The converted file is read back and skinned the engine's way
// (vertex * inverse bind * pose) at hand-worked times and positions.

#include "tools/model-converter/ModelConverter.h"

#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/models/ModelData.h"
#include "tests/engine/graphics/models/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

// Collects binary data for a glTF's one buffer (embedded as base64) and
// the accessors and buffer views that describe it.
class GltfData {
public:
    int Floats(const std::vector<float>& values, const char* type, bool minMax = false) {
        return Add(values.data(), values.size() * 4, 5126, values.size() / Width(type), type,
                   minMax ? &values : nullptr);
    }
    int Bytes(const std::vector<u8>& values, const char* type) {
        return Add(values.data(), values.size(), 5121, values.size() / Width(type), type, nullptr);
    }
    int Shorts(const std::vector<u16>& values) {
        return Add(values.data(), values.size() * 2, 5123, values.size(), "SCALAR", nullptr);
    }

    std::string Json(const std::string& body) const {
        static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string b64;
        for (size_t i = 0; i < m_bytes.size(); i += 3) {
            const u32 n = (u32(m_bytes[i]) << 16) | (i + 1 < m_bytes.size() ? u32(m_bytes[i + 1]) << 8 : 0) |
                          (i + 2 < m_bytes.size() ? u32(m_bytes[i + 2]) : 0);
            b64 += table[(n >> 18) & 63];
            b64 += table[(n >> 12) & 63];
            b64 += i + 1 < m_bytes.size() ? table[(n >> 6) & 63] : '=';
            b64 += i + 2 < m_bytes.size() ? table[n & 63] : '=';
        }
        return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0," + body +
               ",\"buffers\":[{\"byteLength\":" + std::to_string(m_bytes.size()) +
               ",\"uri\":\"data:application/octet-stream;base64," + b64 + "\"}],\"bufferViews\":[" + m_views +
               "],\"accessors\":[" + m_accessors + "]}";
    }

private:
    static size_t Width(const std::string& type) {
        return type == "SCALAR" ? 1 : type == "VEC3" ? 3 : type == "VEC4" ? 4 : type == "MAT4" ? 16 : 2;
    }
    int Add(const void* data, size_t bytes, int componentType, size_t count, const char* type,
            const std::vector<float>* minMax) {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
        const size_t offset = m_bytes.size();
        m_bytes.resize(offset + bytes);
        std::memcpy(m_bytes.data() + offset, data, bytes);
        const int index = m_count++;
        if (index) m_views += ",", m_accessors += ",";
        m_views +=
            "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) + ",\"byteLength\":" + std::to_string(bytes) + "}";
        m_accessors += "{\"bufferView\":" + std::to_string(index) +
                       ",\"componentType\":" + std::to_string(componentType) + ",\"count\":" + std::to_string(count) +
                       ",\"type\":\"" + type + "\"";
        if (minMax) {
            float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
            for (size_t i = 0; i < minMax->size(); ++i) {
                low[i % 3] = std::min(low[i % 3], (*minMax)[i]), high[i % 3] = std::max(high[i % 3], (*minMax)[i]);
            }
            m_accessors += ",\"min\":[" + std::to_string(low[0]) + "," + std::to_string(low[1]) + "," +
                           std::to_string(low[2]) + "],\"max\":[" + std::to_string(high[0]) + "," +
                           std::to_string(high[1]) + "," + std::to_string(high[2]) + "]";
        }
        m_accessors += "}";
        return index;
    }

    std::vector<u8> m_bytes;
    std::string m_views, m_accessors;
    int m_count = 0;
};

// The armature (translation (0, 1, 0), scale 2) holds Root; Root holds Arm
// (1 up); Arm holds Tip (1 up), which no vertex is weighted to. The strip
// in the plane z = 0.2 has rows at y = 1 (Root), 3 (half each) and 5 (Arm),
// front faces counter-clockwise towards +z. Root moves along x with keys at
// 0, 0.5 and 2 s; Arm turns 90 degrees about x with keys at 0 and 1 s.
std::string SkinnedStripGltf() {
    GltfData data;
    const int position = data.Floats(
        {-0.5f, 1, 0.2f, 0.5f, 1, 0.2f, -0.5f, 3, 0.2f, 0.5f, 3, 0.2f, -0.5f, 5, 0.2f, 0.5f, 5, 0.2f}, "VEC3", true);
    const int normal = data.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
    const int joints = data.Bytes({0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
    const int weights =
        data.Floats({1, 0, 0, 0, 1, 0, 0, 0, .5f, .5f, 0, 0, .5f, .5f, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
    const int indices = data.Shorts({0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4});
    // Inverses of the bones' bind poses, translate(0, y, 0) * scale 2, column by column.
    const int ibm = data.Floats({.5f, 0, 0, 0, 0, .5f, 0, 0, 0, 0, .5f, 0, 0, -.5f,  0, 1,  //
                                 .5f, 0, 0, 0, 0, .5f, 0, 0, 0, 0, .5f, 0, 0, -1.5f, 0, 1},
                                "MAT4");
    const int rootTimes = data.Floats({0, 0.5f, 2}, "SCALAR", false);
    const int rootMoves = data.Floats({0, 0, 0, 0.5f, 0, 0, 0, 0, 0}, "VEC3");
    const int armTimes = data.Floats({0, 1}, "SCALAR");
    const float h = std::sqrt(0.5f);
    const int armTurns = data.Floats({0, 0, 0, 1, h, 0, 0, h}, "VEC4");
    auto n = [](int i) { return std::to_string(i); };
    return data.Json(
        "\"scenes\":[{\"nodes\":[0,4]}],"
        "\"nodes\":[{\"name\":\"Armature\",\"translation\":[0,1,0],\"scale\":[2,2,2],\"children\":[1]},"
        "{\"name\":\"Root\",\"children\":[2]},{\"name\":\"Arm\",\"translation\":[0,1,0],\"children\":[3]},"
        "{\"name\":\"Tip\",\"translation\":[0,1,0]},{\"name\":\"Strip\",\"mesh\":0,\"skin\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
        n(position) + ",\"NORMAL\":" + n(normal) + ",\"JOINTS_0\":" + n(joints) + ",\"WEIGHTS_0\":" + n(weights) +
        "},\"indices\":" + n(indices) +
        "}]}],"
        "\"skins\":[{\"joints\":[1,2],\"inverseBindMatrices\":" +
        n(ibm) +
        "}],"
        "\"animations\":[{\"samplers\":[{\"input\":" +
        n(rootTimes) + ",\"output\":" + n(rootMoves) + "},{\"input\":" + n(armTimes) + ",\"output\":" + n(armTurns) +
        "}],"
        "\"channels\":[{\"sampler\":0,\"target\":{\"node\":1,\"path\":\"translation\"}},"
        "{\"sampler\":1,\"target\":{\"node\":2,\"path\":\"rotation\"}}]}]");
}

// Vertex i of the read-back mesh skinned at time t (a negative t: the bind pose).
Vec3 Skinned(const ModelData& model, u32 i, float t) {
    Animation clip{model.animation->duration, 1.0f, model.animation->tracks};
    AnimationController controller;
    controller.SetSkeleton(model.skeleton.get());
    controller.SetAnimation(&clip);
    controller.SetPlaying(t >= 0.0f ? 1 : 0);
    controller.SetTime(std::max(t, 0.0f));
    controller.UpdatePose();
    const ModelVertexRecord v = model.mesh->GetVertex(i);
    Vec3 out;
    for (int k = 0; k < 4; ++k) {
        const Matrix4 skin =
            model.skeleton->bones[v.bones[k]].inverseBindMatrix * controller.GetPoses()[v.bones[k]].matrix;
        const Vec4 p = Vec4(v.position, 1.0f) * skin;
        out = Vec3(out.x + p.x * v.weights[k], out.y + p.y * v.weights[k], out.z + p.z * v.weights[k]);
    }
    return out;
}

// The converted vertex whose bind position is nearest to p.
u32 VertexAt(const ModelData& model, const Vec3& p) {
    u32 best = 0;
    float bestDistance = 1e30f;
    for (u32 i = 0; i < model.mesh->vertexCount; ++i) {
        const Vec3 q = model.mesh->GetVertex(i).position;
        const float d = (q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z);
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

#define EXPECT_VEC_NEAR(a, ex, ey, ez)    \
    do {                                  \
        const Vec3 got_ = (a);            \
        EXPECT_NEAR(got_.x, (ex), 1e-4f); \
        EXPECT_NEAR(got_.y, (ey), 1e-4f); \
        EXPECT_NEAR(got_.z, (ez), 1e-4f); \
    } while (0)

ModelData ReadBack(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ModelTest::ReadModelBytes(bytes, file.string());
}

TEST(SkinnedConversion, SkeletonClipAndWeightsSkinTheStripAsTheSourceMovesIt) {
    const fs::path folder = fs::path(LV_TEST_TMP) / ("skinned-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "strip.gltf") << SkinnedStripGltf();
    const ConvertResult result =
        ConvertModelFile((folder / "strip.gltf").string(), (folder / "strip.bin").string(), {});
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_NE(result.message.find("3 bones"), std::string::npos) << result.message;
    const ModelData model = ReadBack(folder / "strip.bin");
    ASSERT_TRUE(model.mesh && model.skeleton && model.animation);
    EXPECT_EQ(model.mesh->format, kModelSkinnedFormat);
    EXPECT_EQ(model.mesh->vertexCount, 6u);
    EXPECT_EQ(model.mesh->indexCount, 12u);

    // Parents first, the unweighted end bone kept, the armature left out.
    ASSERT_EQ(model.skeleton->bones.size(), 3u);
    EXPECT_EQ(model.skeleton->bones[0].name, "Root");
    EXPECT_EQ(model.skeleton->bones[0].parent, kNoParentBone);
    EXPECT_EQ(model.skeleton->bones[1].name, "Arm");
    EXPECT_EQ(model.skeleton->bones[1].parent, 0u);
    EXPECT_EQ(model.skeleton->bones[2].name, "Tip");
    EXPECT_EQ(model.skeleton->bones[2].parent, 1u);

    // One track per bone on the shared times 0, 0.5, 1 and 2.
    EXPECT_FLOAT_EQ(model.animation->duration, 2.0f);
    ASSERT_EQ(model.animation->tracks.size(), 3u);
    for (const AnimationTrack& track : model.animation->tracks) {
        ASSERT_EQ(track.size(), 4u);
        EXPECT_FLOAT_EQ(track[1].time, 0.5f);
        EXPECT_FLOAT_EQ(track[2].time, 1.0f);
    }

    // Left-handed: z mirrored; weights as given, summing to 1.
    const u32 bottom = VertexAt(model, Vec3(-0.5f, 1, -0.2f));
    const u32 middle = VertexAt(model, Vec3(0.5f, 3, -0.2f));
    const u32 top = VertexAt(model, Vec3(0.5f, 5, -0.2f));
    EXPECT_VEC_NEAR(model.mesh->GetVertex(top).position, 0.5f, 5, -0.2f);
    EXPECT_VEC_NEAR(model.mesh->GetVertex(top).normal, 0, 0, -1);
    const ModelVertexRecord mid = model.mesh->GetVertex(middle);
    EXPECT_FLOAT_EQ(mid.weights[0] + mid.weights[1], 1.0f);
    EXPECT_FLOAT_EQ(mid.weights[0], 0.5f);
    EXPECT_EQ(mid.bones[0] + mid.bones[1], 1);  // Root and Arm

    // Bind pose and time 0 leave the strip where it is; at 1 s Root has gone
    // 1/3 along x (times the armature's 2) and Arm has turned up the top row.
    for (u32 i = 0; i < 6; ++i) {
        const Vec3 p = model.mesh->GetVertex(i).position;
        EXPECT_VEC_NEAR(Skinned(model, i, -1.0f), p.x, p.y, p.z);
        EXPECT_VEC_NEAR(Skinned(model, i, 0.0f), p.x, p.y, p.z);
    }
    EXPECT_VEC_NEAR(Skinned(model, bottom, 1.0f), -0.5f + 2.0f / 3.0f, 1, -0.2f);
    EXPECT_VEC_NEAR(Skinned(model, top, 1.0f), 0.5f + 2.0f / 3.0f, 2.8f, -2.0f);

    // "-s": the bind pose's largest extent (4, along y) becomes 2, and the
    // animated strip shrinks with it.
    const ConvertResult scaled =
        ConvertModelFile((folder / "strip.gltf").string(), (folder / "scaled.bin").string(), {true});
    ASSERT_TRUE(scaled.ok) << scaled.message;
    const ModelData small = ReadBack(folder / "scaled.bin");
    ASSERT_TRUE(small.mesh && small.skeleton && small.animation);
    EXPECT_VEC_NEAR(Skinned(small, VertexAt(small, Vec3(0.25f, 2.5f, -0.1f)), 1.0f), 0.25f + 1.0f / 3.0f, 1.4f, -1.0f);
    fs::remove_all(folder);
}

// A chain of bones, the first one weighted, its root moved by a clip of
// keyCount keys; a hidden chain ends in a bone scaled to nothing.
std::string BoneChainGltf(int bones, int keyCount, bool hidden) {
    GltfData data;
    const int position = data.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", true);
    const int joints = data.Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC4");
    const int weights = data.Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
    const int ibm = data.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "MAT4");
    std::vector<float> times, moves;
    for (int k = 0; k < keyCount; ++k)
        times.push_back(float(k) * 0.01f), moves.insert(moves.end(), {float(k % 7), 0, 0});
    const int input = data.Floats(times, "SCALAR");
    const int output = data.Floats(moves, "VEC3");
    std::string nodes = "{\"name\":\"Mesh\",\"mesh\":0,\"skin\":0}";
    for (int i = 1; i <= bones; ++i) {
        nodes += ",{\"name\":\"B" + std::to_string(i) + "\"" +
                 (i < bones ? ",\"children\":[" + std::to_string(i + 1) + "]"
                  : hidden  ? ",\"scale\":[0,0,0]"
                            : "") +
                 "}";
    }
    return data.Json("\"scenes\":[{\"nodes\":[0,1]}],\"nodes\":[" + nodes +
                     "],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                     ",\"JOINTS_0\":" + std::to_string(joints) + ",\"WEIGHTS_0\":" + std::to_string(weights) +
                     "}}]}],\"skins\":[{\"joints\":[1],\"inverseBindMatrices\":" + std::to_string(ibm) + "}]," +
                     "\"animations\":[{\"samplers\":[{\"input\":" + std::to_string(input) +
                     ",\"output\":" + std::to_string(output) +
                     "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":1,\"path\":\"translation\"}}]}]");
}

TEST(SkinnedConversion, TooManyBonesOrKeysAreRefusedWithoutAFile) {
    const fs::path folder = fs::path(LV_TEST_TMP) / ("bones-" + std::to_string(getpid()));
    fs::create_directories(folder);
    struct Case {
        int bones, keys;
        const char* why;
        bool hidden;
    };
    // 256 bones pass, also with a bone scaled to nothing; 257 do not. 200
    // bones x 21,000 key times are over 2^22 keys.
    for (const Case& c : {Case{256, 2, nullptr, false}, Case{3, 2, nullptr, true}, Case{257, 2, "257 bones", false},
                          Case{200, 21000, "21000 key times for 200 bones", false}}) {
        SCOPED_TRACE(c.bones);
        std::ofstream(folder / "chain.gltf") << BoneChainGltf(c.bones, c.keys, c.hidden);
        const ConvertResult result =
            ConvertModelFile((folder / "chain.gltf").string(), (folder / "chain.bin").string(), {});
        EXPECT_EQ(result.ok, c.why == nullptr) << result.message;
        if (c.why) {
            EXPECT_NE(result.message.find(c.why), std::string::npos) << result.message;
        }
        EXPECT_EQ(fs::exists(folder / "chain.bin"), c.why == nullptr);
        fs::remove(folder / "chain.bin");
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace Ostrel
