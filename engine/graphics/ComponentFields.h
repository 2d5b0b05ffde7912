#pragma once
// Reads the fields a component writes out (its Serialize in writing mode)
// by name, for components whose class the graphics code does not include:
// the light's colour and attenuation, the skybox's base name.

#include "engine/base/Serializer.h"

#include <map>
#include <string>

namespace Ostrel {

class Component;

class ComponentFields final : public Serializer {
public:
    explicit ComponentFields(Component& component);

    float Float(const std::string& name, float fallback) const;
    std::string String(const std::string& name) const;

    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string&, bool*) override { return true; }
    bool SerializeInt(const std::string&, int*) override { return true; }
    bool SerializeBlock(std::string&) override { return false; }
    bool IsReading() const override { return false; }
    bool IsWriting() const override { return true; }

private:
    std::map<std::string, float> m_floats;
    std::map<std::string, std::string> m_strings;
};

}  // namespace Ostrel
