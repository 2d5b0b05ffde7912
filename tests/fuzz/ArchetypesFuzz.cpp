// Archetype files ("xobj") from arbitrary bytes: every archetype loaded is
// then placed and written by the level save, which compares it with itself.
#include "XmlFuzzInput.h"
#include "XmlFuzzObjects.h"

#include "engine/base/Logger.h"
#include "engine/core/Composition.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    const std::string path = Ostrel::Fuzz::WriteInputFile("archetypes.xobj", data, size);
    Ostrel::CompositionFactory factory;
    Ostrel::Fuzz::RegisterProbes(factory);
    Ostrel::SerializerXML reader(true);
    reader.LoadObjects(path);
    std::vector<Ostrel::Composition*> placed;
    for (const std::string& name : factory.GetArchetypeNames()) {
        placed.push_back(factory.Create(name));
    }
    {
        Ostrel::SerializerLevelSave writer;
        for (Ostrel::Composition* object : placed) {
            writer.WriteObject(*object);
        }
    }
    for (Ostrel::Composition* object : placed) {
        factory.Destroy(object);
    }
    std::remove(path.c_str());
    return 0;
}
