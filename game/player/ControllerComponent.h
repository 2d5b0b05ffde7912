#pragma once
// The player's controls ('CntC'): turns the global "KeyTriggered" and
// "ControllerUpdate" into the player object's own messages
// "UpdatePlayerDirection"(Vec3), "PlayerAttack"(Vec3), "ReleaseAttack" and
// "DodgeRoll" (sent on the way down and again on the way up), and with the
// game system's debug keys on, '1'..'5' "ChangePlayerAttack"(name, -1) and
// key 192 "Heal"(1.0, true). After every key and pad update it turns the
// object's transparent plane and aim marker to the aim heading
// atan2(x, z) in degrees. Facing keeps the last non-zero movement direction.
// The dash and companion tutorials are locked once the player has used the
// pad's shoulder or trigger for them. Keys are ignored while the engine is
// paused; pad updates are not. No keys, no editor fields.
//
// While something else holds the input (the fly-over camera, a menu) key
// changes never reach the controller. When play takes the input back it
// picks up what Input holds at that moment: on "SetTutorialsActive"(true),
// which starts play once the fly-over has ended, been skipped or been left
// out (and when a level restarts), and on "UiCaptureInput"(false). The
// tutorials are live by then, so a direction held through the flight
// counts as the move that locks the move tutorial. The arrows and the pad's
// sticks steer at once, and an arrow released meanwhile stops (nothing is
// sent when the direction has not changed). An attack or dash key already
// down (the key that skipped the fly-over, say) is not a new press: it
// neither attacks nor dashes. The release of an attack or dash key whose
// press the controller did not act on sends nothing (no "ReleaseAttack", no
// second "DodgeRoll"); one released while the input was away sends the
// "ReleaseAttack" it missed when the input comes back.
//
// Once the level's goal is reached (global "GoalReached") the player stops
// and takes no more steering or dashes: the next level, or the complete
// menu over this one, is on its way.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/platform/VirtualKeys.h"
#include "game/common/LogOnce.h"

#include <bitset>

namespace Ostrel {
struct ControllerData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ControllerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("CntC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnKeyTriggered(int key, bool down);
    void OnControllerUpdate(Ostrel::ControllerData* data);
    void OnSetTutorialsActive(bool active);
    void OnUiCaptureInput(bool capture);
    void OnGoalReached();
    // Takes the keys and pad state Input holds now (see above).
    void PickUpHeldInput();

    const Ostrel::Vec3& GetFacing() const { return m_facing; }
    const Ostrel::Vec3& GetAimDirection() const { return m_aimDirection; }
    bool AreQilTutorialsLocked() const { return m_qilTutorialsLocked; }
    bool AreDashTutorialsLocked() const { return m_dashTutorialsLocked; }

private:
    void SendDirection();
    void SendAttack();
    void LockQilTutorials();
    void TurnAimer();
    void SendLocalDebugKey(int key);

    Ostrel::Vec3 m_facing{0.0f, 0.0f, -1.0f};
    f32 m_moveLeft = 0.0f, m_moveRight = 0.0f, m_moveUp = 0.0f, m_moveDown = 0.0f;
    Ostrel::Vec3 m_aimDirection{0.0f, 0.0f, 0.0f};
    f32 m_aimLeft = 0.0f, m_aimRight = 0.0f, m_aimUp = 0.0f, m_aimDown = 0.0f;
    bool m_aimStickUsed = false;
    bool m_padAttackUsed = false;
    bool m_qilTutorialsLocked = false;
    bool m_dashTutorialsLocked = false;
    bool m_goalReached = false;
    // Attack and dash keys whose press the controller acted on and whose
    // release it has not seen yet.
    std::bitset<Ostrel::Vk::kKeyCount> m_heardDown;
    Ostrel::SubscriptionList m_globals;
    ReportOnce m_loggedBadAim;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ControllerComponent);
