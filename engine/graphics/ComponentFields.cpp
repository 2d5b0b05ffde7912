#include "engine/graphics/ComponentFields.h"

#include "engine/core/Component.h"

namespace Ostrel {

ComponentFields::ComponentFields(Component& component) { component.Serialize(this); }

float ComponentFields::Float(const std::string& name, float fallback) const {
    auto it = m_floats.find(name);
    return it == m_floats.end() ? fallback : it->second;
}

std::string ComponentFields::String(const std::string& name) const {
    auto it = m_strings.find(name);
    return it == m_strings.end() ? std::string() : it->second;
}

bool ComponentFields::SerializeString(const std::string& name, std::string* value) {
    if (value) m_strings[name] = *value;
    return true;
}

bool ComponentFields::SerializeFloat(const std::string& name, float* value) {
    if (value) m_floats[name] = *value;
    return true;
}

}  // namespace Ostrel
