#include "engine/graphics/animation/Skeleton.h"

namespace Ostrel {

namespace {

// Clears every link and files each bone under its parent or the roots. A
// parent that does not name a bone of this skeleton makes the bone a root.
void RebuildLinks(Skeleton& skeleton) {
    skeleton.roots.clear();
    for (Bone& bone : skeleton.bones) bone.children.clear();
    const std::size_t count = skeleton.bones.size();
    for (Bone& bone : skeleton.bones) {
        if (bone.parent < count && bone.parent != bone.index) {
            skeleton.bones[bone.parent].children.push_back(&bone);
        } else {
            skeleton.roots.push_back(&bone);
        }
    }
}

}  // namespace

Skeleton::Skeleton(const Skeleton& other) { CopySkeleton(*this, other); }

Skeleton& Skeleton::operator=(const Skeleton& other) {
    if (this != &other) CopySkeleton(*this, other);
    return *this;
}

void LinkBones(Skeleton& skeleton) {
    for (std::size_t i = 0; i < skeleton.bones.size(); ++i) {
        Bone& bone = skeleton.bones[i];
        bone.index = u32(i);
        bone.bindMatrix = QuaternionTranslationToMatrix(bone.bindRotation, bone.bindTranslation);
        bone.inverseBindMatrix =
            QuaternionTranslationToMatrix(bone.inverseBindRotation, bone.inverseBindTranslation);
    }
    RebuildLinks(skeleton);
}

void CopySkeleton(Skeleton& target, const Skeleton& source) {
    target.bones.assign(source.bones.size(), Bone{});
    for (std::size_t i = 0; i < source.bones.size(); ++i) {
        const Bone& from = source.bones[i];
        Bone& to = target.bones[i];
        to.index = from.index;
        to.name = from.name;
        to.parent = from.parent;
        to.bindTranslation = from.bindTranslation;
        to.bindRotation = from.bindRotation;
        to.inverseBindTranslation = from.inverseBindTranslation;
        to.inverseBindRotation = from.inverseBindRotation;
        to.bindMatrix = from.bindMatrix;
        to.inverseBindMatrix = from.inverseBindMatrix;
    }
    RebuildLinks(target);
}

}  // namespace Ostrel
