#pragma once
// Writes model files (".bin") in exactly the layout the engine's reader
// reads (engine/graphics/ModelData.h): a 'dpm2' chunk with its true payload
// length, then 'mesh', 'skel' and 'anim' chunks as the model has them.
//
// Bones are given with their bind pose in model space; the writer stores it
// and its exact inverse (rotation conjugated, translation -(t * R(conj q))),
// so inverse bind * bind is the identity. Clip keys are local to the bone's
// parent (model = local * parent). BoneFromLocal turns a local bind pose into
// the model-space one for generators that think in local terms.
//
// Check refuses anything the reader would reject, so a tool built on this
// never writes a file the game skips. The Encode and AppendChunk functions
// are also used on their own to make deliberately broken files for tests.

#include "engine/base/Types.h"
#include "engine/graphics/animation/Animation.h"
#include "engine/graphics/models/ModelData.h"
#include "engine/graphics/animation/Quaternion.h"
#include "engine/graphics/animation/Skeleton.h"

#include <optional>
#include <string>
#include <vector>

namespace Ostrel {

struct WriterMesh {
    bool skinned = false;
    std::vector<ModelVertexRecord> vertices;
    std::vector<u32> indices;  // a triangle list
};

struct WriterBone {
    std::string name;  // at most 255 bytes
    u32 parent = kNoParentBone;
    RigidTransform bind;  // model space
};

struct WriterModel {
    std::optional<WriterMesh> mesh;
    std::optional<std::vector<WriterBone>> skeleton;
    std::optional<ModelAnimationData> clip;  // local keys, one track per bone
};

// The model-space bind pose of a bone whose bind pose relative to its parent
// is local; bones holds the bones made so far (the parent among them).
WriterBone BoneFromLocal(const std::string& name, u32 parent, const RigidTransform& local,
                         const std::vector<WriterBone>& bones);

// Empty when the model can be written; otherwise the first problem.
std::string CheckModel(const WriterModel& model);

std::vector<u8> EncodeMeshPayload(const WriterMesh& mesh);
std::vector<u8> EncodeSkeletonPayload(const std::vector<WriterBone>& bones);
std::vector<u8> EncodeAnimationPayload(const ModelAnimationData& clip);
// Appends id (first character most significant, stored little-endian),
// the payload's length and the payload.
void AppendChunk(std::vector<u8>& out, u32 id, const std::vector<u8>& payload);
// The 'dpm2' chunk around already encoded sub-chunks.
std::vector<u8> WrapModelFile(const std::vector<u8>& subChunks);

// The whole file (unchecked: call CheckModel first when the model is not
// known to be sound).
std::vector<u8> EncodeModel(const WriterModel& model);

// Checks and writes the model to path through a temporary file and a rename,
// so a failure never leaves half a file. Empty on success, else the reason.
std::string WriteModelFile(const std::string& path, const WriterModel& model);
// Writes bytes to path the same way.
std::string WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace Ostrel
