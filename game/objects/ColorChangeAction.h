#pragma once
// Makes an object's mesh blink after a hit. The local "StartColorFlash"
// starts a flash, or lengthens the running one to a full flash duration
// from now (the blink phase runs on). During a flash the mesh tint switches
// between the flash colour and the normal colour every toggle interval,
// starting with the flash colour at the first update of a fresh action; at
// the end the normal colour is put back (times within kTimeTolerance of a
// limit count as reaching it). The normal colour is the mesh's own
// tint when the action starts, so a tinted archetype keeps its tint.
//
// A flash duration of 0 (never set) ignores every flash; an object without
// a MeshComponent shows nothing. Never finishes; creators put it in the
// 'flas' lane.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec4.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ColorChangeAction final : public Ostrel::ActionBase {
public:
    static constexpr u32 kLane = Ostrel::FourCC("flas");

    // The enemies' flash when hit: red, on and off every 0.05 s for 0.25 s.
    static ColorChangeAction* HitFlash();

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetToggleInterval(f32 seconds) { m_toggleInterval = seconds; }
    void SetFlashDuration(f32 seconds) { m_flashDuration = seconds; }
    // Stored with alpha 1.
    void SetFlashColor(f32 r, f32 g, f32 b) { m_flashColor = Ostrel::Vec4(r, g, b, 1.0f); }

    void OnStartColorFlash();

    bool IsFlashing() const { return m_active; }
    const Ostrel::Vec4& GetNormalColor() const { return m_normalColor; }

private:
    void ShowColor(const Ostrel::Vec4& color) const;

    Ostrel::ComponentRef<Ostrel::MeshComponent> m_mesh;
    f32 m_toggleTimer = 0.0f;
    f32 m_remaining = 0.0f;
    f32 m_toggleInterval = 0.0f;
    f32 m_flashDuration = 0.0f;
    bool m_active = false;
    bool m_showingNormal = true;
    Ostrel::Vec4 m_flashColor{0.0f, 0.0f, 0.0f, 0.0f};
    Ostrel::Vec4 m_normalColor{1.0f, 1.0f, 1.0f, 1.0f};
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ColorChangeAction);
