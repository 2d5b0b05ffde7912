// Elements: geometry, absolute positions through owners, the copy rules of
// Clone, the rotation subscription, the element manager, the navigator and
// its input mappings, and the image elements (textures, visibility,
// buttons, unknown textures).

#include "engine/platform/ControllerData.h"
#include "engine/ui/UiButton.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiNavigator.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiToggleImage.h"

#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// An element that owns children, as a scroll group does.
class Holder : public UiSolid {
public:
    UiElementBase* Add(std::unique_ptr<UiElementBase> child) {
        child->SetParent(this);
        children.push_back(std::move(child));
        return children.back().get();
    }
    std::vector<std::unique_ptr<UiElementBase>> children;
};

// Counts its destructions.
class Counted : public UiSolid {
public:
    explicit Counted(int* deaths) : m_deaths(deaths) {}
    ~Counted() override { ++*m_deaths; }

private:
    int* m_deaths;
};

}  // namespace

TEST(UiElementBase, GeometryFollowsHalfSizesDegreesAndScales) {
    UiWorld world;
    UiSolid e;
    EXPECT_EQ(e.GetWidth(), 0.0f);
    e.SetX(100);
    e.SetY(-7);
    EXPECT_EQ(e.GetTop(), -7.0f) << "a new element has no size";
    EXPECT_EQ(e.GetLeft(), 100.0f);
    e.SetWidth(10);
    EXPECT_EQ(e.GetWidth(), 10.0f);
    EXPECT_EQ(e.GetLeft(), 95.0f);
    e.SetLeft(0);
    EXPECT_EQ(e.GetX(), 5.0f);
    e.SetHeight(4);
    e.SetTop(10);
    EXPECT_EQ(e.GetY(), 12.0f);

    e.SetRotationDeg(180);
    EXPECT_FLOAT_EQ(e.GetRotation(), 3.1415927f);
    e.SetRotation(1);
    EXPECT_NEAR(e.GetRotationDeg(), 57.29578f, 1e-4);

    e.SetScale(2);
    e.SetScaleX(3);
    EXPECT_EQ(e.GetScaleX(), 3.0f);
    EXPECT_EQ(e.GetScaleY(), 2.0f);

    e.SetColor(Vec4(0.1f, 0.2f, 0.3f, 1));
    e.SetAlpha(0.5f);
    EXPECT_EQ(e.GetColor().x, 0.1f);
    EXPECT_EQ(e.GetColor().z, 0.3f);
    EXPECT_EQ(e.GetAlpha(), 0.5f);
    EXPECT_EQ(e.GetName(), "");
}

TEST(UiElementBase, AbsolutePositionAddsEachOwnersAbsolutePosition) {
    UiWorld world;
    Holder outer;
    outer.SetX(100);
    outer.SetY(10);
    auto* inner = static_cast<Holder*>(outer.Add(std::make_unique<Holder>()));
    inner->SetX(20);
    inner->SetY(1);
    UiElementBase* leaf = inner->Add(std::make_unique<UiSolid>());
    leaf->SetX(3);

    EXPECT_EQ(outer.GetAbsoluteX(), 100.0f) << "no owner: its own position";
    EXPECT_EQ(inner->GetAbsoluteX(), 120.0f);
    EXPECT_EQ(inner->GetAbsoluteY(), 11.0f);
    // Two nested owners: the outer one counts twice.
    EXPECT_EQ(leaf->GetAbsoluteX(), 3.0f + 120.0f + 100.0f);
    EXPECT_EQ(leaf->GetRoot(), &outer);
    EXPECT_EQ(outer.GetRoot(), &outer);

    // An owner chain closed into a loop neither hangs nor crashes.
    Holder a;
    Holder b;
    a.SetParent(&b);
    b.SetParent(&a);
    EXPECT_NE(a.GetRoot(), nullptr);
    (void)a.GetAbsoluteX();
    a.SetParent(nullptr);
    b.SetParent(nullptr);
}

TEST(UiElementBase, CloneCopiesLookButResetsStateAndClonesHandlersInOrder) {
    UiWorld world;
    std::vector<std::string> log;
    Holder owner;
    UiSolid e;
    e.SetName("box");
    e.SetX(4);
    e.SetWidth(8);
    e.SetRotation(0.5f);
    e.SetScaleY(3);
    e.SetColor(Vec4(1, 0, 0, 0.25f));
    e.SetRotationVelocity(2);
    e.SetVisible(false);
    e.SetSelected(true);
    e.SetActive(false);
    e.SetParent(&owner);
    e.AddHandler(new ProbeHandler("A", &log));
    e.AddHandler(new ProbeHandler("B", &log));
    int heard = 0;
    struct Ear {
        int* count;
        void On() { ++*count; }
    } ear{&heard};
    e.Listen("Pong", MakeDelegate(&ear, &Ear::On));

    std::unique_ptr<UiElementBase> copy = e.Clone();
    EXPECT_EQ(copy->GetName(), "box");
    EXPECT_EQ(copy->GetX(), 4.0f);
    EXPECT_EQ(copy->GetWidth(), 8.0f);
    EXPECT_EQ(copy->GetRotation(), 0.5f);
    EXPECT_EQ(copy->GetScaleY(), 3.0f);
    EXPECT_EQ(copy->GetAlpha(), 0.25f);
    EXPECT_EQ(copy->GetRotationVelocity(), 2.0f);
    EXPECT_FALSE(copy->UiElementBase::IsVisible());
    EXPECT_FALSE(copy->IsSelected());
    EXPECT_TRUE(copy->IsActive());
    EXPECT_EQ(copy->GetParent(), nullptr);
    ASSERT_EQ(copy->GetHandlers().size(), 2u);
    EXPECT_EQ(static_cast<ProbeHandler&>(*copy->GetHandlers()[0]).Tag(), "A'");
    EXPECT_EQ(static_cast<ProbeHandler&>(*copy->GetHandlers()[1]).Tag(), "B'");

    copy->RaiseEvent("Pong");
    EXPECT_EQ(heard, 0) << "the clone's table is its own";
    e.RaiseEvent("Pong");
    EXPECT_EQ(heard, 1);
}

TEST(UiElementBase, RotationSubscriptionNeverOutlivesTheElement) {
    UiWorld world;
    auto e = std::make_unique<UiSolid>();
    e->SetRotationVelocity(1);
    e->Enter();
    EXPECT_EQ(world.GlobalListeners(), 1u);
    Core().SendMessageFloat("UiTimeUpdate", 0.25f);
    EXPECT_FLOAT_EQ(e->GetRotation(), 0.25f);
    // Speed dropped to 0 while entered: Leave still removes the listener.
    e->SetRotationVelocity(0);
    Core().SendMessageFloat("UiTimeUpdate", 0.25f);
    EXPECT_FLOAT_EQ(e->GetRotation(), 0.25f);
    e->Leave();
    EXPECT_EQ(world.GlobalListeners(), 0u);

    // Destroyed while entered: the destructor removes it.
    e->SetRotationVelocity(3);
    e->Enter();
    EXPECT_TRUE(e->IsSubscribedToTime());
    e.reset();
    EXPECT_EQ(world.GlobalListeners(), 0u);
    Core().SendMessageFloat("UiTimeUpdate", 0.1f);  // would reach freed memory

    // Speed set only after Enter: no subscription, nothing to remove.
    UiSolid late;
    late.Enter();
    late.SetRotationVelocity(5);
    late.Leave();
    EXPECT_EQ(world.GlobalListeners(), 0u);
}

TEST(UiElementBase, HandlersAttachStartAndDetachWithTheElementAndGetKeys) {
    UiWorld world;
    std::vector<std::string> log;
    UiSolid e;
    e.AddHandler(new ProbeHandler("A", &log));
    e.AddHandler(new ProbeHandler("B", &log));
    e.Enter();
    e.RaiseEvent("Ping");
    e.OnKey(65, false);
    ControllerData pad;
    e.OnController(&pad);
    e.Leave();
    const std::vector<std::string> expected = {"attach A", "attach B", "start A",  "start B",   "ping A",
                                               "ping B",   "key 65 up A", "key 65 up B", "pad A", "pad B",
                                               "detach A", "detach B"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(world.GlobalListeners(), 0u);
}

TEST(UiElementManager, KeepsEveryElementAndDeletesOnlyUnownedOnesAtExit) {
    int deaths = 0;
    {
        UiWorld world;
        EXPECT_EQ(world.elements.Count(), 0u);
        auto* loose = new Counted(&deaths);  // made by a script, never handed over
        auto* holder = new Holder();
        holder->Add(std::make_unique<Counted>(&deaths));  // owned by the holder
        EXPECT_EQ(world.elements.Count(), 3u);
        EXPECT_TRUE(world.elements.Contains(loose));
        {
            std::unique_ptr<UiElementBase> copy = loose->Clone();
            EXPECT_EQ(world.elements.Count(), 4u) << "clones register too";
        }
        EXPECT_EQ(world.elements.Count(), 3u);
        world.elements.Unregister(nullptr);  // not registered: ignored
        EXPECT_EQ(deaths, 0) << "the clone of a Counted is a plain UiSolid copy";
    }
    EXPECT_EQ(deaths, 2) << "both Counted deleted once (ASan catches a second delete)";
}

TEST(UiNavigator, LinksAreOneWayAndTheFirstSourceIsCurrent) {
    UiWorld world;
    SoundRecorder sounds;
    UiNavigator nav;
    nav.AddNavigation("A", 0, "X");
    nav.AddNavigation("A", 5, "X");
    EXPECT_EQ(nav.GetCurrentElement(), "") << "directions outside 1..4 change nothing";
    nav.AddNavigation("A", 3, "B");
    nav.AddNavigation("B", 1, "A");
    EXPECT_EQ(nav.GetCurrentElement(), "A");
    EXPECT_EQ(nav.Move(3), "B");
    EXPECT_EQ(nav.Move(3), "");
    EXPECT_EQ(nav.Move(0), "");
    EXPECT_EQ(nav.Move(1), "A");
    EXPECT_EQ(sounds.log, (std::vector<std::string>{"ui new-menu-click-sfx", "ui new-menu-click-sfx"}));

    nav.AddNavigation("A", 3, "C");
    std::unique_ptr<UiNavigator> copy = nav.Clone();
    EXPECT_EQ(nav.Move(3), "C") << "a second link replaces the first";
    EXPECT_EQ(copy->GetCurrentElement(), "A") << "the clone moves on its own";
    copy->SetCurrentElement("nowhere");
    EXPECT_EQ(copy->Move(2), "");
    EXPECT_EQ(copy->GetCurrentElement(), "nowhere");
}

TEST(UiNavigator, KeysAndStickMapToDirections) {
    struct KeyCase {
        int key;
        UiDirection direction;
        bool found;
    };
    for (const KeyCase& c : {KeyCase{38, UiDirection::Up, true}, {255, UiDirection::Up, true},
                             {39, UiDirection::Right, true}, {258, UiDirection::Right, true},
                             {40, UiDirection::Down, true}, {256, UiDirection::Down, true},
                             {37, UiDirection::Left, true}, {257, UiDirection::Left, true},
                             {65, UiDirection::None, false}, {13, UiDirection::None, false}}) {
        bool found = !c.found;
        EXPECT_EQ(UiKeyToDirection(c.key, found), c.direction) << c.key;
        EXPECT_EQ(found, c.found) << c.key;
    }
    struct StickCase {
        float x, y;
        UiDirection direction;
    };
    for (const StickCase& c : {StickCase{0.5f, 0.5f, UiDirection::Up}, {-0.7f, 0.2f, UiDirection::Left},
                               {0, -0.1f, UiDirection::Down}, {0.3f, -0.2f, UiDirection::Right},
                               {0, 0, UiDirection::None}}) {
        ControllerData data;
        data.leftStick = Vec2(c.x, c.y);
        bool found = false;
        EXPECT_EQ(StickToDirection(data, found), c.direction) << c.x << "," << c.y;
        EXPECT_EQ(found, c.direction != UiDirection::None);
    }
}

TEST(UiImages, TexturesSizeImagesAndUnknownNamesLeaveThemUntouched) {
    UiWorld world;
    UiImage image;
    image.SetTexture("img-64x32");
    EXPECT_EQ(image.GetWidth(), 64.0f);
    EXPECT_EQ(image.GetHeight(), 32.0f);
    image.SetTexture("no-such-image");
    EXPECT_EQ(image.GetTexture(), nullptr);
    EXPECT_EQ(image.GetWidth(), 64.0f) << "size kept";

    UiToggleImage toggle;
    toggle.AddTexture("img-64x32");
    toggle.AddTexture("img-16x8");
    toggle.AddTexture("missing");
    EXPECT_FALSE(toggle.IsVisible()) << "index -1";
    toggle.SetCurrentTexture(1);
    EXPECT_TRUE(toggle.IsVisible());
    EXPECT_EQ(toggle.GetWidth(), 16.0f);
    toggle.SetCurrentTexture(3);
    toggle.SetCurrentTexture(-1);
    EXPECT_EQ(toggle.GetCurrentIndex(), 1) << "out of range changes nothing";
    toggle.SetCurrentTexture(2);
    EXPECT_TRUE(toggle.IsVisible()) << "a missing entry is kept";
    EXPECT_EQ(toggle.GetWidth(), 16.0f);
    std::unique_ptr<UiElementBase> copy = toggle.Clone();
    EXPECT_EQ(static_cast<UiToggleImage&>(*copy).GetCurrentIndex(), 2);
    toggle.SetVisible(false);
    EXPECT_FALSE(toggle.IsVisible());
}

TEST(UiImages, ButtonsShowWhenSelectedAndRaiseUiCommandOnTheirOwnTable) {
    UiWorld world;
    UiButton button;
    UiSolid other;
    EXPECT_FALSE(button.IsVisible());
    button.SetDebug(true);
    EXPECT_TRUE(button.IsVisible());
    button.SetDebug(false);
    button.SelectElement(&button, true);
    EXPECT_TRUE(button.IsVisible());
    button.SelectElement(&other, true);
    EXPECT_FALSE(button.IsSelected());
    button.SelectElement(&button, true);
    button.SelectElement(&button, false);
    EXPECT_FALSE(button.IsSelected());

    button.Activate();  // nobody listens: nothing happens
    int commands = 0;
    struct Ear {
        int* count;
        void On() { ++*count; }
    } ear{&commands};
    button.Listen("UiCommand", MakeDelegate(&ear, &Ear::On));
    other.Listen("UiCommand", MakeDelegate(&ear, &Ear::On));
    button.Activate();
    other.Activate();
    EXPECT_EQ(commands, 1);
}
