#pragma once
// Changes its owner's transform once and finishes: adds a rotation
// increment and/or sets the scale, whichever was given.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class ModifyTransformAction final : public ActionBase {
public:
    void SetRotationDelta(const Vec3& delta) {
        m_rotate = true;
        m_rotationDelta = delta;
    }
    void SetScale(const Vec3& scale) {
        m_scale = true;
        m_scaleValue = scale;
    }

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    bool m_rotate = false;
    Vec3 m_rotationDelta;
    bool m_scale = false;
    Vec3 m_scaleValue;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ModifyTransformAction);
