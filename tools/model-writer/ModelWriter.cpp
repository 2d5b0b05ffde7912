#include "tools/model-writer/ModelWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace Ostrel {

namespace {

class Bytes {
public:
    explicit Bytes(std::vector<u8>& out) : m_out(out) {}
    void U8(u8 value) { m_out.push_back(value); }
    void U32(u32 value) {
        for (int i = 0; i < 4; ++i) m_out.push_back(u8(value >> (8 * i)));
    }
    void F32(float value) {
        u32 bits;
        std::memcpy(&bits, &value, 4);
        U32(bits);
    }
    void Vec(const Vec3& v) { F32(v.x), F32(v.y), F32(v.z); }
    void Quat(const Quaternion& q) { F32(q.x), F32(q.y), F32(q.z), F32(q.w); }
    void Raw(const std::vector<u8>& bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<u8>& m_out;
};

bool FiniteVec(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// As the reader wants rotations: finite and of non-zero length.
bool UsableRotation(const Quaternion& q) {
    const double length = double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z + double(q.w) * q.w;
    return std::isfinite(length) && length > 1e-12;
}

std::string CheckMesh(const WriterMesh& mesh, u32 boneCount) {
    if (mesh.vertices.size() > kModelMaxVertices) return "more than 65536 vertices";
    if (mesh.indices.size() % 3 != 0) return "the index count is not a multiple of 3";
    for (u32 index : mesh.indices) {
        if (index >= mesh.vertices.size()) return "index " + std::to_string(index) + " is beyond the vertices";
    }
    if (!mesh.skinned) return "";
    for (const ModelVertexRecord& v : mesh.vertices) {
        for (u8 bone : v.bones) {
            if (boneCount > 0 && bone >= boneCount) return "a vertex names bone " + std::to_string(bone);
        }
    }
    return "";
}

std::string CheckSkeleton(const std::vector<WriterBone>& bones) {
    if (bones.size() > kModelMaxBones) return "more than " + std::to_string(kModelMaxBones) + " bones";
    for (u32 i = 0; i < bones.size(); ++i) {
        if (bones[i].name.size() > 255) return "bone " + std::to_string(i) + ": name longer than 255 bytes";
        if (bones[i].parent != kNoParentBone && bones[i].parent >= i)
            return "bone " + std::to_string(i) + ": its parent must come before it";
        if (!FiniteVec(bones[i].bind.translation) || !UsableRotation(bones[i].bind.rotation))
            return "bone " + std::to_string(i) + ": its bind pose is not finite";
    }
    return "";
}

std::string CheckClip(const ModelAnimationData& clip, std::size_t boneCount, bool hasSkeleton) {
    if (!std::isfinite(clip.duration) || clip.duration < 0.0f) return "the clip's duration is not a time";
    if (hasSkeleton && clip.tracks.size() != boneCount) return "the clip needs one track per bone";
    for (std::size_t t = 0; t < clip.tracks.size(); ++t) {
        const AnimationTrack& track = clip.tracks[t];
        if (track.empty()) return "track " + std::to_string(t) + " has no keys";
        for (std::size_t k = 0; k < track.size(); ++k) {
            if (!std::isfinite(track[k].time) || (k > 0 && track[k].time <= track[k - 1].time))
                return "track " + std::to_string(t) + ": key times must increase";
            if (!FiniteVec(track[k].translation) || !UsableRotation(track[k].rotation))
                return "track " + std::to_string(t) + ": key " + std::to_string(k) + " is not finite";
        }
    }
    return "";
}

}  // namespace

WriterBone BoneFromLocal(const std::string& name, u32 parent, const RigidTransform& local,
                         const std::vector<WriterBone>& bones) {
    WriterBone bone{name, parent, local};
    if (parent < bones.size()) bone.bind = local.Then(bones[parent].bind);
    return bone;
}

std::string CheckModel(const WriterModel& model) {
    const u32 boneCount = model.skeleton ? u32(model.skeleton->size()) : 0;
    std::string why;
    if (model.skeleton) why = CheckSkeleton(*model.skeleton);
    if (why.empty() && model.mesh) why = CheckMesh(*model.mesh, boneCount);
    if (why.empty() && model.clip) why = CheckClip(*model.clip, boneCount, model.skeleton.has_value());
    return why;
}

std::vector<u8> EncodeMeshPayload(const WriterMesh& mesh) {
    std::vector<u8> out;
    Bytes bytes(out);
    bytes.U32(mesh.skinned ? kModelSkinnedFormat : kModelStaticFormat);
    bytes.U32(u32(mesh.indices.size()));
    for (u32 index : mesh.indices) bytes.U32(index);
    bytes.U32(u32(mesh.vertices.size()));
    for (const ModelVertexRecord& v : mesh.vertices) {
        bytes.Vec(v.position);
        bytes.Vec(v.normal);
        bytes.F32(v.u);
        bytes.F32(v.v);
        if (!mesh.skinned) continue;
        for (float weight : v.weights) bytes.F32(weight);
        for (u8 bone : v.bones) bytes.U8(bone);
    }
    return out;
}

std::vector<u8> EncodeSkeletonPayload(const std::vector<WriterBone>& bones) {
    std::vector<u8> out;
    Bytes bytes(out);
    bytes.U32(u32(bones.size()));
    for (const WriterBone& bone : bones) {
        const std::size_t length = std::min<std::size_t>(bone.name.size(), 255);
        bytes.U8(u8(length));
        out.insert(out.end(), bone.name.begin(), bone.name.begin() + std::ptrdiff_t(length));
        bytes.U32(bone.parent);
        const RigidTransform inverse = bone.bind.Inverse();
        bytes.Vec(bone.bind.translation);
        bytes.Quat(bone.bind.rotation);
        bytes.Vec(inverse.translation);
        bytes.Quat(inverse.rotation);
    }
    return out;
}

std::vector<u8> EncodeAnimationPayload(const ModelAnimationData& clip) {
    std::vector<u8> out;
    Bytes bytes(out);
    bytes.F32(clip.duration);
    bytes.U32(u32(clip.tracks.size()));
    for (const AnimationTrack& track : clip.tracks) {
        bytes.U32(u32(track.size()));
        for (const AnimationKey& key : track) {
            bytes.F32(key.time);
            bytes.Vec(key.translation);
            bytes.Quat(key.rotation);
        }
    }
    return out;
}

void AppendChunk(std::vector<u8>& out, u32 id, const std::vector<u8>& payload) {
    Bytes bytes(out);
    bytes.U32(id);
    bytes.U32(u32(payload.size()));
    bytes.Raw(payload);
}

std::vector<u8> WrapModelFile(const std::vector<u8>& subChunks) {
    std::vector<u8> file;
    AppendChunk(file, kModelFileChunk, subChunks);
    return file;
}

std::vector<u8> EncodeModel(const WriterModel& model) {
    std::vector<u8> chunks;
    if (model.mesh) AppendChunk(chunks, kModelMeshChunk, EncodeMeshPayload(*model.mesh));
    if (model.skeleton) AppendChunk(chunks, kModelSkeletonChunk, EncodeSkeletonPayload(*model.skeleton));
    if (model.clip) AppendChunk(chunks, kModelAnimationChunk, EncodeAnimationPayload(*model.clip));
    return WrapModelFile(chunks);
}

std::string WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return "cannot write " + temporary;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return "cannot rename " + temporary + " to " + path;
    }
    return "";
}

std::string WriteModelFile(const std::string& path, const WriterModel& model) {
    const std::string why = CheckModel(model);
    if (!why.empty()) return path + ": " + why;
    const std::vector<u8> bytes = EncodeModel(model);
    return WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace Ostrel
