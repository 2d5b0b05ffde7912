#include "game/objects/ColorChangeAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/common/GameSupport.h"

LV_REFLECT_CLASS(Vandle::ColorChangeAction);

namespace Vandle {

using namespace Ostrel;

ColorChangeAction* ColorChangeAction::HitFlash() {
    auto* flash = new ColorChangeAction;
    flash->SetToggleInterval(0.05f);
    flash->SetFlashDuration(0.25f);
    flash->SetFlashColor(1.0f, 0.0f, 0.0f);
    return flash;
}

void ColorChangeAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_mesh.Bind(owner);
    if (const MeshComponent* mesh = m_mesh.Get()) m_normalColor = mesh->GetTint();
    m_listeners.Listen(*owner, "StartColorFlash", MakeDelegate(this, &ColorChangeAction::OnStartColorFlash));
}

void ColorChangeAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void ColorChangeAction::OnStartColorFlash() {
    m_active = true;
    m_remaining = m_flashDuration;
}

int ColorChangeAction::OnUpdate(f32 dt) {
    if (m_flashDuration == 0.0f || !m_active) return kActionRunning;
    m_remaining -= dt;
    if (m_remaining > kTimeTolerance) {
        m_toggleTimer -= dt;
        if (m_toggleTimer <= kTimeTolerance) {
            m_showingNormal = !m_showingNormal;
            ShowColor(m_showingNormal ? m_normalColor : m_flashColor);
            m_toggleTimer = m_toggleInterval;
        }
    } else {
        ShowColor(m_normalColor);
        m_active = false;
    }
    return kActionRunning;
}

void ColorChangeAction::ShowColor(const Vec4& color) const {
    if (MeshComponent* mesh = m_mesh.Get()) mesh->SetTint(color);
}

}  // namespace Vandle
