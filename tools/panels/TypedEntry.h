#pragma once

// Text typed into a panel field whose value is not text: numbers, and single
// characters. An entry is taken only when it is wholly one value of the
// field's kind, so "3x" or "1.5.5" are refused, not cut; and an entry longer
// than the field holds is refused with the limit, never cut to its start.
// Refusals quote what was typed, its start only when it is long.

#include "tools/panels/PanelModel.h"

#include <cstddef>
#include <string>

namespace Ostrel {

// The most characters a typed number holds: more than any number a field
// takes needs (a float's nine digits with sign, point and exponent), as in
// ImGui's own typed numbers.
constexpr size_t kTypedNumberChars = 32;
// A refusal quotes a typed text whole up to this many characters, and when
// it is longer its first kQuotedHeadChars followed by "...".
constexpr size_t kQuotedChars = kTypedNumberChars;
constexpr size_t kQuotedHeadChars = 20;

// text between single quotes, shortened as above ("'12345678901234567890...'").
// Characters are UTF-8 ones: a cut never splits one.
std::string QuotedEntry(const std::string& text);

// The value a typed entry gives a field that holds current (component: which
// of a direction's three numbers was typed) in value; returns why it cannot
// ("'3x' is not a number"), or an empty text when it can. A character field
// takes one character or none (0).
std::string ValueOfTyped(const PanelValue& current, int component, const std::string& text, PanelValue& value);

}  // namespace Ostrel
