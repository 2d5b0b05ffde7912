#pragma once
// What the burrowing enemies (the fox and the fox boss) share: the heading
// of their next straight leg under ground, the walls they turn back from,
// and switching their collider off against moving bodies while they tunnel.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

namespace Ostrel {
class CollisionComponent;
class TransformComponent;
struct CollisionData;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;

// A burrower's next heading: `heading` flattened and turned by a random
// angle within +-maxTurnDegrees; with a player position, then blended by
// circleWeight towards the point circleDistance from the player, one unit
// along the circle (counter-clockwise seen from above when ccw), and made
// unit length again.
Ostrel::Vec3 CirclingHeading(Ostrel::Vec3 heading, const Ostrel::Vec3& position, const Ostrel::Vec3* player,
                             f32 maxTurnDegrees, f32 circleDistance, bool ccw, f32 circleWeight);

// True when the contact is a wall a tunneller turns back from: a static
// collider that resolves with moving bodies, is no damage trap, and whose
// centre is not below the tunneller's.
bool IsTunnelWall(const Ostrel::TransformComponent& self, const Ostrel::CollisionData& contact);

// The heading back from a wall: from the end of the current leg towards
// the tunneller, or the reverse of the heading when it stands on that end.
Ostrel::Vec3 BounceHeading(const Ostrel::Vec3& position, const Ostrel::Vec3& legEnd, const Ostrel::Vec3& heading);

// Whether the collider meets and pushes moving bodies (off while tunnelling).
void SetDynamicCollision(Ostrel::CollisionComponent* collision, bool on);

}  // namespace Vandle
