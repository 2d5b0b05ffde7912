#pragma once
// What the collision world tells each object of a contact: the local message
// "CollisionData" carries one of these, by reference, valid only during the
// send (receivers copy what they keep).
//
// side says where the other object lies as seen from the receiver, on the axis
// the pair was pushed apart: 0 toward -x, 1 toward +x, 2 toward -y (below),
// 3 toward +y (above), 4 toward -z, 5 toward +z; kNoSide (-1) when the pair
// overlapped but was not pushed apart.

#include "engine/core/MetaClassOf.h"
#include "engine/base/Types.h"

namespace Ostrel {

constexpr s32 kNoSide = -1;

struct CollisionData {
    u32 other = 0;
    s32 side = kNoSide;
};

// The side as seen from the other object: 0 and 1, 2 and 3, 4 and 5 swap;
// kNoSide (and anything else out of range) stays kNoSide.
constexpr s32 OppositeSide(s32 side) {
    if (side < 0 || side > 5) return kNoSide;
    return side ^ 1;
}

// One contact: first the record for object A of the pair (other = B), then
// the one for B (other = A).
struct ContactPair {
    CollisionData a;
    CollisionData b;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::CollisionData);
