#include "engine/io/SerializerXML.h"

#include "engine/base/Log.h"
#include "engine/io/DataValue.h"
#include "engine/io/XmlDocumentFile.h"
#include "engine/io/XmlText.h"

#include <tinyxml.h>

namespace Ostrel {

namespace {

const char kEndOfBlocks[] = "EOF";

}  // namespace

SerializerXML::SerializerXML(bool reading)
    : m_document(std::make_unique<TiXmlDocument>()),
      m_first(m_document.get()),
      m_current(m_document.get()),
      m_reading(reading) {}

SerializerXML::~SerializerXML() = default;

bool SerializerXML::IsReading() const {
    return m_reading;
}

bool SerializerXML::IsWriting() const {
    return !m_reading;
}

bool SerializerXML::ReadValueText(const std::string& name, const char** text) const {
    if (m_current == nullptr) {
        return false;
    }
    const TiXmlElement* element = m_current->FirstChildElement(name.c_str());
    if (element == nullptr) {
        return false;
    }
    *text = element->GetText();
    return true;
}

void SerializerXML::WriteValueText(const std::string& name, const std::string& text) {
    if (m_current == nullptr) {
        return;
    }
    auto element = new TiXmlElement(name.c_str());
    element->LinkEndChild(new TiXmlText(text.c_str()));
    m_current->LinkEndChild(element);
}

bool SerializerXML::SerializeString(const std::string& name, std::string* value) {
    if (m_reading) {
        const char* text = nullptr;
        if (!ReadValueText(name, &text)) {
            return false;
        }
        // An element without text reads as the empty string.
        *value = text != nullptr ? text : "";
        return true;
    }
    if (!value->empty()) {
        WriteValueText(name, *value);
    }
    return false;
}

bool SerializerXML::SerializeFloat(const std::string& name, float* value) {
    if (m_reading) {
        const char* text = nullptr;
        if (!ReadValueText(name, &text)) {
            return false;
        }
        ReadDataValue(m_where, name, text, value, {}, NumberText::Leading);
        return true;
    }
    WriteValueText(name, FormatFloatText(*value));
    return false;
}

bool SerializerXML::SerializeInt(const std::string& name, int* value) {
    if (m_reading) {
        const char* text = nullptr;
        if (!ReadValueText(name, &text)) {
            return false;
        }
        ReadDataValue(m_where, name, text, value, {}, NumberText::Leading);
        return true;
    }
    WriteValueText(name, FormatIntText(*value));
    return false;
}

bool SerializerXML::SerializeBool(const std::string& name, bool* value) {
    // Through the interface, so a subclass's int rule applies to booleans too.
    if (m_reading) {
        int number = *value ? 1 : 0;
        const bool found = SerializeInt(name, &number);
        if (found) {
            *value = number != 0;
        }
        return found;
    }
    int number = *value ? 1 : 0;
    return SerializeInt(name, &number);
}

bool SerializerXML::SerializeBlock(std::string& name) {
    if (m_reading) {
        ReadBlock(name);
    } else {
        WriteBlock(name);
    }
    return m_current != nullptr;
}

void SerializerXML::ReadBlock(std::string& name) {
    if (m_current != nullptr) {
        m_current = m_current->NextSiblingElement();
    } else {
        m_current = m_first;
    }
    name = m_current != nullptr ? m_current->Value() : kEndOfBlocks;
}

void SerializerXML::WriteBlock(std::string& name) {
    if (name == kEndOfBlocks) {
        m_current = m_first;
        m_first = m_first != nullptr ? m_first->Parent() : nullptr;
        return;
    }
    if (m_current == nullptr) {
        return;
    }
    TiXmlNode* element = m_current->LinkEndChild(new TiXmlElement(name.c_str()));
    m_first = m_current;
    m_current = element;
}

void SerializerXML::BeginBlockList(TiXmlNode* firstElement) {
    m_first = firstElement;
    m_current = nullptr;
}

void SerializerXML::SetCurrent(TiXmlNode* element) {
    m_current = element;
}

bool SerializerXML::SaveFile(const std::string& fileName) const {
    return SaveXmlDocument(*m_document, fileName);
}

bool SerializerXML::BeginLoad(const std::string& fileName, const char* openMessage) {
    if (m_loaded) {
        return false;
    }
    m_document->Clear();
    m_first = m_current = m_document.get();
    m_where = fileName;
    std::string why;
    m_loaded = LoadXmlFile(*m_document, fileName, &why);
    if (!m_loaded) {
        // The first line is the long-standing one that logs are searched for.
        LogMessage(openMessage + fileName + "'. Is the file name correct?\n");
        LogMessage(fileName + ": " + why + "\n");
    }
    return m_loaded;
}

void SerializerXML::EndLoad() {
    m_loaded = false;
}

}  // namespace Ostrel
