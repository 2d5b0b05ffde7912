#pragma once
// The graph a menu moves its selection along: for each element name, the
// names of its neighbours Up, Right, Down and Left (UiDirection 1..4; an
// empty name is no neighbour), and the current element. Links are one-way.
// The first source of a link becomes the current element unless one is set.
// Moving plays "new-menu-click-sfx" ("PlayUiSound") when it lands somewhere.
//
// Names are not checked against any scene: a link to a name no element has
// still moves; the scene then selects nothing.

#include "engine/core/ScriptEnums.h"
#include "engine/script/ScriptBinding.h"

#include <array>
#include <map>
#include <memory>
#include <string>

namespace Ostrel {

struct ControllerData;

class UiNavigator {
public:
    UiNavigator() = default;

    // A direction outside 1..4 changes nothing at all.
    void AddNavigation(const std::string& from, int direction, const std::string& to);
    void SetCurrentElement(const std::string& name) { m_current = name; }
    const std::string& GetCurrentElement() const { return m_current; }
    // The name moved to, or empty (no move, no sound).
    std::string Move(int direction);
    // A copy of the links and the current element (with no owner).
    std::unique_ptr<UiNavigator> Clone() const;
    // Whether a script handed the navigator to a scene.
    ScriptOwnership& Ownership() { return m_ownership; }

private:
    // Entries 1..4 by UiDirection; entry 0 (None) stays empty.
    using Links = std::array<std::string, 5>;

    std::map<std::string, Links> m_links;
    std::string m_current;
    ScriptOwnership m_ownership;
};

// Arrow keys (37..40) and the pad's directional buttons (255..258); None with
// found false for any other key.
UiDirection UiKeyToDirection(int key, bool& found);
// The left stick: the larger axis decides, ties go to y (up is positive);
// None with found false when the stick is centred.
UiDirection StickToDirection(const ControllerData& data, bool& found);

}  // namespace Ostrel
