// The registry after static initialisation holds exactly the program's
// reflected types: every class, plain type, enumeration, text and nil type,
// and nothing stands in for a class any more. The test binary also
// registers test types of its own, so the program's registry is read from
// reflect-dump, which links the engine and nothing else.

#include "engine/core/MetaClass.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace Ostrel {
namespace {

// Classes and structures, in their order of static construction.
const char* const kClasses[] = {
    "ControllerComponent", "PlayerComponent", "DodgeRollAction", "JumpAction", "EnemyComponent",
    "ChargerAIAction", "EnemyChargeAction", "FacePlayerAction", "PlayerSeekAction", "SpawnerComponent",
    "WaveSpawnerComponent", "ChargerComponent", "PlayerCameraAction", "PlayerCameraLogicComponent",
    "CameraShakeAction", "FlyOverCameraComponent", "CameraMoveToAction", "CameraRouteAction",
    "CameraInterpolateAction", "CameraModifierTriggerListenerComponent", "PlayerCameraModifierComponent",
    "BroodMotherComponent", "TriggeredDeathComponent", "BroodSpawnAction", "WanderAction", "QilComponent",
    "ArcAttackAction", "BobAction", "FaceVelocityAction", "FirestarterAttackAction", "QilReturnAction",
    "MeteorAttackAction", "ShieldAttackAction", "ShootQilAction", "VictoryAction", "GateComponent",
    "PowerUpDropComponent", "HealthPackComponent", "PowerUpAnimateComponent", "PowerUpAttackComponent",
    "FoxComponent", "FoxAIAction", "ThrowRubbleAction", "ProjectileComponent", "BirdBounceAction",
    "BirdComponent", "YakBossAIAction", "YakBossComponent", "YakTileComponent", "DamageTrapComponent",
    "BirdBossComponent", "FoxBossComponent", "FoxBossAIAction", "FoxBossRockShowerAction", "TailSlamAction",
    "FoxManagerComponent", "FoxTileComponent", "CheckpointComponent", "RumbleSpawnAction", "BurnAction",
    "ColorChangeAction", "HealthComponent", "RumbleEffectComponent", "TriggerListenerComponent",
    "PlayerTriggerComponent", "GoalComponent", "TimedTriggerAction", "TimedTriggerComponent", "UiEnergyBar",
    "UiHudHandler", "UiOptionsHandler", "Vec2", "Vec3", "Vec4", "ControllerData", "ActionBase",
    "BrainComponent", "ObjectManager", "VelocityMovementAction", "ImpulseAction", "DamagePlayerAction",
    "KnockbackPlayerAction", "FidgetComponent", "AnimationAction", "CollisionData", "TimedBlockAction",
    "DamageEnemyAction", "KnockbackEnemyAction", "SpawnAction", "CameraComponent", "ImmovableAction",
    "TimedMoveToAction", "OrbitAction", "MeshComponent", "AttachAction", "TimedMoveToObjectAction",
    "TimedLifeAction", "PlaySoundAction", "MoveForwardAction", "RotationalVelocityAction",
    "ModifyTransformAction", "UiElementBase", "UiTextArea", "UiToggleImage", "UiLabel", "TutorialManager",
    "GameSystem", "WindowSystem", "Graphics", "Input", "SoundSystem", "UiSystem", "AnimationSystem",
    "Physics", "LogicSystem", "ScriptSystem", "LightManager", "MatrixManager", "FontManager", "HbvManager",
    "LevelEditor", "ModelView", "MessageComponent", "WaveMotionComponent", "DestructibleComponent",
    "PortalComponent", "SkyboxComponent", "TransformComponent", "MovementComponent", "CollisionComponent",
    "DefaultCameraLogicComponent", "ParticleEmitterComponent", "ShadowComponent", "TimedLifeComponent",
    "StaticBillboardComponent", "LightComponent", "LevelGeometryComponent", "OrbitObjectComponent",
    "TransparentPlaneComponent", "AimerComponent", "RotationalVelocityComponent", "LightTargetComponent",
    "RegionComponent", "TutorialRecord", "ScopedProfiler", "FontDescription", "UiScene", "SoundChannel",
    "UiSendMessageHandler", "UiTimerHandler", "UiScrollGroup", "UiAnyKeyHandler", "UiAutoMessageHandler",
    "UiQueryTextHandler", "UiResourceLoadHandler", "UiLevelLoadHandler", "UiPauseHandler", "UiImage", "UiKeyHandler", "UiSolid",
    "UiSceneChangeHandler", "UiBobHandler", "UiButton", "UiBaseImpl", "UiNavigator",
};
const char* const kPlainTypes[] = {
    "bool", "char", "unsigned char", "short", "unsigned short", "int", "unsigned", "long", "unsigned long",
    "float", "double",
};
const char* const kEnumerations[] = {
    "BarDirection", "UiSceneChangeMethod", "UiDirection", "SoundFamily", "TutorialSceneInput",
    "FontAlignment", "UiKey",
};
const char* const kOthers[] = {
    "OstrelString", "EntityUnknown", "std::vector<Ostrel::FunctionRef>",
};

// Name -> kind of every line "NAME kind K" of reflect-dump's output.
std::map<std::string, int> ProgramRegistry() {
    std::map<std::string, int> kinds;
    FILE* pipe = popen(LV_REFLECT_DUMP, "r");
    if (pipe == nullptr) return kinds;
    char line[1024];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text(line);
        if (text.empty() || text[0] == ' ') continue;
        const size_t at = text.rfind(" kind ");
        if (at == std::string::npos) continue;
        kinds[text.substr(0, at)] = std::stoi(text.substr(at + 6));
    }
    pclose(pipe);
    return kinds;
}

TEST(MetaRegistry, HoldsThe186TypesOfTheProgramAndNothingElse) {
    std::set<std::string> expected;
    for (const char* name : kClasses) expected.insert(name);
    for (const char* name : kPlainTypes) expected.insert(name);
    for (const char* name : kEnumerations) expected.insert(name);
    for (const char* name : kOthers) expected.insert(name);
    ASSERT_EQ(std::size(kClasses), 165u);
    ASSERT_EQ(expected.size(), 186u);

    const std::map<std::string, int> program = ProgramRegistry();
    std::set<std::string> registered;
    for (const auto& [name, kind] : program) registered.insert(name);
    std::string missing, extra;
    for (const std::string& name : expected)
        if (!registered.count(name)) missing += " " + name;
    for (const std::string& name : registered)
        if (!expected.count(name)) extra += " " + name;
    EXPECT_EQ(missing, "") << "missing:" << missing;
    EXPECT_EQ(extra, "") << "extra:" << extra;
    EXPECT_EQ(program.size(), 186u);

    auto kindOf = [&program](const char* name) {
        const auto it = program.find(name);
        return it != program.end() ? it->second : -1;
    };
    for (const char* name : kEnumerations) EXPECT_EQ(kindOf(name), kKindEnum) << name;
    for (const char* name : kClasses) EXPECT_EQ(kindOf(name), kKindClass) << name;
}

}  // namespace
}  // namespace Ostrel
