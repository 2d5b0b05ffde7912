// Fuzz target: configuration documents. Reads every key through the
// Serializer interface, carries the keys into a writer, and checks that the
// written document parses back with the same keys.

#include "engine/io/ConfigureFileXML.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Ostrel::ConfigureFileXML reader(true);
    if (!reader.LoadFromText(text)) return 0;
    Ostrel::Serializer& serializer = reader;
    for (const std::string& key : reader.GetKeys()) {
        std::string s;
        float f = 0;
        bool b = false;
        int i = 0;
        serializer.SerializeString(key, &s);
        serializer.SerializeFloat(key, &f);
        serializer.SerializeBool(key, &b);
        serializer.SerializeInt(key, &i);
    }
    Ostrel::ConfigureFileXML writer(false, "UserSettings");
    writer.CarryOverMissingKeys(reader);
    Ostrel::ConfigureFileXML back(true);
    if (!back.LoadFromText(writer.ToText())) return 0;
    // Keys are element names; the set carried over must survive printing.
    if (back.GetKeys().size() != writer.GetKeys().size()) __builtin_trap();
    return 0;
}
