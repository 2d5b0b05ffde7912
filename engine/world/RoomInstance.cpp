#include "engine/world/RoomInstance.h"

#include "engine/base/Serializer.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"

namespace Ostrel {

RoomInstance::RoomInstance(std::string name) : m_name(std::move(name)) {}

RoomInstance::~RoomInstance() {
    if (m_objects.empty()) {
        return;
    }
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;  // the factory already freed every object it made
    }
    for (Composition* object : m_objects) {
        object->Uninitialize();
        factory->Destroy(object);
    }
}

void RoomInstance::ReadAttributes(Serializer& serializer) {
    int difficulty = m_difficulty;
    serializer.SerializeInt("Difficulty", &difficulty);
    m_difficulty = difficulty;
}

void RoomInstance::AppendObject(Composition* object) {
    if (object != nullptr) {
        m_objects.push_back(object);
    }
}

}  // namespace Ostrel
