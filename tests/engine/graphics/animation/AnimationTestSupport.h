#pragma once
// Helpers of the animation tests: skeletons and clips built in code, an
// animating component that owns a controller, and a guard that turns a hang
// into a failure.

#include "engine/core/Component.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Variant.h"
#include "engine/graphics/animation/AnimatedComponent.h"
#include "engine/graphics/animation/Animation.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/Skeleton.h"

#include <atomic>
#include <functional>
#include <thread>

namespace Ostrel::AnimationTest {

// A chain of boneCount bones along +y, one unit apart (bone i's model-space
// bind is a translation to (0, i, 0)), each the child of the one before.
Skeleton MakeChain(u32 boneCount);

// A clip over boneCount bones: every track holds keyCount keys evenly spaced
// from 0 to duration, the local rest offset (0, 1, 0) (none for bone 0) and a
// turn about z that grows with the key and the bone (keyCount 1: no turn).
Animation MakeBendClip(u32 boneCount, u32 keyCount, float duration);

// Rotation of degrees about z.
Quaternion AboutZ(float degrees);

// Runs fn on a thread and answers whether it returned within the limit. A
// hang is reported and ends the test program at once (the thread cannot be
// stopped), so it fails instead of blocking the suite.
bool FinishesWithin(std::function<void()> fn, int milliseconds = 2000);

// An animating component as the animation system sees it: running, it
// advances its controller and rebuilds the pose. It also records how often
// and on which thread it was stepped.
class AnimatedProbe final : public Component, public AnimatedComponent {
public:
    static constexpr u32 kTypeId = AnimatedComponent::kTypeId;

    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override { return CompositionFactory::Instance()->CreateComponent(kTypeId); }
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override { return Variant(); }

    void Update(f32 dt) override {
        if (running) controller.Advance(dt);
        controller.UpdatePose();
        ++updates;
        thread = std::this_thread::get_id();
    }

    AnimationController controller;
    bool running = true;
    int updates = 0;
    std::thread::id thread;
};

}  // namespace Ostrel::AnimationTest
