#include "engine/actions/TimedBlockAction.h"

#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::TimedBlockAction);

namespace Ostrel {

int TimedBlockAction::OnUpdate(f32 dt) {
    m_remaining -= dt;
    return m_remaining < 0.0f ? kActionFinished : kActionBlocking;
}

}  // namespace Ostrel
