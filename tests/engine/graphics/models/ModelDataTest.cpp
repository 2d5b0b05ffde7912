#include "engine/graphics/models/ModelData.h"

#include "tests/engine/graphics/models/ModelTestSupport.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "tools/model-writer/SampleModels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace Ostrel {
namespace {

using ModelTest::LogCapture;
using ModelTest::ReadModelBytes;

void Patch(std::vector<u8>& bytes, std::size_t offset, u32 value) {
    for (int i = 0; i < 4; ++i) bytes[offset + std::size_t(i)] = u8(value >> (8 * i));
}

std::vector<u8> Chunk(u32 id, const std::vector<u8>& payload) {
    std::vector<u8> out;
    AppendChunk(out, id, payload);
    return out;
}

std::vector<u8> Join(std::initializer_list<std::vector<u8>> parts) {
    std::vector<u8> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

void ExpectClipEqual(const ModelAnimationData& expected, const ModelAnimationData& actual) {
    EXPECT_EQ(expected.duration, actual.duration);
    ASSERT_EQ(expected.tracks.size(), actual.tracks.size());
    for (std::size_t t = 0; t < expected.tracks.size(); ++t) {
        ASSERT_EQ(expected.tracks[t].size(), actual.tracks[t].size());
        for (std::size_t k = 0; k < expected.tracks[t].size(); ++k) {
            EXPECT_EQ(expected.tracks[t][k].time, actual.tracks[t][k].time);
            EXPECT_EQ(expected.tracks[t][k].translation, actual.tracks[t][k].translation);
            EXPECT_EQ(expected.tracks[t][k].rotation, actual.tracks[t][k].rotation);
        }
    }
}

TEST(ModelData, WriterAndReaderRoundTripTheHinge) {
    const WriterModel hinge = MakeHinge();
    const std::vector<u8> bytes = EncodeModel(hinge);
    // Ids are stored byte-reversed: the file starts "2mpd" and the first
    // sub-chunk reads "hsem".
    EXPECT_EQ(0, std::memcmp(bytes.data(), "2mpd", 4));
    EXPECT_EQ(0, std::memcmp(bytes.data() + 8, "hsem", 4));

    LogCapture log;
    const ModelData model = ReadModelBytes(bytes);
    EXPECT_EQ("", log.Text());
    ASSERT_EQ(kModelPartMesh | kModelPartSkeleton | kModelPartAnimation, model.Parts());

    const ModelMeshData& mesh = *model.mesh;
    EXPECT_EQ(kModelSkinnedFormat, mesh.format);
    EXPECT_EQ(kModelSkinnedStride, mesh.stride);
    ASSERT_EQ(hinge.mesh->vertices.size(), mesh.vertexCount);
    EXPECT_EQ(hinge.mesh->indices, mesh.indices);
    for (u32 i = 0; i < mesh.vertexCount; ++i) {
        const ModelVertexRecord& a = hinge.mesh->vertices[i];
        const ModelVertexRecord b = mesh.GetVertex(i);
        EXPECT_EQ(a.position, b.position);
        EXPECT_EQ(a.normal, b.normal);
        EXPECT_EQ(0, std::memcmp(a.weights, b.weights, sizeof a.weights));
        EXPECT_EQ(0, std::memcmp(a.bones, b.bones, sizeof a.bones));
    }

    const Skeleton& skeleton = *model.skeleton;
    ASSERT_EQ(2u, skeleton.bones.size());
    EXPECT_EQ("root", skeleton.bones[0].name);
    EXPECT_EQ("tip", skeleton.bones[1].name);
    EXPECT_EQ(kNoParentBone, skeleton.bones[0].parent);
    EXPECT_EQ(0u, skeleton.bones[1].parent);
    EXPECT_EQ(Vec3(0, 1, 0), skeleton.bones[1].bindTranslation);
    EXPECT_EQ(Vec3(0, -1, 0), skeleton.bones[1].inverseBindTranslation);
    for (const Bone& bone : skeleton.bones)
        EXPECT_TRUE((bone.inverseBindMatrix * bone.bindMatrix).NearlyEqual(Matrix4::Identity()));
    ASSERT_EQ(1u, skeleton.roots.size());
    EXPECT_EQ(&skeleton.bones[0], skeleton.roots[0]);
    ASSERT_EQ(1u, skeleton.bones[0].children.size());
    EXPECT_EQ(&skeleton.bones[1], skeleton.bones[0].children[0]);

    ExpectClipEqual(*hinge.clip, *model.animation);
}

// Bind poses are stored in model space: a three-bone chain bent at every
// joint stores the composed transforms, and each inverse undoes its bind.
TEST(ModelData, BindPosesAreModelSpaceAndInversesAreExact) {
    std::vector<WriterBone> bones;
    const Quaternion bend = Quaternion::FromAxisAngle({0, 0, 1}, 0.5f);
    bones.push_back(BoneFromLocal("a", kNoParentBone, {{1, 0, 0}, bend}, bones));
    bones.push_back(BoneFromLocal("b", 0, {{0, 2, 0}, bend}, bones));
    bones.push_back(BoneFromLocal("c", 1, {{0, 2, 0}, bend}, bones));
    WriterModel writer;
    writer.skeleton = bones;
    const ModelData model = ReadModelBytes(EncodeModel(writer));
    ASSERT_TRUE(model.skeleton);
    const std::vector<Bone>& read = model.skeleton->bones;
    // Model-space bind of c = local(c) * local(b) * local(a).
    const Matrix4 local = QuaternionTranslationToMatrix(bend, {0, 2, 0});
    const Matrix4 expected = local * local * QuaternionTranslationToMatrix(bend, {1, 0, 0});
    EXPECT_TRUE(read[2].bindMatrix.NearlyEqual(expected));
    for (const Bone& bone : read)
        EXPECT_TRUE((bone.inverseBindMatrix * bone.bindMatrix).NearlyEqual(Matrix4::Identity(), 1e-5f));
}

// A character-sized chain: any number of bones, clips written as separate
// clip-only files. Clip keys are local: composing the first keys of every
// bone down the chain (model = local * parent) gives back the model-space
// bind poses the skeleton stores.
TEST(ModelData, LongChainsRoundTripAndTheirRestKeysComposeToTheBindPoses) {
    constexpr u32 kBones = 120;
    WriterModel chain = MakeSkinnedChain(kBones, 0.5f, 0.25f, {"hip"});
    ASSERT_EQ("", CheckModel(chain));
    std::vector<u32> all(kBones);
    for (u32 i = 0; i < kBones; ++i) all[i] = i;
    WriterModel walk, wave;
    walk.clip = MakeSwingClip(kBones, 1.0f, 0.25f, all, {0.0f, 10.0f, 0.0f});
    wave.clip = MakeSwingClip(kBones, 3.0f, 0.25f, {5, 9}, {0.0f, -20.0f, 20.0f, 0.0f});
    ASSERT_EQ("", CheckModel(walk));

    const ModelData model = ReadModelBytes(EncodeModel(chain));
    ASSERT_EQ(kModelPartMesh | kModelPartSkeleton, model.Parts());
    const std::vector<Bone>& bones = model.skeleton->bones;
    ASSERT_EQ(kBones, bones.size());
    EXPECT_EQ("hip", bones[0].name);
    EXPECT_EQ("bone119", bones[119].name);
    const ModelData walkRead = ReadModelBytes(EncodeModel(walk));
    ASSERT_TRUE(walkRead.animation);
    ExpectClipEqual(*walk.clip, *walkRead.animation);
    ExpectClipEqual(*wave.clip, *ReadModelBytes(EncodeModel(wave)).animation);

    std::vector<Matrix4> pose(kBones);
    for (u32 i = 0; i < kBones; ++i) {
        const AnimationKey& key = walkRead.animation->tracks[i][0];
        const Matrix4 local = QuaternionTranslationToMatrix(key.rotation, key.translation);
        pose[i] = bones[i].parent == kNoParentBone ? local : local * pose[bones[i].parent];
        ASSERT_TRUE(pose[i].NearlyEqual(bones[i].bindMatrix, 1e-4f)) << "bone " << i;
    }
}

TEST(ModelData, SkinnedAndStaticMeshesGetTheirFlagsStridesAndColours) {
    Mesh skinned;
    const ModelData hinge = ReadModelBytes(EncodeModel(MakeHinge()));
    BuildMeshFromModelData(&skinned, hinge.mesh.get());
    EXPECT_TRUE(skinned.IsSkinned());
    EXPECT_EQ(56u, kSkinnedVertexStride);
    for (const Vertex& v : skinned.GetVertices()) EXPECT_EQ(PackColor(1, 1, 1, 1), v.color);
    EXPECT_EQ(hinge.mesh->indexCount, skinned.GetIndexCount());

    Mesh crate;
    const ModelData box = ReadModelBytes(EncodeModel(MakeCrate()));
    BuildMeshFromModelData(&crate, box.mesh.get());
    EXPECT_FALSE(crate.IsSkinned());
    EXPECT_EQ(24u, crate.GetVertexCount());
    EXPECT_EQ(36u, crate.GetIndexCount());
    for (const Vertex& v : crate.GetVertices()) EXPECT_EQ(PackColor(255, 255, 0, 50), v.color);
}

TEST(ModelData, IndicesUseTheirLowSixteenBitsAndIncompleteTrianglesAreLeftOut) {
    WriterMesh big;
    big.vertices.resize(4465);
    big.indices = {0, 1, 4464};
    std::vector<u8> payload = EncodeMeshPayload(big);
    Patch(payload, 8 + 2 * 4, 70000);  // the third index
    const ModelData model = ReadModelBytes(WrapModelFile(Chunk(kModelMeshChunk, payload)));
    ASSERT_TRUE(model.mesh);
    EXPECT_EQ(4464, model.mesh->GetIndex(2));

    big.indices = {0, 1, 2, 3};
    LogCapture log;
    const ModelData four = ReadModelBytes(WrapModelFile(Chunk(kModelMeshChunk, EncodeMeshPayload(big))));
    ASSERT_TRUE(four.mesh);
    EXPECT_NE(std::string::npos, log.Text().find("test.bin: 4 indices are not whole triangles"));
    Mesh mesh;
    BuildMeshFromModelData(&mesh, four.mesh.get());
    EXPECT_EQ(3u, mesh.GetIndexCount());
}

TEST(ModelData, UnknownChunksAreSkippedAndALaterChunkOfAKindReplacesTheFirst) {
    const WriterModel hinge = MakeHinge();
    const std::vector<u8> mesh = Chunk(kModelMeshChunk, EncodeMeshPayload(*hinge.mesh));
    const std::vector<u8> skel = Chunk(kModelSkeletonChunk, EncodeSkeletonPayload(*hinge.skeleton));
    const std::vector<u8> unknown = Chunk(FourCC("zzzz"), std::vector<u8>(13, 0xAB));
    const ModelData model = ReadModelBytes(WrapModelFile(Join({mesh, unknown, skel})));
    EXPECT_EQ(kModelPartMesh | kModelPartSkeleton, model.Parts());

    const std::vector<u8> crate = Chunk(kModelMeshChunk, EncodeMeshPayload(*MakeCrate().mesh));
    const ModelData twice = ReadModelBytes(WrapModelFile(Join({mesh, crate})));
    ASSERT_TRUE(twice.mesh);
    EXPECT_EQ(kModelStaticFormat, twice.mesh->format);
}

TEST(ModelData, AParentListedAfterItsChildLoadsWithANote) {
    WriterModel model;
    model.skeleton = std::vector<WriterBone>{{"child", 1, {}}, {"parent", kNoParentBone, {}}};
    LogCapture log;
    const ModelData read = ReadModelBytes(WrapModelFile(Chunk(kModelSkeletonChunk, EncodeSkeletonPayload(*model.skeleton))));
    ASSERT_TRUE(read.skeleton);
    ASSERT_EQ(1u, read.skeleton->roots.size());
    EXPECT_EQ(&read.skeleton->bones[1], read.skeleton->roots[0]);
    EXPECT_NE(std::string::npos, log.Text().find("bone 0 'child' comes before its parent 1"));
    EXPECT_NE("", CheckModel(model));  // the writer never makes such a file
}

TEST(ModelData, AFileThatIsNoModelLoadsNothing) {
    LogCapture log;
    EXPECT_EQ(0u, ReadModelBytes({}).Parts());
    EXPECT_EQ(0u, ReadModelBytes(Chunk(FourCC("RIFF"), {1, 2, 3})).Parts());
    EXPECT_NE(std::string::npos, log.Text().find("model file test.bin: does not start with a 'dpm2' chunk"));
}

// A malformed chunk is logged with the file's name and the reason and left
// out, and the sound chunk beside it still loads.
struct MalformedCase {
    const char* name;
    std::vector<u8> subChunks;
    u32 parts;
    std::string reason;
};

std::vector<MalformedCase> MalformedCases() {
    const WriterModel hinge = MakeHinge();
    const std::vector<u8> meshPayload = EncodeMeshPayload(*hinge.mesh);
    const std::vector<u8> skelPayload = EncodeSkeletonPayload(*hinge.skeleton);
    const std::vector<u8> animPayload = EncodeAnimationPayload(*hinge.clip);
    const std::vector<u8> mesh = Chunk(kModelMeshChunk, meshPayload);
    const std::vector<u8> skel = Chunk(kModelSkeletonChunk, skelPayload);
    const u32 indexCount = u32(hinge.mesh->indices.size());
    const std::size_t vertexCountAt = 8 + 4 * std::size_t(indexCount);
    const std::size_t tipParentAt = 4 + (61 + 4) + 1 + 3;  // after "root" and the name "tip"
    const std::size_t tipKeysAt = 8 + 4 + 32;             // track 1's key count

    auto badMesh = [&](std::size_t at, u32 value) {
        std::vector<u8> p = meshPayload;
        Patch(p, at, value);
        return Join({Chunk(kModelMeshChunk, p), skel});
    };
    auto badSkel = [&](std::size_t at, u32 value) {
        std::vector<u8> p = skelPayload;
        Patch(p, at, value);
        return Join({Chunk(kModelSkeletonChunk, p), mesh});
    };
    auto badAnim = [&](std::size_t at, u32 value) {
        std::vector<u8> p = animPayload;
        Patch(p, at, value);
        return Join({Chunk(kModelAnimationChunk, p), skel});
    };
    // The mesh claims one vertex more than it holds; the file goes on with a
    // skeleton chunk, so only the chunk's own end can catch it.
    std::vector<u8> shortMesh = meshPayload;
    Patch(shortMesh, vertexCountAt, u32(hinge.mesh->vertices.size() + 1));
    std::vector<u8> wrapping = Chunk(FourCC("zzzz"), {});
    Patch(wrapping, 4, 0xFFFFFFF8u);
    std::vector<u8> lateTimes = animPayload;
    Patch(lateTimes, tipKeysAt + 4 + 64, 0);  // key 2 back at time 0, after 0.5
    const std::string vertices = std::to_string(hinge.mesh->vertices.size());
    const std::size_t meshLeft = meshPayload.size() - vertexCountAt - 4;
    const std::string shortReason = "vertex count " + std::to_string(hinge.mesh->vertices.size() + 1) +
                                    " needs " + std::to_string(meshLeft + 52) + " bytes, only " +
                                    std::to_string(meshLeft) + " left in the chunk";
    const std::string wrapAt = std::to_string(8 + mesh.size());
    constexpr u32 kNaN = 0x7FC00000u;
    constexpr u32 kInfinity = 0x7F800000u;
    auto patched = [](std::vector<u8> payload, std::initializer_list<std::pair<std::size_t, u32>> patches) {
        for (const auto& [at, value] : patches) Patch(payload, at, value);
        return payload;
    };
    // Bone 0 "root": name at 4, parent at 9, bind translation at 13, bind
    // rotation at 25. Key 0 of track 0: translation at 16, rotation at 28.
    const std::vector<u8> zeroBind = patched(skelPayload, {{25, 0}, {29, 0}, {33, 0}, {37, 0}});
    const std::vector<u8> zeroKey = patched(animPayload, {{28, 0}, {32, 0}, {36, 0}, {40, 0}});
    const std::size_t firstBonesAt = vertexCountAt + 4 + 48;

    return {
        {"format 7", badMesh(0, 7), kModelPartSkeleton, "format 7 is neither 0 (static) nor 1 (skinned)"},
        {"huge index count", badMesh(4, 0xFFFFFFFFu), kModelPartSkeleton, "index count 4294967295 needs"},
        {"huge vertex count", badMesh(vertexCountAt, 0x40000000u), kModelPartSkeleton,
         "vertex count 1073741824 is above 65536"},
        {"index beyond the vertices", badMesh(8, 70000 + 65536), kModelPartSkeleton, "is beyond the " + vertices + " vertices"},
        {"vertices past the chunk's end", Join({Chunk(kModelMeshChunk, shortMesh), skel}), kModelPartSkeleton,
         shortReason},
        {"huge bone count", badSkel(0, 0xFFFFFFFFu), kModelPartMesh, "bone count 4294967295 is above 256"},
        {"bone count past the chunk", badSkel(0, 200), kModelPartMesh, "bone count 200 needs"},
        {"parent out of range", badSkel(tipParentAt, 5), kModelPartMesh, "bone 1 'tip' has parent 5, beyond the 2 bones"},
        {"parents in a loop", badSkel(4 + 1 + 4, 1), kModelPartMesh, "the parents of bone 0 'root' form a loop"},
        {"name past the chunk's end", badSkel(4, 0xFF), kModelPartMesh, "truncated in bone 0"},
        {"zero-key track", badAnim(8, 0), kModelPartSkeleton, "track 0 has no keys"},
        {"huge key count", badAnim(tipKeysAt, 0x40000000u), kModelPartSkeleton, "track 1: key count 1073741824 needs"},
        {"huge track count", badAnim(4, 0xFFFFFFFFu), kModelPartSkeleton, "track count 4294967295 needs"},
        {"times going back", Join({Chunk(kModelAnimationChunk, lateTimes), skel}), kModelPartSkeleton,
         "track 1: key 2 has time 0, not after the previous key"},
        {"NaN bind translation", badSkel(13, kNaN), kModelPartMesh, "bone 0 'root': a bind translation is not finite"},
        {"infinite inverse bind rotation", badSkel(4 + 1 + 4 + 4 + 12 + 16 + 12, kInfinity), kModelPartMesh,
         "bone 0 'root': a bind rotation is not finite or has zero length"},
        {"zero bind rotation", Join({Chunk(kModelSkeletonChunk, zeroBind), mesh}), kModelPartMesh,
         "bone 0 'root': a bind rotation is not finite or has zero length"},
        {"too many bones", badSkel(0, 300), kModelPartMesh, "bone count 300 is above 256"},
        {"infinite key translation", badAnim(16, kInfinity), kModelPartSkeleton,
         "track 0: key 0 has a translation that is not finite"},
        {"NaN key rotation", badAnim(28, kNaN), kModelPartSkeleton, "track 0: key 0 has a translation"},
        {"zero key rotation", Join({Chunk(kModelAnimationChunk, zeroKey), skel}), kModelPartSkeleton,
         "or has zero length"},
        {"skinned records under format 0", badMesh(0, 0), kModelPartSkeleton,
         "bytes are left over after the fields (format 0 is static: is the mesh skinned?)"},
        {"vertex bone past the skeleton", badMesh(firstBonesAt, 5), kModelPartSkeleton,
         "'mesh' chunk: vertex 0 names bone 5, beyond the skeleton's 2 bones; mesh skipped"},
        {"a chunk size that wraps", Join({mesh, wrapping, skel}), kModelPartMesh,
         "'zzzz' chunk at offset " + wrapAt + ": size 4294967288 runs past the end of the file"},
    };
}

TEST(ModelData, MalformedChunksAreLoggedAndSkippedWhileSoundOnesLoad) {
    for (const MalformedCase& c : MalformedCases()) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const ModelData model = ReadModelBytes(WrapModelFile(c.subChunks), "bad.bin");
        EXPECT_EQ(c.parts, model.Parts());
        EXPECT_NE(std::string::npos, log.Text().find("model file bad.bin: ")) << log.Text();
        EXPECT_NE(std::string::npos, log.Text().find(c.reason)) << log.Text();
    }
}

// Every cut of a sound file loads the chunks that end before the cut and
// logs the one that runs past it.
TEST(ModelData, TruncatedFilesKeepTheChunksBeforeTheCut) {
    const std::vector<u8> full = EncodeModel(MakeHinge());
    const std::size_t meshEnd = 8 + 8 + EncodeMeshPayload(*MakeHinge().mesh).size();
    const std::size_t skelEnd = meshEnd + 8 + EncodeSkeletonPayload(*MakeHinge().skeleton).size();
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        LogCapture log;
        const ModelData model = ReadModelBytes(std::vector<u8>(full.begin(), full.begin() + std::ptrdiff_t(cut)));
        const u32 expected = (cut >= meshEnd ? kModelPartMesh : 0) | (cut >= skelEnd ? kModelPartSkeleton : 0);
        ASSERT_EQ(expected, model.Parts()) << "cut at " << cut;
        // A cut between two chunks is seen from the top chunk's size.
        ASSERT_NE(std::string::npos, log.Text().find("model file test.bin: ")) << "cut at " << cut;
        if (cut == meshEnd || cut == skelEnd) {
            EXPECT_NE(std::string::npos, log.Text().find("the file looks cut short")) << log.Text();
        }
    }
    LogCapture log;
    EXPECT_EQ(7u, ReadModelBytes(full).Parts());
    EXPECT_EQ("", log.Text());
}

// Skeletons are checked in one pass over the bones: a long chain costs its
// length, a loop anywhere in it is found, and a count past what skinning can
// address is refused before the bones are read.
TEST(ModelData, LongBoneChainsAreCheckedOnceAndOverlongSkeletonsRefused) {
    auto chain = [](u32 count, u32 lastParent) {
        std::vector<WriterBone> bones(count);
        for (u32 i = 0; i < count; ++i) bones[i] = {"b" + std::to_string(i), i == 0 ? kNoParentBone : i - 1, {}};
        bones[0].parent = lastParent;
        return WrapModelFile(Chunk(kModelSkeletonChunk, EncodeSkeletonPayload(bones)));
    };
    LogCapture log;
    EXPECT_EQ(kModelPartSkeleton, ReadModelBytes(chain(256, kNoParentBone)).Parts());
    EXPECT_EQ("", log.Text());
    EXPECT_EQ(0u, ReadModelBytes(chain(256, 255)).Parts());
    EXPECT_NE(std::string::npos, log.Text().find("the parents of bone 0 'b0' form a loop")) << log.Text();
    EXPECT_EQ(0u, ReadModelBytes(chain(100000, kNoParentBone), "long.bin").Parts());
    EXPECT_NE(std::string::npos, log.Text().find("model file long.bin: 'skel' chunk at offset 8: bone count 100000 "
                                                 "is above 256"))
        << log.Text();
    // Parents listed after their children: every bone still reaches the root.
    std::vector<WriterBone> reversed(200);
    for (u32 i = 0; i < 200; ++i) reversed[i] = {"r" + std::to_string(i), i == 199 ? kNoParentBone : i + 1, {}};
    EXPECT_EQ(kModelPartSkeleton,
              ReadModelBytes(WrapModelFile(Chunk(kModelSkeletonChunk, EncodeSkeletonPayload(reversed)))).Parts());
    // The writer holds the same limit.
    WriterModel big;
    big.skeleton = std::vector<WriterBone>(257, WriterBone{"x", kNoParentBone, {}});
    EXPECT_EQ("more than 256 bones", CheckModel(big));
    // Nor does it write poses or keys the reader would refuse.
    WriterModel bad;
    bad.skeleton = std::vector<WriterBone>{{"b", kNoParentBone, {}}};
    (*bad.skeleton)[0].bind.rotation = Quaternion(0, 0, 0, 0);
    EXPECT_EQ("bone 0: its bind pose is not finite", CheckModel(bad));
    (*bad.skeleton)[0].bind.rotation = Quaternion();
    bad.clip = ModelAnimationData{1.0f, {{{0.0f, Vec3(std::nanf(""), 0, 0), Quaternion()}}}};
    EXPECT_EQ("track 0: key 0 is not finite", CheckModel(bad));
}

}  // namespace
}  // namespace Ostrel
