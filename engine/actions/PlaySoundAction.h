#pragma once
// Plays one sound as a step of a sequence: sends the global "PlaySound" with
// its sound name and finishes.

#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

class PlaySoundAction final : public ActionBase {
public:
    void SetSound(const std::string& name) { m_sound = name; }
    const std::string& GetSound() const { return m_sound; }
    int OnUpdate(f32 dt) override;

private:
    std::string m_sound;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::PlaySoundAction);
