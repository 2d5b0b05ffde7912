// Room files ("xrm") from arbitrary bytes, over one known archetype: unknown
// archetypes and components are skipped, values override the archetype's.
#include "XmlFuzzInput.h"
#include "XmlFuzzObjects.h"

#include "engine/base/Logger.h"
#include "engine/io/SerializerXML.h"
#include "engine/world/RoomInstance.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    static const std::string kArchetypes =
        "<probe-obj><ProbeComponent/></probe-obj><spark-obj><ParticleEmitterComponent/></spark-obj>";
    static const std::string archetypes = Ostrel::Fuzz::WriteInputFile(
        "room-archetypes.xobj", reinterpret_cast<const uint8_t*>(kArchetypes.data()), kArchetypes.size());
    Ostrel::CompositionFactory factory;
    Ostrel::Fuzz::RegisterProbes(factory);
    {
        Ostrel::SerializerXML loader(true);
        loader.LoadObjects(archetypes);
    }
    const std::string text(reinterpret_cast<const char*>(data), size);  // the room file image, NUL-ended
    {
        Ostrel::RoomInstance room("fuzz");
        Ostrel::SerializerXML reader(true);
        reader.ReadRoomText("fuzz", text.c_str(), room);
    }
    return 0;
}
