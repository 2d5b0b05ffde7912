#pragma once
// The game fixture over the shipped content: every archetype of rsc/objects,
// the shipped physics settings, and the shipped models as meshes, so bodies
// and walls get the colliders they have in the game. Room tests read a
// shipped room's objects as templates and clone what they drive.

#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "tests/game/GameFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace Vandle::GameTest {

// The text of a file under the shipped rsc/ ("level/room-start.xrm").
std::string ShippedText(const std::string& relative);
// Every shipped archetype file's text, in file-name order.
std::string ShippedArchetypes();
// The shipped physics settings (rsc/physics.xcfg).
PhysicsSettings ShippedPhysics();
// The base names of the shipped rooms, sorted.
std::vector<std::string> ShippedRoomNames();

class ShippedWorld : public GameFixture {
public:
    ShippedWorld();
    // Destroys the objects before the meshes their colliders point to.
    ~ShippedWorld();

    // Reads the shipped room into templates (answers whether it was read).
    bool ReadShippedRoom(const std::string& room, RoomObjects& templates);

private:
    MeshManager m_meshes;
    SkeletonManager m_skeletons;
    AnimationManager m_animations;
    std::unique_ptr<MeshManagerLookup> m_lookup;
};

}  // namespace Vandle::GameTest
