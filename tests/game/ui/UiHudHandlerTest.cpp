// The HUD handler in a live scene built in code, against a fake game system
// that answers the room and title questions: fades (start, redirection from
// the present alpha, removal, hiding), the bars' thresholds, boss bars by
// name, the room counter, the scene changes, the focus-loss Escape, the bar
// images per attack, and a handler that nobody answers (questions keep
// their initial values).

#include "game/ui/UiHudHandler.h"

#include "engine/ui/UiSolid.h"
#include "engine/ui/UiText.h"
#include "game/ui/UiEnergyBar.h"

#include "tests/game/ui/HudTestSupport.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

const char* const kHudPlayer = kStillPlayerArchetype;

// Answers the HUD's questions as the game system would.
struct FakeGame {
    explicit FakeGame(CoreSystem& core) : core(core) {
        core.Listen("QueryRoomCount", MakeDelegate(this, &FakeGame::OnQueryRoomCount));
        core.Listen("QueryCurrentRoom", MakeDelegate(this, &FakeGame::OnQueryCurrentRoom));
        core.Listen("QueryLevelTitle", MakeDelegate(this, &FakeGame::OnQueryLevelTitle));
    }
    ~FakeGame() {
        core.Unlisten("QueryRoomCount", MakeDelegate(this, &FakeGame::OnQueryRoomCount));
        core.Unlisten("QueryCurrentRoom", MakeDelegate(this, &FakeGame::OnQueryCurrentRoom));
        core.Unlisten("QueryLevelTitle", MakeDelegate(this, &FakeGame::OnQueryLevelTitle));
    }
    void OnQueryRoomCount(int* count) { *count = rooms; }
    void OnQueryCurrentRoom(Vec3, int* room) { *room = current; }
    void OnQueryLevelTitle(std::string* title) { *title = "The Vault"; }

    CoreSystem& core;
    int rooms = 5;
    int current = 1;
};

class HudWorld : public UiGameWorld {
public:
    HudWorld() : UiGameWorld(kHudPlayer) {
        health = Bar("ui-health");
        energy = Bar("ui-energy");
        yak = Bar("ui-yak");
        roomBackground = Add<UiSolid>("ui-room-bg");
        roomLabel = Add<UiLabel>("ui-room-label");
        roomProgress = Add<UiTextArea>("ui-room-progress");
        levelName = Add<UiTextArea>("ui-level-name");
        titleBar = Add<UiSolid>("ui-bar");
        notice = Add<UiLabel>("ui-continue");
        RecordGlobal({"UiChangeScene", "KeyTriggered", "QueryRoomCount"});
    }
    UiEnergyBar* Bar(const std::string& name) {
        UiEnergyBar* bar = Add<UiEnergyBar>(name);
        bar->SetBar("fill-200");
        return bar;
    }
    void Boss(const char* name, float fraction) { core.SendMessageStringFloat("BossHealthChanged", name, fraction); }
    bool Fading(const UiElementBase* element) const {
        return hud->GetFades().count(const_cast<UiElementBase*>(element)) != 0;
    }

    UiHudHandler* hud = nullptr;
    UiEnergyBar *health, *energy, *yak;
    UiElementBase *roomBackground, *roomLabel, *titleBar, *notice;
    UiTextArea *roomProgress, *levelName;
};

TEST(UiHudHandler, FadesStartRedirectFromThePresentAlphaAndEndHidden) {
    HudWorld w;
    FakeGame game(w.core);
    w.hud = w.Enter(std::make_unique<UiHudHandler>());
    // Started: everything hidden but the health bar, which fades in from 0.
    EXPECT_TRUE(w.health->IsVisible());
    EXPECT_EQ(w.health->GetAlpha(), 0.0f);
    for (UiElementBase* e : {static_cast<UiElementBase*>(w.energy), static_cast<UiElementBase*>(w.yak), w.titleBar})
        EXPECT_FALSE(e->IsVisible());

    w.Boss("ui-yak", 0.8f);
    EXPECT_TRUE(w.yak->IsVisible());
    EXPECT_EQ(w.yak->GetAlpha(), 0.0f);
    EXPECT_FLOAT_EQ(w.yak->GetPercent(), 0.8f);
    w.Time(0.125f);
    const float halfway = w.yak->GetAlpha();
    EXPECT_NEAR(halfway, 0.5f, 0.04f);
    // A fade-out begun mid fade-in continues from there, without a jump.
    w.Boss("ui-yak", 0.0f);
    EXPECT_EQ(w.yak->GetAlpha(), halfway);
    w.Time(1.0f / 60.0f);
    EXPECT_NEAR(w.yak->GetAlpha(), halfway - 4.0f / 60.0f, 1e-4);
    w.Time(0.2f);
    EXPECT_FALSE(w.yak->IsVisible());
    EXPECT_EQ(w.yak->GetAlpha(), 0.0f);
    EXPECT_FALSE(w.Fading(w.yak));

    // A whole fade-in: 0 to 1 over 0.25 s, then the record goes.
    w.Boss("ui-yak", 0.6f);
    w.Time(0.25f);
    EXPECT_FLOAT_EQ(w.yak->GetAlpha(), 1.0f);
    w.Time(1.0f / 60.0f);
    EXPECT_FALSE(w.Fading(w.yak));
    EXPECT_TRUE(w.yak->IsVisible());

    // An unknown bar name does nothing.
    const std::size_t fades = w.hud->GetFades().size();
    w.Boss("ui-nothing", 0.5f);
    EXPECT_EQ(w.hud->GetFades().size(), fades);

    // Player health: 0.001 is alive, 0.0009 fades the player's bars and the
    // bosses' out.
    w.core.SendMessageFloat("PlayerEnergyChanged", 0.5f);
    w.Time(0.3f);
    w.core.SendMessageFloat("PlayerHealthChanged", 0.001f);
    EXPECT_FLOAT_EQ(w.health->GetPercent(), 0.001f);
    EXPECT_FALSE(w.Fading(w.health) || w.Fading(w.energy) || w.Fading(w.yak));
    w.core.SendMessageFloat("PlayerHealthChanged", 0.0009f);
    EXPECT_TRUE(w.Fading(w.health) && w.Fading(w.energy) && w.Fading(w.yak));
    w.Time(0.3f);
    EXPECT_FALSE(w.health->IsVisible() || w.energy->IsVisible() || w.yak->IsVisible());

    // Energy: 0 fades out and keeps the value; anything else shows it.
    w.core.SendMessageFloat("PlayerEnergyChanged", -0.25f);
    EXPECT_TRUE(w.energy->IsVisible());
    EXPECT_FLOAT_EQ(w.energy->GetPercent(), -0.25f);
    w.core.SendMessageFloat("PlayerEnergyChanged", 0.0f);
    EXPECT_FLOAT_EQ(w.energy->GetPercent(), -0.25f);
    EXPECT_TRUE(w.Fading(w.energy));
}

TEST(UiHudHandler, RoomCounterTitleNoticeSceneChangesAndFocus) {
    HudWorld w;
    FakeGame game(w.core);
    w.hud = w.Enter(std::make_unique<UiHudHandler>());
    EXPECT_EQ(w.hud->GetRoomCount(), 5);
    // No player: the counter stays hidden.
    w.Time(0.6f);
    EXPECT_FALSE(w.roomBackground->IsVisible());
    ASSERT_NE(w.Spawn("player-obj"), nullptr);
    w.Time(0.5f);
    EXPECT_TRUE(w.roomBackground->IsVisible());
    EXPECT_EQ(w.roomProgress->GetText(), "1/5");
    game.current = 2;
    w.Time(0.5f);
    EXPECT_EQ(w.roomProgress->GetText(), "2/5");
    game.current = 1;  // walking back keeps the highest room
    w.Time(1.0f);
    EXPECT_EQ(w.roomProgress->GetText(), "2/5");
    w.Time(0.3f);
    EXPECT_NEAR(w.roomBackground->GetAlpha(), 0.4f, 1e-6);
    EXPECT_NEAR(w.roomLabel->GetAlpha(), 1.0f, 1e-6);

    // The title during the fly-over, the checkpoint notice for its time.
    Vec3 route[2];
    w.core.SendMessageValues("CameraFlyOver", &route[0], 2);
    EXPECT_EQ(w.levelName->GetText(), "The Vault");
    EXPECT_TRUE(w.levelName->IsVisible() && w.titleBar->IsVisible());
    w.core.Send("LostFocus");  // no Escape during a fly-over
    w.core.Send("CameraPathFinished");
    w.Time(0.3f);
    EXPECT_FALSE(w.levelName->IsVisible() || w.titleBar->IsVisible());
    w.core.SendMessageVec3("CheckpointUpdated", Vec3(1, 2, 3));
    EXPECT_TRUE(w.notice->IsVisible());
    w.Time(0.5f + 0.25f + 0.05f);
    EXPECT_FALSE(w.notice->IsVisible());

    w.TakeSent();
    w.core.Send("LostFocus");
    w.scene->SetActive(false);
    w.core.Send("LostFocus");  // inactive: nothing
    w.scene->SetActive(true);
    w.core.Send("GameLost");
    w.core.Send("GameComplete");
    w.core.Send("LevelLoadStarted");
    EXPECT_EQ(w.TakeSent(), (std::vector<std::string>{
                                "KeyTriggered(27, true)", "UiChangeScene(game-lost-menu, 0)",
                                "UiChangeScene(game-complete-menu, 0)", "UiChangeScene(level-loading-ui, 3)"}));

    // The energy bar dressed for the attack; a name the pages lack gives no
    // images.
    w.AddPropertyPage("hud-bar-fills", "<ArcAttack>fill-100</ArcAttack>");
    w.AddPropertyPage("hud-bar-borders", "<ArcAttack>border-208</ArcAttack>");
    w.core.SendMessageStringValue("PlayerAttackChanged", std::string("ArcAttack"));
    EXPECT_EQ(w.energy->GetBar(), w.textures.Find("fill-100"));
    EXPECT_EQ(w.energy->GetBorder(), w.textures.Find("border-208"));
    EXPECT_EQ(w.energy->GetWidth(), 100.0f);
    w.core.SendMessageStringValue("PlayerAttackChanged", std::string("NoAttack"));
    EXPECT_EQ(w.energy->GetBar(), nullptr);
    EXPECT_EQ(w.energy->GetBorder(), nullptr);

    // Leaving the scene removes every listener of the handler.
    w.scene->Leave();
    for (const char* name : {"UiTimeUpdate", "PlayerHealthChanged", "LostFocus", "BossHealthChanged"})
        EXPECT_TRUE(w.core.GetTable().GetListeners(name).empty()) << name;
}

TEST(UiHudHandler, UnansweredQuestionsKeepTheirInitialValuesAndClonesKeepTheSettings) {
    HudWorld w;
    auto configured = std::make_unique<UiHudHandler>();
    configured->SetLoadingScreenName("loading-b");
    configured->SetCheckpointDisplayTime(2.0f);
    std::unique_ptr<UiEventHandler> copy = configured->Clone();
    auto* clone = static_cast<UiHudHandler*>(copy.get());
    EXPECT_EQ(clone->GetLoadingScreenName(), "loading-b");
    EXPECT_EQ(clone->GetCheckpointDisplayTime(), 2.0f);

    // A player found while attaching: the counter hidden at the start
    // comes back with the first poll.
    w.Spawn("player-obj");
    w.hud = w.Enter(std::unique_ptr<UiHudHandler>(static_cast<UiHudHandler*>(copy.release())));
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{"QueryRoomCount(0)"});
    EXPECT_EQ(w.hud->GetRoomCount(), 0);
    EXPECT_FALSE(w.roomBackground->IsVisible());
    w.Time(1.0f / 60.0f);
    EXPECT_TRUE(w.roomBackground->IsVisible());
    w.Time(1.1f);
    EXPECT_EQ(w.roomProgress->GetText(), "1/0");
    w.levelName->SetText("stale");
    Vec3 route[1];
    w.core.SendMessageValues("CameraFlyOver", &route[0], 1);
    EXPECT_EQ(w.levelName->GetText(), "");
}

}  // namespace
}  // namespace Vandle::GameTest
