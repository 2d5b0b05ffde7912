#pragma once
// Finding the player an enemy, a trigger or a pickup reacts to.
//
// A caller keeps the id of the player object it follows. While that object
// lives it stays the target; otherwise the first object with a
// PlayerComponent ('plrC') becomes the target. A player without a transform
// clears the id and counts as no player.

#include "engine/base/Types.h"

namespace Ostrel {
class Composition;
class TransformComponent;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::u32;

inline constexpr u32 kPlayerTypeId = Ostrel::FourCC("plrC");

// The player's transform, or null when there is no usable player this frame.
// targetId is kept, replaced or cleared as described above.
Ostrel::TransformComponent* FindPlayerTransform(u32& targetId);

// The object of that id when it lives and is the player, else null.
Ostrel::Composition* FindLivePlayer(u32 id);

}  // namespace Vandle
