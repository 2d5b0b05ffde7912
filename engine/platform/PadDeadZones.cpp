#include "engine/platform/PadDeadZones.h"

#include "engine/platform/ControllerData.h"

namespace Ostrel {

f32 LeftStickFactor(f32 squaredLength) {
    if (squaredLength < kLeftDeadZoneSq) return 0.0f;
    if (squaredLength > kLeftFullSq) return 1.0f;
    return squaredLength / kLeftFullSq;
}

f32 RightStickFactor(f32 squaredLength) {
    if (squaredLength < kRightDeadZoneSq) return 0.0f;
    if (squaredLength < kRightFullSq) return 1.0f;
    return squaredLength / kRightFullSq;
}

namespace {
f32 SquaredLength(const Vec2& v) {
    return v.x * v.x + v.y * v.y;
}
}  // namespace

void ApplyDeadZones(ControllerData& data) {
    data.rightStick = {f32(data.state.thumbRX), f32(data.state.thumbRY)};
    data.leftStick = {f32(data.state.thumbLX), f32(data.state.thumbLY)};
    const f32 right = RightStickFactor(SquaredLength(data.rightStick));
    const f32 left = LeftStickFactor(SquaredLength(data.leftStick));
    data.rightStick.x *= right;
    data.rightStick.y *= right;
    data.leftStick.x *= left;
    data.leftStick.y *= left;
}

}  // namespace Ostrel
