#pragma once
// Number texts shared by the XML serializers: how values are written as
// element text and how element text is read back.

#include <string>

namespace Ostrel {

// "%f" (six decimals) written in full, whatever the magnitude: 1.5 gives
// "1.500000", 1e15 gives "1000000000000000.000000".
std::string FormatFloatText(float value);

// "%i".
std::string FormatIntText(int value);


}  // namespace Ostrel
