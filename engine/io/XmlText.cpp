#include "engine/io/XmlText.h"

#include <cstdio>
#include <sstream>

namespace Ostrel {

namespace {

template <typename T>
bool ParseNumber(const char* text, T* value) {
    if (text == nullptr || value == nullptr) {
        return false;
    }
    std::istringstream stream(text);
    T parsed{};
    if (!(stream >> parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

}  // namespace

std::string FormatFloatText(float value) {
    // Sized from a first measuring pass: large magnitudes print more than
    // forty digits before the point.
    const double wide = value;
    const int length = std::snprintf(nullptr, 0, "%f", wide);
    if (length <= 0) {
        return "0.000000";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%f", wide);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string FormatIntText(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%i", value);
    return buffer;
}

bool ParseFloatText(const char* text, float* value) {
    return ParseNumber(text, value);
}

bool ParseIntText(const char* text, int* value) {
    return ParseNumber(text, value);
}

}  // namespace Ostrel
