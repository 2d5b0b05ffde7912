#pragma once
// Changing the chase camera's distance and angle for a part of a level.
//
// CameraModifierTriggerListenerComponent ('CMTL'): on its object's
// "TriggerFired" it sends the global "InterpolateCamera"("ChaseDistance",
// "NewAngle", "TimeToTake" seconds).
//
// PlayerCameraModifierComponent ('PCMC', on the camera object) carries such
// requests out. It measures the camera as it is (the angle
// atan2(-v.y, v.z) of the view direction v, in degrees, and the straight
// distance from the camera to the player's position), adds a blocking
// CameraInterpolateAction from there to the request, sets the chase setting
// to the measured state (so nothing jumps while the glide runs) and
// remembers the measured state. "InterpolateToPreviousCameraState"(seconds)
// glides back to it and swaps the two states, so a second call returns.
// A newer glide replaces one still running (which ends where it is, its
// target never applied). Without a player the requests only store their
// values.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/VariantFunction.h"
#include "engine/platform/SubscriptionList.h"
#include "game/common/LogOnce.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class CameraModifierTriggerListenerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("CMTL");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerFired();

    f32 GetChaseDistance() const { return m_chaseDistance; }
    f32 GetTimeToTake() const { return m_timeToTake; }
    f32 GetNewAngle() const { return m_newAngle; }

private:
    f32 m_chaseDistance = 0.0f;
    f32 m_timeToTake = 0.0f;
    f32 m_newAngle = 0.0f;
    Ostrel::OwnerListeners m_listeners;
};

class PlayerCameraModifierComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("PCMC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnInterpolateCamera(f32 distance, f32 angle, f32 seconds);
    void OnInterpolateToPreviousCameraState(f32 seconds);

    f32 GetNextDistance() const { return m_nextDistance; }
    f32 GetNextAngle() const { return m_nextAngle; }
    f32 GetPreviousDistance() const { return m_previousDistance; }
    f32 GetPreviousAngle() const { return m_previousAngle; }
    f32 GetTransitionTime() const { return m_transitionTime; }

private:
    // The camera's angle and its distance to the first player; false (and
    // nothing measured) without a player, a camera or a chase setting.
    bool Measure(f32& angle, f32& distance);
    // Whether the camera is gliding to the setting (distance, angle) or
    // already holds it, so that asking for it again changes nothing.
    bool AlreadyAt(f32 distance, f32 angle);
    void StartGlide(f32 fromDistance, f32 fromAngle, f32 toDistance, f32 toAngle, f32 seconds);

    f32 m_nextDistance = 0.0f;
    f32 m_transitionTime = 0.0f;
    f32 m_nextAngle = 0.0f;
    f32 m_previousDistance = 0.0f;
    f32 m_previousAngle = 0.0f;
    // The action id of the most recent glide (0: none yet).
    u32 m_glideId = 0;
    Ostrel::SubscriptionList m_globals;
    ReportOnce m_loggedGap;
    Ostrel::FunctionRef m_onInterpolate;
    Ostrel::FunctionRef m_onPrevious;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::CameraModifierTriggerListenerComponent);
LV_DECLARE_META_CLASS(Vandle::PlayerCameraModifierComponent);
