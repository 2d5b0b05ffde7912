#include "engine/io/ConfigureFileXML.h"

#include "engine/base/Paths.h"
#include "engine/io/DataValue.h"
#include "engine/io/XmlDocumentFile.h"

#include <cstdio>
#include <set>
#include <sstream>

namespace Ostrel {

namespace {

constexpr const char* kDefaultRootName = "Configuration";

}  // namespace

ConfigureFileXML::ConfigureFileXML(bool reading) : m_reading(reading), m_loaded(!reading) {}

ConfigureFileXML::ConfigureFileXML(bool reading, const std::string& rootName)
    : ConfigureFileXML(reading) {
    m_document.LinkEndChild(new TiXmlElement(rootName.c_str()));
}

bool ConfigureFileXML::Load(const std::string& path) {
    m_path = path;
    // The safe loader refuses documents nested deep enough to overflow the
    // stack in TinyXML's recursive parser; a failed load leaves it empty.
    m_loaded = LoadXmlFile(m_document, NormalizeSeparators(path), &m_loadError);
    if (!m_loaded) m_document.Clear();
    return m_loaded;
}

bool ConfigureFileXML::LoadSalvaging(const std::string& path) {
    m_path = path;
    const bool parsed = LoadXmlFile(m_document, NormalizeSeparators(path), &m_loadError);
    if (!parsed) KeepCompleteKeys();
    m_loaded = parsed || Root() != nullptr;
    return parsed;
}

bool ConfigureFileXML::LoadFromText(const std::string& text) {
    m_loaded = ParseXmlText(m_document, text.c_str(), &m_loadError);
    if (!m_loaded) m_document.Clear();
    return m_loaded;
}

void ConfigureFileXML::KeepCompleteKeys() {
    // TinyXML keeps what it built up to the fault, and the node it was
    // reading is always the last one linked on its level. When the root is
    // the last top-level node it was still open: its last child may be cut
    // short (a truncated "800" reads "80"), so only the keys before it are
    // certain. A root followed by other nodes was complete.
    const TiXmlElement* oldRoot = m_document.FirstChildElement();
    TiXmlDocument salvaged;
    if (oldRoot != nullptr) {
        const bool rootOpen = oldRoot == m_document.LastChild();
        auto* root = new TiXmlElement(oldRoot->Value());
        salvaged.LinkEndChild(root);
        for (const TiXmlElement* key = oldRoot->FirstChildElement(); key != nullptr;
             key = key->NextSiblingElement()) {
            if (rootOpen && key == oldRoot->LastChild()) break;
            if (IsPlainKeyName(key->Value())) root->LinkEndChild(key->Clone());
        }
        if (root->FirstChildElement() == nullptr) salvaged.Clear();
    }
    m_document = salvaged;
}

std::string ConfigureFileXML::ToText() const {
    TiXmlPrinter printer;
    m_document.Accept(&printer);
    return printer.CStr();
}

bool ConfigureFileXML::SaveFile(const std::string& path) const {
    return SaveXmlDocument(m_document, NormalizeSeparators(path));
}

std::string ConfigureFileXML::RootName() const {
    const TiXmlElement* root = Root();
    return root ? root->ValueStr() : std::string();
}

TiXmlElement* ConfigureFileXML::Root() const {
    return const_cast<TiXmlDocument&>(m_document).FirstChildElement();
}

TiXmlElement* ConfigureFileXML::RootForWriting() {
    if (TiXmlElement* root = Root()) return root;
    return m_document.LinkEndChild(new TiXmlElement(kDefaultRootName))->ToElement();
}

const TiXmlElement* ConfigureFileXML::FindKey(const std::string& key) const {
    const TiXmlElement* root = Root();
    return root ? root->FirstChildElement(key.c_str()) : nullptr;
}

void ConfigureFileXML::AppendKey(const std::string& key, const std::string& text) {
    if (key.empty()) return;
    auto* element = new TiXmlElement(key.c_str());
    element->LinkEndChild(new TiXmlText(text.c_str()));
    RootForWriting()->LinkEndChild(element);
}

void ConfigureFileXML::String(const std::string& key, std::string* value) { SerializeString(key, value); }
void ConfigureFileXML::Float(const std::string& key, float* value) { SerializeFloat(key, value); }
void ConfigureFileXML::Bool(const std::string& key, bool* value) { SerializeBool(key, value); }
void ConfigureFileXML::Int(const std::string& key, int* value) { SerializeInt(key, value); }

bool ConfigureFileXML::SerializeString(const std::string& name, std::string* value) {
    if (!value) return false;
    if (m_reading) {
        const TiXmlElement* element = FindKey(name);
        if (!element) return false;
        const char* text = element->GetText();
        *value = text ? text : "";
        return true;
    }
    if (!value->empty()) AppendKey(name, *value);
    return false;
}

bool ConfigureFileXML::SerializeFloat(const std::string& name, float* value) {
    if (!value) return false;
    if (m_reading) {
        const TiXmlElement* element = FindKey(name);
        if (!element) return false;
        ReadDataValue(m_path, name, element->GetText(), value, {}, NumberText::Leading);
        return true;
    }
    // Large enough for any float printed with "%f" (up to 39 integer digits).
    char buffer[128];
    std::snprintf(buffer, sizeof(buffer), "%f", double(*value));
    AppendKey(name, buffer);
    return false;
}

bool ConfigureFileXML::SerializeInt(const std::string& name, int* value) {
    if (!value) return false;
    if (m_reading) {
        const TiXmlElement* element = FindKey(name);
        if (!element) return false;
        ReadDataValue(m_path, name, element->GetText(), value, {}, NumberText::Leading);
        return true;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%i", *value);
    AppendKey(name, buffer);
    return false;
}

bool ConfigureFileXML::SerializeBool(const std::string& name, bool* value) {
    if (!value) return false;
    if (m_reading) {
        int temporary = -1;
        SerializeInt(name, &temporary);
        if (temporary == -1) return false;
        *value = temporary != 0;
        return true;
    }
    int written = *value ? 1 : 0;
    SerializeInt(name, &written);
    return false;
}

bool ConfigureFileXML::SerializeBlock(std::string&) { return false; }

std::vector<std::string> ConfigureFileXML::GetKeys() const {
    std::vector<std::string> keys;
    const TiXmlElement* root = Root();
    if (!root) return keys;
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
        keys.emplace_back(e->Value());
    return keys;
}

bool IsPlainKeyName(const char* name) {
    if (!name || !*name) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(name[0])) return false;
    for (const char* p = name + 1; *p; ++p) {
        if (!letter(*p) && !(*p >= '0' && *p <= '9') && *p != '-' && *p != '.') return false;
    }
    return true;
}

void ConfigureFileXML::CarryOverMissingKeys(const ConfigureFileXML& other) {
    const TiXmlElement* otherRoot = other.Root();
    if (!otherRoot) return;
    std::vector<std::string> ownKeys = GetKeys();
    std::set<std::string> present(ownKeys.begin(), ownKeys.end());
    // Only a key's name and text are carried: that is all a setting is, and
    // anything else a damaged file holds (odd names, nested elements) might
    // not print back into the same document.
    for (const TiXmlElement* e = otherRoot->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (!IsPlainKeyName(e->Value()) || present.count(e->Value())) continue;
        const char* text = e->GetText();
        AppendKey(e->Value(), text ? text : "");
    }
}

}  // namespace Ostrel
