#pragma once
// What the burrowing enemies (the fox and the fox boss) share beyond the
// common game verbs: the circling heading of a tunneller.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

namespace Vandle {

using Ostrel::f32;

// A burrower's next heading: `heading` flattened and turned by a random
// angle within +-maxTurnDegrees; with a player position, then blended by
// circleWeight towards the point circleDistance from the player, one unit
// along the circle (counter-clockwise seen from above when ccw), and made
// unit length again.
Ostrel::Vec3 CirclingHeading(Ostrel::Vec3 heading, const Ostrel::Vec3& position, const Ostrel::Vec3* player,
                             f32 maxTurnDegrees, f32 circleDistance, bool ccw, f32 circleWeight);

}  // namespace Vandle
