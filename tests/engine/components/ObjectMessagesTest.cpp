#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>

namespace {

struct Hurt {
    float damage = 0;
    float coolDown = 0;
    std::string attack;
    int level = 0;
    void OnDamagePlayer(float d, float c) {
        damage = d;
        coolDown = c;
    }
    void OnChangePlayerAttack(std::string a, int l) {
        attack = a;
        level = l;
    }
};

}  // namespace

LV_DECLARE_META_CLASS(Hurt);
LV_REFLECT_CLASS(Hurt);

TEST(ObjectMessages, TypedSendsReachTheObjectsTableAndSkipObjectsWithoutOne) {
    Ostrel::CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    Ostrel::Composition* object = factory.Create("blank");
    Ostrel::Composition* bare = factory.Create("blank");
    object->AddComponent(factory.CreateComponent(Ostrel::MessageComponent::kTypeId));
    Hurt hurt;
    object->Listen("DamagePlayer", Ostrel::MakeDelegate(&hurt, &Hurt::OnDamagePlayer));
    object->Listen("ChangePlayerAttack", Ostrel::MakeDelegate(&hurt, &Hurt::OnChangePlayerAttack));

    Ostrel::SendObjectMessageFloat2(object, "DamagePlayer", 2.5f, 0.75f);
    EXPECT_EQ(hurt.damage, 2.5f);
    EXPECT_EQ(hurt.coolDown, 0.75f);
    Ostrel::SendObjectMessageStringInt(object, "ChangePlayerAttack", "shield", 2);
    EXPECT_EQ(hurt.attack, "shield");
    EXPECT_EQ(hurt.level, 2);

    Ostrel::SendObjectMessageFloat2(bare, "DamagePlayer", 9.0f, 9.0f);
    Ostrel::SendObjectMessageFloat2(nullptr, "DamagePlayer", 9.0f, 9.0f);
    EXPECT_EQ(hurt.damage, 2.5f);
    EXPECT_EQ(Ostrel::GetObjectMessageTable(bare), nullptr);
    factory.Destroy(bare);
    factory.Destroy(object);
}
