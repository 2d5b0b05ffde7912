#pragma once
// The impact of one slam of the fox boss's tail: the camera shakes
// ("CameraShake"(0.25, 75, 1)), "fox-slam-sfx" plays, and a tremor
// ("fox-boss-tremor-obj") is launched along the ground the way the boss
// faces, at the speed its archetype gives as its x velocity (a negative
// one runs backwards, 0 stands still). A trail ("fox-boss-tremor-trail-obj")
// is made with it and attached to the tremor. Finishes on its first update.
//
// A tremor without movement stays where it was made, and a trail without a
// brain where it was made (each logged once per archetype); nothing is
// made for an archetype that does not exist.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

#include <string>

namespace Vandle {

using Ostrel::f32;

class TailSlamAction final : public Ostrel::ActionBase {
public:
    void SetTremorName(const std::string& name) { m_tremorName = name; }
    void SetTrailName(const std::string& name) { m_trailName = name; }

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    std::string m_tremorName = "fox-boss-tremor-obj";
    std::string m_trailName = "fox-boss-tremor-trail-obj";
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::TailSlamAction);
