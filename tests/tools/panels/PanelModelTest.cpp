// The panel model headless: definitions, groups, names, values, queued
// actions and the panel group the components fill.

#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelDefinition.h"
#include "tools/panels/PanelGroup.h"
#include "tools/panels/PanelModel.h"

#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/io/XmlTestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

// The top-level items of a group, in the order the panel shows them: entry
// names, and groups as "[name]".
std::vector<std::string> Shown(PanelBar& bar, const std::string& group) {
    std::vector<std::pair<u64, std::string>> items;
    for (const PanelEntry& e : bar.entries) {
        if (e.group == group) items.emplace_back(e.order, e.name);
    }
    for (const PanelGroupInfo& g : bar.groups) {
        if (g.parent == group) items.emplace_back(g.order, "[" + g.name + "]");
    }
    std::sort(items.begin(), items.end());
    std::vector<std::string> names;
    for (auto& item : items) names.push_back(item.second);
    return names;
}

void Noop(void*) {}

TEST(PanelModel, EveryDefinitionOfTheToolsApplies) {
    PanelModel model;
    TwBar* editor = TwNewBar("Editor Info");
    TwBar* object = TwNewBar("Object Info");
    TwBar* palette = TwNewBar("Tile Palette");
    TwBar* viewer = TwNewBar("Viewer Info");
    ASSERT_TRUE(editor && object && palette && viewer);
    u32 clones = 1;
    float mod = 0;
    std::string load = "Untitled";
    EXPECT_TRUE(TwAddButton(editor, "New Level", Noop, nullptr, "label='New Level' group='I/O'"));
    EXPECT_TRUE(TwAddSeparator(editor, "NewLevelSeparator", "group='I/O'"));
    EXPECT_TRUE(TwAddVarRW(editor, "Loading From", PanelType::StdString, &load, " group='I/O'"));
    EXPECT_TRUE(TwAddSeparator(editor, "EndI/O", ""));
    EXPECT_TRUE(TwAddButton(editor, "Create New", Noop, nullptr, "label='Create New' group='Object Creation'"));
    EXPECT_TRUE(TwAddVarRW(editor, "Number of Clones", PanelType::UInt32, &clones, " group='Clone Settings'"));
    EXPECT_TRUE(TwAddVarRW(editor, "ClonePositionModX", PanelType::Float, &mod, " group='Clone Settings'"));

    for (const char* def : {" GLOBAL contained=true", " GLOBAL contained=true ",
                            "'Editor Info' color='200 200 200' text=dark ",
                            "'Object Info' color='250 50 50' text=light ",
                            "'Tile Palette' color='50 50 250' text=light ",
                            "'Viewer Info' color='200 200 200' text=dark ",
                            "'Editor Info'/'Clone Settings' group='Object Creation' opened=false"}) {
        EXPECT_TRUE(TwDefine(def)) << def;
    }
    EXPECT_TRUE(model.Contained());
    EXPECT_EQ(editor->colour, (std::array<u8, 3>{200, 200, 200}));
    EXPECT_FALSE(editor->lightText);
    EXPECT_EQ(object->colour, (std::array<u8, 3>{250, 50, 50}));
    EXPECT_TRUE(object->lightText);
    EXPECT_EQ(palette->colour, (std::array<u8, 3>{50, 50, 250}));
    // The clone settings fold, closed, into the object creation group, after
    // what that group already held.
    const PanelGroupInfo* cloneGroup = editor->FindGroup("Clone Settings");
    ASSERT_NE(cloneGroup, nullptr);
    EXPECT_EQ(cloneGroup->parent, "Object Creation");
    EXPECT_FALSE(cloneGroup->opened);
    EXPECT_EQ(Shown(*editor, ""), (std::vector<std::string>{"[I/O]", "EndI/O", "[Object Creation]"}));
    EXPECT_EQ(Shown(*editor, "Object Creation"), (std::vector<std::string>{"Create New", "[Clone Settings]"}));
    EXPECT_EQ(Shown(*editor, "I/O"), (std::vector<std::string>{"New Level", "NewLevelSeparator", "Loading From"}));

    // The viewer also defines a bar it never makes: ignored, silently.
    PanelModel viewerModel;
    TwBar* alone = TwNewBar("Viewer Info");
    const PanelBar before = *alone;
    EXPECT_TRUE(TwDefine("'Object Info' color='250 50 50' text=light "));
    EXPECT_TRUE(TwDefine("'Object Info'"));
    EXPECT_EQ(alone->colour, before.colour);
}

TEST(PanelModel, BrokenDefinitionsChangeNothing) {
    PanelModel model;
    TwBar* bar = TwNewBar("Editor Info");
    float value = 0;
    TwAddVarRW(bar, "Speed", PanelType::Float, &value, " group='Motion'");
    const PanelBar before = *bar;
    for (const char* def : {"'Editor Info color='1 2 3'", "'Editor Info' color='1 2 3' text=dark shade=4",
                            "'Editor Info' color='1 2 3' text=grey", "'Editor Info' color='1 2 300'",
                            "'Editor Info' color", "'Editor Info'/'Motion' opened=maybe",
                            "'Editor Info'/'Motion' group='Motion'", " GLOBAL contained=true iconify=true", ""}) {
        EXPECT_FALSE(TwDefine(def)) << def;
    }
    EXPECT_EQ(bar->colour, before.colour);
    EXPECT_EQ(bar->lightText, before.lightText);
    EXPECT_TRUE(bar->FindGroup("Motion")->opened);
    EXPECT_EQ(bar->FindGroup("Motion")->parent, "");
    EXPECT_FALSE(model.Contained());
    // Definitions of entries: a broken one refuses the entry, a quote inside
    // a name (plain concatenation) too.
    EXPECT_FALSE(TwAddVarRW(bar, "Other", PanelType::Float, &value, " group='Motion"));
    EXPECT_FALSE(TwAddVarRW(bar, "Other", PanelType::Float, &value, " min=0"));
    EXPECT_FALSE(TwAddVarRW(bar, "Other", PanelType::Float, &value, " group='Bob's'"));
    EXPECT_EQ(bar->entries.size(), 1u);
}

TEST(PanelModel, DefinitionGrammarReadsQuotesSlashesAndBlanks) {
    auto def = ParsePanelDefinition("  'Editor Info'/'I/O x' label=`a b` group=\"c'd\" opened=false  ", true, nullptr);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->bar, "Editor Info");
    EXPECT_TRUE(def->hasItem);
    EXPECT_EQ(def->item, "I/O x");
    EXPECT_EQ(def->pairs, (std::vector<std::pair<std::string, std::string>>{
                              {"label", "a b"}, {"group", "c'd"}, {"opened", "false"}}));
    auto bare = ParsePanelDefinition("Bar/Item group=I/O", true, nullptr);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->bar, "Bar");
    EXPECT_EQ(bare->item, "Item");
    EXPECT_EQ(bare->pairs[0].second, "I/O");
    auto empty = ParsePanelDefinition(" group=''", false, nullptr);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->pairs[0], (std::pair<std::string, std::string>{"group", ""}));
    std::string error;
    EXPECT_FALSE(ParsePanelDefinition("group='x", false, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ParsePanelDefinition("group", false, nullptr));
    EXPECT_FALSE(ParsePanelDefinition("group=", false, nullptr));
    EXPECT_FALSE(ParsePanelDefinition("a'b=c", false, nullptr));
    EXPECT_TRUE(ParsePanelDefinition("", false, nullptr));
}

struct Counter {
    int value = 0;
    int sets = 0;
    int presses = 0;
    PanelBar* bar = nullptr;
};

void SetCount(const void* v, void* c) {
    auto* counter = static_cast<Counter*>(c);
    counter->value = *static_cast<const s32*>(v);
    ++counter->sets;
}
void GetCount(void* v, void* c) {
    *static_cast<s32*>(v) = static_cast<Counter*>(c)->value;
}
void PressAndClear(void* c) {
    auto* counter = static_cast<Counter*>(c);
    ++counter->presses;
    TwRemoveAllVars(counter->bar);  // the entry being pressed goes too
}

TEST(PanelModel, NamesOrderValuesAndQueuedActions) {
    PanelModel model;
    TwBar* bar = TwNewBar("Object Info");
    ASSERT_EQ(TwNewBar("Object Info"), nullptr);
    float angle = 1, other = 2, mesh = 0, shadow = 0;
    EXPECT_TRUE(TwAddVarRW(bar, "ProjectileInnerAngle", PanelType::Float, &angle, " group='FoxComponent'"));
    EXPECT_FALSE(TwAddVarRW(bar, "ProjectileInnerAngle", PanelType::Float, &other, " group='FoxComponent'"));
    EXPECT_TRUE(TwAddVarRW(bar, "Visible", PanelType::Float, &mesh, " group='MeshComponent'"));
    EXPECT_TRUE(TwAddVarRW(bar, "Visible", PanelType::Float, &shadow, " group='ShadowComponent'"));
    EXPECT_FALSE(TwAddSeparator(bar, "Visible", " group='ShadowComponent'"));
    EXPECT_EQ(std::get<f32>(model.Read("Object Info", "FoxComponent", "ProjectileInnerAngle")), 1.0f);
    EXPECT_TRUE(model.Commit("Object Info", "ShadowComponent", "Visible", 5.0f));
    EXPECT_EQ(shadow, 5.0f);
    EXPECT_EQ(mesh, 0.0f);
    EXPECT_FALSE(model.Commit("Object Info", "ShadowComponent", "Visible", s32(5)));  // wrong type

    // Read-only fields: direct, and callbacks without a setter.
    std::string name = "crate";
    Counter count{7};
    EXPECT_TRUE(TwAddVarRO(bar, "ObjectName", PanelType::StdString, &name));
    EXPECT_TRUE(TwAddVarCB(bar, "Total Objects", PanelType::Int32, nullptr, GetCount, &count));
    EXPECT_FALSE(model.Commit("Object Info", "", "ObjectName", std::string("barrel")));
    EXPECT_FALSE(model.Commit("Object Info", "", "Total Objects", s32(3)));
    EXPECT_EQ(name, "crate");
    EXPECT_EQ(std::get<s32>(model.Read("Object Info", "", "Total Objects")), 7);
    EXPECT_FALSE(TwAddVarCB(bar, "Bad", PanelType::Undefined, SetCount, GetCount, &count));

    // A setter runs only for a value that differs from what is shown.
    Counter edited{3};
    EXPECT_TRUE(TwAddVarCB(bar, "Count", PanelType::Int32, SetCount, GetCount, &edited));
    EXPECT_TRUE(model.Commit("Object Info", "", "Count", s32(3)));
    EXPECT_EQ(edited.sets, 0);
    EXPECT_TRUE(model.Commit("Object Info", "", "Count", s32(4)));
    EXPECT_EQ(edited.sets, 1);
    EXPECT_EQ(edited.value, 4);

    // Size and position round-trip; other parameters and counts do nothing.
    const s32 size[2] = {300, 400}, position[2] = {630, 10};
    EXPECT_TRUE(TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, size));
    EXPECT_TRUE(TwSetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position));
    EXPECT_FALSE(TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 1, size));
    EXPECT_FALSE(TwSetParam(bar, nullptr, "alpha", PanelParamType::Int32, 2, size));
    EXPECT_FALSE(TwSetParam(bar, "Count", "size", PanelParamType::Int32, 2, size));
    s32 back[2] = {};
    EXPECT_TRUE(TwGetParam(bar, nullptr, "size", PanelParamType::Int32, 2, back));
    EXPECT_EQ(back[0], 300);
    EXPECT_EQ(back[1], 400);
    EXPECT_TRUE(TwGetParam(bar, nullptr, "position", PanelParamType::Int32, 2, back));
    EXPECT_EQ(back[0], 630);
    EXPECT_EQ(back[1], 10);

    // A button whose callback removes every entry, its own included; an edit
    // queued behind it finds its entry gone and is dropped.
    Counter pressed;
    pressed.bar = bar;
    EXPECT_TRUE(TwAddButton(bar, "Clear", PressAndClear, &pressed, "label='Clear' group=''"));
    model.QueuePress(*bar, *bar->Find("", "Clear"));
    model.QueueCommit(*bar, *bar->Find("", "Count"), s32(9));
    model.RunQueued();
    EXPECT_EQ(pressed.presses, 1);
    EXPECT_EQ(edited.value, 4);
    EXPECT_TRUE(bar->entries.empty());
    EXPECT_TRUE(bar->groups.empty());
    EXPECT_TRUE(TwGetParam(bar, nullptr, "size", PanelParamType::Int32, 2, back));
    EXPECT_EQ(back[0], 300);  // the bar keeps its place
    // Actions of a deleted bar are dropped too.
    TwAddButton(bar, "Again", PressAndClear, &pressed);
    model.QueuePress(*bar, bar->entries.back());
    EXPECT_TRUE(TwDeleteBar(bar));
    model.RunQueued();
    EXPECT_EQ(pressed.presses, 1);
    EXPECT_FALSE(TwDeleteBar(bar));
    EXPECT_FALSE(TwAddButton(bar, "Late", Noop, nullptr));
}

struct Fields {
    std::string text = "a";
    s32 number = 1;
    u32 unsignedNumber = 2;
    char letter = 'x';
    std::array<f32, 3> direction{0, 0, 1};
    int calls = 0;
};

template <class T>
void SetField(const void* v, void* f) {
    auto* fields = static_cast<Fields*>(f);
    ++fields->calls;
    if constexpr (std::is_same_v<T, u32>) fields->unsignedNumber = *static_cast<const u32*>(v);
    if constexpr (std::is_same_v<T, char>) fields->letter = *static_cast<const char*>(v);
    if constexpr (std::is_same_v<T, std::string>) fields->text = *static_cast<const std::string*>(v);
    if constexpr (std::is_same_v<T, float>) std::memcpy(fields->direction.data(), v, sizeof(fields->direction));
}
template <class T>
void GetField(void* v, void* f) {
    auto* fields = static_cast<Fields*>(f);
    if constexpr (std::is_same_v<T, u32>) *static_cast<u32*>(v) = fields->unsignedNumber;
    if constexpr (std::is_same_v<T, char>) *static_cast<char*>(v) = fields->letter;
    if constexpr (std::is_same_v<T, std::string>) TwCopyStdStringToLibrary(*static_cast<std::string*>(v), fields->text);
    if constexpr (std::is_same_v<T, float>) std::memcpy(v, fields->direction.data(), sizeof(fields->direction));
}

struct Timed {
    f32 value = 0;
    int sets = 0;
};
void SetTime(const void* v, void* t) {
    static_cast<Timed*>(t)->value = *static_cast<const f32*>(v);
    ++static_cast<Timed*>(t)->sets;
}
void GetTime(void* v, void* t) {
    *static_cast<f32*>(v) = static_cast<Timed*>(t)->value;
}

// Text typed into a number field is read whole: a number (blanks around it
// and a leading '+' aside) goes in; anything else leaves the field as it
// was, with the reason under it, on the status line and in the log, and
// never runs a setter. An entry longer than the field holds is refused with
// the limit, never read cut (forty digits cut to 32 would be a float), and
// a long entry is quoted by its start, cut between UTF-8 characters. A
// character field takes one character.
TEST(PanelModel, TypedEntriesAreTakenWholeOrRefusedWithTheReason) {
    PanelModel model;
    TwBar* bar = TwNewBar("Editor Info");
    f32 speed = 5;
    s32 count = 5;
    u32 clones = 5;
    std::array<f32, 3> light{5, 5, 5};
    Timed time{5};
    TwAddVarRW(bar, "PosX", PanelType::Float, &speed);
    TwAddVarRW(bar, "Difficulty", PanelType::Int32, &count);
    TwAddVarRW(bar, "Number of Clones", PanelType::UInt32, &clones);
    TwAddVarRW(bar, "Light", PanelType::Dir3f, light.data());
    TwAddVarCB(bar, "Animation Time", PanelType::Float, SetTime, GetTime, &time);
    char initial = '5';
    TwAddVarRW(bar, "Initial", PanelType::Char, &initial);
    struct Row {
        const char* field;
        std::string text;
        std::string why;  // empty: taken
        f64 taken;
    };
    const std::string forty = "1234567890123456789012345678901234567890";
    const std::string tooLong = "'12345678901234567890...' is longer than the field holds (40 characters, at most 32)";
    std::string accents;
    for (int i = 0; i < 40; ++i) accents += "\u00e9";
    const Row rows[] = {
        {"PosX", "61", "", 61},
        {"PosX", " 2.5 ", "", 2.5},
        {"PosX", "+4", "", 4},
        {"PosX", "-0.25", "", -0.25},
        {"PosX", "1e3", "", 1000},
        {"PosX", "1e-99999", "", 0},
        {"PosX", "inf", "'inf' is not a finite number", 0},
        {"PosX", "INF", "'INF' is not a finite number", 0},
        {"PosX", "-inf", "'-inf' is not a finite number", 0},
        {"PosX", "nan", "'nan' is not a finite number", 0},
        {"PosX", "1e999", "'1e999' is not a finite number", 0},
        {"PosX", "abc", "'abc' is not a number", 0},
        {"PosX", "--2", "'--2' is not a number", 0},
        {"PosX", "+-2", "'+-2' is not a number", 0},
        {"PosX", "3x", "'3x' is not a number", 0},
        {"PosX", "1.5.5", "'1.5.5' is not a number", 0},
        {"PosX", "1,5", "'1,5' is not a number", 0},
        {"PosX", "0x10", "'0x10' is not a number", 0},
        {"PosX", "", "'' is not a number", 0},
        {"PosX", "  ", "'  ' is not a number", 0},
        {"Animation Time", "0.5", "", 0.5},
        {"Animation Time", "abc", "'abc' is not a number", 0},
        {"Animation Time", "nan", "'nan' is not a finite number", 0},
        {"Animation Time", "3x", "'3x' is not a number", 0},
        {"Difficulty", "-7", "", -7},
        {"Difficulty", "2.5", "'2.5' is not a whole number", 0},
        {"Difficulty", "3x", "'3x' is not a whole number", 0},
        {"Difficulty", "99999999999", "'99999999999' is out of range (-2147483648 to 2147483647)", 0},
        {"Number of Clones", "3", "", 3},
        {"Number of Clones", "-1", "'-1' is out of range (0 to 4294967295)", 0},
        {"Number of Clones", "4294967296", "'4294967296' is out of range (0 to 4294967295)", 0},
        {"Light", "7", "", 7},
        {"Light", "x", "'x' is not a number", 0},
        {"PosX", forty, tooLong, 0},
        {"PosX", forty.substr(0, 32), "", f64(1.2345678901234567e31f)},
        {"PosX", accents, "'" + accents.substr(0, 40) + tooLong.substr(tooLong.find("...'")), 0},
        {"PosX", accents.substr(0, 40), "'" + accents.substr(0, 40) + "' is not a number", 0},
        {"Difficulty", forty, tooLong, 0},
        {"Difficulty", forty.substr(0, 31) + "x", "'" + forty.substr(0, 31) + "x' is not a whole number", 0},
        {"Number of Clones", forty.substr(0, 33),
         "'12345678901234567890...' is longer than the field holds (33 characters, at most 32)", 0},
        {"Initial", "b", "", 'b'},
        {"Initial", "", "", 0},
        {"Initial", "ab", "'ab' is longer than the field holds (2 characters, at most 1)", 0},
        {"Initial", "\u00e9", "'\u00e9' is not a plain character, which is all the field holds", 0},
    };
    for (const Row& row : rows) {
        speed = 5;
        count = 5;
        clones = 5;
        light = {5, 5, 5};
        time = {5, 0};
        initial = '5';
        const std::string field = row.field;
        const bool taken = row.why.empty();
        XmlTest::LogCapture log;
        EXPECT_EQ(model.CommitTyped("Editor Info", "", field, row.text, 1), taken) << field << " '" << row.text << "'";
        const f64 expected = taken ? row.taken : 5.0;
        const f64 now = field == "PosX" ? f64(speed)
                        : field == "Difficulty" ? f64(count)
                        : field == "Number of Clones" ? f64(clones)
                        : field == "Light" ? f64(light[1])
                        : field == "Initial" ? f64(initial == '5' ? 5 : initial)
                                           : f64(time.value);
        EXPECT_EQ(now, expected) << field << " '" << row.text << "'";
        const PanelEntry* entry = bar->Find("", field);
        if (taken) {
            EXPECT_EQ(entry->note, "") << row.text;
            continue;
        }
        const std::string kept = field == "Light" ? "5 5 5" : field == "Initial" ? "'5'" : "5";
        const std::string note = row.why + "; kept " + kept;
        EXPECT_EQ(entry->note, note) << field;
        EXPECT_EQ(model.Status().Text(), field + ": " + note);
        EXPECT_NE(log.Text().find("panel field '" + field + "' of bar 'Editor Info': " + note + "\n"), std::string::npos)
            << log.Text();
        EXPECT_EQ(time.sets, 0) << row.text;
        EXPECT_EQ(light[0], 5.0f);
    }
}

TEST(PanelGroupTest, FillsTheBarWithGroupedDefinitionsAndEveryKind) {
    PanelModel model;
    TwBar* bar = TwNewBar("Viewer Info");
    PanelGroup panel(bar);
    Fields f;
    bool flag = false;
    float scale = 1;
    panel.AddBool("Animation only", &flag, false);  // before any group: the top level
    panel.BeginGroup("");
    panel.BeginGroup("");  // a second "Separator": refused, silently
    panel.BeginGroup("CameraComponent");
    panel.AddFloat("Speed", &scale, true);
    panel.AddInt("Count", &f.number, false);
    panel.AddString("Name", &f.text, false);
    panel.AddCallbackVar("Charge", kTweakUInt, SetField<u32>, GetField<u32>, &f);
    panel.AddCallbackVar("Key", kTweakChar, SetField<char>, GetField<char>, &f);
    panel.AddCallbackVar("Label", kTweakString, SetField<std::string>, GetField<std::string>, &f);
    panel.AddCallbackVar("Facing", kTweakDir3, SetField<float>, GetField<float>, &f);
    panel.AddCallbackVar("Seven", 7, SetField<u32>, GetField<u32>, &f);
    panel.AddCallbackVar("Negative", -1, SetField<u32>, GetField<u32>, &f);
    panel.AddButton("Reset Camera", Noop, nullptr);
    panel.BeginGroup("CameraComponent");  // its separator exists already

    EXPECT_EQ(Shown(*bar, ""), (std::vector<std::string>{"Animation only", "Separator", "CameraComponentSeparator",
                                                         "[CameraComponent]"}));
    EXPECT_EQ(Shown(*bar, "CameraComponent"), (std::vector<std::string>{"Speed", "Count", "Name", "Charge", "Key",
                                                                         "Label", "Facing", "Reset Camera"}));
    const PanelEntry* button = bar->Find("CameraComponent", "Reset Camera");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->label, "Reset Camera");
    EXPECT_EQ(button->kind, PanelEntry::Kind::Button);
    EXPECT_EQ(bar->Find("CameraComponent", "Charge")->type, PanelType::UInt32);
    EXPECT_EQ(bar->Find("CameraComponent", "Key")->type, PanelType::Char);
    EXPECT_EQ(bar->Find("CameraComponent", "Facing")->type, PanelType::Dir3f);
    EXPECT_FALSE(bar->Find("CameraComponent", "Speed")->IsEditable());

    EXPECT_TRUE(model.Commit("Viewer Info", "CameraComponent", "Charge", u32(9)));
    EXPECT_TRUE(model.Commit("Viewer Info", "CameraComponent", "Key", 'q'));
    EXPECT_TRUE(model.Commit("Viewer Info", "CameraComponent", "Label", std::string("b c")));
    EXPECT_TRUE(model.Commit("Viewer Info", "CameraComponent", "Facing", std::array<f32, 3>{1, 0, 0}));
    EXPECT_TRUE(model.Commit("Viewer Info", "CameraComponent", "Count", s32(-4)));
    EXPECT_TRUE(model.Commit("Viewer Info", "", "Animation only", true));
    EXPECT_FALSE(model.Commit("Viewer Info", "CameraComponent", "Speed", 2.0f));
    EXPECT_EQ(f.unsignedNumber, 9u);
    EXPECT_EQ(f.letter, 'q');
    EXPECT_EQ(f.text, "b c");
    EXPECT_EQ(f.direction, (std::array<f32, 3>{1, 0, 0}));
    EXPECT_EQ(f.number, -4);
    EXPECT_TRUE(flag);
    EXPECT_EQ(f.calls, 4);
    EXPECT_EQ(std::get<std::string>(model.Read("Viewer Info", "CameraComponent", "Label")), "b c");
    EXPECT_TRUE(model.Press("Viewer Info", "CameraComponent", "Reset Camera"));
    EXPECT_FALSE(model.Press("Viewer Info", "CameraComponent", "Count"));
    EXPECT_FALSE(model.Press("Viewer Info", "", "Reset Camera"));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PanelGroupTest, CameraObjectShowsOneGroupPerComponentInTypeIdOrder) {
    ComponentTest::ComponentWorld world(ReadFile(std::string(LV_SOURCE_DIR) + "/rsc/objects/motion-objects.xobj"));
    Composition* camera = world.Create("DefaultCamera");
    ASSERT_NE(camera, nullptr);
    PanelModel model;
    TwBar* bar = TwNewBar("Editor Info");
    PanelGroup panel(bar);
    camera->ExposeProperties(&panel);

    std::vector<std::pair<u32, std::string>> expected;
    for (const auto& [id, component] : camera->GetComponents()) {
        expected.emplace_back(id, world.factory.GetComponentTypeName(id));
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_GE(expected.size(), 3u);
    std::vector<std::string> groups;
    for (const std::string& item : Shown(*bar, "")) {
        if (item.front() == '[') groups.push_back(item.substr(1, item.size() - 2));
    }
    std::vector<std::string> separators;
    for (const PanelEntry& e : bar->entries) {
        if (e.kind == PanelEntry::Kind::Separator) separators.push_back(e.name);
    }
    std::vector<std::string> names, separatorNames;
    for (const auto& [id, name] : expected) {
        separatorNames.push_back(name + "Separator");
        if (!Shown(*bar, name).empty()) names.push_back(name);
    }
    EXPECT_EQ(separators, separatorNames);
    EXPECT_EQ(groups, names);
    EXPECT_FALSE(Shown(*bar, "CameraComponent").empty());
    EXPECT_FALSE(Shown(*bar, "TransformComponent").empty());
}

}  // namespace
}  // namespace Ostrel
