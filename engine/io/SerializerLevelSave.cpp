#include "engine/io/SerializerLevelSave.h"

#include "engine/base/Log.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/io/XmlDocumentFile.h"
#include "engine/io/XmlText.h"

#include <tinyxml.h>

namespace Ostrel {

namespace {

const char kEndOfBlock[] = "EOF";

// Components written whole whatever their archetype says. An emitter's keys
// only make sense together; a health pack reads a missing "HealIsPercent"
// from "HealAmount", so the two must travel together.
bool IsAlwaysWritten(const std::string& blockName) {
    return blockName == "ParticleEmitterComponent" || blockName == "HealthPackComponent";
}

}  // namespace

SerializerLevelSave::SerializerLevelSave() : m_document(std::make_unique<TiXmlDocument>()) {
    CollectDefaults();
    TiXmlNode* level = m_document->LinkEndChild(new TiXmlElement("Level"));
    m_parent = level;
    m_current = level->LinkEndChild(new TiXmlElement("Objects"));
}

SerializerLevelSave::~SerializerLevelSave() {
    if (m_instances.empty()) {
        return;
    }
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;
    }
    for (Composition* instance : m_instances) {
        factory->Destroy(instance);
    }
}

// One instance per archetype serializes itself through this serializer while
// collecting. The defaults are kept as typed copies taken from the instance's
// fields at that moment: a component may serialize through a local (three
// floats of a vector, an enum as int), whose address would not outlive the
// call. The instances are not initialised and never change, so a copy equals
// what a reference would read later.
void SerializerLevelSave::CollectDefaults() {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;
    }
    m_collecting = true;
    for (const std::string& name : factory->GetArchetypeNames()) {
        Composition* instance = factory->Create(name);
        if (instance == nullptr) {
            continue;
        }
        m_openArchetype = &m_defaults[name];
        m_openComponent = nullptr;
        instance->Serialize(this);
        m_instances.push_back(instance);
    }
    m_collecting = false;
    m_openArchetype = nullptr;
    m_openComponent = nullptr;
}

bool SerializerLevelSave::SerializeString(const std::string& name, std::string* value) {
    return HandleValue(name, *value, *value);
}

bool SerializerLevelSave::SerializeFloat(const std::string& name, float* value) {
    return HandleValue(name, *value, m_collecting ? std::string() : FormatFloatText(*value));
}

bool SerializerLevelSave::SerializeBool(const std::string& name, bool* value) {
    return HandleValue(name, *value, m_collecting ? std::string() : FormatIntText(*value ? 1 : 0));
}

bool SerializerLevelSave::SerializeInt(const std::string& name, int* value) {
    return HandleValue(name, *value, m_collecting ? std::string() : FormatIntText(*value));
}

template <class T>
bool SerializerLevelSave::HandleValue(const std::string& name, const T& value, const std::string& text) {
    if (m_collecting) {
        if (m_openComponent != nullptr) {
            (*m_openComponent)[name].push_back(DefaultValue(value));
        }
        return false;
    }
    const bool differs = DiffersFromDefault(name, DefaultValue(value));
    if (text.empty()) {
        return false;  // an empty string is never written
    }
    if (!IsAlwaysWritten(m_blockName) && !differs) {
        return false;
    }
    WriteField(name, text);
    return false;
}

bool SerializerLevelSave::DiffersFromDefault(const std::string& name, const DefaultValue& value) {
    const size_t read = m_reads[name]++;
    if (m_openComponent == nullptr) {
        return true;
    }
    auto found = m_openComponent->find(name);
    // variant equality: different alternatives differ; floats compare exactly.
    return found == m_openComponent->end() || read >= found->second.size() || !(found->second[read] == value);
}

void SerializerLevelSave::WriteField(const std::string& name, const std::string& text) {
    if (m_current == nullptr) {
        if (m_parent == nullptr || m_blockName.empty()) {
            return;
        }
        m_current = m_parent->LinkEndChild(new TiXmlElement(m_blockName.c_str()));
    }
    // A component may read two fields from one key; the reader takes the
    // first element of a name for both, so a second one would never be read.
    if (m_current->FirstChildElement(name.c_str()) != nullptr) {
        return;
    }
    auto element = new TiXmlElement(name.c_str());
    element->LinkEndChild(new TiXmlText(text.c_str()));
    m_current->LinkEndChild(element);
}

bool SerializerLevelSave::SerializeBlock(std::string& name) {
    if (m_collecting) {
        if (name != kEndOfBlock && m_openArchetype != nullptr) {
            m_openComponent = &(*m_openArchetype)[name];
        }
        return true;
    }
    if (name == kEndOfBlock) {
        CloseBlock();
    } else if (m_objectElement != nullptr) {
        OpenComponent(name);
    } else {
        OpenObject(name);
    }
    return true;
}

void SerializerLevelSave::CloseBlock() {
    if (m_current != nullptr && m_current == m_objectElement) {
        m_objectElement = nullptr;
        m_openArchetype = nullptr;
    }
    m_current = m_parent;
    m_parent = m_parent != nullptr ? m_parent->Parent() : nullptr;
    m_blockName.clear();
    m_openComponent = nullptr;
}

void SerializerLevelSave::OpenComponent(const std::string& name) {
    m_parent = m_current;
    m_current = nullptr;  // made when the first differing value is written
    m_blockName = name;
    m_openComponent = nullptr;
    m_reads.clear();
    if (m_openArchetype != nullptr) {
        auto found = m_openArchetype->find(name);
        m_openComponent = found != m_openArchetype->end() ? &found->second : nullptr;
    }
}

void SerializerLevelSave::OpenObject(const std::string& name) {
    if (m_current == nullptr) {
        return;
    }
    TiXmlNode* element = m_current->LinkEndChild(new TiXmlElement(name.c_str()));
    m_parent = m_current;
    m_current = m_objectElement = element;
    auto found = m_defaults.find(name);
    m_openArchetype = found != m_defaults.end() ? &found->second : nullptr;
}

void SerializerLevelSave::WriteAttributes(int difficulty) {
    TiXmlNode* level = m_document->FirstChildElement("Level");
    TiXmlNode* objects = level ? level->FirstChildElement("Objects") : nullptr;
    if (!objects) return;
    TiXmlNode* attributes = level->FirstChildElement("Attributes");
    if (attributes) {
        attributes->Clear();
    } else {
        TiXmlElement element("Attributes");
        attributes = level->InsertBeforeChild(objects, element);
    }
    if (!attributes) return;
    auto* value = new TiXmlElement("Difficulty");
    value->LinkEndChild(new TiXmlText(FormatIntText(difficulty).c_str()));
    attributes->LinkEndChild(value);
}

void SerializerLevelSave::WriteObject(Composition& object) {
    std::string name = object.GetName();
    SerializeBlock(name);
    object.Serialize(this);
    std::string end = kEndOfBlock;
    SerializeBlock(end);
}

bool SerializerLevelSave::SaveFile(const std::string& path) const {
    return SaveXmlDocument(*m_document, path);
}

bool SerializerLevelSave::WriteRoomFile(const std::string& path, const std::string& roomName,
                                        const std::vector<Composition*>& objects, int difficulty) {
    SerializerLevelSave writer;
    writer.WriteAttributes(difficulty);
    for (Composition* object : objects) {
        if (object == nullptr || !object->GetSaveFlag()) {
            continue;
        }
        if (object->GetName().empty()) {
            LogMessage("Room [" + roomName + "]: an object without an archetype name was not saved\n");
            continue;
        }
        writer.WriteObject(*object);
    }
    return writer.SaveFile(path);
}

}  // namespace Ostrel
