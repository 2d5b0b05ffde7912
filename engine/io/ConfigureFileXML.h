#pragma once
// A configuration document over TinyXML: one root element (any tag; the user
// settings use "UserSettings") whose child elements are the keys, each holding
// its value as text. Systems receive it as their Serializer when they load
// their configuration: value reads answer "found", blocks do nothing.
//
// Booleans follow the configuration rule, not the XML serializer's: a bool is
// read as an int, "0" is false, "-1" counts as missing (the default stays),
// any other integer is true. Written bools are 1 or 0.
//
// Numbers are read through ReadDataValue (DataValue.h): a text that is not
// a whole number is logged with the file's path and the key, and leaves the
// value unchanged unless it starts with a number, which is then kept. An
// element without text reads as the empty string (strings) or as a blank
// number (logged, value unchanged).

#include "engine/base/Serializer.h"
#include "engine/io/ConfigureFile.h"

#include <tinyxml.h>

#include <string>
#include <vector>

namespace Ostrel {

// Letters, digits, '_', '-' and '.', not starting with a digit, '-' or '.'.
bool IsPlainKeyName(const char* name);

class ConfigureFileXML : public ConfigureFile, public Serializer {
public:
    explicit ConfigureFileXML(bool reading);
    // Also creates the root element rootName in the empty document.
    ConfigureFileXML(bool reading, const std::string& rootName);

    // Loads the document from path; answers (and records) whether it worked.
    // On failure LoadError() says why (see LoadXmlFile).
    bool Load(const std::string& path);
    // As Load, but a document that fails to parse keeps the keys the parser
    // had read completely before the fault (every key of the root element
    // but the one it was reading when it stopped); answers whether the file
    // parsed. IsLoaded() is then true when any key was kept.
    bool LoadSalvaging(const std::string& path);
    const std::string& LoadError() const { return m_loadError; }
    // Parses a document held in memory (tests, fuzzing, packed data).
    bool LoadFromText(const std::string& text);
    bool IsLoaded() const { return m_loaded; }

    // Writes the document to a temporary file beside path and renames it over
    // path, so a failed save never leaves a half-written file. A failure is
    // logged ("Failed to save file '<path>'") and answered false.
    bool SaveFile(const std::string& path) const;
    // The document as SaveFile writes it.
    std::string ToText() const;

    // ConfigureFile
    void String(const std::string& key, std::string* value) override;
    void Float(const std::string& key, float* value) override;
    void Bool(const std::string& key, bool* value) override;
    void Int(const std::string& key, int* value) override;
    bool IsReading() const override { return m_reading; }
    bool IsWriting() const override { return !m_reading; }

    // Serializer
    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string& name, bool* value) override;
    bool SerializeInt(const std::string& name, int* value) override;
    bool SerializeBlock(std::string& name) override;
    // The path given to Load or LoadSalvaging, or what SetWhere set.
    std::string Where() const override { return m_path; }
    void SetWhere(std::string where) { m_path = std::move(where); }
    // The root element's tag, or empty when there is none.
    std::string RootName() const;

    // The keys under the root, in document order (duplicates included).
    std::vector<std::string> GetKeys() const;
    // Appends every key of other (its name and text) that this document does
    // not hold yet, in other's order. Keys whose names are not plain (letters,
    // digits, '_', '-', '.'; not starting with a digit) are dropped.
    void CarryOverMissingKeys(const ConfigureFileXML& other);

private:
    TiXmlElement* Root() const;
    TiXmlElement* RootForWriting();
    const TiXmlElement* FindKey(const std::string& key) const;
    void AppendKey(const std::string& key, const std::string& text);
    // After a failed parse: keeps only the complete keys of the partial tree.
    void KeepCompleteKeys();

    TiXmlDocument m_document;
    bool m_reading;
    bool m_loaded;
    std::string m_loadError;
    std::string m_path;
};

}  // namespace Ostrel
