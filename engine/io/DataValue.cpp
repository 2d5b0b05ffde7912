#include "engine/io/DataValue.h"

#include "engine/base/Log.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>

namespace Ostrel {

namespace {

// The longest text quoted in a log line; longer ones are cut with "...".
constexpr std::size_t kQuotedTextLimit = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The text as a log line shows it: control bytes as \xNN, cut when long.
std::string Quoted(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < kQuotedTextLimit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    if (text.size() > kQuotedTextLimit) out += "...";
    return out;
}

std::string NumberString(int value) { return std::to_string(value); }
std::string NumberString(float value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%g", double(value));
    return buffer;
}

template <typename T>
std::string LimitProblem(T value, const ValueLimits<T>& limits) {
    if (value < limits.low || (limits.lowExcluded && value == limits.low)) {
        return std::string(limits.lowExcluded ? "is not above " : "is below ") + NumberString(limits.low);
    }
    if (value > limits.high) return "is above " + NumberString(limits.high);
    return {};
}

// from_chars does not take a leading '+'; a stream extraction does.
std::string_view WithoutPlus(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    return text;
}

template <typename T, typename Convert>
ParsedValue<T> Parse(std::string_view raw, const ValueLimits<T>& limits, NumberText rule, const char* kind,
                     Convert convert) {
    ParsedValue<T> result;
    const std::string_view text = WithoutPlus(Trim(raw));
    if (text.empty()) {
        result.problem = "is blank";
        return result;
    }
    T parsed{};
    const auto [end, error] = convert(text.data(), text.data() + text.size(), parsed);
    if (error == std::errc::result_out_of_range) {
        result.problem = std::string("is out of range for ") + kind;
        return result;
    }
    if (error != std::errc()) {
        result.problem = std::string("is not ") + kind;
        return result;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(parsed)) {
            result.problem = "is not a finite number";
            return result;
        }
    }
    result.problem = LimitProblem(parsed, limits);
    if (!result.problem.empty()) return result;
    if (end != text.data() + text.size()) {
        result.problem = std::string("is not ") + kind;
        if (rule == NumberText::Leading) {
            result.problem += " (read as " + NumberString(parsed) + ")";
            result.value = parsed;
        }
        return result;
    }
    result.value = parsed;
    return result;
}

template <typename T>
bool Store(std::string_view where, std::string_view key, const char* text, T* value,
           const ParsedValue<T>& parsed) {
    if (parsed.problem.empty()) {
        *value = *parsed.value;
        return true;
    }
    std::string line;
    if (!where.empty()) line.append(where).append(": ");
    line.append("key '").append(key).append("': '").append(Quoted(text ? text : "")).append("' ");
    line += parsed.problem;
    if (parsed.value) {
        *value = *parsed.value;
        line += "\n";
    } else {
        line += "; the default " + NumberString(*value) + " is kept\n";
    }
    LogMessage(line);
    return parsed.value.has_value();
}

template <typename T>
bool SerializeWith(Serializer& serializer, const std::string& key, T* value, const ValueLimits<T>& limits) {
    if (!serializer.IsReading()) {
        if constexpr (std::is_same_v<T, int>) return serializer.SerializeInt(key, value);
        else return serializer.SerializeFloat(key, value);
    }
    std::string text;
    if (!serializer.SerializeString(key, &text)) return false;
    // The serializers read numbers by stream extraction, which takes the
    // number at the start of the text; so does this.
    ReadDataValue(serializer.Where(), key, text.c_str(), value, limits, NumberText::Leading);
    return true;
}

}  // namespace

ParsedValue<int> ParseIntValue(std::string_view text, ValueLimits<int> limits, NumberText rule) {
    return Parse<int>(text, limits, rule, "a whole number",
                      [](const char* first, const char* last, int& out) { return std::from_chars(first, last, out); });
}

ParsedValue<float> ParseFloatValue(std::string_view text, ValueLimits<float> limits, NumberText rule) {
    return Parse<float>(text, limits, rule, "a number", [](const char* first, const char* last, float& out) {
        // Only decimal digits: "0x10", "inf" and "nan" spellings are not data.
        if (first != last && !(*first >= '0' && *first <= '9') && *first != '-' && *first != '.')
            return std::from_chars_result{first, std::errc::invalid_argument};
        if (first != last && *first == '-' && last - first > 1 && !(first[1] >= '0' && first[1] <= '9') &&
            first[1] != '.')
            return std::from_chars_result{first, std::errc::invalid_argument};
        return std::from_chars(first, last, out, std::chars_format::general);
    });
}

bool ReadDataValue(std::string_view where, std::string_view key, const char* text, int* value,
                   ValueLimits<int> limits, NumberText rule) {
    return Store(where, key, text, value, ParseIntValue(text ? text : "", limits, rule));
}

bool ReadDataValue(std::string_view where, std::string_view key, const char* text, float* value,
                   ValueLimits<float> limits, NumberText rule) {
    return Store(where, key, text, value, ParseFloatValue(text ? text : "", limits, rule));
}

bool SerializeValue(Serializer& serializer, const std::string& key, int* value, ValueLimits<int> limits) {
    return SerializeWith(serializer, key, value, limits);
}

bool SerializeValue(Serializer& serializer, const std::string& key, float* value, ValueLimits<float> limits) {
    return SerializeWith(serializer, key, value, limits);
}

void LogDataOnce(const std::string& line) {
    static std::mutex mutex;
    static std::set<std::string> logged;
    {
        std::lock_guard lock(mutex);
        if (logged.size() >= 4096 || !logged.insert(line).second) return;
    }
    LogMessage(line);
}

std::string DataPlace(std::string_view file, std::string_view object) {
    std::string place(file);
    if (!object.empty()) place.append(place.empty() ? "" : ": ").append("object '").append(object).append("'");
    return place;
}

}  // namespace Ostrel
