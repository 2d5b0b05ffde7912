// Tutorial records from text and the manager's show rule, over a bare engine
// with its global message table.

#include "engine/world/TutorialManager.h"

#include "engine/base/Logger.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace Ostrel {
namespace {

class Tutorials {
public:
    explicit Tutorials(const std::string& text) {
        engine.AddSystem(&core);
        manager.Connect();
        onQueue = MakeDelegate(this, &Tutorials::OnQueue);
        core.Listen("QueueTutorial", onQueue);
        manager.LoadText(text, "test.tut");
    }
    ~Tutorials() { core.Unlisten("QueueTutorial", onQueue); }

    void OnQueue(TutorialRecord* record) { queued.push_back(record ? record->GetName() : "(null)"); }
    // The names queued by this request.
    std::vector<std::string> Show(const std::string& name) {
        queued.clear();
        std::string text = name;
        core.SendMessageStringPtr("ShowTutorial", &text);
        return queued;
    }
    void Named(const char* message, const std::string& name) {
        std::string text = name;
        core.SendMessageStringPtr(message, &text);
    }
    bool Locked(const std::string& name) const { return manager.FindRecord(name)->IsLocked(); }

    Engine engine;
    CoreSystem core;
    TutorialManager manager;
    FunctionRef onQueue;
    std::vector<std::string> queued;
};

using Names = std::vector<std::string>;

class CapturingLog final : public ILogProvider {
public:
    explicit CapturingLog(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

const char* const kFile = R"(move-basic {
  show-limit: 3
  tut-move-kb  { delay: 4000 input: keyboard }
  tut-move-pad { input: controller delay: 2500 }
}
pad-only { only-pad { input: controller } }
anywhere { page { } }
use-dash {
  depends: move-basic
  depends: anywhere
  dash-page { delay: 5000 colour: red }
}
self { depends: self page { } }
missing-first { depends: nobody page { } })";

TEST(TutorialText, RecordsScenesAndKeywordsReadAsWritten) {
    Tutorials t(kFile);
    const TutorialRecord* move = t.manager.FindRecord("move-basic");
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->GetShowLimit(), 3);
    ASSERT_EQ(move->GetScenes().size(), 2u);
    EXPECT_EQ(move->GetScenes()[0]->sceneName, "tut-move-kb");
    EXPECT_EQ(move->GetScenes()[0]->delay, 4000);
    EXPECT_EQ(move->GetScenes()[0]->input, TutorialSceneInputs::Keyboard);
    EXPECT_EQ(move->GetScenes()[1]->delay, 2500);
    EXPECT_EQ(move->GetScenes()[1]->input, TutorialSceneInputs::Controller);
    const TutorialRecord* dash = t.manager.FindRecord("use-dash");
    ASSERT_NE(dash, nullptr);
    EXPECT_EQ(dash->GetDepends(), (Names{"move-basic", "anywhere"}));
    EXPECT_EQ(dash->GetShowLimit(), -1);
    ASSERT_EQ(dash->GetScenes().size(), 1u);
    EXPECT_EQ(dash->GetScenes()[0]->input, TutorialSceneInputs::Any) << "no input: any device";
    EXPECT_NE(t.manager.FindRecord("missing-first"), nullptr) << "the last record, without a final line end";
}

// Each bad text with the line it must log ("test.tut: tutorial ..."), the
// records taken and the first record the reading no longer reaches.
TEST(TutorialText, BadRecordsAreReportedWithTheFileAndNotTakenHalfRead) {
    struct Case {
        std::string_view text;
        const char* logged;
        Names taken;
        const char* notReached;
    };
    const Case cases[] = {
        {"first { page { delay: 10 } }\nsecond { page { delay: x40 } other { } }\nthird { p { } }",
         "test.tut: tutorial 'second': scene 'page': 'delay:' is not followed by a whole number; the record is not taken",
         {"first"}, "third"},
        {"a { show-limit: many b { } }\nc { }", "tutorial 'a': 'show-limit:' is not followed by a whole number", {}, "c"},
        {"cut { page { delay:", "tutorial 'cut': scene 'page': 'delay:' is not followed", {}, ""},
        {"cut { show-limit: 2", "tutorial 'cut': the text ends before its closing '}'; the record is not taken", {}, ""},
        {"ok { p { } }\nopen { p { delay: 3 }", "tutorial 'open': the text ends before its closing '}'", {"ok"}, ""},
        {"glued{ page { } }\nafter { }", "tutorial 'glued{': '{' expected after the name, found 'page'", {}, "after"},
        {"bare page delay: 3", "tutorial 'bare': '{' expected after the name, found 'page'", {}, ""},
        {"scene { page delay: 3 } }", "tutorial 'scene': '{' expected after scene 'page', found 'delay:'", {}, ""},
        {std::string_view("nul {\0 }", 8), "test.tut: not a tutorial text (byte 0x00 at offset 5); nothing of it is read", {}, "nul"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        std::string log;
        Logger logger;
        logger.AddProvider(std::make_unique<CapturingLog>(&log));
        Logger* previous = Logger::Current();
        Logger::SetCurrent(&logger);
        {
            Tutorials t{std::string(c.text)};
            Names taken;
            for (const auto& [name, record] : t.manager.Assets()) taken.push_back(name);
            EXPECT_EQ(taken, c.taken);
            if (*c.notReached) {
                EXPECT_EQ(t.manager.FindRecord(c.notReached), nullptr);
            }
        }
        Logger::SetCurrent(previous);
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    }
    Tutorials empty("  \r\n ");
    EXPECT_TRUE(empty.manager.Assets().empty());
}

TEST(TutorialText, OutOfRangeValuesAndRepeatsAreLoggedAndClamped) {
    std::string log;
    Logger logger;
    logger.AddProvider(std::make_unique<CapturingLog>(&log));
    Logger* previous = Logger::Current();
    Logger::SetCurrent(&logger);
    {
        Tutorials t("twice { a { } }\ntwice { b { delay: -1 input: joystick } c { } }\n"
                    "limit { show-limit: -1 depends: nobody depends: limit p { } }");
        EXPECT_EQ(t.manager.FindRecord("twice")->GetScenes().size(), 2u) << "a later record replaces";
        EXPECT_EQ(t.manager.FindRecord("twice")->GetScenes()[0]->delay, 0);
        EXPECT_EQ(t.manager.FindRecord("twice")->GetScenes()[0]->input, TutorialSceneInputs::Any);
        EXPECT_EQ(t.manager.FindRecord("limit")->GetShowLimit(), 1);
        t.manager.ReportUnknownDependencies();
    }
    Logger::SetCurrent(previous);
    for (const char* line : {"test.tut: tutorial 'twice' is defined again; it replaces the one from earlier in this file",
                             "test.tut: tutorial 'twice': scene 'b': delay -1 ms is negative; taken as 0",
                             "test.tut: tutorial 'twice': scene 'b': unknown input 'joystick'",
                             "test.tut: tutorial 'limit': show limit -1 is below 1; taken as 1",
                             "test.tut: tutorial 'limit' depends on 'nobody', which no tutorial file defines",
                             "test.tut: tutorial 'limit' depends on itself; it is never shown"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
}

TEST(TutorialRules, ShowRuleGoesInactiveUnknownLockedDependenciesThenDevice) {
    Tutorials t(kFile);
    EXPECT_EQ(t.Show("nobody"), Names{});
    EXPECT_EQ(t.Show("use-dash"), Names{}) << "move-basic and anywhere are not done";
    EXPECT_EQ(t.Show("missing-first"), Names{});
    EXPECT_FALSE(t.Locked("missing-first"));
    EXPECT_EQ(t.Show("self"), Names{}) << "depends on itself: never shown";

    t.core.SendMessageBool("SetTutorialsActive", false);
    EXPECT_EQ(t.Show("anywhere"), Names{});
    t.Named("LockTutorial", "anywhere");
    EXPECT_FALSE(t.Locked("anywhere")) << "locking waits for the manager to be active";
    t.core.SendMessageBool("SetTutorialsActive", true);

    EXPECT_EQ(t.Show("anywhere"), Names{"anywhere"});
    t.Named("LockTutorial", "anywhere");
    t.Named("LockTutorial", "move-basic");
    EXPECT_EQ(t.Show("anywhere"), Names{}) << "locked";
    EXPECT_EQ(t.Show("use-dash"), Names{"use-dash"}) << "both prerequisites done";

    // A keyboard player gets the keyboard page; a pad-only prompt is done.
    EXPECT_EQ(t.Show("pad-only"), Names{});
    EXPECT_TRUE(t.Locked("pad-only"));
    t.core.SendMessageBool("ControllerChanged", true);
    t.Named("UnlockTutorial", "pad-only");
    EXPECT_EQ(t.Show("pad-only"), Names{"pad-only"});
}

TEST(TutorialRules, ShowLimitCountsCompleteShowingsAndUnlockAllWorksWhileInactive) {
    Tutorials t(kFile);
    TutorialRecord* move = t.manager.FindRecord("move-basic");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.Show("move-basic"), Names{"move-basic"}) << i;
        move->MarkShown();
    }
    EXPECT_TRUE(move->IsLocked());
    TutorialRecord* anywhere = t.manager.FindRecord("anywhere");
    anywhere->MarkShown();
    EXPECT_TRUE(anywhere->IsLocked()) << "no limit: locked after the first showing";

    t.core.SendMessageBool("SetTutorialsActive", false);
    t.core.Send("UnlockAllTutorials");
    EXPECT_FALSE(move->IsLocked());
    EXPECT_EQ(move->GetShowCount(), 0);
    EXPECT_FALSE(anywhere->IsLocked());

    // A limit of 0 (below 1) also locks after the first showing.
    Tutorials limited("zero { show-limit: 0 p { } }");
    TutorialRecord* record = limited.manager.FindRecord("zero");
    EXPECT_FALSE(record->IsLocked());
    record->MarkShown();
    EXPECT_TRUE(record->IsLocked());
}

TEST(TutorialRules, DeviceMatchNeedsADevice) {
    using namespace TutorialSceneInputs;
    EXPECT_TRUE(Matches(Any, Keyboard));
    EXPECT_TRUE(Matches(Any, Controller));
    EXPECT_TRUE(Matches(Keyboard, Keyboard));
    EXPECT_FALSE(Matches(Keyboard, Controller));
    EXPECT_FALSE(Matches(Any, Any));
    EXPECT_FALSE(Matches(Controller, Any));
}

}  // namespace
}  // namespace Ostrel
