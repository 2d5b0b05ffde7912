#include "engine/io/XmlText.h"

#include <cstdio>

namespace Ostrel {

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

}  // namespace Ostrel
