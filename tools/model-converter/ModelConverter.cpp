#include "tools/model-converter/ModelConverter.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace Ostrel {

namespace {

// 32 bytes a key: 128 MiB of keys at most.
constexpr size_t kMaxResampledKeys = size_t(1) << 22;

bool UsableWeight(float w) { return std::isfinite(w) && w > 0.0f; }

bool Finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The rigid part of a transform: its scale is dropped. A scale that is
// uniform and the same in the bind pose and in every key cancels out of the
// skinning matrices (inverse bind * pose), so only changing or uneven scale
// is lost.
RigidTransform Rigid(const aiMatrix4x4& m) {
    aiVector3D scaling, position;
    aiQuaternion rotation;
    m.Decompose(scaling, rotation, position);
    // A bone scaled to nothing (a way to hide parts) has no rotation to find.
    const float length =
        rotation.x * rotation.x + rotation.y * rotation.y + rotation.z * rotation.z + rotation.w * rotation.w;
    rotation = std::isfinite(length) && length > 1e-12f ? rotation.Normalize() : aiQuaternion();
    return {Vec3(position.x, position.y, position.z), Quaternion(rotation.x, rotation.y, rotation.z, rotation.w)};
}

template <typename Key>
std::pair<unsigned, float> KeyPair(const Key* keys, unsigned count, double t) {
    if (t <= keys[0].mTime) return {0, 0.0f};
    for (unsigned k = 0; k + 1 < count; ++k) {
        if (t < keys[k + 1].mTime) {
            const double span = keys[k + 1].mTime - keys[k].mTime;
            return {k, span > 0.0 ? float((t - keys[k].mTime) / span) : 0.0f};
        }
    }
    return {count - 1, 0.0f};
}

// A node's transform relative to its parent at time t (ticks): keys are held
// before the first and after the last; a missing kind of key keeps the
// node's own value.
aiMatrix4x4 SampleChannel(const aiNodeAnim& channel, const aiMatrix4x4& rest, double t) {
    aiVector3D scaling, position;
    aiQuaternion rotation;
    rest.Decompose(scaling, rotation, position);
    if (channel.mNumPositionKeys > 0) {
        const auto [k, u] = KeyPair(channel.mPositionKeys, channel.mNumPositionKeys, t);
        position = channel.mPositionKeys[k].mValue;
        if (u > 0.0f) position += (channel.mPositionKeys[k + 1].mValue - position) * u;
    }
    if (channel.mNumRotationKeys > 0) {
        const auto [k, u] = KeyPair(channel.mRotationKeys, channel.mNumRotationKeys, t);
        rotation = channel.mRotationKeys[k].mValue;
        if (u > 0.0f) aiQuaternion::Interpolate(rotation, rotation, channel.mRotationKeys[k + 1].mValue, u);
        rotation.Normalize();
    }
    if (channel.mNumScalingKeys > 0) {
        const auto [k, u] = KeyPair(channel.mScalingKeys, channel.mNumScalingKeys, t);
        scaling = channel.mScalingKeys[k].mValue;
        if (u > 0.0f) scaling += (channel.mScalingKeys[k + 1].mValue - scaling) * u;
    }
    return aiMatrix4x4(scaling, rotation, position);
}

// The scene's nodes in depth-first order (parents first) with their
// transforms relative to the scene root.
struct NodeList {
    std::vector<const aiNode*> nodes;
    std::vector<int> parent;  // -1 for the root
    std::vector<aiMatrix4x4> global;
    std::map<std::string, int> byName;  // the first node of each name

    explicit NodeList(const aiNode* root) { Add(root, -1); }

    void Add(const aiNode* node, int parentIndex) {
        const int index = int(nodes.size());
        nodes.push_back(node);
        parent.push_back(parentIndex);
        global.push_back(parentIndex < 0 ? node->mTransformation : global[parentIndex] * node->mTransformation);
        byName.emplace(node->mName.C_Str(), index);
        for (unsigned c = 0; c < node->mNumChildren; ++c) {
            if (node->mChildren[c]) Add(node->mChildren[c], index);
        }
    }
};

struct MeshUse {
    const aiMesh* mesh;
    int node;
};

// Everything that turns an Assimp scene into the writer's model.
class SceneConverter {
public:
    SceneConverter(const aiScene& scene, const std::string& source)
        : m_scene(scene), m_nodes(scene.mRootNode), m_source(source) {}

    bool Convert(WriterModel& model, std::string& message);

private:
    bool Fail(std::string& message, const std::string& why) const {
        message = "'" + m_source + "' " + why;
        return false;
    }
    bool FindBones(std::string& message);
    int NearestBone(int node) const {
        for (; node >= 0; node = m_nodes.parent[node]) {
            if (m_isBone[node]) return node;
        }
        return -1;
    }
    bool AddMesh(const MeshUse& use, WriterMesh& mesh, std::string& message);
    std::vector<WriterBone> MakeSkeleton() const;
    bool MakeClip(ModelAnimationData& clip, std::string& notes, std::string& message) const;

    const aiScene& m_scene;
    NodeList m_nodes;
    std::string m_source;
    std::vector<MeshUse> m_uses;
    bool m_skinned = false;
    std::vector<char> m_isBone;
    std::vector<int> m_boneOfNode;                // node -> bone index, -1 when none
    std::vector<int> m_boneNodes;                 // bone index -> node
    std::map<int, aiMatrix4x4> m_bindFromOffset;  // node -> model-space bind from an offset matrix
};

// Bones are the nodes that vertices are weighted to, the nodes between
// them, the mesh-less nodes below them (end bones without weights), and for
// a mesh that moves rigidly, the nearest bone above it or its own node.
bool SceneConverter::FindBones(std::string& message) {
    const size_t count = m_nodes.nodes.size();
    m_isBone.assign(count, 0);
    for (const MeshUse& use : m_uses) {
        for (unsigned b = 0; b < use.mesh->mNumBones; ++b) {
            const aiBone* bone = use.mesh->mBones[b];
            const auto found = m_nodes.byName.find(bone->mName.C_Str());
            if (found == m_nodes.byName.end())
                return Fail(message,
                            "weights vertices to a bone without a node ('" + std::string(bone->mName.C_Str()) + "')");
            m_isBone[found->second] = 1;
            aiMatrix4x4 inverseOffset = bone->mOffsetMatrix;
            m_bindFromOffset.emplace(found->second, m_nodes.global[use.node] * inverseOffset.Inverse());
        }
    }
    std::vector<char> below(count, 0);  // has a weighted node above it
    for (size_t i = 1; i < count; ++i) below[i] = below[m_nodes.parent[i]] || m_isBone[m_nodes.parent[i]];
    for (size_t i = 0; i < count; ++i) {
        if (m_isBone[i] != 1) continue;
        for (int up = m_nodes.parent[i]; up >= 0 && !m_isBone[up] && below[up]; up = m_nodes.parent[up])
            m_isBone[up] = 2;
    }
    for (size_t i = 1; i < count; ++i) {
        if (m_isBone[m_nodes.parent[i]] && m_nodes.nodes[i]->mNumMeshes == 0) m_isBone[i] = 1;
    }
    for (const MeshUse& use : m_uses) {
        bool rigid = !use.mesh->HasBones();
        if (!rigid) {
            std::vector<char> weighted(use.mesh->mNumVertices, 0);
            for (unsigned b = 0; b < use.mesh->mNumBones; ++b) {
                const aiBone* bone = use.mesh->mBones[b];
                for (unsigned w = 0; w < bone->mNumWeights; ++w) {
                    const aiVertexWeight& weight = bone->mWeights[w];
                    if (weight.mVertexId < weighted.size() && UsableWeight(weight.mWeight))
                        weighted[weight.mVertexId] = 1;
                }
            }
            rigid = std::find(weighted.begin(), weighted.end(), 0) != weighted.end();
        }
        if (rigid && NearestBone(use.node) < 0) m_isBone[use.node] = 1;
    }
    m_boneOfNode.assign(count, -1);
    for (size_t i = 0; i < count; ++i) {
        if (!m_isBone[i]) continue;
        m_boneOfNode[i] = int(m_boneNodes.size());
        m_boneNodes.push_back(int(i));
    }
    if (m_boneNodes.size() > kModelMaxBones) {
        return Fail(message, "has " + std::to_string(m_boneNodes.size()) + " bones; a model file holds at most " +
                                 std::to_string(kModelMaxBones));
    }
    return true;
}

bool SceneConverter::AddMesh(const MeshUse& use, WriterMesh& mesh, std::string& message) {
    const aiMesh& source = *use.mesh;
    const size_t base = mesh.vertices.size();
    if (base + source.mNumVertices > kModelMaxVertices) {
        return Fail(message, "has more than " + std::to_string(kModelMaxVertices) +
                                 " vertices, which a model file cannot index");
    }
    const aiMatrix4x4& toModel = m_nodes.global[use.node];
    aiMatrix3x3 normalMatrix(toModel);
    const bool mirrored = normalMatrix.Determinant() < 0.0f;
    if (normalMatrix.Determinant() != 0.0f) normalMatrix.Inverse().Transpose();
    // Weights per vertex: the four largest, scaled to sum to 1.
    std::vector<std::vector<std::pair<float, int>>> influences(m_skinned ? source.mNumVertices : 0);
    for (unsigned b = 0; m_skinned && b < source.mNumBones; ++b) {
        const aiBone* bone = source.mBones[b];
        const int index = m_boneOfNode[m_nodes.byName.at(bone->mName.C_Str())];
        for (unsigned w = 0; w < bone->mNumWeights; ++w) {
            const aiVertexWeight& weight = bone->mWeights[w];
            if (weight.mVertexId < source.mNumVertices && UsableWeight(weight.mWeight)) {
                influences[weight.mVertexId].emplace_back(weight.mWeight, index);
            }
        }
    }
    const int rigidBone = m_skinned ? m_boneOfNode[std::max(0, NearestBone(use.node))] : 0;
    for (unsigned v = 0; v < source.mNumVertices; ++v) {
        const aiVector3D p = toModel * source.mVertices[v];
        aiVector3D n = source.HasNormals() ? normalMatrix * source.mNormals[v] : aiVector3D(0.0f, 1.0f, 0.0f);
        if (n.SquareLength() > 0.0f) n.Normalize();
        if (!Finite(p) || !Finite(n)) return Fail(message, "has a vertex that is not a finite number");
        ModelVertexRecord record;
        record.position = Vec3(p.x, p.y, p.z);
        record.normal = Vec3(n.x, n.y, n.z);
        if (source.HasTextureCoords(0)) {
            record.u = source.mTextureCoords[0][v].x;
            record.v = source.mTextureCoords[0][v].y;
        }
        if (m_skinned) {
            auto& list = influences[v];
            std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
            if (list.size() > 4) list.resize(4);
            float sum = 0.0f;
            for (const auto& entry : list) sum += entry.first;
            if (list.empty() || !(sum > 0.0f)) list.assign(1, {1.0f, rigidBone}), sum = 1.0f;
            for (size_t i = 0; i < list.size(); ++i) {
                record.weights[i] = list[i].first / sum;
                record.bones[i] = u8(list[i].second);
            }
        }
        mesh.vertices.push_back(record);
    }
    for (unsigned f = 0; f < source.mNumFaces; ++f) {
        const aiFace& face = source.mFaces[f];
        if (face.mNumIndices != 3) continue;
        // A mirroring node transform turns the faces around; keep them clockwise.
        const unsigned order[2][3] = {{0, 1, 2}, {0, 2, 1}};
        for (unsigned i : order[mirrored]) mesh.indices.push_back(u32(base + face.mIndices[i]));
    }
    return true;
}

std::vector<WriterBone> SceneConverter::MakeSkeleton() const {
    std::vector<WriterBone> bones;
    for (int node : m_boneNodes) {
        WriterBone bone;
        bone.name = std::string(m_nodes.nodes[node]->mName.C_Str()).substr(0, 255);
        const int parentNode = m_nodes.parent[node] < 0 ? -1 : NearestBone(m_nodes.parent[node]);
        if (parentNode >= 0) bone.parent = u32(m_boneOfNode[parentNode]);
        const auto fromOffset = m_bindFromOffset.find(node);
        bone.bind = Rigid(fromOffset != m_bindFromOffset.end() ? fromOffset->second : m_nodes.global[node]);
        bones.push_back(bone);
    }
    return bones;
}

// The first clip, resampled: every key time of every channel (and the clip's
// two ends) becomes a key of every bone, so all tracks share their times.
// Keys are the bones' transforms relative to their parent bones, taken from
// the whole node hierarchy at that time (animated nodes between or above
// bones included). Without a clip the bind pose is the one key.
bool SceneConverter::MakeClip(ModelAnimationData& clip, std::string& notes, std::string& message) const {
    const aiAnimation* animation = m_scene.mNumAnimations > 0 ? m_scene.mAnimations[0] : nullptr;
    const std::vector<WriterBone> bones = MakeSkeleton();
    if (!animation) {
        clip.tracks.resize(bones.size());
        for (size_t b = 0; b < bones.size(); ++b) {
            const RigidTransform local = bones[b].parent == kNoParentBone
                                             ? bones[b].bind
                                             : bones[b].bind.Then(bones[bones[b].parent].bind.Inverse());
            clip.tracks[b].push_back({0.0f, local.translation, local.rotation});
        }
        return true;
    }
    if (m_scene.mNumAnimations > 1)
        notes += "; " + std::to_string(m_scene.mNumAnimations - 1) + " further clip(s) left out";
    const double ticksPerSecond = animation->mTicksPerSecond > 0.0 ? animation->mTicksPerSecond : 25.0;
    std::vector<const aiNodeAnim*> channelOf(m_nodes.nodes.size(), nullptr);
    std::vector<double> times = {0.0};
    double last = std::max(0.0, animation->mDuration);
    for (unsigned c = 0; c < animation->mNumChannels; ++c) {
        const aiNodeAnim* channel = animation->mChannels[c];
        const auto found = m_nodes.byName.find(channel->mNodeName.C_Str());
        if (found == m_nodes.byName.end()) continue;
        channelOf[found->second] = channel;
        for (unsigned k = 0; k < channel->mNumPositionKeys; ++k) times.push_back(channel->mPositionKeys[k].mTime);
        for (unsigned k = 0; k < channel->mNumRotationKeys; ++k) times.push_back(channel->mRotationKeys[k].mTime);
        for (unsigned k = 0; k < channel->mNumScalingKeys; ++k) times.push_back(channel->mScalingKeys[k].mTime);
    }
    for (double t : times) last = std::max(last, std::isfinite(t) ? t : 0.0);
    times.push_back(last);
    std::vector<double> shared;
    for (double t : times) shared.push_back(std::isfinite(t) ? std::clamp(t, 0.0, last) : 0.0);
    std::sort(shared.begin(), shared.end());
    // Times closer than a microsecond would not increase as floats.
    shared.erase(
        std::unique(shared.begin(), shared.end(), [&](double a, double b) { return (b - a) / ticksPerSecond < 1e-6; }),
        shared.end());
    // Every bone gets every time: refuse what would not fit in memory.
    if (shared.size() * bones.size() > kMaxResampledKeys) {
        return Fail(message, "has a clip of " + std::to_string(shared.size()) + " key times for " +
                                 std::to_string(bones.size()) + " bones; at most " + std::to_string(kMaxResampledKeys) +
                                 " keys in all are written");
    }
    clip.duration = float(last / ticksPerSecond);
    clip.tracks.resize(bones.size());
    std::vector<aiMatrix4x4> global(m_nodes.nodes.size());
    std::vector<RigidTransform> pose(bones.size());
    for (double t : shared) {
        for (size_t i = 0; i < m_nodes.nodes.size(); ++i) {
            const aiMatrix4x4& rest = m_nodes.nodes[i]->mTransformation;
            const aiMatrix4x4 local = channelOf[i] ? SampleChannel(*channelOf[i], rest, t) : rest;
            global[i] = m_nodes.parent[i] < 0 ? local : global[m_nodes.parent[i]] * local;
        }
        for (size_t b = 0; b < bones.size(); ++b) {
            pose[b] = Rigid(global[m_boneNodes[b]]);
            const RigidTransform local =
                bones[b].parent == kNoParentBone ? pose[b] : pose[b].Then(pose[bones[b].parent].Inverse());
            clip.tracks[b].push_back({float(t / ticksPerSecond), local.translation, local.rotation});
        }
    }
    return true;
}

bool SceneConverter::Convert(WriterModel& model, std::string& message) {
    for (size_t i = 0; i < m_nodes.nodes.size(); ++i) {
        const aiNode* node = m_nodes.nodes[i];
        for (unsigned m = 0; m < node->mNumMeshes; ++m) {
            if (node->mMeshes[m] >= m_scene.mNumMeshes) continue;
            const aiMesh* mesh = m_scene.mMeshes[node->mMeshes[m]];
            if (!mesh || !(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
            m_uses.push_back({mesh, int(i)});
            m_skinned = m_skinned || mesh->HasBones();
        }
    }
    if (m_skinned && !FindBones(message)) return false;
    WriterMesh mesh;
    mesh.skinned = m_skinned;
    for (const MeshUse& use : m_uses) {
        if (!AddMesh(use, mesh, message)) return false;
    }
    if (mesh.indices.empty()) return Fail(message, "has no triangles");
    model.mesh = std::move(mesh);
    std::string notes;
    if (m_skinned) {
        model.skeleton = MakeSkeleton();
        model.clip.emplace();
        if (!MakeClip(*model.clip, notes, message)) return false;
    }
    message = "'" + m_source + "': " + std::to_string(model.mesh->vertices.size()) + " vertices, " +
              std::to_string(model.mesh->indices.size() / 3) + " triangles";
    if (m_skinned) {
        char clipText[96];
        std::snprintf(clipText, sizeof clipText, "; %zu bones; a clip of %.3f s with %zu keys per bone",
                      model.skeleton->size(), double(model.clip->duration), model.clip->tracks[0].size());
        message += clipText + notes;
    }
    return true;
}

// "-s": the largest extent of the bind pose becomes 2. Bone translations and
// keys scale with the vertices, so the animated model scales the same way.
void ScaleToUnitExtent(WriterModel& model) {
    std::vector<ModelVertexRecord>& vertices = model.mesh->vertices;
    Vec3 low = vertices[0].position, high = low;
    for (const ModelVertexRecord& r : vertices) {
        low = Vec3(std::min(low.x, r.position.x), std::min(low.y, r.position.y), std::min(low.z, r.position.z));
        high = Vec3(std::max(high.x, r.position.x), std::max(high.y, r.position.y), std::max(high.z, r.position.z));
    }
    const float extent = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    if (!(extent > 0.0f)) return;
    const float factor = 2.0f / extent;
    auto scale = [factor](Vec3& v) { v = Vec3(v.x * factor, v.y * factor, v.z * factor); };
    for (ModelVertexRecord& r : vertices) scale(r.position);
    if (model.skeleton) {
        for (WriterBone& bone : *model.skeleton) scale(bone.bind.translation);
    }
    if (model.clip) {
        for (AnimationTrack& track : model.clip->tracks) {
            for (AnimationKey& key : track) scale(key.translation);
        }
    }
}

}  // namespace

unsigned ConverterImportSteps() {
    return aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_GenSmoothNormals |
           aiProcess_LimitBoneWeights | aiProcess_SortByPType | aiProcess_ValidateDataStructure;
}

ConvertResult ConvertModelSource(const std::string& sourcePath, const ConvertOptions& options) {
    ConvertResult result;
    Assimp::Importer importer;
    // Points and lines are dropped; only triangles make the mesh.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const aiScene* scene = importer.ReadFile(sourcePath, ConverterImportSteps());
    // Made normals follow the source's winding, so the change of hands (z
    // mirrored in vertices, nodes, bone offsets and keys; winding and v
    // flipped) comes after they exist.
    if (scene) scene = importer.ApplyPostProcessing(aiProcess_ConvertToLeftHanded);
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
        result.message = "'" + sourcePath + "' could not be read: " + importer.GetErrorString();
        return result;
    }
    SceneConverter converter(*scene, sourcePath);
    if (!converter.Convert(result.model, result.message)) {
        result.model = {};
        return result;
    }
    if (options.scale) ScaleToUnitExtent(result.model);
    const std::string problem = CheckModel(result.model);
    if (!problem.empty()) {
        result.message = "'" + sourcePath + "' gives no model that can be written: " + problem;
        result.model = {};
        return result;
    }
    result.ok = true;
    return result;
}

ConvertResult ConvertModelFile(const std::string& sourcePath, const std::string& outputPath,
                               const ConvertOptions& options) {
    ConvertResult result = ConvertModelSource(sourcePath, options);
    if (!result.ok) return result;
    const std::string problem = WriteModelFile(outputPath, result.model);
    if (!problem.empty()) {
        result.ok = false;
        result.message = "'" + outputPath + "' could not be written: " + problem;
    }
    return result;
}

}  // namespace Ostrel
