#include "engine/platform/InputScript.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using namespace std::string_view_literals;
using Kind = ScriptedEvent::Kind;

TEST(InputScript, ParsesEveryLineKindInFrameOrder) {
    std::vector<std::string> errors;
    InputScript script = InputScript::Parse(
        "# comment\n"
        "5 key 65 down\r\n"
        "\n"
        "3 key A up\n"
        "5 text h\xC3\xA9llo world\n"
        "6 mouse move 10 20 -3 4\n"
        "6 mouse left down\n"
        "6 mouse wheel -2\n"
        "7 pad GAMEPAD_A down\n"
        "7 pad 270 up\n"
        "7 pad leftstick 30000 -200\n"
        "8 drop /tmp/a b \"q\" $(x).FBX\n"
        "8 mouse item Editor Info|I/O|Save Level\n"
        "9 close\n"
        "9 resize 700 620",
        "s.txt", errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    const auto& e = script.Events();
    ASSERT_EQ(e.size(), 13u);
    EXPECT_EQ(e[0].frame, 3);
    EXPECT_EQ(e[0].code, 'A');
    EXPECT_FALSE(e[0].down);
    EXPECT_EQ(e[1].kind, Kind::Key);
    EXPECT_EQ(e[1].line, 2);
    EXPECT_EQ(e[2].text, "h\xC3\xA9llo world");
    EXPECT_EQ(e[3].kind, Kind::MouseMove);
    EXPECT_EQ(e[3].dx, -3);
    EXPECT_EQ(e[4].kind, Kind::MouseButton);
    EXPECT_EQ(e[4].code, 1);
    EXPECT_EQ(e[5].x, -2);
    EXPECT_EQ(e[6].code, 271);
    EXPECT_EQ(e[7].code, 270);
    EXPECT_EQ(e[8].kind, Kind::PadStick);
    EXPECT_EQ(e[8].y, -200);
    EXPECT_EQ(e[9].kind, Kind::Drop);
    EXPECT_EQ(e[9].text, "/tmp/a b \"q\" $(x).FBX");
    EXPECT_EQ(e[10].kind, Kind::MouseItem);
    EXPECT_EQ(e[10].text, "Editor Info|I/O|Save Level");
    EXPECT_EQ(e[11].kind, Kind::Close);
    EXPECT_EQ(e[12].kind, Kind::Resize);
    EXPECT_EQ(e[12].x, 700);
    EXPECT_EQ(e[12].y, 620);
    EXPECT_TRUE(script.UsesPad());
}

TEST(InputScript, MalformedLinesAreReportedWithLineNumberAndSkipped) {
    std::vector<std::string> errors;
    InputScript script = InputScript::Parse(
        "1 key 65 down\n"
        "x key 65 down\n"      // 2: frame not a number
        "0 key 65 down\n"      // 3: frames count from 1
        "2 key 300 down\n"     // 4: beyond the keyboard
        "2 key 65 pressed\n"   // 5
        "2 pad GAMEPAD_ANALOG_UP down\n"  // 6: never produced by a pad
        "2 mouse wheel 1000\n" // 7: overflows the wheel value
        "2 mouse item\n"       // 8: no place named
        "2 close now\n"        // 9
        "2 text\n"             // 10
        "2 jump\n"             // 11
        "2 resize 0 620\n"     // 12: no empty window
        "2 resize 700\n"       // 13
        "3 key 66 up\n",
        "bad.txt", errors);
    ASSERT_EQ(errors.size(), 12u);
    EXPECT_EQ(errors[0], "bad.txt:2: malformed input-script line 'x key 65 down', skipped");
    EXPECT_NE(errors[9].find("bad.txt:11:"), std::string::npos);
    ASSERT_EQ(script.Events().size(), 2u);
    EXPECT_EQ(script.Events()[1].code, 66);
}

TEST(InputScript, TakeUntilHandsOutEachEventOnce) {
    std::vector<std::string> errors;
    InputScript script = InputScript::Parse("2 close\n4 key 65 down\n4 key 65 up\n", "s", errors);
    EXPECT_TRUE(script.TakeUntil(1).empty());
    EXPECT_EQ(script.TakeUntil(3).size(), 1u);
    EXPECT_EQ(script.TakeUntil(3).size(), 0u);
    auto four = script.TakeUntil(10);
    ASSERT_EQ(four.size(), 2u);
    EXPECT_TRUE(four[0].down);
    EXPECT_TRUE(script.Empty());
}

TEST(InputScript, UnreadableFileIsOneError) {
    std::vector<std::string> errors;
    InputScript script = InputScript::Load("/nonexistent/script.txt", errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("/nonexistent/script.txt"), std::string::npos);
    EXPECT_TRUE(script.Empty());
}

TEST(InputScript, HostileFilesStayBoundedAndLinesAreLoggedReadably) {
    std::vector<std::string> errors;
    // Control bytes and NULs are written out, not passed into the log.
    InputScript::Parse("1 key\0 65 down\n2 \x1b[31mred\\\n"sv, "c.txt", errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "c.txt:1: malformed input-script line '1 key\\x00 65 down', skipped");
    EXPECT_EQ(errors[1], "c.txt:2: malformed input-script line '2 \\x1b[31mred\\x5c', skipped");

    // An endless file of NULs is one overlong line, read up to the limit.
    errors.clear();
    InputScript zeros = InputScript::Load("/dev/zero", errors);
    EXPECT_TRUE(zeros.Empty());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "/dev/zero: input script longer than 4194304 bytes, the rest is ignored");
    EXPECT_EQ(errors[1].rfind("/dev/zero:1: input-script line longer than 4096 bytes '\\x00\\x00", 0), 0u);

    // A line at the limit still counts; garbage floods are counted, not listed.
    std::string text = "1 text " + std::string(kMaxInputScriptLine - 7, 'x') + "\n";
    for (int i = 0; i < 150; ++i) text += "junk\n";
    errors.clear();
    InputScript big = InputScript::Parse(text, "big.txt", errors);
    EXPECT_EQ(big.Events().size(), 1u);
    ASSERT_EQ(errors.size(), 101u);
    EXPECT_EQ(errors.back(), "big.txt: 50 more malformed input-script lines, skipped");

    errors.clear();
    EXPECT_TRUE(InputScript::Load(LV_TEST_TMP, errors).Empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::string(LV_TEST_TMP) + ": a folder, not an input script, no scripted input");
}

TEST(InputScript, AtLinesStartTheirPartAtTheirMessageAfterThePartBeforeStarted) {
    std::vector<std::string> errors;
    InputScript script = InputScript::Parse(
        "2 key A down\n"
        "9 key E down\n"
        "at GameReady\n"
        "3 key B down\n"
        "1 key C down\n"
        "at LevelLoaded\n"
        "at GameReady\n"
        "1 key D down\n"
        "at\n"                   // no message: reported, skipped
        "at GameReady extra\n",  // reported, skipped
        "s.txt", errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("s.txt:9:"), std::string::npos) << errors[0];
    EXPECT_EQ(script.Anchors(), (std::vector<std::string>{"GameReady", "LevelLoaded", "GameReady"}));

    ASSERT_EQ(script.TakeUntil(2).size(), 1u);
    ASSERT_NE(script.WaitingFor(), nullptr);
    EXPECT_EQ(*script.WaitingFor(), "GameReady");
    script.MessageSent("LevelLoaded", 3);  // not the one waited for
    EXPECT_EQ(*script.WaitingFor(), "GameReady");
    script.MessageSent("GameReady", 5);
    // The second part counts from frame 5; what is left of the first still plays, merged by frame.
    auto due = script.TakeUntil(9);
    ASSERT_EQ(due.size(), 3u);
    EXPECT_EQ(due[0].code, 'C');
    EXPECT_EQ(due[0].frame, 6);
    EXPECT_EQ(due[1].code, 'B');
    EXPECT_EQ(due[2].code, 'E');
    // Two anchors in a row wait one after the other.
    EXPECT_EQ(*script.WaitingFor(), "LevelLoaded");
    script.MessageSent("GameReady", 20);
    script.MessageSent("LevelLoaded", 21);
    EXPECT_EQ(*script.WaitingFor(), "GameReady");
    EXPECT_FALSE(script.Empty());
    script.MessageSent("GameReady", 30);
    EXPECT_TRUE(script.TakeUntil(30).empty());
    EXPECT_EQ(script.TakeUntil(31)[0].code, 'D');
    EXPECT_TRUE(script.Empty());
    EXPECT_EQ(script.WaitingFor(), nullptr);
}
