// The loader of the "ARCHETYPE" resource kind.

#include "engine/io/ArchetypeLoader.h"

#include "engine/io/SerializerXML.h"

namespace Ostrel {

void LoadArchetypeResource(const std::string& path) {
    // LoadObjects files every top-level element as an archetype and logs a
    // file it cannot read or parse.
    SerializerXML reader(true);
    reader.LoadObjects(path);
}

}  // namespace Ostrel
