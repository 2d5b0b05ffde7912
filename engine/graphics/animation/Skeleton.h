#pragma once
// Skeletons of skinned models: bones in file order, each with its bind pose
// and inverse bind pose in model space, linked to its children.
//
// The bind pair is the bone's model-space transform in the bind pose; the
// inverse pair is its exact inverse, so inverseBindMatrix * bindMatrix is the
// identity. A skinning matrix is inverseBindMatrix * the bone's animated
// model-space matrix. Parents come before their children: pose sampling walks
// the list in order and reads the parent's result of the same pass.
//
// Links (children, roots) are pointers into the skeleton's own bone list:
// they are rebuilt by LinkBones/CopySkeleton, never copied, and stay valid
// until the list is resized.

#include "engine/core/Matrix4.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/graphics/animation/Quaternion.h"

#include <string>
#include <vector>

namespace Ostrel {

inline constexpr u32 kNoParentBone = 0xFFFFFFFF;

struct Bone {
    u32 index = 0;
    std::string name;
    u32 parent = kNoParentBone;
    Vec3 bindTranslation;
    Quaternion bindRotation;
    Vec3 inverseBindTranslation;
    Quaternion inverseBindRotation;
    Matrix4 bindMatrix;
    Matrix4 inverseBindMatrix;
    std::vector<Bone*> children;  // in bone order
};

struct Skeleton {
    std::vector<Bone> bones;
    std::vector<Bone*> roots;  // in bone order

    Skeleton() = default;
    // Copies rebuild their links into their own bones.
    Skeleton(const Skeleton& other);
    Skeleton& operator=(const Skeleton& other);
};

// Sets indices, the two matrices of every bone and the links of a freshly
// read skeleton. Parents must be in range (the reader checks them); a parent
// out of range is treated as a root.
void LinkBones(Skeleton& skeleton);

// target becomes a copy of source: fields and matrices bone by bone, links
// rebuilt from source's parents alone (none kept from target's old content).
void CopySkeleton(Skeleton& target, const Skeleton& source);

}  // namespace Ostrel
