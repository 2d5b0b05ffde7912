#include "ScriptTestSupport.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/script/ScriptSystem.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using Testing::Global;

// Another listener of "KeyTriggered", to see who receives keys.
struct KeyCounter {
    void OnKey(int, bool) { ++keys; }
    int keys = 0;
};

class ScriptConsoleTest : public ::testing::Test {
protected:
    ScriptConsoleTest() {
        engine.AddSystem(&core);
        console.SetOutput([this](std::string_view text) { output += text; });
        console.Initialize();
        core.Listen("KeyTriggered", MakeDelegate(&counter, &KeyCounter::OnKey));
    }
    ~ScriptConsoleTest() override {
        console.Shutdown();
        core.Unlisten("KeyTriggered", MakeDelegate(&counter, &KeyCounter::OnKey));
    }

    void Press(int key) {
        core.SendMessageValueBool("KeyTriggered", key, true);
        core.SendMessageValueBool("KeyTriggered", key, false);
    }
    void Hold(int key, bool down) { core.SendMessageValueBool("KeyTriggered", key, down); }
    void Type(const std::string& keys) {
        for (char c : keys) Press(c);
    }

    Engine engine;
    CoreSystem core;
    ScriptManager scripts;
    ScriptSystem console;
    KeyCounter counter;
    std::string output;
};

TEST_F(ScriptConsoleTest, BackQuoteDoesNothingWithoutDebug) {
    Press(ScriptSystem::kToggleKey);
    EXPECT_FALSE(console.IsConsoleOpen());
    EXPECT_EQ(output, "");
    EXPECT_EQ(counter.keys, 2);
}

TEST_F(ScriptConsoleTest, OpenConsoleTypesRunsLinesAndAloneReceivesKeys) {
    console.SetDebug(true);
    Press(ScriptSystem::kToggleKey);
    ASSERT_TRUE(console.IsConsoleOpen());
    const int heardBefore = counter.keys;

    Type("Y");                    // unshifted letters are lower case
    Press(32);
    Hold(16, true);
    Press('1');                   // Shift+1
    Press(ScriptSystem::kToggleKey);  // Shift+back-quote types a tilde, stays open
    Press('Q');                   // shifted letters stay upper case
    Hold(16, false);
    Press(103);                   // number-pad 7
    Press(187);                   // '='
    Press(112);                   // F1 types nothing
    Press(256);                   // pad codes never reach the line
    EXPECT_EQ(console.GetConsoleLine(), "y !~Q7=");
    EXPECT_TRUE(console.IsConsoleOpen());
    Press(8);
    EXPECT_EQ(console.GetConsoleLine(), "y !~Q7");
    Press(27);                    // Escape drops the line
    EXPECT_EQ(console.GetConsoleLine(), "");
    const std::size_t echoed = output.size();
    Press(8);                     // Backspace on an empty line writes nothing
    EXPECT_EQ(output.size(), echoed);

    Type("Y");
    Press(187);
    Type("42");
    Press(13);
    EXPECT_EQ(Global(scripts, "y"), "42");
    Type("Y");
    Press(187);
    Press(13);                    // "y=" does not compile
    EXPECT_NE(output.find("\nERROR:"), std::string::npos) << output;
    EXPECT_EQ(output.substr(output.size() - 1), "\n");
    EXPECT_EQ(counter.keys, heardBefore) << "no other listener heard a key while the console was open";

    Press(ScriptSystem::kToggleKey);
    EXPECT_FALSE(console.IsConsoleOpen());
    Press('A');
    EXPECT_EQ(counter.keys, heardBefore + 3) << "the closing key's release and later keys reach listeners";
}

TEST_F(ScriptConsoleTest, ShutdownWithTheConsoleOpenGivesKeysBack) {
    console.SetDebug(true);
    Press(ScriptSystem::kToggleKey);
    ASSERT_TRUE(console.IsConsoleOpen());
    const int heard = counter.keys;
    console.Shutdown();
    EXPECT_FALSE(console.IsConsoleOpen());
    Press('A');
    EXPECT_EQ(counter.keys, heard + 2);
    EXPECT_EQ(console.GetConsoleLine(), "");
}

TEST(ScriptConsoleKeys, TranslateByTheConsoleTable) {
    ScriptSystem console;
    struct Row {
        int code;
        bool shift;
        int typed;
        bool converted;
    };
    const Row rows[] = {
        {'A', false, 'a', true}, {'A', true, 'A', false}, {'0', false, '0', false}, {'0', true, ')', true},
        {'9', true, '(', true},  {96, false, '0', true},  {105, true, '9', true},   {192, false, '`', true},
        {192, true, '~', true},  {222, false, '\'', true}, {222, true, '"', true},  {220, false, '\\', true},
        {32, false, 32, false},  {13, false, 0, true},    {45, false, 0, true},     {112, false, 0, true},
        {185, false, 0, true},   {186, false, ';', true}, {91, false, 0, true},     {255, false, 255, false},
    };
    for (const Row& row : rows) {
        int shift = 16;
        console.TranslateKey(shift, row.shift);
        int code = row.code;
        EXPECT_EQ(console.TranslateKey(code, true), row.converted) << row.code << " shift " << row.shift;
        EXPECT_EQ(code, row.typed) << row.code << " shift " << row.shift;
    }
}

}  // namespace
}  // namespace Ostrel
