// The game's reflected classes that are not written yet, registered by name
// (MetaClassPlaceholder.h) so that the registry lists every class of the
// program. A class written since takes its stand-in's place through its own
// registration line; remove its name here then.

#include "engine/core/MetaClassPlaceholder.h"

namespace {

const Ostrel::PlaceholderMetaClasses s_pendingGameClasses{
    "ControllerComponent", "PlayerComponent", "DodgeRollAction", "JumpAction", "EnemyComponent",
    "ChargerAIAction", "EnemyChargeAction", "FacePlayerAction", "PlayerSeekAction",
    "SpawnerComponent", "WaveSpawnerComponent", "ChargerComponent", "BroodMotherComponent", "TriggeredDeathComponent", "BroodSpawnAction", "WanderAction",
    "QilComponent", "ArcAttackAction", "BobAction", "FaceVelocityAction",
    "FirestarterAttackAction", "QilReturnAction", "MeteorAttackAction", "ShieldAttackAction",
    "ShootQilAction", "VictoryAction", "GateComponent", "PowerUpDropComponent",
    "HealthPackComponent", "PowerUpAnimateComponent", "PowerUpAttackComponent", "FoxComponent",
    "FoxAIAction", "ThrowRubbleAction", "ProjectileComponent", "BirdBounceAction", "BirdComponent",
    "YakBossAIAction", "YakBossComponent", "YakTileComponent", "DamageTrapComponent",
    "BirdBossComponent", "FoxBossComponent", "FoxBossAIAction", "FoxBossRockShowerAction",
    "TailSlamAction", "FoxManagerComponent", "FoxTileComponent", "CheckpointComponent",
    "RumbleSpawnAction", "BurnAction", "ColorChangeAction", "HealthComponent",
    "RumbleEffectComponent", "TriggerListenerComponent", "PlayerTriggerComponent", "GoalComponent",
    "TimedTriggerAction", "TimedTriggerComponent"
};

}  // namespace
