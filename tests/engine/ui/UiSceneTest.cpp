// Scenes and the scene manager: naming, clone isolation, the order inside
// Enter and Leave, the input gate on a fake clock, navigation and select
// keys, the stick, sound messages on activation, listeners left behind, the
// layout editor's selection; and the draw context's matrices and text state.

#include "engine/platform/ControllerData.h"
#include "engine/ui/UiButton.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiToggleImage.h"

#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// A text element as the text elements draw: one line at its position + 0.5.
class TextProbe : public UiSolid {
public:
    void Draw(UiDrawContext& context) override {
        context.SetText("hello");
        context.SetTextPosition(GetAbsoluteX() + 0.5f, GetAbsoluteY() + 0.5f);
        context.SetWrapWidth(200);
        context.SetAlignment(2);
    }
};

// A menu template: "play" and "quit" buttons linked Down/Up, a solid and a
// handler on the scene.
struct MenuFixture {
    MenuFixture() {
        menu = scenes.CreateTemplate("menu");
        menu->SetName("menu");
        auto play = std::make_unique<UiButton>();
        play->SetName("play");
        play->AddHandler(new ProbeHandler("play-h", &log));
        menu->AddElement(std::move(play));
        auto quit = std::make_unique<UiButton>();
        quit->SetName("quit");
        menu->AddElement(std::move(quit));
        menu->AddElement(std::make_unique<UiSolid>());
        auto nav = std::make_unique<UiNavigator>();
        nav->AddNavigation("play", int(UiDirection::Down), "quit");
        nav->AddNavigation("quit", int(UiDirection::Up), "play");
        nav->AddNavigation("quit", int(UiDirection::Down), "ghost");
        menu->SetNavigator(std::move(nav));
        menu->AddHandler(new ProbeHandler("scene-h", &log));
        scenes.SetInputClock(&clock);
    }
    UiButton& Button(UiScene& scene, const char* name) { return static_cast<UiButton&>(*scene.FindElement(name)); }

    UiWorld world;
    std::vector<std::string> log;
    ManualClock clock;
    UiSceneManager scenes;
    UiScene* menu = nullptr;
};

}  // namespace

TEST(UiScene, UnnamedElementsAreNumberedAndDuplicateNamesStayInTheList) {
    UiWorld world;
    UiScene scene;
    for (int i = 0; i < 3; ++i) scene.AddElement(std::make_unique<UiSolid>());
    auto dup = std::make_unique<UiSolid>();
    dup->SetName("el_1");
    UiElementBase* second = dup.get();
    scene.AddElement(std::move(dup));
    ASSERT_EQ(scene.GetElements().size(), 4u);
    EXPECT_EQ(scene.GetElements()[0]->GetName(), "el_0");
    EXPECT_EQ(scene.GetElements()[2]->GetName(), "el_2");
    EXPECT_EQ(scene.FindElement("el_1"), scene.GetElements()[1].get()) << "the earlier element keeps the name";
    EXPECT_NE(scene.FindElement("el_1"), second);
    EXPECT_EQ(scene.GetElements()[0]->GetParent(), &scene);
    EXPECT_EQ(scene.GetAbsoluteX(), 0.0f);
    EXPECT_EQ(scene.FindElement("nope"), nullptr);
}

TEST(UiScene, InstancesAreIndependentOfTheTemplateAndOfEachOther) {
    MenuFixture f;
    f.menu->SetColor(Vec4(0, 0, 1, 0.5f));
    f.menu->SetInputDelay(0.25f);
    f.menu->SetBgmName("theme");
    f.menu->SetAcceptsInput(false);
    UiScene* a = f.scenes.InstantiateWithoutEnter("menu");
    UiScene* b = f.scenes.InstantiateWithoutEnter("menu");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(f.scenes.GetLiveCount(), 2u);
    EXPECT_EQ(a->GetName(), "menu");
    EXPECT_EQ(a->GetColor().z, 1.0f);
    EXPECT_EQ(a->GetInputDelay(), 0.25f);
    EXPECT_EQ(a->GetBgmName(), "theme");
    EXPECT_FALSE(a->AcceptsInput());
    EXPECT_FALSE(a->IsActive());
    ASSERT_EQ(a->GetElements().size(), 3u);
    EXPECT_EQ(a->FindElement("el_2"), a->GetElements()[2].get());
    EXPECT_EQ(a->GetElements()[0]->GetParent(), a);
    ASSERT_EQ(a->GetHandlers().size(), 1u);
    EXPECT_EQ(static_cast<ProbeHandler&>(*a->GetHandlers()[0]).Tag(), "scene-h'");
    EXPECT_EQ(static_cast<ProbeHandler&>(*a->FindElement("play")->GetHandlers()[0]).Tag(), "play-h'");

    a->FindElement("play")->SetX(99);
    a->SetName("changed");
    a->GetNavigator()->Move(int(UiDirection::Down));
    EXPECT_EQ(f.menu->FindElement("play")->GetX(), 0.0f);
    EXPECT_EQ(b->FindElement("play")->GetX(), 0.0f);
    EXPECT_EQ(b->GetName(), "menu");
    EXPECT_EQ(f.menu->GetNavigator()->GetCurrentElement(), "play");
    EXPECT_EQ(b->GetNavigator()->GetCurrentElement(), "play");

    // Message tables are fresh: an event on one copy reaches only its own
    // handlers.
    a->Enter();
    b->Enter();
    f.log.clear();
    a->RaiseEvent("Ping");
    EXPECT_EQ(f.log, (std::vector<std::string>{"ping scene-h'"}));
    a->Leave();
    b->Leave();
    f.scenes.Release(a);
    f.scenes.Release(b);
    f.scenes.Release(b);  // not live any more: ignored
    EXPECT_EQ(f.scenes.GetLiveCount(), 0u);
    EXPECT_EQ(f.scenes.Instantiate("no-such-scene"), nullptr);
    EXPECT_EQ(f.scenes.CreateTemplate("menu"), nullptr) << "a second template of a name is refused";
}

TEST(UiScene, EnterAttachesInOrderSelectsTheCurrentElementAndLeaveLeavesNothing) {
    MenuFixture f;
    f.menu->GetElements()[2]->SetRotationVelocity(1);
    const std::size_t before = f.world.GlobalListeners();
    const std::size_t elementsBefore = f.world.elements.Count();
    UiScene* a = f.scenes.Instantiate("menu");
    UiScene* b = f.scenes.Instantiate("menu");
    EXPECT_EQ(f.log, (std::vector<std::string>{"attach play-h'", "start play-h'", "attach scene-h'", "start scene-h'",
                                               "attach play-h'", "start play-h'", "attach scene-h'",
                                               "start scene-h'"}));
    EXPECT_TRUE(f.Button(*a, "play").IsSelected());
    EXPECT_FALSE(f.Button(*a, "quit").IsSelected());
    // Per copy: "PlayBackgroundSound", a rotating element, two probes.
    EXPECT_EQ(f.world.GlobalListeners(), before + 2 * 4);

    a->SetActive(true);
    f.log.clear();
    auto sounds = std::make_unique<SoundRecorder>();
    a->Leave();
    EXPECT_EQ(sounds->log, (std::vector<std::string>{"pause 0 off", "pause 1 off"}));
    sounds.reset();
    EXPECT_EQ(f.log, (std::vector<std::string>{"detach play-h'", "delete play-h'", "detach scene-h'",
                                               "delete scene-h'"}));
    EXPECT_TRUE(a->GetElements().empty());
    EXPECT_EQ(a->FindElement("play"), nullptr);
    EXPECT_TRUE(a->GetHandlers().empty());
    f.scenes.Release(a);
    b->Leave();
    f.scenes.Release(b);
    EXPECT_EQ(f.world.GlobalListeners(), before);
    EXPECT_EQ(f.world.elements.Count(), elementsBefore) << "only the template's elements are left";
    Core().SendMessageFloat("UiTimeUpdate", 0.1f);
    Core().Send("ProbeTick");
}

TEST(UiScene, NoNavigatorSelectsTheFirstElementAndALiveSceneDestroyedUnleftCleansUp) {
    UiWorld world;
    std::vector<std::string> log;
    UiSceneManager scenes;
    UiScene* t = scenes.CreateTemplate("plain");
    t->AddElement(std::make_unique<UiButton>());
    t->AddHandler(new ProbeHandler("h", &log));
    UiScene* live = scenes.Instantiate("plain");
    EXPECT_TRUE(live->GetElements()[0]->IsSelected());
    UiScene* empty = scenes.Instantiate("plain");
    ASSERT_NE(empty, nullptr);
    EXPECT_GT(world.GlobalListeners(), 0u);
    // The manager's destructor leaves and destroys what is still live.
}

TEST(UiScene, InputDelayDropsEarlyInputOnTheClockOfTheFirstInput) {
    MenuFixture f;
    f.menu->SetInputDelay(0.5f);
    UiScene* s = f.scenes.Instantiate("menu");
    f.log.clear();
    f.clock.AdvanceSeconds(0.2);
    s->OnKey(40, true);
    ControllerData pad;
    pad.leftStick = Vec2(0, -1);
    s->OnController(&pad);
    EXPECT_TRUE(f.log.empty());
    EXPECT_TRUE(f.Button(*s, "play").IsSelected()) << "no navigation during the delay";
    f.clock.AdvanceSeconds(0.4);
    s->OnKey(65, true);
    EXPECT_EQ(f.log, (std::vector<std::string>{"key 65 down play-h'", "key 65 down scene-h'"}));
    s->Leave();
    f.scenes.Release(s);
}

TEST(UiScene, SelectKeysActivateAndAreConsumedWhileDirectionsPassThrough) {
    MenuFixture f;
    UiScene* s = f.scenes.Instantiate("menu");
    SoundRecorder sounds;
    int commands = 0;
    struct Ear {
        int* count;
        void On() { ++*count; }
    } ear{&commands};
    f.Button(*s, "play").Listen("UiCommand", MakeDelegate(&ear, &Ear::On));
    f.log.clear();

    s->OnKey(13, true);
    EXPECT_EQ(commands, 1);
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"ui new-menu-select-sfx"}));
    EXPECT_TRUE(f.log.empty()) << "a select key goes no further";

    for (int key : {88, 90, 263, 271}) s->OnKey(key, true);
    EXPECT_EQ(commands, 5);

    s->OnKey(13, false);  // a release: no activation, reaches elements and handlers
    EXPECT_EQ(commands, 5);
    EXPECT_EQ(f.log, (std::vector<std::string>{"key 13 up play-h'", "key 13 up scene-h'"}));

    f.log.clear();
    sounds.log.clear();
    s->OnKey(40, false);  // a released direction never navigates
    EXPECT_TRUE(f.Button(*s, "play").IsSelected());
    s->OnKey(40, true);
    EXPECT_FALSE(f.Button(*s, "play").IsSelected());
    EXPECT_TRUE(f.Button(*s, "quit").IsSelected());
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"ui new-menu-click-sfx"}));
    EXPECT_EQ(f.log, (std::vector<std::string>{"key 40 up play-h'", "key 40 up scene-h'", "key 40 down play-h'",
                                               "key 40 down scene-h'"}));
    s->OnKey(13, true);
    EXPECT_EQ(commands, 5) << "quit is current now; play's listener hears nothing";

    // A link to a name no element has clears every selection.
    s->OnKey(40, true);
    EXPECT_EQ(s->GetNavigator()->GetCurrentElement(), "ghost");
    EXPECT_FALSE(f.Button(*s, "play").IsSelected());
    EXPECT_FALSE(f.Button(*s, "quit").IsSelected());
    sounds.log.clear();
    s->OnKey(13, true);  // consumed, sound played, nothing to activate
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"ui new-menu-select-sfx"}));
    s->Leave();
    f.scenes.Release(s);
}

TEST(UiScene, AStickHeldInOneDirectionMovesOnce) {
    MenuFixture f;
    UiScene* s = f.scenes.Instantiate("menu");
    f.log.clear();
    ControllerData pad;
    pad.leftStick = Vec2(0, -0.8f);  // down
    s->OnController(&pad);
    EXPECT_EQ(s->GetNavigator()->GetCurrentElement(), "quit");
    s->OnController(&pad);
    s->OnController(&pad);
    EXPECT_EQ(s->GetNavigator()->GetCurrentElement(), "quit") << "held: no further move";
    EXPECT_EQ(f.log, (std::vector<std::string>{"pad play-h'", "pad scene-h'", "pad play-h'", "pad scene-h'"}));
    pad.leftStick = Vec2(0, 0);
    s->OnController(&pad);
    pad.leftStick = Vec2(0, 0.9f);  // up
    s->OnController(&pad);
    EXPECT_EQ(s->GetNavigator()->GetCurrentElement(), "play");
    EXPECT_TRUE(f.Button(*s, "play").IsSelected());
    s->Leave();
    f.scenes.Release(s);
}

TEST(UiScene, ActivationSendsMusicAndPauseSettingsAndRemembersTheTrack) {
    MenuFixture f;
    f.menu->SetBgmName("theme");
    f.menu->SetPauseBgmInScene(true);
    f.menu->SetStopSfxInScene(true);
    UiScene* s = f.scenes.Instantiate("menu");
    SoundRecorder sounds;
    sounds.mute = true;
    f.log.clear();
    s->SetActive(true);
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"bgm theme", "query 0", "pause 0 on", "pause 1 on", "stop 1"}));
    EXPECT_EQ(f.log, (std::vector<std::string>{"active scene-h'"}));

    std::string other = "battle";
    Core().SendMessageStringPtr("PlayBackgroundSound", &other);
    EXPECT_EQ(s->GetBgmName(), "battle") << "a track started while active is kept";
    sounds.log.clear();
    s->Leave();
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"pause 0 on", "pause 1 on"})) << "music was muted";
    f.scenes.Release(s);

    UiScene quiet;
    quiet.SetActive(true);  // no music: no "PlayBackgroundSound"
    quiet.SetActive(false);
}

TEST(UiScene, EditSelectionWrapsBothWays) {
    MenuFixture f;
    UiScene* s = f.scenes.Instantiate("menu");
    const auto& e = s->GetElements();
    EXPECT_EQ(s->EditSelectPrevious(), e[0].get()) << "no selection: the first";
    EXPECT_EQ(s->EditSelectPrevious(), e[2].get());
    EXPECT_EQ(s->EditSelectFirst(), e[2].get()) << "kept";
    EXPECT_EQ(s->EditSelectNext(), e[0].get());
    EXPECT_EQ(s->EditSelectNext(), e[1].get());
    s->Leave();
    EXPECT_EQ(s->GetEditSelection(), nullptr);
    EXPECT_EQ(s->EditSelectNext(), nullptr) << "an empty scene has no selection";
    f.scenes.Release(s);
}

TEST(UiDrawContext, QuadMatricesFollowSizeScaleRotationAndPosition) {
    const Matrix4 plain = UiDrawContext::QuadMatrix(100, 50, 1, 1, 0, 0, 0);
    EXPECT_TRUE(plain.NearlyEqual(Matrix4(100 / 720.f, 0, 0, 0, 0, 50 / 720.f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)));
    const Matrix4 moved = UiDrawContext::QuadMatrix(100, 50, 2, 3, 0, 360, 180);
    EXPECT_FLOAT_EQ(moved(0, 0), 200 / 720.f);
    EXPECT_FLOAT_EQ(moved(1, 1), 150 / 720.f);
    EXPECT_FLOAT_EQ(moved(3, 0), 0.5f);
    EXPECT_FLOAT_EQ(moved(3, 1), -0.25f);
    const Matrix4 turned = UiDrawContext::QuadMatrix(720, 720, 1, 1, 3.1415927f / 2, 0, 0);
    EXPECT_TRUE(turned.NearlyEqual(Matrix4(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)));
}

TEST(UiDrawContext, ElementsDrawTheirTechniqueAndTheTextStateResetsAfterEachFlush) {
    UiWorld world;
    RecordingDrawTarget target;
    UiDrawContext context(target);
    UiScene scene;
    auto solid = std::make_unique<UiSolid>();
    solid->SetColor(Vec4(1, 0, 0, 0.5f));
    solid->SetWidth(100);
    solid->SetHeight(50);
    solid->SetX(360);
    solid->SetY(180);
    scene.AddElement(std::move(solid));
    auto text = std::make_unique<TextProbe>();
    text->SetX(100);
    text->SetY(50);
    scene.AddElement(std::move(text));
    auto image = std::make_unique<UiImage>();
    image->SetTexture("img-64x32");
    scene.AddElement(std::move(image));
    auto missing = std::make_unique<UiImage>();
    missing->SetTexture("no-such-image");
    scene.AddElement(std::move(missing));
    scene.AddElement(std::make_unique<UiToggleImage>());  // index -1: hidden
    scene.AddElement(std::make_unique<UiButton>());       // not selected: hidden

    scene.Draw(context);
    EXPECT_EQ(target.order, "QTQ") << "no background, missing texture draws nothing, hidden ones skipped";
    ASSERT_EQ(target.quads.size(), 2u);
    EXPECT_EQ(target.quads[0].technique, UiTechnique::Solid);
    EXPECT_EQ(target.quads[0].texture, nullptr);
    EXPECT_EQ(target.quads[0].colour.w, 0.5f);
    EXPECT_FLOAT_EQ(target.quads[0].world(3, 1), -0.25f);
    EXPECT_EQ(target.quads[1].technique, UiTechnique::Textured);
    EXPECT_EQ(target.quads[1].texture, world.textures.Find("img-64x32"));
    EXPECT_FLOAT_EQ(target.quads[1].world(0, 0), 64 / 720.f);
    ASSERT_EQ(target.texts.size(), 1u);
    EXPECT_EQ(target.texts[0].text, "hello");
    EXPECT_EQ(target.texts[0].x, 100.5f);
    EXPECT_EQ(target.texts[0].y, 50.5f);
    EXPECT_EQ(target.texts[0].wrapWidth, 200);
    EXPECT_EQ(target.texts[0].alignment, 2);
    EXPECT_FALSE(context.IsTextMode());
    EXPECT_EQ(context.GetWrapWidth(), 0);
    EXPECT_EQ(context.GetAlignment(), 0);

    context.SetTechnique("UiSolidTech");
    context.SetTechnique("Other");
    EXPECT_EQ(context.GetTechnique(), UiTechnique::Solid) << "unknown names keep the technique";

    // Edit mode draws hidden elements too (the toggle's and the button's
    // missing textures still draw nothing).
    target = RecordingDrawTarget();
    target.editMode = true;
    scene.GetElements()[0]->SetVisible(false);
    scene.Draw(context);
    EXPECT_EQ(target.order, "QTQ");
}

TEST(UiDrawContext, BackgroundIsDrawnOnlyAboveTheAlphaThreshold) {
    UiWorld world;
    for (const auto& [alpha, drawn] : {std::pair{0.001f, false}, {0.002f, true}, {0.0f, false}, {1.0f, true}}) {
        RecordingDrawTarget target;
        UiDrawContext context(target);
        UiScene scene;
        scene.SetColor(Vec4(0.2f, 0.3f, 0.4f, alpha));
        scene.Draw(context);
        ASSERT_EQ(target.quads.size(), drawn ? 1u : 0u) << alpha;
        if (!drawn) continue;
        const UiQuadDraw& fill = target.quads[0];
        EXPECT_EQ(fill.technique, UiTechnique::Solid);
        EXPECT_EQ(fill.texture, nullptr);
        EXPECT_EQ(fill.colour.y, 0.3f);
        EXPECT_TRUE(fill.world.NearlyEqual(UiDrawContext::QuadMatrix(1280, 800, 1, 1, 0, 0, 0)));
    }
}
