#pragma once
// The one way data files' numbers are read. Every reader of a number key in
// a data file (configurations, archetypes, rooms, palettes, animation sets)
// goes through ReadDataValue, so a modder who breaks a value gets the same
// line everywhere, naming the file, the key and the text:
//
//   rsc/objects/sparks.xobj: object 'spark-obj': key 'ReleaseRate': '-5' is below 0; the default 10 is kept
//
// and the key keeps its default. A value is refused when its text is not a
// whole number of the key's type ("abc", "2e9" or "1.5" for an int,
// "2.0.0", "0x10", blank), when it is NaN or infinite, or when it lies
// outside the key's limits. Readers that take the number at the start of
// the text (the serializers' stream extraction, C-style atoi) keep that
// number for text that starts with one ("12abc" reads 12) and log it.
// Valid values log nothing.

#include "engine/base/Serializer.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace Ostrel {

template <typename T>
struct ValueLimits {
    T low = std::numeric_limits<T>::lowest();
    T high = std::numeric_limits<T>::max();
    bool lowExcluded = false;  // the value must be above low, not equal to it
};

// Common limits.
template <typename T>
ValueLimits<T> NonNegative(T high = std::numeric_limits<T>::max()) { return {T(0), high, false}; }
template <typename T>
ValueLimits<T> Positive(T high = std::numeric_limits<T>::max()) { return {T(0), high, true}; }
template <typename T>
ValueLimits<T> Between(T low, T high) { return {low, high, false}; }

enum class NumberText {
    Whole,    // the whole text (blanks around it aside) must be the number
    Leading,  // a number at the start is taken; anything after it is logged
};

// The outcome of parsing, before any logging: the value when one was read
// (also for a leading number with trailing text), and the reason when the
// text or the value is not acceptable.
template <typename T>
struct ParsedValue {
    std::optional<T> value;
    std::string problem;  // empty when the text was a whole, usable number
};
ParsedValue<int> ParseIntValue(std::string_view text, ValueLimits<int> limits, NumberText rule);
ParsedValue<float> ParseFloatValue(std::string_view text, ValueLimits<float> limits, NumberText rule);

// Parses text (null reads as blank) for key and stores the number in *value
// when it is acceptable. Otherwise logs one line "<where>: key '<key>':
// '<text>' <problem>; ..." (where names the file and object; empty leaves
// it out) and leaves *value alone, or, for a leading number under
// NumberText::Leading, stores that number. Answers whether *value changed.
bool ReadDataValue(std::string_view where, std::string_view key, const char* text, int* value,
                   ValueLimits<int> limits = {}, NumberText rule = NumberText::Whole);
bool ReadDataValue(std::string_view where, std::string_view key, const char* text, float* value,
                   ValueLimits<float> limits = {}, NumberText rule = NumberText::Whole);

// A number key through a serializer with limits: writing writes *value as
// the serializer's own number operation does; reading takes the key's text
// (SerializeString) and hands it to ReadDataValue with the serializer's
// Where() and NumberText::Leading (the serializers' own rule). Answers whether the key was present when reading.
bool SerializeValue(Serializer& serializer, const std::string& key, int* value, ValueLimits<int> limits);
bool SerializeValue(Serializer& serializer, const std::string& key, float* value, ValueLimits<float> limits);

// Logs line unless the same line was logged before: for problems found on
// every copy of an archetype (a missing texture sheet or palette), which
// would otherwise repeat per object. Remembers at most 4096 lines.
void LogDataOnce(const std::string& line);

// The log line's "<where>: " prefix for a file and, when not empty, an
// object in it: "rsc/a.xobj: object 'crate'".
std::string DataPlace(std::string_view file, std::string_view object = {});

}  // namespace Ostrel
