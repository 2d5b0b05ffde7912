#pragma once
// What the enemies share: finding the player they follow, the facing
// convention of the models, and making the objects they leave behind.
//
// The player lookup keeps the id of the player object an action follows.
// While that object lives it stays the target; otherwise the first object
// with a PlayerComponent ('plrC') becomes the target. A player without a
// transform clears the id and counts as no player.
//
// Models face -Z at rotation 0 and the rotation about y ("RotY") is in
// degrees, so a direction d on the ground is faced by the heading
// degrees(atan2(-d.x, -d.z)), and a heading h points along
// (-sin h, 0, -cos h).

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {
class Composition;
class TransformComponent;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

inline constexpr u32 kPlayerTypeId = Ostrel::FourCC("plrC");

// The player's transform, or null when there is no usable player this frame.
// targetId is kept, replaced or cleared as described above.
Ostrel::TransformComponent* FindPlayerTransform(u32& targetId);

// The object of that id when it lives and is the player, else null.
Ostrel::Composition* FindLivePlayer(u32 id);

// The heading (degrees) that faces the horizontal direction (dx, dz).
f32 HeadingTowards(f32 dx, f32 dz);
// The unit direction on the ground of a heading in degrees.
Ostrel::Vec3 HeadingDirection(f32 degrees);

// A burrower's next heading: `heading` flattened and turned by a random
// angle within +-maxTurnDegrees; with a player position, then blended by
// circleWeight towards the point circleDistance from the player, one unit
// along the circle (counter-clockwise seen from above when ccw), and made
// unit length again.
Ostrel::Vec3 CirclingHeading(Ostrel::Vec3 heading, const Ostrel::Vec3& position, const Ostrel::Vec3* player,
                             f32 maxTurnDegrees, f32 circleDistance, bool ccw, f32 circleWeight);

// Creates an object of the archetype (placed from source, or at the
// archetype's own position without one) and answers it, or null. An empty
// name creates nothing; an archetype that cannot be made is logged once per
// name with who asked for it, and the caller skips what it meant to do
// with the object.
Ostrel::Composition* CreateGameObject(const std::string& archetype, Ostrel::TransformComponent* source,
                                      const char* requester);

}  // namespace Vandle
