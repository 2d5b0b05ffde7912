// The loaders of SerializerXML that need nothing but the document: states,
// sound manifests, level orders, property pages and tile palettes.
#include "engine/io/SerializerXML.h"

#include "engine/base/Log.h"
#include "engine/io/ObjectTypeRecord.h"
#include "engine/io/StateResourceTable.h"

#include <tinyxml.h>

namespace Ostrel {

namespace {

const char kOpenFailed[] = "Failed to open file'";
const char kOpenFailedSpaced[] = "Failed to open file '";

void LogMissingElement(const std::string& fileName, const char* element) {
    LogMessage(fileName + ": no element '" + element + "', nothing read\n");
}

}  // namespace

bool SerializerXML::LoadStates(const std::string& fileName) {
    StateResourceTable* table = StateResourceTable::Instance();
    if (table == nullptr) {
        LogMessage(fileName + ": no state table to load the states into\n");
        return false;
    }
    return LoadStates(fileName, *table);
}

bool SerializerXML::LoadStates(const std::string& fileName, StateResourceTable& table) {
    if (!BeginLoad(fileName, kOpenFailed)) {
        return false;
    }
    ReadStates(table);
    EndLoad();
    return true;
}

void SerializerXML::ReadStates(StateResourceTable& table) {
    for (TiXmlElement* state = Document().FirstChildElement(); state != nullptr;
         state = state->NextSiblingElement()) {
        BeginBlockList(state->FirstChildElement());
        ReadStateRecord(state->ValueStr(), table);
    }
}

void SerializerXML::ReadStateRecord(const std::string& stateName, StateResourceTable& table) {
    StateRecord record;
    ObjectTypeRecord::Serialize(*this, record);
    table.AddState(stateName, std::move(record));
}

bool SerializerXML::LoadSoundManifestWith(const std::string& fileName, const SoundRecordReader& readRecord) {
    if (!BeginLoad(fileName, kOpenFailed)) {
        return false;
    }
    ReadSoundManifest(fileName, readRecord);
    EndLoad();
    return true;
}

void SerializerXML::ReadSoundManifest(const std::string& fileName, const SoundRecordReader& readRecord) {
    TiXmlElement* sounds = Document().FirstChildElement("sounds");
    if (sounds == nullptr) {
        LogMissingElement(fileName, "sounds");
        return;
    }
    for (TiXmlElement* sound = sounds->FirstChildElement(); sound != nullptr;
         sound = sound->NextSiblingElement()) {
        SetCurrent(sound);
        std::string name;
        SerializeString("name", &name);
        readRecord(name, *this);
    }
}

bool SerializerXML::LoadLevelOrder(const std::string& fileName, std::vector<std::string>& order) {
    if (!BeginLoad(fileName, kOpenFailedSpaced)) {
        return false;
    }
    for (TiXmlElement* level = Document().FirstChildElement(); level != nullptr;
         level = level->NextSiblingElement()) {
        order.push_back(level->ValueStr());
    }
    EndLoad();
    return true;
}

bool SerializerXML::LoadProperties(const std::string& fileName, PropertyPage& page) {
    if (!BeginLoad(fileName, kOpenFailedSpaced)) {
        return false;
    }
    for (TiXmlElement* property = Document().FirstChildElement(); property != nullptr;
         property = property->NextSiblingElement()) {
        const char* text = property->GetText();
        page.emplace(property->ValueStr(), text != nullptr ? text : "");
    }
    EndLoad();
    return true;
}

bool SerializerXML::LoadPaletteWith(const std::string& fileName, const RecordReader& readPalette) {
    if (!BeginLoad(fileName, kOpenFailed)) {
        return false;
    }
    TiXmlElement* palette = Document().FirstChildElement("Palette");
    if (palette != nullptr) {
        SetCurrent(palette);
        readPalette(*this);
    } else {
        LogMissingElement(fileName, "Palette");
    }
    EndLoad();
    return true;
}

}  // namespace Ostrel
