#pragma once
// Model files (".bin"): a chunk container whose top chunk 'dpm2' is followed,
// up to the end of the file, by sub-chunks: 'mesh' (one mesh), 'skel' (a
// skeleton) and 'anim' (a clip); any other sub-chunk is skipped by its size.
// All numbers are little-endian; ids are four-character codes whose first
// character is the most significant byte, so the file shows them reversed
// ("2mpd", "hsem", "leks", "mina"). The top chunk's size is not used.
//
// 'mesh': u32 format (0 static, 1 skinned); u32 indexCount, then indexCount
//   u32 indices (a triangle list; only the low 16 bits are used); u32
//   vertexCount, then records of 32 bytes (format 0: position f32x3, normal
//   f32x3, uv f32x2) or 52 bytes (format 1: the same, then weights f32x4 at
//   32 and bone indices u8x4 at 48).
// 'skel': u32 boneCount, then per bone: u8 name length and the name, u32
//   parent (0xFFFFFFFF for a root), bind translation f32x3 and rotation
//   f32x4 (x, y, z, w) in model space, then the inverse pair.
// 'anim': f32 duration, u32 trackCount (track i animates bone i), then per
//   track u32 keyCount and keys of 32 bytes: time, translation f32x3,
//   rotation f32x4, local to the parent, times increasing.
//
// Reading checks everything against the bytes that are really there: each
// chunk must lie within the file, each field within its chunk, counts are
// checked against the bytes left before anything is allocated, formats,
// indices and parents must be in range, a known chunk's fields must fill it
// exactly, poses and keys must be finite with rotations of non-zero length,
// and a skinned mesh's bone indices must name bones of the file's skeleton. A
// chunk that fails is logged with the file's name and the reason and left
// out; the other chunks of the file still load. A chunk whose size runs past
// the file ends the walk; a 'dpm2' size larger than the file (a file cut at a
// chunk boundary) is logged.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/graphics/animation/Animation.h"
#include "engine/graphics/animation/Skeleton.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class IChunkReader;

inline constexpr u32 kModelFileChunk = FourCC("dpm2");
inline constexpr u32 kModelMeshChunk = FourCC("mesh");
inline constexpr u32 kModelSkeletonChunk = FourCC("skel");
inline constexpr u32 kModelAnimationChunk = FourCC("anim");

inline constexpr u32 kModelStaticFormat = 0;
inline constexpr u32 kModelSkinnedFormat = 1;
inline constexpr u32 kModelStaticStride = 32;
inline constexpr u32 kModelSkinnedStride = 52;
// 16-bit indices address at most this many vertices.
inline constexpr u32 kModelMaxVertices = 65536;
// A vertex names its bones with one byte each, so skinning can use at most
// this many bones; the reader and the model writer refuse larger skeletons.
inline constexpr u32 kModelMaxBones = 256;
// Bytes of a bone record without its name, and of one key.
inline constexpr u32 kModelBoneRecordBytes = 61;
inline constexpr u32 kModelKeyBytes = 32;

// The parts of a model file, as masks for ReloadGeometryResource.
inline constexpr u32 kModelPartMesh = 1;
inline constexpr u32 kModelPartAnimation = 2;
inline constexpr u32 kModelPartSkeleton = 4;

// One vertex record as the file stores it.
struct ModelVertexRecord {
    Vec3 position;
    Vec3 normal;
    float u = 0.0f;
    float v = 0.0f;
    float weights[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // skinned records only
    u8 bones[4] = {0, 0, 0, 0};
};

struct ModelMeshData {
    std::vector<u8> vertices;  // vertexCount records of stride bytes
    u32 format = kModelStaticFormat;
    u32 stride = kModelStaticStride;
    std::vector<u32> indices;
    u32 vertexCount = 0;
    u32 indexCount = 0;

    // Index i truncated to 16 bits (70000 reads as 4464).
    u16 GetIndex(u32 i) const { return u16(indices[i] & 0xFFFF); }
    // Vertex i decoded; i must be below vertexCount.
    ModelVertexRecord GetVertex(u32 i) const;
};

struct ModelData {
    std::unique_ptr<ModelMeshData> mesh;
    std::unique_ptr<Skeleton> skeleton;  // linked
    std::unique_ptr<ModelAnimationData> animation;

    // Reads a whole model file from the reader's start. source names the file
    // in log lines. A reader that does not start with a 'dpm2' chunk leaves
    // everything empty. A second chunk of a kind replaces the first.
    void Read(IChunkReader& reader, const std::string& source = "(model)");
    // The mask of the parts present.
    u32 Parts() const;
};

// Each reads the chunk at the reader's position when its id matches and
// answers true; otherwise (another id, or a malformed chunk) it answers false
// with the reason in why and leaves target unchanged. The reader is then
// somewhere inside the chunk: callers move on with SkipChunk.
bool ReadModelMeshChunk(ModelMeshData& target, IChunkReader& reader, std::string& why);
bool ReadSkeletonChunk(Skeleton& target, IChunkReader& reader, std::string& why);
bool ReadAnimationChunk(ModelAnimationData& target, IChunkReader& reader, std::string& why);

}  // namespace Ostrel
