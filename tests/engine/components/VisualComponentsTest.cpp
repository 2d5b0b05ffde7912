#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/components/VisualTestSupport.h"

#include "engine/components/AimerComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "engine/components/LightComponent.h"
#include "engine/components/LightTargetComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/components/SkyboxComponent.h"
#include "engine/components/StaticBillboardComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel::ComponentTest {
namespace {

const char kVisualArchetypes[] = R"(
<aimer-obj>
    <TransformComponent><PosX>1</PosX><PosY>2</PosY><PosZ>3</PosZ></TransformComponent>
    <AimerComponent><TextureID>crate</TextureID><AdjustRadius>3</AdjustRadius><DirectionZ>2</DirectionZ></AimerComponent>
</aimer-obj>
<props-obj>
    <TransformComponent/>
    <MessageComponent/>
    <ShadowComponent><ScaleX>2</ScaleX><ScaleZ>3</ScaleZ><Visible>0</Visible></ShadowComponent>
    <StaticBillboardComponent><TextureName>crate</TextureName><ScaleY>4</ScaleY><AdjustZ>1.5</AdjustZ><Rotation>0.5</Rotation></StaticBillboardComponent>
    <TransparentPlaneComponent><TextureID>crate</TextureID><AdjustY>0.25</AdjustY><ScaleZ>6</ScaleZ><IsImportant>1</IsImportant></TransparentPlaneComponent>
    <LightComponent><Color_R>0.5</Color_R><Attenuation_Z>0.01</Attenuation_Z></LightComponent>
    <SkyboxComponent><skybox-base-name>sky</skybox-base-name></SkyboxComponent>
    <LightTargetComponent/>
    <LevelGeometryComponent/>
</props-obj>
<floor-obj>
    <TransformComponent/>
    <MeshComponent>
        <MeshID>Wide</MeshID><TilePalette>floor-tiles</TilePalette>
        <TextureTiles_x>2</TextureTiles_x><TextureTiles_y>2</TextureTiles_y>
        <TileMapping>1 2 3 4</TileMapping>
    </MeshComponent>
</floor-obj>
)";

struct SkyRecorder {
    void OnSetSkybox(std::string* name) { names.push_back(name ? *name : "(null)"); }
    std::vector<std::string> names;
};

TEST(AimerComponent, TheAimPointLiesAdjustRadiusAlongTheNormalisedDirection) {
    FakeVisuals visuals;
    ComponentWorld world(kVisualArchetypes);
    auto* aimer = world.Get<AimerComponent>(world.Create("aimer-obj"));
    EXPECT_EQ(aimer->GetTexture(), visuals.Handle(0));
    const Vec3 point = aimer->GetAimPoint();
    EXPECT_FLOAT_EQ(point.x, 1.0f);
    EXPECT_FLOAT_EQ(point.y, 2.1f);
    EXPECT_FLOAT_EQ(point.z, 6.0f);
    EXPECT_EQ(aimer->GetDirection(), Vec3(0, 0, 1));
    // A zero direction stays zero (no division by 0).
    aimer->SetDirection(Vec3());
    EXPECT_EQ(aimer->GetAimPoint(), Vec3(1.0f, 2.1f, 3.0f));
}

TEST(VisualComponents, KeysSurviveArchetypesClonesAndTheRoomSave) {
    FakeVisuals visuals;
    ComponentWorld world(kVisualArchetypes);
    namespace fs = std::filesystem;
    const std::string root =
        (fs::path(LV_TEST_TMP) / "component-tests" / ("visual-rooms-" + std::to_string(getpid()))).string();
    fs::remove_all(root);
    fs::create_directories(root);
    ResourceManager resources;
    RegisterResourceKinds(resources, root);

    std::vector<Composition*> placed = {world.factory.Create("props-obj"), world.factory.Create("floor-obj"),
                                        world.factory.Create("aimer-obj")};
    // Edits the room must keep (on top of the archetype's own values).
    placed[0]->GetComponentAs<SkyboxComponent>()->SetTextureName("dusk");
    placed[1]->GetComponentAs<MeshComponent>()->SetTile(1, 1, 9);
    ASSERT_TRUE(SerializerLevelSave::SaveRoom("Visual-Room", placed));

    RoomInstance room("visual-room");
    ASSERT_TRUE(SerializerXML(true).LoadRoom("visual-room", room));
    ASSERT_EQ(room.GetObjects().size(), 3u);
    const Composition& props = *room.GetObjects()[0];
    const auto* shadow = props.GetComponentAs<ShadowComponent>();
    EXPECT_EQ(shadow->GetScale(), Vec3(2, 3, 1));
    EXPECT_FALSE(shadow->IsVisible());
    const auto* billboard = props.GetComponentAs<StaticBillboardComponent>();
    EXPECT_EQ(billboard->GetTextureName(), "crate");
    EXPECT_EQ(billboard->GetScale(), Vec3(1, 4, 1));
    EXPECT_EQ(billboard->GetAdjust(), Vec3(0, 0, 1.5f));
    EXPECT_FLOAT_EQ(billboard->GetRotation(), 0.5f);
    const auto* plane = props.GetComponentAs<TransparentPlaneComponent>();
    EXPECT_EQ(plane->GetAdjust(), Vec3(0, 0.25f, 0));
    EXPECT_EQ(plane->GetScale(), Vec3(1, 6, 1));
    EXPECT_FLOAT_EQ(plane->GetRotationY(), 180.0f);
    const auto* light = props.GetComponentAs<LightComponent>();
    EXPECT_EQ(light->GetColor(), Vec3(0.5f, 0, 0));
    EXPECT_EQ(light->GetAttenuation(), Vec3(1.0f, 0.1f, 0.01f));
    EXPECT_EQ(props.GetComponentAs<SkyboxComponent>()->GetTextureName(), "dusk");
    EXPECT_NE(props.GetComponentAs<LightTargetComponent>(), nullptr);
    EXPECT_NE(props.GetComponentAs<LevelGeometryComponent>(), nullptr);
    const auto* floor = room.GetObjects()[1]->GetComponentAs<MeshComponent>();
    EXPECT_EQ(floor->GetTileMapping(), "1 2 3 9");
    const auto* aimer = room.GetObjects()[2]->GetComponentAs<AimerComponent>();
    EXPECT_EQ(aimer->GetDirection(), Vec3(0, 0, 2));
    EXPECT_FLOAT_EQ(aimer->GetAdjustRadius(), 3.0f);

    // Clones keep the values too, except the plane's IsImportant.
    const Composition* archetype = world.factory.FindArchetype("props-obj");
    EXPECT_TRUE(archetype->GetComponentAs<TransparentPlaneComponent>()->IsImportant());
    Composition* clone = archetype->Clone();
    EXPECT_EQ(clone->GetComponentAs<LightComponent>()->GetAttenuation(), Vec3(1.0f, 0.1f, 0.01f));
    EXPECT_EQ(clone->GetComponentAs<ShadowComponent>()->GetScale(), Vec3(2, 3, 1));
    EXPECT_EQ(clone->GetComponentAs<TransparentPlaneComponent>()->GetTexture(), visuals.Handle(0));
    EXPECT_FALSE(clone->GetComponentAs<TransparentPlaneComponent>()->IsImportant());
    world.factory.Destroy(clone);
    for (Composition* object : placed) world.factory.Destroy(object);
}

TEST(VisualComponents, EditorFieldsAndTheSkyboxButton) {
    FakeVisuals visuals;
    ComponentWorld world(kVisualArchetypes);
    Composition* props = world.Create("props-obj");

    Panel panel;
    props->GetComponentAs<StaticBillboardComponent>()->ExposeProperties(&panel);
    props->GetComponentAs<SkyboxComponent>()->ExposeProperties(&panel);
    world.Get<MeshComponent>(world.Create("floor-obj"))->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"string TextureName", "float ScaleX", "float ScaleY", "float ScaleZ",
                                        "float AdjustX", "float AdjustY", "float AdjustZ", "float Rotation",
                                        "string skybox-base-name", "button Set Skybox", "string MeshID",
                                        "callback4 DiffuseTexID", "bool Visible", "bool Scaffolding",
                                        "bool IsImportant", "callback0 TextureTiles_x", "callback0 TextureTiles_y",
                                        "callback4 TilePalette"}));
    // The billboard's ScaleZ is shown but never saved.
    *panel.floats.at("ScaleZ") = 7.0f;
    TextSerializer writer(false);
    props->GetComponentAs<StaticBillboardComponent>()->Serialize(&writer);
    for (const std::string& line : writer.written) EXPECT_EQ(line.find("ScaleZ"), std::string::npos);

    // "Set Skybox" sends the object-local message with the edited name.
    SkyRecorder recorder;
    props->Listen("SetSkybox", MakeDelegate(&recorder, &SkyRecorder::OnSetSkybox));
    props->GetComponentAs<SkyboxComponent>()->SetTextureName("storm");
    props->GetComponentAs<SkyboxComponent>()->SendSetSkybox();
    EXPECT_EQ(recorder.names, std::vector<std::string>{"storm"});
}

}  // namespace
}  // namespace Ostrel::ComponentTest
