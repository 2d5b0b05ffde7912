#include "game/player/ControllerComponent.h"

#include "engine/base/Log.h"
#include "engine/components/AimerComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/Input.h"
#include "engine/world/GameSystem.h"
#include "engine/core/MathFunctions.h"
#include "engine/platform/VirtualKeys.h"
#include "game/common/GameSupport.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::ControllerComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char* const kDebugAttacks[] = {"ShootQil", "ArcAttack", "MeteorAttack", "ShieldAttack",
                                     "FirestarterAttack"};

bool IsAttackKey(int key) {
    return key == 'X' || key == Vk::kPadRightThumb || key == Vk::kPadRightShoulder || key == Vk::kPadRightTrigger ||
           key == Vk::kPadA;
}

bool IsDashKey(int key) {
    return key == 'Z' || key == Vk::kPadLeftThumb || key == Vk::kPadLeftShoulder || key == Vk::kPadLeftTrigger ||
           key == Vk::kPadB;
}

// A stick axis into its two slots: a positive reading fills `positive`, a
// negative one `negative` (as a positive amount), and 0 clears both. A
// non-finite reading (a broken pad) counts as 0 so that no NaN reaches the
// player's direction or the aim marker.
void SplitAxis(f32 value, f32& positive, f32& negative) {
    if (!std::isfinite(value)) value = 0.0f;
    if (value > 0.0f) {
        positive = value;
    } else if (value < 0.0f) {
        negative = -value;
    } else {
        positive = 0.0f;
        negative = 0.0f;
    }
}

const int kActionKeys[] = {'X', Vk::kPadRightThumb, Vk::kPadRightShoulder, Vk::kPadRightTrigger, Vk::kPadA,
                           'Z', Vk::kPadLeftThumb,  Vk::kPadLeftShoulder,  Vk::kPadLeftTrigger,  Vk::kPadB};

bool DebugKeysEnabled() {
    Engine* engine = Engine::Instance();
    auto* game = engine ? static_cast<GameSystem*>(engine->GetGameSystem()) : nullptr;
    // Without a game system the keys keep their default: on.
    return game ? game->AreDebugKeysEnabled() : true;
}

}  // namespace

void ControllerComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_globals.Listen("KeyTriggered", MakeDelegate(this, &ControllerComponent::OnKeyTriggered));
    m_globals.Listen("ControllerUpdate", MakeDelegate(this, &ControllerComponent::OnControllerUpdate));
    m_globals.Listen("SetTutorialsActive", MakeDelegate(this, &ControllerComponent::OnSetTutorialsActive));
    m_globals.Listen("UiCaptureInput", MakeDelegate(this, &ControllerComponent::OnUiCaptureInput));
    m_globals.Listen("GoalReached", MakeDelegate(this, &ControllerComponent::OnGoalReached));
}

void ControllerComponent::Uninitialize() {
    m_globals.Clear();
}

Component* ControllerComponent::Clone() const { return NewComponentOf<ControllerComponent>(); }

void ControllerComponent::Serialize(Serializer*) {}

void ControllerComponent::ExposeProperties(TweakBarGroup*) {}

Variant ControllerComponent::ToVariant() { return Variant(this); }

void ControllerComponent::OnKeyTriggered(int key, bool down) {
    Engine* engine = Engine::Instance();
    if (engine && engine->IsPaused()) return;
    const bool debugKeys = DebugKeysEnabled();
    const f32 value = down ? 1.0f : 0.0f;

    switch (key) {
    case Vk::kLeft: m_moveLeft = value; SendDirection(); break;
    case Vk::kUp: m_moveUp = value; SendDirection(); break;
    case Vk::kRight: m_moveRight = value; SendDirection(); break;
    case Vk::kDown: m_moveDown = value; SendDirection(); break;
    default: break;
    }

    const bool actionKey = IsAttackKey(key) || IsDashKey(key);
    if (actionKey && !down && !m_heardDown.test(size_t(key))) {
        // Its press went elsewhere (it skipped the fly-over, closed a menu
        // or came while paused): the release is not play's either.
        TurnAimer();
        return;
    }
    if (actionKey) m_heardDown.set(size_t(key), down);

    if (IsAttackKey(key)) {
        if (down) {
            SendAttack();
            if (key == Vk::kPadRightShoulder || key == Vk::kPadRightTrigger) {
                m_padAttackUsed = true;
                if (!m_qilTutorialsLocked && m_aimStickUsed) LockQilTutorials();
            }
        } else {
            SendObjectMessageValues(GetOwner(), "ReleaseAttack");
        }
    } else if (IsDashKey(key)) {
        if (down && (key == Vk::kPadLeftShoulder || key == Vk::kPadLeftTrigger) && !m_dashTutorialsLocked) {
            m_dashTutorialsLocked = true;
            if (CoreSystem* core = GameCore()) {
                core->SendMessageString("LockTutorial", "use-dash");
                core->SendMessageString("LockTutorial", "use-dash-advanced");
            }
        }
        if (!m_goalReached) SendObjectMessageValues(GetOwner(), "DodgeRoll");
    }

    if (debugKeys) SendLocalDebugKey(key);
    TurnAimer();
}

void ControllerComponent::SendLocalDebugKey(int key) {
    if (key >= '1' && key <= '5') {
        SendObjectMessageStringInt(GetOwner(), "ChangePlayerAttack", kDebugAttacks[key - '1'], -1);
    } else if (key == Vk::kTilde) {
        SendObjectMessageFloatBool(GetOwner(), "Heal", 1.0f, true);
    }
}

void ControllerComponent::OnControllerUpdate(ControllerData* data) {
    if (!data) return;
    SplitAxis(data->leftStick.x, m_moveRight, m_moveLeft);
    SplitAxis(data->leftStick.y, m_moveUp, m_moveDown);
    SendDirection();

    SplitAxis(data->rightStick.x, m_aimRight, m_aimLeft);
    SplitAxis(data->rightStick.y, m_aimUp, m_aimDown);
    if (m_aimRight != 0.0f || m_aimLeft != 0.0f || m_aimUp != 0.0f || m_aimDown != 0.0f) m_aimStickUsed = true;
    if (!m_qilTutorialsLocked && m_aimStickUsed && m_padAttackUsed) LockQilTutorials();

    m_aimDirection = Vec3(m_aimRight - m_aimLeft, 0.0f, m_aimUp - m_aimDown);
    if (m_aimDirection.LengthSquared() > 1.0f) m_aimDirection = m_aimDirection.Normalized();
    TurnAimer();
}

void ControllerComponent::OnSetTutorialsActive(bool active) {
    if (active) PickUpHeldInput();
}

void ControllerComponent::OnGoalReached() {
    if (m_goalReached) return;
    // The level is won: she stops where she stands and walks no more, also
    // when a menu comes up over the level instead of the next level.
    const bool moving = m_moveRight != m_moveLeft || m_moveUp != m_moveDown;
    m_moveLeft = m_moveRight = m_moveUp = m_moveDown = 0.0f;
    if (moving) SendDirection();
    m_goalReached = true;
}

void ControllerComponent::OnUiCaptureInput(bool capture) {
    if (!capture) PickUpHeldInput();
}

void ControllerComponent::PickUpHeldInput() {
    const Input* input = Input::Current();
    if (!input) return;
    const auto held = [input](int key) { return input->GetKey(key).down ? 1.0f : 0.0f; };
    const f32 wasX = m_moveRight - m_moveLeft, wasZ = m_moveUp - m_moveDown;
    m_moveLeft = held(Vk::kLeft);
    m_moveRight = held(Vk::kRight);
    m_moveUp = held(Vk::kUp);
    m_moveDown = held(Vk::kDown);
    if (input->GetPadIndex() != -1) {
        // A stick at rest leaves the arrows as they are.
        const ControllerData& pad = input->GetController();
        if (pad.leftStick.x != 0.0f) SplitAxis(pad.leftStick.x, m_moveRight, m_moveLeft);
        if (pad.leftStick.y != 0.0f) SplitAxis(pad.leftStick.y, m_moveUp, m_moveDown);
        SplitAxis(pad.rightStick.x, m_aimRight, m_aimLeft);
        SplitAxis(pad.rightStick.y, m_aimUp, m_aimDown);
        m_aimDirection = Vec3(m_aimRight - m_aimLeft, 0.0f, m_aimUp - m_aimDown);
        if (m_aimDirection.LengthSquared() > 1.0f) m_aimDirection = m_aimDirection.Normalized();
    }
    // Nothing held that play did not know of: the player hears nothing (a
    // direction message, even a still one, counts as having moved).
    if (m_moveRight - m_moveLeft != wasX || m_moveUp - m_moveDown != wasZ) SendDirection();

    // Keys down now whose press went elsewhere stay unheard, so they neither
    // attack nor dash, now or on release. A charge whose release was missed
    // ends here.
    for (int key : kActionKeys) {
        if (!m_heardDown.test(size_t(key)) || input->GetKey(key).down) continue;
        m_heardDown.reset(size_t(key));
        if (IsAttackKey(key)) SendObjectMessageValues(GetOwner(), "ReleaseAttack");
    }
    TurnAimer();
}

void ControllerComponent::SendDirection() {
    if (m_goalReached) return;
    Vec3 direction(m_moveRight - m_moveLeft, 0.0f, m_moveUp - m_moveDown);
    if (direction.LengthSquared() > 1.0f) direction = direction.Normalized();
    // The message carries the zero vector when nothing is held, but Facing
    // keeps the last direction the player moved in.
    if (direction.LengthSquared() != 0.0f) m_facing = direction;
    SendObjectMessageVec3(GetOwner(), "UpdatePlayerDirection", direction);
}

void ControllerComponent::SendAttack() {
    const Vec3 direction =
        m_aimDirection.LengthSquared() != 0.0f ? m_aimDirection.Normalized() : m_facing.Normalized();
    SendObjectMessageVec3(GetOwner(), "PlayerAttack", direction);
}

void ControllerComponent::LockQilTutorials() {
    m_qilTutorialsLocked = true;
    if (CoreSystem* core = GameCore()) {
        core->SendMessageString("LockTutorial", "use-qil-basic");
        core->SendMessageString("LockTutorial", "use-qil-advanced");
    }
}

void ControllerComponent::TurnAimer() {
    Composition* owner = GetOwner();
    if (!owner) return;
    const Vec3 v = m_aimDirection.LengthSquared() != 0.0f ? m_aimDirection : m_facing;
    const f32 heading = std::atan2(v.x, v.z) * kDegreesPerRadian;
    if (!std::isfinite(heading) || !std::isfinite(v.x) || !std::isfinite(v.z)) {
        // A broken stick reading must not reach the marker's transform.
        if (m_loggedBadAim.First()) {
            LogErrorf("ControllerComponent: ignoring a non-finite aim on object '%s'\n", owner->GetName().c_str());
        }
        return;
    }
    if (auto* plane = owner->GetComponentAs<TransparentPlaneComponent>()) plane->SetRotationY(heading);
    if (auto* aimer = owner->GetComponentAs<AimerComponent>()) {
        aimer->SetRotationY(heading);
        aimer->SetDirection(v);
    }
}

}  // namespace Vandle
