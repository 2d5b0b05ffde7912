#pragma once

// Numbers typed into a panel field: an entry is taken only when it is wholly
// one number of the field's kind, so "3x" or "1.5.5" are refused, not cut.

#include "tools/panels/PanelModel.h"

#include <string>

namespace Ostrel {

// The value a typed entry gives a field that holds current (component: which
// of a direction's three numbers was typed) in value; returns why it cannot
// ("'3x' is not a number"), or an empty text when it can.
std::string ValueOfTyped(const PanelValue& current, int component, const std::string& text, PanelValue& value);

}  // namespace Ostrel
