#include "tools/panels/TypedEntry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <type_traits>

namespace Ostrel {

namespace {

// Reads a typed entry that must be wholly one number: blanks around it are
// dropped and one leading '+' is allowed; anything else ("3x", "1.5.5",
// "--2") leaves the entry unread. A float reads "inf" and "nan" too, which
// the caller refuses as not finite.
enum class TypedRead { Number, NotANumber, OutOfRange };

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    text.remove_prefix(first);
    text.remove_suffix(text.size() - 1 - text.find_last_not_of(" \t"));
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    return text;
}

template <class T>
TypedRead ReadTyped(std::string_view text, T& out) {
    text = Trimmed(text);
    const char* end = text.data() + text.size();
    if constexpr (std::is_floating_point_v<T>) {
        // Read wide, so a magnitude a float cannot hold shows as infinite.
        long double wide = 0;
        const auto [at, error] = std::from_chars(text.data(), end, wide);
        if (text.empty() || at != end) return TypedRead::NotANumber;
        if (error == std::errc::result_out_of_range) {
            // Beyond even the wide range: huge, or so tiny that it reads as 0.
            const bool tiny = text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
            out = tiny ? T(0) : std::numeric_limits<T>::infinity();
            return TypedRead::Number;
        }
        if (error != std::errc()) return TypedRead::NotANumber;
        out = T(wide);
        return TypedRead::Number;
    } else {
        long long wide = 0;
        const auto [at, error] = std::from_chars(text.data(), end, wide);
        if (text.empty() || at != end || (error != std::errc() && error != std::errc::result_out_of_range))
            return TypedRead::NotANumber;
        if (error == std::errc::result_out_of_range || wide < std::numeric_limits<T>::min() ||
            wide > std::numeric_limits<T>::max())
            return TypedRead::OutOfRange;
        out = T(wide);
        return TypedRead::Number;
    }
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t CharacterCount(const std::string& text) {
    return size_t(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

bool HoldsNumber(const PanelValue& value) {
    return std::holds_alternative<s32>(value) || std::holds_alternative<u32>(value) ||
           std::holds_alternative<f32>(value) || std::holds_alternative<std::array<f32, 3>>(value);
}

// Why an entry of length characters does not fit a field of limit ones.
std::string LongerThanTheField(const std::string& quoted, size_t length, size_t limit) {
    return quoted + " is longer than the field holds (" + std::to_string(length) + " characters, at most " +
           std::to_string(limit) + ")";
}

}  // namespace

std::string QuotedEntry(const std::string& text) {
    if (CharacterCount(text) <= kQuotedChars) return "'" + text + "'";
    // Up to the byte that starts the character after the head.
    size_t end = 0;
    for (size_t starts = 0; end < text.size(); ++end) {
        if (!IsContinuationByte(text[end]) && starts++ == kQuotedHeadChars) break;
    }
    return "'" + text.substr(0, end) + "...'";
}

std::string ValueOfTyped(const PanelValue& current, int component, const std::string& text, PanelValue& value) {
    const std::string quoted = QuotedEntry(text);
    if (std::holds_alternative<char>(current)) {
        // One byte: a character beyond plain ASCII takes more than that.
        if (CharacterCount(text) > 1) return LongerThanTheField(quoted, CharacterCount(text), 1);
        if (text.size() > 1) return quoted + " is not a plain character, which is all the field holds";
        value = text.empty() ? char(0) : text[0];
        return {};
    }
    // The length first: a text cut to what the field holds might read as
    // another number.
    if (HoldsNumber(current) && CharacterCount(text) > kTypedNumberChars)
        return LongerThanTheField(quoted, CharacterCount(text), kTypedNumberChars);
    TypedRead read = TypedRead::NotANumber;
    const char* range = "";
    if (std::holds_alternative<s32>(current)) {
        s32 v = 0;
        read = ReadTyped(text, v);
        value = v;
        range = "-2147483648 to 2147483647";
    } else if (std::holds_alternative<u32>(current)) {
        u32 v = 0;
        read = ReadTyped(text, v);
        value = v;
        range = "0 to 4294967295";
    } else if (HoldsNumber(current)) {
        f32 v = 0;
        read = ReadTyped(text, v);
        if (read == TypedRead::Number && !std::isfinite(v)) return quoted + " is not a finite number";
        if (const auto* direction = std::get_if<std::array<f32, 3>>(&current)) {
            if (component < 0 || component > 2) return quoted + " has no place in the field";
            std::array<f32, 3> whole = *direction;
            whole[size_t(component)] = v;
            value = whole;
        } else {
            value = v;
        }
    } else {
        return quoted + " is typed into a field that holds no number";
    }
    if (read == TypedRead::OutOfRange) return quoted + " is out of range (" + range + ")";
    if (read == TypedRead::NotANumber) {
        const bool whole = std::holds_alternative<s32>(current) || std::holds_alternative<u32>(current);
        return quoted + (whole ? " is not a whole number" : " is not a number");
    }
    return {};
}

}  // namespace Ostrel
