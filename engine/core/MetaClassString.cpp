#include "engine/core/MetaClassString.h"

#include "engine/core/MetaClassGeneric.h"

#include <sstream>

namespace Ostrel {

namespace {
const std::string& Text(const void* value) {
    return *static_cast<const std::string*>(value);
}
std::string& Text(void* value) {
    return *static_cast<std::string*>(value);
}
}  // namespace

MetaClassString::MetaClassString(std::string name) : MetaClassMem<std::string>(std::move(name)) {}

int MetaClassString::ToInt(const void* value) const {
    return Private::AsciiToInt(Text(value));
}

double MetaClassString::ToFloat(const void* value) const {
    return Private::AsciiToFloat(Text(value));
}

std::string& MetaClassString::ToString(std::string& out, const void* value) const {
    out = Text(value);
    return out;
}

void MetaClassString::FromInt(void* value, int number) const {
    Text(value) = std::to_string(number);
}

void MetaClassString::FromFloat(void* value, double number) const {
    std::ostringstream stream;
    stream << number;
    Text(value) = stream.str();
}

void MetaClassString::FromString(void* value, const std::string& text) const {
    Text(value) = text;
}

}  // namespace Ostrel
