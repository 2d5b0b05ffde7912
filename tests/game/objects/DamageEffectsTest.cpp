#include "tests/game/GameFixture.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/components/MeshComponent.h"
#include "game/objects/BurnAction.h"
#include "game/objects/ColorChangeAction.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

const char kBodies[] = R"(
<tinted-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <MeshComponent><MeshID>Cube</MeshID><Color_r>0.2</Color_r><Color_g>0.4</Color_g><Color_b>0.6</Color_b></MeshComponent>
    <HealthComponent><Health>1000</Health></HealthComponent>
</tinted-obj>
<meshless-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
</meshless-obj>
<damage-enemy-fx>
    <TransformComponent/>
</damage-enemy-fx>
)";

const char kFlames[] = R"(
<burn-fx>
    <TransformComponent><PosY>0.5</PosY></TransformComponent>
    <BrainComponent/>
</burn-fx>
)";

const Vec4 kRed(1, 0, 0, 1);
const Vec4 kTint(0.2f, 0.4f, 0.6f, 1.0f);

bool Same(const Vec4& a, const Vec4& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

ColorChangeAction* EnemyFlash() {
    auto* flash = new ColorChangeAction;
    flash->SetFlashColor(1, 0, 0);
    flash->SetToggleInterval(0.05f);
    flash->SetFlashDuration(0.25f);
    return flash;
}

// 'R' red, 'T' the archetype's tint, after each step of dt.
std::string Tints(GameFixture& world, Composition* object, int steps, f32 dt) {
    std::string seen;
    for (int i = 0; i < steps; ++i) {
        world.Step(dt);
        const Vec4& tint = object->GetComponentAs<MeshComponent>()->GetTint();
        seen += Same(tint, kRed) ? 'R' : Same(tint, kTint) ? 'T' : '?';
    }
    return seen;
}

TEST(DamageFx, FlashFromALandedHitBlinksAndEndsOnTheArchetypeTint) {
    GameFixture world(kBodies);
    Composition* yak = world.Spawn("tinted-obj");
    world.AddAction(yak, new DamageEnemyAction, FourCC("dama"));
    ColorChangeAction* flash = world.AddAction(yak, EnemyFlash(), ColorChangeAction::kLane);
    EXPECT_TRUE(Same(flash->GetNormalColor(), kTint));
    world.Step(0.1f);
    SendObjectMessageFloat2(yak, "DamageEnemy", 30.0f, 0.1f);
    // Red from the next update, a toggle every 0.05 s, the tint back at 0.25 s.
    EXPECT_EQ(Tints(world, yak, 6, 0.05f), "RTRTTT");
    EXPECT_FALSE(flash->IsFlashing());
}

TEST(DamageFx, FlashEdges) {
    GameFixture world(kBodies);
    {  // A second flash 0.2 s into the first lengthens it to 0.45 s.
        Composition* yak = world.Spawn("tinted-obj");
        ColorChangeAction* flash = world.AddAction(yak, EnemyFlash(), ColorChangeAction::kLane);
        yak->Send("StartColorFlash");
        EXPECT_EQ(Tints(world, yak, 4, 0.05f), "RTRT");
        yak->Send("StartColorFlash");
        EXPECT_EQ(Tints(world, yak, 4, 0.05f), "RTRT");
        EXPECT_TRUE(flash->IsFlashing());
        EXPECT_EQ(Tints(world, yak, 2, 0.05f), "TT");
        EXPECT_FALSE(flash->IsFlashing());
    }
    {  // Without a flash duration every flash is ignored.
        Composition* yak = world.Spawn("tinted-obj");
        auto* flash = world.AddAction(yak, new ColorChangeAction, ColorChangeAction::kLane);
        flash->SetFlashColor(1, 0, 0);
        flash->SetToggleInterval(0.05f);
        yak->Send("StartColorFlash");
        EXPECT_EQ(Tints(world, yak, 3, 0.05f), "TTT");
    }
    {  // No mesh, no effect, and nothing breaks.
        Composition* ghost = world.Spawn("meshless-obj");
        world.AddAction(ghost, EnemyFlash(), ColorChangeAction::kLane);
        ghost->Send("StartColorFlash");
        world.Run(0.5f, 0.05f);
        world.objects.DestroyObject(ghost->GetId());
        world.Step(0.05f);
    }
}

struct BurnWorld : GameFixture {
    explicit BurnWorld(bool withFlames = true)
        : GameFixture(std::string(kBodies) + (withFlames ? kFlames : "")) {
        yak = Spawn("tinted-obj", Vec3(3, 0, 4));
        Record(yak, {"DamageEnemy"});
    }
    BurnAction* Burn(f32 damage, f32 tick, f32 duration) {
        auto* burn = new BurnAction;
        burn->SetDamage(damage);
        burn->SetTickInterval(tick);
        burn->SetDuration(duration);
        return AddAction(yak, burn);
    }
    // Adds a burn from inside a send on the burning object's own table,
    // where its subscription to "NewBurn" is deferred.
    void OnIgnite() { inner = Burn(9, 0.1f, 0); }
    Composition* yak = nullptr;
    BurnAction* inner = nullptr;
};

TEST(DamageFx, BurnsTickUntilANewerBurnEndsThem) {
    BurnWorld world;
    BurnAction* first = world.AddAction(world.yak, new BurnAction);
    EXPECT_TRUE(first->IsEndless());
    const u32 flames = first->GetEffectId();
    ASSERT_TRUE(world.Alive(flames));
    world.Run(10.0f, 0.05f);
    EXPECT_EQ(world.Count("DamageEnemy(5, 0)"), 100) << "5 every 0.1 s, endlessly";
    // The flames follow the burning object (its position plus their offset).
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(flames)).x, 3.0f);
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(flames)).y, 0.0f);

    world.sent.clear();
    BurnAction* second = world.Burn(7, 0.1f, 0.0f);
    const u32 newFlames = second->GetEffectId();
    world.Step(0.05f);  // the first ends here and queues its flames
    world.Step(0.05f);  // which go at this frame's object update
    EXPECT_FALSE(world.Alive(flames));
    EXPECT_TRUE(world.Alive(newFlames));
    world.Run(1.0f, 0.05f);
    EXPECT_EQ(world.Count("DamageEnemy(5, 0)"), 0);
    EXPECT_EQ(world.Count("DamageEnemy(7, 0)"), 11);

    // A burn started during a send on the object still ends the older one,
    // and is itself ended by the next.
    world.yak->Listen("Ignite", MakeDelegate(&world, &BurnWorld::OnIgnite));
    world.yak->Send("Ignite");
    const u32 innerFlames = world.inner->GetEffectId();
    world.Run(0.2f, 0.05f);
    EXPECT_FALSE(world.Alive(newFlames));
    EXPECT_TRUE(world.Alive(innerFlames)) << "the newest burn must not end itself";
    world.sent.clear();
    world.Burn(1, 0.1f, 0.0f);
    world.Run(0.5f, 0.05f);
    EXPECT_FALSE(world.Alive(innerFlames));
    EXPECT_EQ(world.Count("DamageEnemy(9, 0)"), 0);
}

TEST(DamageFx, ShortBurnsAndBurnsWithoutFlames) {
    {
        BurnWorld world;
        BurnAction* burn = world.Burn(5, 0.1f, 0.05f);
        const u32 flames = burn->GetEffectId();
        world.Run(1.0f, 0.05f);
        EXPECT_EQ(world.Count("DamageEnemy(5, 0)"), 0) << "a burn shorter than its tick deals nothing";
        EXPECT_FALSE(world.Alive(flames));
        EXPECT_TRUE(world.yak->GetComponentAs<BrainComponent>()->GetActionList()->IsEmpty());
    }
    {
        BurnWorld world(false);
        BurnAction* burn = world.Burn(5, 0.1f, 1.0f);
        EXPECT_EQ(burn->GetEffectId(), 0u);
        world.Run(2.0f, 0.05f);
        EXPECT_EQ(world.Count("DamageEnemy(5, 0)"), 9) << "ticks at 0.1 .. 0.9 s; the step that ends it deals none";
    }
}

}  // namespace
}  // namespace Vandle::GameTest
