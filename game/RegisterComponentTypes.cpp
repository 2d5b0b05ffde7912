#include "game/RegisterComponentTypes.h"

#include "engine/actions/OrbitObjectComponent.h"
#include "engine/actions/RotationalVelocityComponent.h"
#include "engine/actions/TimedLifeComponent.h"
#include "engine/actions/WaveMotionComponent.h"
#include "engine/components/AimerComponent.h"
#include "engine/components/CameraComponent.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/DefaultCameraLogicComponent.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "engine/components/LightComponent.h"
#include "engine/components/LightTargetComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/PortalComponent.h"
#include "engine/components/RegionComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/components/SkyboxComponent.h"
#include "engine/components/StaticBillboardComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "game/bosses/BirdBossComponent.h"
#include "game/bosses/BroodMotherComponent.h"
#include "game/bosses/FoxBossComponent.h"
#include "game/bosses/FoxManagerComponent.h"
#include "game/bosses/FoxTileComponent.h"
#include "game/bosses/YakBossComponent.h"
#include "game/bosses/YakTileComponent.h"
#include "game/camera/CameraModifierComponents.h"
#include "game/camera/FlyOverCameraComponent.h"
#include "game/camera/PlayerCameraLogicComponent.h"
#include "game/enemies/BirdComponent.h"
#include "game/enemies/ChargerComponent.h"
#include "game/enemies/DamageTrapComponent.h"
#include "game/enemies/EnemyComponent.h"
#include "game/enemies/FoxComponent.h"
#include "game/enemies/ProjectileComponent.h"
#include "game/enemies/SpawnerComponent.h"
#include "game/enemies/WaveSpawnerComponent.h"
#include "game/objects/CheckpointComponent.h"
#include "game/objects/GateComponent.h"
#include "game/objects/GoalComponent.h"
#include "game/objects/HealthComponent.h"
#include "game/objects/HealthPackComponent.h"
#include "game/objects/PlayerTriggerComponent.h"
#include "game/objects/PowerUpAnimateComponent.h"
#include "game/objects/PowerUpAttackComponent.h"
#include "game/objects/PowerUpDropComponent.h"
#include "game/objects/RumbleEffectComponent.h"
#include "game/objects/TimedTriggerComponent.h"
#include "game/objects/TriggerListenerComponent.h"
#include "game/player/ControllerComponent.h"
#include "game/player/PlayerComponent.h"
#include "game/player/QilComponent.h"

namespace Vandle {

using namespace Ostrel;

namespace {

template <class T>
void Register(CompositionFactory& factory, const char* className) {
    factory.AddComponentType(new ComponentFactory<T>(T::kTypeId), T::kTypeId, className);
}

}  // namespace

void RegisterComponentTypes(CompositionFactory& f) {
    Register<BrainComponent>(f, "BrainComponent");
    Register<MessageComponent>(f, "MessageComponent");
    Register<WaveMotionComponent>(f, "WaveMotionComponent");
    Register<Vandle::PlayerComponent>(f, "PlayerComponent");
    Register<Vandle::PlayerCameraLogicComponent>(f, "PlayerCameraLogicComponent");
    Register<Vandle::EnemyComponent>(f, "EnemyComponent");
    Register<Vandle::ChargerComponent>(f, "ChargerComponent");
    Register<Vandle::SpawnerComponent>(f, "SpawnerComponent");
    Register<Vandle::QilComponent>(f, "QilComponent");
    Register<Vandle::PlayerTriggerComponent>(f, "PlayerTriggerComponent");
    Register<Vandle::TriggerListenerComponent>(f, "TriggerListenerComponent");
    Register<Vandle::WaveSpawnerComponent>(f, "WaveSpawnerComponent");
    Register<Vandle::ControllerComponent>(f, "ControllerComponent");
    Register<Vandle::HealthComponent>(f, "HealthComponent");
    Register<Vandle::GoalComponent>(f, "GoalComponent");
    Register<Vandle::GateComponent>(f, "GateComponent");
    Register<Vandle::BroodMotherComponent>(f, "BroodMotherComponent");
    Register<Vandle::DamageTrapComponent>(f, "DamageTrapComponent");
    Register<Vandle::PowerUpDropComponent>(f, "PowerUpDropComponent");
    Register<Vandle::PowerUpAnimateComponent>(f, "PowerUpAnimateComponent");
    Register<Vandle::ProjectileComponent>(f, "ProjectileComponent");
    Register<Vandle::HealthPackComponent>(f, "HealthPackComponent");
    Register<Vandle::FoxComponent>(f, "FoxComponent");
    Register<Vandle::BirdComponent>(f, "BirdComponent");
    Register<Vandle::PowerUpAttackComponent>(f, "PowerUpAttackComponent");
    Register<Vandle::TimedTriggerComponent>(f, "TimedTriggerComponent");
    Register<Vandle::FoxBossComponent>(f, "FoxBossComponent");
    Register<Vandle::BirdBossComponent>(f, "BirdBossComponent");
    Register<Vandle::YakBossComponent>(f, "YakBossComponent");
    Register<Vandle::YakTileComponent>(f, "YakTileComponent");
    Register<Vandle::FoxTileComponent>(f, "FoxTileComponent");
    Register<Vandle::FoxManagerComponent>(f, "FoxManagerComponent");
    Register<Vandle::FlyOverCameraComponent>(f, "FlyOverCameraComponent");
    Register<Vandle::CameraModifierTriggerListenerComponent>(f, "CameraModifierTriggerListenerComponent");
    Register<Vandle::CheckpointComponent>(f, "CheckpointComponent");
    Register<Vandle::PlayerCameraModifierComponent>(f, "PlayerCameraModifierComponent");
    Register<Vandle::RumbleEffectComponent>(f, "RumbleEffectComponent");
    Register<DestructibleComponent>(f, "DestructibleComponent");
    Register<PortalComponent>(f, "PortalComponent");
    Register<SkyboxComponent>(f, "SkyboxComponent");
    Register<MeshComponent>(f, "MeshComponent");
    Register<TransformComponent>(f, "TransformComponent");
    Register<FidgetComponent>(f, "FidgetComponent");
    Register<MovementComponent>(f, "MovementComponent");
    Register<CollisionComponent>(f, "CollisionComponent");
    Register<CameraComponent>(f, "CameraComponent");
    Register<DefaultCameraLogicComponent>(f, "DefaultCameraLogicComponent");
    Register<ParticleEmitterComponent>(f, "ParticleEmitterComponent");
    Register<ShadowComponent>(f, "ShadowComponent");
    Register<TimedLifeComponent>(f, "TimedLifeComponent");
    Register<StaticBillboardComponent>(f, "StaticBillboardComponent");
    Register<LightComponent>(f, "LightComponent");
    Register<LevelGeometryComponent>(f, "LevelGeometryComponent");
    Register<OrbitObjectComponent>(f, "OrbitObjectComponent");
    Register<TransparentPlaneComponent>(f, "TransparentPlaneComponent");
    Register<AimerComponent>(f, "AimerComponent");
    Register<RotationalVelocityComponent>(f, "RotationalVelocityComponent");
    Register<LightTargetComponent>(f, "LightTargetComponent");
    Register<RegionComponent>(f, "RegionComponent");
}

}  // namespace Vandle
