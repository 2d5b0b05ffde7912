// Room files ("xrm") from arbitrary bytes, over real transform, portal and
// collision components and fake trigger components: a room either fails
// validation or is built into a level of three copies of itself, whose
// entrances sit on the exits before them and whose trigger ids are level-wide.
#include "XmlFuzzInput.h"

#include "engine/base/Logger.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/PortalComponent.h"
#include "engine/core/Component.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Variant.h"
#include "engine/io/SerializerXML.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstance.h"
#include "engine/world/TriggerIdHolder.h"

#include <cstdlib>
#include <string>

namespace {

template <Ostrel::u32 TypeId>
class Trigger final : public Ostrel::Component, public Ostrel::TriggerIdHolder {
public:
    static constexpr Ostrel::u32 kTypeId = TypeId;
    Ostrel::s32 GetTriggerId() const override { return id; }
    void SetTriggerId(Ostrel::s32 value) override { id = value; }
    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override {
        auto* copy = static_cast<Trigger*>(Ostrel::CompositionFactory::Instance()->CreateComponent(kTypeId));
        copy->id = id;
        return copy;
    }
    void Serialize(Ostrel::Serializer* s) override {
        int value = static_cast<int>(id);
        if (s->SerializeInt("TriggerId", &value)) id = value;
    }
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    Ostrel::u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override { return Ostrel::Variant(); }
    Ostrel::s32 id = 0;
};

template <class T>
void Register(Ostrel::CompositionFactory& factory, const char* name) {
    factory.AddComponentType(new Ostrel::ComponentFactory<T>(T::kTypeId), T::kTypeId, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    static const std::string kArchetypes =
        "<portal-obj><TransformComponent/><PortalComponent><type-name>Entrance</type-name></PortalComponent></portal-obj>"
        "<wall-obj><TransformComponent/><CollisionComponent/></wall-obj>"
        "<spawner-Luvo><TransformComponent/></spawner-Luvo><spawner-qil-obj><TransformComponent/></spawner-qil-obj>"
        "<spawner-camera><TransformComponent/></spawner-camera>"
        "<trigger-obj><TransformComponent/><PlayerTriggerComponent/></trigger-obj>"
        "<listener-obj><TriggerListenerComponent/></listener-obj>"
        "<loose-portal-obj><PortalComponent/></loose-portal-obj>";
    static const std::string archetypes = Ostrel::Fuzz::WriteInputFile(
        "level-archetypes.xobj", reinterpret_cast<const uint8_t*>(kArchetypes.data()), kArchetypes.size());
    Ostrel::CompositionFactory factory;
    Register<Ostrel::TransformComponent>(factory, "TransformComponent");
    Register<Ostrel::PortalComponent>(factory, "PortalComponent");
    Register<Ostrel::CollisionComponent>(factory, "CollisionComponent");
    Register<Trigger<Ostrel::kPlayerTriggerTypeId>>(factory, "PlayerTriggerComponent");
    Register<Trigger<Ostrel::kTriggerListenerTypeId>>(factory, "TriggerListenerComponent");
    {
        Ostrel::SerializerXML loader(true);
        loader.LoadObjects(archetypes);
    }
    const std::string text(reinterpret_cast<const char*>(data), size);  // the room file image, NUL-ended
    Ostrel::RoomInstance room("fuzz");
    {
        Ostrel::SerializerXML reader(true);
        reader.ReadRoomText("fuzz", text.c_str(), room);
    }
    if (!room.Validate()) return 0;
    Ostrel::LevelInstanceManager level;
    std::vector<Ostrel::RoomInstance*> rooms{&room};
    if (room.HasExit()) rooms.assign(3, &room);
    if (!level.Build(rooms)) return 0;
    if (level.GetRoomCount() != static_cast<int>(rooms.size())) std::abort();
    const auto& ends = level.GetRoomEnds();
    if (ends.size() != (room.HasExit() ? rooms.size() : 0u)) std::abort();
    // Room numbers never fall as x grows.
    int previous = 1;
    for (float end : ends) {
        const int at = level.GetRoomAt(Ostrel::Vec3(end, 0, 0));
        if (at < previous) std::abort();
        previous = at;
    }
    level.MoveSpawners(Ostrel::Vec3(1, 2, 3));
    if (level.GetPlayerSpawner()->GetTransform()->GetPosition().x != 1.0f) std::abort();
    return 0;
}
