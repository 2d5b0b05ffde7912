#include "engine/core/Component.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/PlaceholderComponent.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using Ostrel::CompositionFactory;
using Ostrel::FourCC;
using Ostrel::u32;

namespace {

struct Row {
    const char* name;
    u32 id;
};

// The registration table: class names as archetype and room files use them.
const std::vector<Row> kRows = {
    {"BrainComponent", FourCC("brnC")}, {"MessageComponent", FourCC("msgC")},
    {"WaveMotionComponent", FourCC("wavC")}, {"PlayerComponent", FourCC("plrC")},
    {"PlayerCameraLogicComponent", FourCC("PCLC")}, {"EnemyComponent", FourCC("emyC")},
    {"ChargerComponent", FourCC("chgC")}, {"SpawnerComponent", FourCC("spwC")},
    {"QilComponent", FourCC("qilC")}, {"PlayerTriggerComponent", FourCC("pctC")},
    {"TriggerListenerComponent", FourCC("tliC")}, {"WaveSpawnerComponent", FourCC("wspC")},
    {"ControllerComponent", FourCC("CntC")}, {"HealthComponent", FourCC("helC")},
    {"GoalComponent", FourCC("golC")}, {"GateComponent", FourCC("gatC")},
    {"BroodMotherComponent", FourCC("brdC")}, {"DamageTrapComponent", FourCC("datC")},
    {"PowerUpDropComponent", FourCC("pudC")}, {"PowerUpAnimateComponent", FourCC("puaC")},
    {"ProjectileComponent", FourCC("proC")}, {"HealthPackComponent", FourCC("hpkC")},
    {"FoxComponent", FourCC("foxC")}, {"BirdComponent", FourCC("birC")},
    {"PowerUpAttackComponent", FourCC("patC")}, {"TimedTriggerComponent", FourCC("timC")},
    {"FoxBossComponent", FourCC("fboC")}, {"BirdBossComponent", FourCC("bboC")},
    {"YakBossComponent", FourCC("yboC")}, {"YakTileComponent", FourCC("ykti")},
    {"FoxTileComponent", FourCC("fxti")}, {"FoxManagerComponent", FourCC("fxma")},
    {"FlyOverCameraComponent", FourCC("focC")},
    {"CameraModifierTriggerListenerComponent", FourCC("CMTL")},
    {"CheckpointComponent", FourCC("chkC")}, {"PlayerCameraModifierComponent", FourCC("PCMC")},
    {"RumbleEffectComponent", FourCC("refC")}, {"DestructibleComponent", FourCC("desC")},
    {"PortalComponent", FourCC("prtC")}, {"SkyboxComponent", FourCC("skbC")},
    {"MeshComponent", 42}, {"TransformComponent", 27},
    {"FidgetComponent", FourCC("fdgC")}, {"MovementComponent", FourCC("move")},
    {"CollisionComponent", FourCC("coll")}, {"CameraComponent", FourCC("CamC")},
    {"DefaultCameraLogicComponent", FourCC("DCLC")}, {"ParticleEmitterComponent", FourCC("Emit")},
    {"ShadowComponent", FourCC("Shad")}, {"TimedLifeComponent", FourCC("tmlC")},
    {"StaticBillboardComponent", FourCC("SBil")}, {"LightComponent", FourCC("liht")},
    {"LevelGeometryComponent", FourCC("lgeo")}, {"OrbitObjectComponent", FourCC("orbC")},
    {"TransparentPlaneComponent", FourCC("trpc")}, {"AimerComponent", FourCC("aimc")},
    {"RotationalVelocityComponent", FourCC("rtvC")}, {"LightTargetComponent", FourCC("trgt")},
    {"RegionComponent", FourCC("regi")},
};

// Rows already backed by their real class. Every other row is still an inert
// placeholder; a subsystem that brings its class moves its rows here.
const std::set<std::string> kRealClasses = {
    "AimerComponent",
    "BirdBossComponent",
    "BirdComponent",
    "BrainComponent",
    "BroodMotherComponent",
    "CameraComponent",
    "CameraModifierTriggerListenerComponent",
    "ChargerComponent",
    "CheckpointComponent",
    "CollisionComponent",
    "ControllerComponent",
    "DamageTrapComponent",
    "DefaultCameraLogicComponent",
    "DestructibleComponent",
    "EnemyComponent",
    "FidgetComponent",
    "FlyOverCameraComponent",
    "FoxBossComponent",
    "FoxComponent",
    "GateComponent",
    "GoalComponent",
    "FoxManagerComponent",
    "FoxTileComponent",
    "HealthComponent",
    "HealthPackComponent",
    "LevelGeometryComponent",
    "LightComponent",
    "LightTargetComponent",
    "MeshComponent",
    "MessageComponent",
    "MovementComponent",
    "OrbitObjectComponent",
    "ParticleEmitterComponent",
    "PlayerCameraLogicComponent",
    "PlayerCameraModifierComponent",
    "PlayerComponent",
    "PlayerTriggerComponent",
    "PortalComponent",
    "PowerUpAnimateComponent",
    "PowerUpAttackComponent",
    "PowerUpDropComponent",
    "ProjectileComponent",
    "QilComponent",
    "RegionComponent",
    "RotationalVelocityComponent",
    "RumbleEffectComponent",
    "ShadowComponent",
    "SkyboxComponent",
    "SpawnerComponent",
    "StaticBillboardComponent",
    "TimedTriggerComponent",
    "TimedLifeComponent",
    "TransformComponent",
    "TransparentPlaneComponent",
    "TriggerListenerComponent",
    "WaveMotionComponent",
    "WaveSpawnerComponent",
    "YakBossComponent",
    "YakTileComponent"};

}  // namespace

TEST(RegisterComponentTypes, RegistersAll59NamesWithTheirIds) {
    CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    ASSERT_EQ(kRows.size(), 59u);
    EXPECT_EQ(factory.GetComponentTypeIds().size(), 59u);
    for (const Row& row : kRows) {
        EXPECT_EQ(factory.GetComponentTypeId(row.name), row.id) << row.name;
        EXPECT_EQ(factory.GetComponentTypeName(row.id), row.name);
    }
    EXPECT_EQ(factory.GetComponentTypeId("TriggeredDeathComponent"), 0u);
    EXPECT_EQ(FourCC("brnC"), 1651666499u);
}

TEST(RegisterComponentTypes, ListsTheRowsThatAreStillPlaceholders) {
    CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    for (const Row& row : kRows) {
        Ostrel::Component* component = factory.CreateComponentByName(row.name);
        ASSERT_NE(component, nullptr) << row.name;
        EXPECT_EQ(component->GetTypeId(), row.id) << row.name;
        const bool placeholder = dynamic_cast<Ostrel::PlaceholderComponentBase*>(component) != nullptr;
        EXPECT_EQ(placeholder, kRealClasses.count(row.name) == 0)
            << row.name << (placeholder ? " is still a placeholder" : " has its real class now");
        // Clones keep the type, also for placeholders.
        Ostrel::Component* clone = component->Clone();
        EXPECT_EQ(clone->GetTypeId(), row.id);
        factory.DestroyComponent(clone);
        factory.DestroyComponent(component);
    }
}
