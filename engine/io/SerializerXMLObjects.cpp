// The loaders of SerializerXML that build objects: archetypes and rooms.
#include "engine/io/SerializerXML.h"

#include "engine/base/Log.h"
#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/HandleTable.h"
#include "engine/io/DataValue.h"
#include "engine/io/XmlDocumentFile.h"

#include <tinyxml.h>


namespace Ostrel {

namespace {

const char kOpenFailed[] = "Failed to open file'";
const char kBlankArchetype[] = "blank";

}  // namespace

bool SerializerXML::LoadObjects(const std::string& fileName) {
    if (!BeginLoad(fileName, kOpenFailed)) {
        return false;
    }
    ReadArchetypes(fileName);
    EndLoad();
    return true;
}

void SerializerXML::ReadArchetypes(const std::string& fileName) {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;
    }
    for (TiXmlElement* element = Document().FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const std::string name = element->ValueStr();
        if (name == kBlankArchetype) {
            LogMessage(fileName + ": archetype name 'blank' is reserved, skipped\n");
            continue;
        }
        Composition* object = factory->Create(kBlankArchetype);
        if (object == nullptr) {
            continue;
        }
        BeginBlockList(element->FirstChildElement());
        SetWhere(DataPlace(fileName, name));
        object->Serialize(this);
        object->SetName(name);
        factory->AddArchetype(object, name);
    }
}

bool SerializerXML::ReadRoomText(const std::string& roomName, const char* text, RoomTarget& room,
                                 const std::string& fileLabel) {
    if (m_loaded) {
        m_roomFailure = "another file is being read";
        return false;
    }
    m_roomFailure.clear();
    m_leftOut.clear();
    m_document->Clear();
    m_first = m_current = m_document.get();
    m_where = roomName;
    std::string why;
    m_loaded = ParseXmlText(*m_document, text, &why);
    if (!m_loaded) {
        LogMessage("Failed to parse file'" + roomName + "'. Is the file name correct?\n");
        LogMessage(roomName + ": " + why + "\n");
        m_roomFailure = why.empty() ? "the file is not well-formed XML" : why;
        return false;
    }
    TiXmlElement* root = Document().FirstChildElement();
    TiXmlElement* attributes = root != nullptr ? root->FirstChildElement("Attributes") : nullptr;
    TiXmlElement* objects = root != nullptr ? root->FirstChildElement("Objects") : nullptr;
    if (attributes != nullptr) {
        SetCurrent(attributes);
        room.ReadAttributes(*this);
    } else {
        LogMessage("Room [" + roomName + "]: no element 'Attributes', attributes left as they were\n");
    }
    if (objects != nullptr && !RoomFitsTheTables(roomName, objects, fileLabel)) {
        m_roomFailure = "more objects than the object tables hold";
        EndLoad();
        return false;
    }
    if (objects != nullptr) {
        ReadRoomObjects(roomName, objects, room);
    } else {
        LogMessage("Room [" + roomName + "]: no element 'Objects', no objects read\n");
    }
    EndLoad();
    return true;
}

bool SerializerXML::RoomFitsTheTables(const std::string& roomName, TiXmlNode* objects,
                                      const std::string& fileLabel) const {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) return true;
    u64 objectCount = 0;
    u64 componentCount = 0;
    for (TiXmlElement* element = objects->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        ++objectCount;
        if (const Composition* archetype = factory->FindArchetype(element->ValueStr())) {
            componentCount += archetype->GetComponents().size();
        }
    }
    if (objectCount <= HandleTable::kMaxSlots && componentCount <= HandleTable::kMaxSlots) return true;
    const std::string file = fileLabel.empty() ? roomName : fileLabel;
    LogMessagef("%s: room [%s] places %llu objects with %llu components, more than the object tables hold "
                "(%u each); the room is refused\n",
                file.c_str(), roomName.c_str(), static_cast<unsigned long long>(objectCount),
                static_cast<unsigned long long>(componentCount), HandleTable::kMaxSlots);
    return false;
}

void SerializerXML::ReadRoomObjects(const std::string& roomName, TiXmlNode* objects, RoomTarget& room) {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;
    }
    for (TiXmlElement* element = objects->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        ReadRoomObject(roomName, *factory, element, room);
    }
}

void SerializerXML::ReadRoomObject(const std::string& roomName, CompositionFactory& factory,
                                   TiXmlNode* objectElement, RoomTarget& room) {
    const std::string archetype = objectElement->ValueStr();
    // A room may only place archetypes; Create would also make an empty object
    // for "blank", which is no archetype.
    Composition* object = archetype != kBlankArchetype && factory.FindArchetype(archetype) != nullptr
                              ? factory.Create(archetype)
                              : nullptr;
    if (object == nullptr) {
        LogMessage("Room [" + roomName + "]: unknown archetype '" + archetype + "'\n");
        m_leftOut.push_back(archetype);
        return;
    }
    for (TiXmlElement* element = objectElement->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const u32 typeId = factory.GetComponentTypeId(element->ValueStr());
        Component* component = typeId != 0 ? object->GetComponent(typeId) : nullptr;
        if (component == nullptr) {
            LogMessage("Room [" + roomName + "]: object '" + archetype + "' has no component '" +
                       element->ValueStr() + "', skipped\n");
            continue;
        }
        SetCurrent(element);
        SetWhere(DataPlace("Room [" + roomName + "]", archetype));
        component->Serialize(this);
    }
    object->Initialize();
    room.AppendObject(object);
}

}  // namespace Ostrel
