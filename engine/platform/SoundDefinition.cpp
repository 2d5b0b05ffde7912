#include "engine/platform/SoundDefinition.h"

#include "engine/base/Serializer.h"

namespace Ostrel {

void SoundDefinition::Serialize(Serializer& serializer) {
    std::string name = m_name;
    bool stream = m_stream;
    bool loop = m_loop;
    f32 volume = m_volume;
    int instances = m_instances;
    serializer.SerializeString("name", &name);
    serializer.SerializeBool("stream", &stream);
    serializer.SerializeBool("loop", &loop);
    serializer.SerializeFloat("volume", &volume);
    serializer.SerializeInt("instances", &instances);
    m_stream = stream;
    m_loop = loop;
    m_volume = volume;
    m_instances = instances;
}

}  // namespace Ostrel
