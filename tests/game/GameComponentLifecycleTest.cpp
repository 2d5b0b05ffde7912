// What every component of health and triggers shares: archetype templates
// stay inert, live objects unsubscribe everything they subscribed, values
// survive a room saved by the editor and read back, and the editor panel
// shows the fields under their key names.
#include "tests/game/GameFixture.h"

#include "engine/io/SerializerLevelSave.h"
#include "game/objects/BurnAction.h"
#include "game/objects/ColorChangeAction.h"
#include "game/objects/HealthComponent.h"
#include "game/objects/PlayerTriggerComponent.h"
#include "game/objects/TimedTriggerComponent.h"
#include "game/objects/TriggerListenerComponent.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <map>

namespace Vandle::GameTest {
namespace {

const char kLifecycleObjects[] = R"(
<enemy-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <HealthComponent><Health>30</Health></HealthComponent>
    <TriggerListenerComponent><TriggerId>5</TriggerId></TriggerListenerComponent>
    <TimedTriggerComponent><RepeatTime>0.5</RepeatTime></TimedTriggerComponent>
</enemy-obj>
<volume-obj>
    <TransformComponent/>
    <MessageComponent/>
    <PlayerTriggerComponent><TriggerId>9</TriggerId><NumUses>2</NumUses></PlayerTriggerComponent>
</volume-obj>
<burn-fx>
    <TransformComponent/>
    <BrainComponent/>
</burn-fx>
<damage-enemy-fx>
    <TransformComponent/>
</damage-enemy-fx>
)";

const std::vector<std::string> kLocalNames = {"TakeDamage", "Heal", "CollisionData", "NewBurn", "StartColorFlash",
                                              "PauseTimedTrigger", "UpdateTimedTriggerAction"};
const std::vector<std::string> kGlobalNames = {"TriggerActivated", "DeactivateLeftOf"};

std::map<std::string, std::size_t> GlobalListenerCounts(GameFixture& world) {
    std::map<std::string, std::size_t> counts;
    for (const std::string& name : kGlobalNames) counts[name] = world.core.GetTable().GetListeners(name).size();
    return counts;
}

TEST(GameComponentLifecycle, TemplatesStayInertAndLiveObjectsLeaveNoListenersBehind) {
    GameFixture world(kLifecycleObjects);
    const auto before = GlobalListenerCounts(world);
    EXPECT_EQ(before.at("TriggerActivated"), 0u);
    EXPECT_EQ(before.at("DeactivateLeftOf"), 0u);
    for (const std::string& name : world.factory.GetArchetypeNames()) {
        const Composition* archetype = world.factory.FindArchetype(name);
        if (auto* messages = archetype->GetMessageComponent()) {
            for (const std::string& local : kLocalNames) {
                EXPECT_FALSE(messages->GetTable().HasEntry(local)) << name << " listens to " << local;
            }
        }
        if (const auto* brain = archetype->GetComponentAs<BrainComponent>(); brain && brain->GetActionList()) {
            EXPECT_TRUE(brain->GetActionList()->IsEmpty()) << name;
        }
    }

    for (const char* archetype : {"enemy-obj", "volume-obj"}) {
        std::vector<u32> ids;
        for (int i = 0; i < 1000; ++i) {
            Composition* object = world.Spawn(archetype);
            ids.push_back(object->GetId());
            if (object->GetComponentAs<BrainComponent>()) {
                world.AddAction(object, new ColorChangeAction, ColorChangeAction::kLane);
                if (i % 10 == 0) world.AddAction(object, new BurnAction);
            }
        }
        world.Step(0.1f);
        const auto during = GlobalListenerCounts(world);
        const bool listens = std::string(archetype) == "enemy-obj";
        EXPECT_EQ(during.at("TriggerActivated"), listens ? 1000u : 0u);
        EXPECT_EQ(during.at("DeactivateLeftOf"), listens ? 0u : 1000u);
        world.core.SendMessageInt("TriggerActivated", 5);
        world.core.SendMessageVec3("DeactivateLeftOf", Vec3(0, 0, 0));
        for (u32 id : ids) world.objects.DestroyObject(id);
        world.Step(0.1f);
        world.Step(0.1f);  // the flames of ended burns go one frame later
        EXPECT_EQ(GlobalListenerCounts(world), before) << archetype;
    }
    EXPECT_TRUE(world.objects.GetLiveObjects().empty());
}

TEST(GameComponentLifecycle, EditedValuesSurviveARoomRoundTrip) {
    GameFixture world(kLifecycleObjects);
    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("enemy-obj"), world.factory.Create("enemy-obj"),
                      world.factory.Create("volume-obj")};
    ComponentTest::Panel enemyPanel;
    ComponentTest::Panel volumePanel;
    placed.objects[1]->ExposeProperties(&enemyPanel);
    placed.objects[2]->ExposeProperties(&volumePanel);
    // Only the health changes, and only it is saved: read back, it is a
    // full bar of 20.
    *enemyPanel.floats.at("Health") = 20.0f;
    enemyPanel.Set<int>("TriggerId", 1112687666);
    enemyPanel.Set<float>("RepeatTime", 2.5f);
    volumePanel.Set<int>("TriggerId", -4);
    volumePanel.Set<int>("NumUses", 0);
    EXPECT_EQ(volumePanel.Get<int>("TriggerId"), -4);

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("trip", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), 3u);

    auto* untouched = read.objects[0]->GetComponentAs<HealthComponent>();
    EXPECT_EQ(untouched->GetHealth(), 30.0f);
    EXPECT_EQ(untouched->GetTotalHealth(), 30.0f);
    auto* edited = read.objects[1]->GetComponentAs<HealthComponent>();
    EXPECT_EQ(edited->GetHealth(), 20.0f);
    EXPECT_EQ(edited->GetTotalHealth(), 20.0f);
    EXPECT_EQ(read.objects[0]->GetComponentAs<TriggerListenerComponent>()->GetTriggerId(), 5);
    EXPECT_EQ(read.objects[1]->GetComponentAs<TriggerListenerComponent>()->GetTriggerId(), 1112687666);
    EXPECT_EQ(read.objects[0]->GetComponentAs<TimedTriggerComponent>()->GetRepeatTime(), 0.5f);
    EXPECT_EQ(read.objects[1]->GetComponentAs<TimedTriggerComponent>()->GetRepeatTime(), 2.5f);
    auto* volume = read.objects[2]->GetComponentAs<PlayerTriggerComponent>();
    EXPECT_EQ(volume->GetTriggerId(), -4);
    EXPECT_EQ(volume->GetNumUses(), 0);

    // The panel groups follow the type ids: 'helC', 'timC', 'tliC' after the stock ones.
    auto last = [](const std::vector<std::string>& entries, std::size_t n) {
        return std::vector<std::string>(entries.end() - std::ptrdiff_t(std::min(n, entries.size())), entries.end());
    };
    EXPECT_EQ(last(enemyPanel.entries, 4), (std::vector<std::string>{"float Health", "float TotalHealth",
                                                                     "callback6 RepeatTime", "callback0 TriggerId"}));
    EXPECT_EQ(last(volumePanel.entries, 2), (std::vector<std::string>{"callback0 TriggerId", "callback0 NumUses"}));
}

}  // namespace
}  // namespace Vandle::GameTest
