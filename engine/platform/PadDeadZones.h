#pragma once
// Dead zones of the two thumb sticks. Both work on the squared length of the
// raw stick vector, computed in 32-bit floats, and give the factor the raw
// values are multiplied by. The constants are the 32-bit float values of the
// squares the pad was tuned with; they must not be rounded differently.
//
// Left stick: 0 inside 22500, then the squared length over 30000 squared, so
// the factor grows with the square of the length, and 1 beyond 30000.
// Right stick: 0 inside 8689, 1 up to 32767, and above that the squared
// length over 32767 squared (up to about 2 in the corners of the square range).

#include "engine/base/Types.h"

namespace Ostrel {

constexpr f32 kLeftDeadZoneSq = 506249984.0f;   // 22500 squared as a float
constexpr f32 kLeftFullSq = 9.0e8f;             // 30000 squared
constexpr f32 kRightDeadZoneSq = 75498720.0f;   // 8689 squared as a float
constexpr f32 kRightFullSq = 1073676288.0f;     // 32767 squared as a float

f32 LeftStickFactor(f32 squaredLength);
f32 RightStickFactor(f32 squaredLength);

struct ControllerData;
// Fills the two sticks of data from its raw thumb values, dead zones applied.
void ApplyDeadZones(ControllerData& data);

}  // namespace Ostrel
