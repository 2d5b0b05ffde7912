#include "engine/graphics/models/ModelData.h"

#include "engine/io/IChunkReader.h"
#include "engine/base/Log.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace Ostrel {

namespace {

constexpr int kNoteLevel = 3;

std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// Typed reads from one chunk's payload that never pass the chunk's end nor
// the file's, and that fail on a short read. Every read checks the bytes it
// needs against what is left before it allocates or reads.
class PayloadReader {
public:
    PayloadReader(IChunkReader& reader, const ChunkHeader& header, s64 fileLength)
        : m_reader(reader), m_left(s64(header.size)) {
        m_fits = s64(header.start) + s64(header.size) <= fileLength;
    }

    // False when the chunk's size runs past the end of the file.
    bool Fits() const { return m_fits; }
    s64 Left() const { return m_left; }
    // True when count items of itemBytes each can still be read.
    bool Has(u64 count, u64 itemBytes) const { return count * itemBytes <= u64(m_left); }

    bool U32(u32& value) { return Array(&value, 1); }
    bool F32(float& value) { return Array(&value, 1); }
    bool Vec(Vec3& value) { return F32(value.x) && F32(value.y) && F32(value.z); }
    bool Quat(Quaternion& q) { return F32(q.x) && F32(q.y) && F32(q.z) && F32(q.w); }

    template <typename T>
    bool Array(T* destination, u32 count) {
        if (count == 0) return true;
        if (!Has(count, sizeof(T))) return false;
        m_left -= s64(count) * s64(sizeof(T));
        return m_reader.ReadArray(destination, count) == count;
    }

    bool Name(std::string& name) {
        u8 length = 0;
        if (!Array(&length, 1)) return false;
        name.assign(length, '\0');
        return Array(reinterpret_cast<u8*>(name.data()), length);
    }

private:
    IChunkReader& m_reader;
    s64 m_left;
    bool m_fits = false;
};

// Enters the chunk at the reader's position when its id is expected.
bool EnterChunk(IChunkReader& reader, u32 expected, ChunkHeader& header, std::string& why) {
    header = reader.PeekChunk();
    if (header.id != expected) {
        why = "expected a '" + ChunkIdText(expected) + "' chunk, found '" + ChunkIdText(header.id) + "'";
        return false;
    }
    header = reader.ReadChunk();
    return true;
}

s64 MeasuredLength(IChunkReader& reader) {
    const s32 length = reader.FileLength();
    return length < 0 ? 0 : length;
}

bool ReadIndices(PayloadReader& in, ModelMeshData& mesh, std::string& why) {
    if (!in.U32(mesh.indexCount)) return why = "truncated before the index count", false;
    if (!in.Has(mesh.indexCount, 4)) {
        why = Text("index count %u needs %llu bytes, only %lld left in the chunk", mesh.indexCount,
                   (unsigned long long)mesh.indexCount * 4, (long long)in.Left());
        return false;
    }
    mesh.indices.resize(mesh.indexCount);
    if (!in.Array(mesh.indices.data(), mesh.indexCount)) return why = "truncated in the indices", false;
    return true;
}

bool ReadVertices(PayloadReader& in, ModelMeshData& mesh, std::string& why) {
    if (!in.U32(mesh.vertexCount)) return why = "truncated before the vertex count", false;
    if (mesh.vertexCount > kModelMaxVertices) {
        why = Text("vertex count %u is above %u (16-bit indices)", mesh.vertexCount, kModelMaxVertices);
        return false;
    }
    if (!in.Has(mesh.vertexCount, mesh.stride)) {
        why = Text("vertex count %u needs %llu bytes, only %lld left in the chunk", mesh.vertexCount,
                   (unsigned long long)mesh.vertexCount * mesh.stride, (long long)in.Left());
        return false;
    }
    mesh.vertices.resize(std::size_t(mesh.vertexCount) * mesh.stride);
    if (!in.Array(mesh.vertices.data(), u32(mesh.vertices.size())))
        return why = "truncated in the vertices", false;
    return true;
}

bool CheckIndices(const ModelMeshData& mesh, std::string& why) {
    for (u32 i = 0; i < mesh.indexCount; ++i) {
        if (mesh.GetIndex(i) >= mesh.vertexCount) {
            why = Text("index %u (%u, used as %u) is beyond the %u vertices", i, mesh.indices[i],
                       unsigned(mesh.GetIndex(i)), mesh.vertexCount);
            return false;
        }
    }
    return true;
}

bool ReadBone(PayloadReader& in, Bone& bone) {
    return in.Name(bone.name) && in.U32(bone.parent) && in.Vec(bone.bindTranslation) &&
           in.Quat(bone.bindRotation) && in.Vec(bone.inverseBindTranslation) &&
           in.Quat(bone.inverseBindRotation);
}

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A rotation must be finite and of non-zero length: normalising a zero
// quaternion divides by zero.
bool UsableRotation(const Quaternion& q) {
    if (!(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w))) return false;
    const double length = double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z + double(q.w) * q.w;
    return length > 1e-12 && std::isfinite(length);
}

bool CheckBindPoses(const std::vector<Bone>& bones, std::string& why) {
    for (u32 i = 0; i < u32(bones.size()); ++i) {
        const Bone& bone = bones[i];
        if (!Finite(bone.bindTranslation) || !Finite(bone.inverseBindTranslation)) {
            why = Text("bone %u '%s': a bind translation is not finite", i, bone.name.c_str());
            return false;
        }
        if (!UsableRotation(bone.bindRotation) || !UsableRotation(bone.inverseBindRotation)) {
            why = Text("bone %u '%s': a bind rotation is not finite or has zero length", i, bone.name.c_str());
            return false;
        }
    }
    return true;
}

// Parents must name bones of this skeleton and every chain must reach a
// root: a loop of parents would make any walk down the children endless.
// Each bone is walked once: a walk stops at the first bone already known to
// reach a root, so a long chain costs its length, not its length squared.
bool CheckParents(const std::vector<Bone>& bones, std::string& why) {
    const u32 count = u32(bones.size());
    for (u32 i = 0; i < count; ++i) {
        const u32 parent = bones[i].parent;
        if (parent != kNoParentBone && parent >= count) {
            why = Text("bone %u '%s' has parent %u, beyond the %u bones", i, bones[i].name.c_str(), parent,
                       count);
            return false;
        }
    }
    enum : u8 { kUnvisited, kOnWalk, kReachesRoot };
    std::vector<u8> state(count, kUnvisited);
    std::vector<u32> walk;
    for (u32 i = 0; i < count; ++i) {
        walk.clear();
        u32 at = i;
        while (at != kNoParentBone && state[at] == kUnvisited) {
            state[at] = kOnWalk;
            walk.push_back(at);
            at = bones[at].parent;
        }
        if (at != kNoParentBone && state[at] == kOnWalk) {
            why = Text("the parents of bone %u '%s' form a loop", i, bones[i].name.c_str());
            return false;
        }
        for (const u32 bone : walk) state[bone] = kReachesRoot;
    }
    return true;
}

bool CheckFilled(const PayloadReader& in, const char* hint, std::string& why) {
    if (in.Left() == 0) return true;
    why = Text("%lld bytes are left over after the fields%s", (long long)in.Left(), hint);
    return false;
}

bool ReadTrack(PayloadReader& in, u32 track, AnimationTrack& keys, std::string& why) {
    u32 keyCount = 0;
    if (!in.U32(keyCount)) return why = Text("truncated before the key count of track %u", track), false;
    if (keyCount == 0) return why = Text("track %u has no keys", track), false;
    if (!in.Has(keyCount, kModelKeyBytes)) {
        why = Text("track %u: key count %u needs %llu bytes, only %lld left in the chunk", track, keyCount,
                   (unsigned long long)keyCount * kModelKeyBytes, (long long)in.Left());
        return false;
    }
    keys.resize(keyCount);
    for (u32 k = 0; k < keyCount; ++k) {
        AnimationKey& key = keys[k];
        if (!(in.F32(key.time) && in.Vec(key.translation) && in.Quat(key.rotation)))
            return why = Text("truncated in track %u", track), false;
        const bool ordered = k == 0 ? std::isfinite(key.time) : key.time >= keys[k - 1].time;
        if (!ordered || !std::isfinite(key.time)) {
            why = Text("track %u: key %u has time %g, not after the previous key", track, k, double(key.time));
            return false;
        }
        if (!Finite(key.translation) || !UsableRotation(key.rotation)) {
            why = Text("track %u: key %u has a translation that is not finite or a rotation that is not finite "
                       "or has zero length",
                       track, k);
            return false;
        }
    }
    return true;
}

template <typename T>
T ReadFloatAt(const u8* record, u32 offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

}  // namespace

ModelVertexRecord ModelMeshData::GetVertex(u32 i) const {
    const u8* record = vertices.data() + std::size_t(i) * stride;
    ModelVertexRecord vertex;
    float f[8];
    std::memcpy(f, record, sizeof f);
    vertex.position = {f[0], f[1], f[2]};
    vertex.normal = {f[3], f[4], f[5]};
    vertex.u = f[6];
    vertex.v = f[7];
    if (format == kModelSkinnedFormat) {
        std::memcpy(vertex.weights, record + 32, sizeof vertex.weights);
        std::memcpy(vertex.bones, record + 48, sizeof vertex.bones);
    }
    return vertex;
}

bool ReadModelMeshChunk(ModelMeshData& target, IChunkReader& reader, std::string& why) {
    ChunkHeader header;
    if (!EnterChunk(reader, kModelMeshChunk, header, why)) return false;
    PayloadReader in(reader, header, MeasuredLength(reader));
    if (!in.Fits()) return why = "the chunk runs past the end of the file", false;
    ModelMeshData mesh;
    if (!in.U32(mesh.format)) return why = "truncated before the format", false;
    if (mesh.format != kModelStaticFormat && mesh.format != kModelSkinnedFormat)
        return why = Text("format %u is neither 0 (static) nor 1 (skinned)", mesh.format), false;
    mesh.stride = mesh.format == kModelSkinnedFormat ? kModelSkinnedStride : kModelStaticStride;
    if (!ReadIndices(in, mesh, why) || !ReadVertices(in, mesh, why) || !CheckIndices(mesh, why))
        return false;
    const char* hint = mesh.format == kModelStaticFormat ? " (format 0 is static: is the mesh skinned?)" : "";
    if (!CheckFilled(in, hint, why)) return false;
    target = std::move(mesh);
    return true;
}

bool ReadSkeletonChunk(Skeleton& target, IChunkReader& reader, std::string& why) {
    ChunkHeader header;
    if (!EnterChunk(reader, kModelSkeletonChunk, header, why)) return false;
    PayloadReader in(reader, header, MeasuredLength(reader));
    if (!in.Fits()) return why = "the chunk runs past the end of the file", false;
    u32 boneCount = 0;
    if (!in.U32(boneCount)) return why = "truncated before the bone count", false;
    if (boneCount > kModelMaxBones) {
        why = Text("bone count %u is above %u (a vertex names its bones with one byte)", boneCount, kModelMaxBones);
        return false;
    }
    if (!in.Has(boneCount, kModelBoneRecordBytes)) {
        why = Text("bone count %u needs at least %llu bytes, only %lld left in the chunk", boneCount,
                   (unsigned long long)boneCount * kModelBoneRecordBytes, (long long)in.Left());
        return false;
    }
    Skeleton skeleton;
    skeleton.bones.resize(boneCount);
    for (u32 i = 0; i < boneCount; ++i) {
        if (!ReadBone(in, skeleton.bones[i])) return why = Text("truncated in bone %u", i), false;
    }
    if (!CheckParents(skeleton.bones, why) || !CheckBindPoses(skeleton.bones, why) || !CheckFilled(in, "", why))
        return false;
    LinkBones(skeleton);
    target = std::move(skeleton);
    return true;
}

bool ReadAnimationChunk(ModelAnimationData& target, IChunkReader& reader, std::string& why) {
    ChunkHeader header;
    if (!EnterChunk(reader, kModelAnimationChunk, header, why)) return false;
    PayloadReader in(reader, header, MeasuredLength(reader));
    if (!in.Fits()) return why = "the chunk runs past the end of the file", false;
    ModelAnimationData clip;
    u32 trackCount = 0;
    if (!in.F32(clip.duration) || !in.U32(trackCount)) return why = "truncated before the tracks", false;
    if (!std::isfinite(clip.duration) || clip.duration < 0.0f)
        return why = Text("duration %g is not a time", double(clip.duration)), false;
    if (!in.Has(trackCount, 4 + kModelKeyBytes)) {
        why = Text("track count %u needs at least %llu bytes, only %lld left in the chunk", trackCount,
                   (unsigned long long)trackCount * (4 + kModelKeyBytes), (long long)in.Left());
        return false;
    }
    clip.tracks.resize(trackCount);
    for (u32 t = 0; t < trackCount; ++t) {
        if (!ReadTrack(in, t, clip.tracks[t], why)) return false;
    }
    if (!CheckFilled(in, "", why)) return false;
    target = std::move(clip);
    return true;
}

namespace {

// Reads one known chunk into a fresh part; the part replaces slot only when
// the chunk was sound.
template <typename T, typename ReadFn>
void ReadPart(std::unique_ptr<T>& slot, ReadFn read, IChunkReader& reader, const ChunkHeader& header,
              const std::string& source) {
    auto part = std::make_unique<T>();
    std::string why;
    if (read(*part, reader, why)) {
        slot = std::move(part);
    } else {
        LogMessagef("model file %s: '%s' chunk at offset %d: %s; chunk skipped\n", source.c_str(),
                    ChunkIdText(header.id).c_str(), int(header.start) - 8, why.c_str());
    }
}

// A skinned mesh may only name bones of the file's skeleton: the skinning
// matrices past the skeleton are not set. Checked once both are read.
void CheckMeshBones(ModelData& model, const std::string& source) {
    if (!model.mesh || !model.skeleton || model.mesh->format != kModelSkinnedFormat) return;
    const u32 boneCount = u32(model.skeleton->bones.size());
    for (u32 i = 0; i < model.mesh->vertexCount; ++i) {
        const ModelVertexRecord vertex = model.mesh->GetVertex(i);
        for (const u8 bone : vertex.bones) {
            if (bone < boneCount) continue;
            LogMessagef("model file %s: 'mesh' chunk: vertex %u names bone %u, beyond the skeleton's %u bones; "
                        "mesh skipped\n",
                        source.c_str(), i, unsigned(bone), boneCount);
            model.mesh.reset();
            return;
        }
    }
}

// Posing walks the bones in order and reads each parent's result of the same
// pass, so a parent listed after its child poses that child a frame late.
void LogLateParents(const Skeleton& skeleton, const std::string& source) {
    for (const Bone& bone : skeleton.bones) {
        if (bone.parent != kNoParentBone && bone.parent > bone.index)
            LogMessagef("model file %s: bone %u '%s' comes before its parent %u; its pose lags\n",
                        source.c_str(), bone.index, bone.name.c_str(), bone.parent);
    }
}

}  // namespace

void ModelData::Read(IChunkReader& reader, const std::string& source) {
    const s32 fileLength = reader.FileLength();
    const ChunkHeader top = reader.ReadChunk();
    if (top.id != kModelFileChunk) {
        LogMessagef("model file %s: does not start with a 'dpm2' chunk; nothing loaded\n", source.c_str());
        return;
    }
    s64 at = top.start;  // where the next sub-chunk's header begins
    for (;;) {
        const ChunkHeader header = reader.PeekChunk();
        if (header.id == 0) {
            if (at < fileLength)
                LogMessage("model file " + source + ": " + std::to_string(fileLength - at) +
                               " bytes at offset " + std::to_string(at) + " are no chunk; ignored\n",
                           kNoteLevel);
            break;
        }
        const s64 end = s64(header.start) + s64(header.size);
        if (fileLength < 0 || end > fileLength) {
            LogMessagef("model file %s: '%s' chunk at offset %lld: size %u runs past the end of the file "
                        "(%d bytes); the rest of the file is skipped\n",
                        source.c_str(), ChunkIdText(header.id).c_str(), (long long)at, header.size,
                        int(fileLength));
            break;
        }
        if (header.id == kModelMeshChunk) {
            ReadPart(mesh, ReadModelMeshChunk, reader, header, source);
            if (mesh && mesh->indexCount % 3 != 0)
                LogMessagef("model file %s: %u indices are not whole triangles; the last %u are left out\n",
                            source.c_str(), mesh->indexCount, mesh->indexCount % 3);
        } else if (header.id == kModelSkeletonChunk) {
            ReadPart(skeleton, ReadSkeletonChunk, reader, header, source);
            if (skeleton) LogLateParents(*skeleton, source);
        } else if (header.id == kModelAnimationChunk) {
            ReadPart(animation, ReadAnimationChunk, reader, header, source);
        }
        // Known or not, go on from the chunk's end: identical for sound chunks,
        // and the only safe place after a malformed one. Every step moves on by
        // at least the 8 header bytes, so the walk ends.
        if (!reader.SkipChunk(header)) break;
        at = end;
    }
    // The top chunk's size is otherwise unused, but one larger than the file
    // shows a file cut short, possibly exactly between two chunks.
    if (fileLength >= 0 && s64(top.start) + s64(top.size) > s64(fileLength)) {
        LogMessagef("model file %s: the 'dpm2' chunk declares %u bytes, the file holds %lld after its header; "
                    "the file looks cut short\n",
                    source.c_str(), top.size, (long long)(s64(fileLength) - s64(top.start)));
    }
    CheckMeshBones(*this, source);
}

u32 ModelData::Parts() const {
    return (mesh ? kModelPartMesh : 0) | (animation ? kModelPartAnimation : 0) |
           (skeleton ? kModelPartSkeleton : 0);
}

}  // namespace Ostrel
