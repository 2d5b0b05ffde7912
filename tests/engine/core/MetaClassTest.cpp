#include "engine/core/MetaClassNil.h"
#include "engine/core/MetaClassPlaceholder.h"
#include "engine/core/MetaClassString.h"
#include "engine/core/Reflect.h"
#include "engine/core/RegistryDump.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/TextConstants.h"
#include "engine/core/Variant.h"
#include "engine/core/Vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace {

struct Point {
    float x = 0;
    void SetX(const float& value) { x = value; }
    void GetX(float& out) const { out = x; }
    float GetXByValue() const { return x; }
    void OnMoved(int dx, bool fast) { x += float(fast ? dx * 2 : dx); }
};

struct Abstract {
    virtual ~Abstract() = default;
    virtual void Run() = 0;
};

struct Opaque {};

void RegisterPoint(Ostrel::MetaClass& meta) {
    meta.AddField("x", Ostrel::MakeField(&Point::SetX, &Point::GetX));
    meta.AddField("xByValue", Ostrel::MakeField(&Point::SetX, &Point::GetXByValue));
    meta.AddMethod("OnMoved", Ostrel::MakeMethod(&Point::OnMoved));
}

}  // namespace

LV_DECLARE_META_CLASS(Point);
LV_REFLECT_VALUE(Point, RegisterPoint);
LV_REFLECT_ABSTRACT(Abstract);
LV_REFLECT_OPAQUE(Opaque);

using namespace Ostrel;

namespace {
MetaClass* Find(const char* name) {
    MetaClass* meta = MetaRegistryInst::Instance().Find(name);
    EXPECT_NE(meta, nullptr) << name;
    return meta;
}
}  // namespace

TEST(MetaClass, CoreTypesAreRegisteredByNameWithTheirKinds) {
    const struct {
        const char* name;
        int kind;
    } cases[] = {{"EntityUnknown", 0},  {"char", 1},          {"unsigned char", 2}, {"float", 3},
                 {"double", 4},         {"int", 5},           {"unsigned", 6},      {"long", 7},
                 {"unsigned long", 8},  {"short", 9},         {"unsigned short", 10}, {"bool", 11},
                 {"OstrelString", 12},  {"UiKey", 13},        {"BarDirection", 13}, {"UiDirection", 13},
                 {"FontAlignment", 13}, {"UiSceneChangeMethod", 13},
                 {"std::vector<Ostrel::FunctionRef>", 0},     {"Point", 15}};
    for (const auto& c : cases) {
        MetaClass* meta = Find(c.name);
        ASSERT_NE(meta, nullptr);
        EXPECT_EQ(meta->GetName(), c.name);
        EXPECT_EQ(meta->GetKind(), c.kind) << c.name;
    }
    EXPECT_EQ(Find("unsigned"), MetaClassOf<unsigned>());
    EXPECT_EQ(Find("EntityUnknown"), GetNilMetaClass());
    EXPECT_EQ(MetaRegistryInst::Instance().Find("NoSuchClass"), nullptr);
}

TEST(MetaClass, PlainConversionsFollowTheCRules) {
    bool flag = true;
    char letter = 65;
    int number = 0;
    bool truth = false;
    unsigned char byte = 200;
    float real = 1.0f / 3.0f;
    std::string out;
    EXPECT_EQ(MetaClassOf<bool>()->ToString(out, &flag), "1");
    EXPECT_EQ(MetaClassOf<char>()->ToString(out, &letter), "A");
    EXPECT_EQ(MetaClassOf<float>()->ToString(out, &real), "0.333333");
    EXPECT_EQ(MetaClassOf<unsigned char>()->ToInt(&byte), 200);

    MetaClass* intMeta = MetaClassOf<int>();
    intMeta->FromFloat(&number, 2.9);
    EXPECT_EQ(number, 2);
    intMeta->FromFloat(&number, -2.9);
    EXPECT_EQ(number, -2);
    intMeta->FromFloat(&number, 1e30);  // saturates instead of undefined behaviour
    EXPECT_EQ(number, 2147483647);
    intMeta->FromString(&number, "12abc");
    EXPECT_EQ(number, 12);
    intMeta->FromString(&number, "abc");
    EXPECT_EQ(number, 0);
    MetaClassOf<bool>()->FromString(&truth, "2");
    EXPECT_TRUE(truth);
    MetaClassOf<bool>()->FromFloat(&truth, 0.0);
    EXPECT_FALSE(truth);
    MetaClassOf<float>()->FromString(&real, "2.5xyz");
    EXPECT_FLOAT_EQ(real, 2.5f);
    real = -3.75f;
    EXPECT_EQ(MetaClassOf<float>()->ToInt(&real), -3);
}

TEST(MetaClass, TextConvertsWithAtoiAndStreamFormatting) {
    MetaClass* text = Find("OstrelString");
    std::string value = "42abc";
    EXPECT_EQ(text->ToInt(&value), 42);
    value = "2.5";
    EXPECT_DOUBLE_EQ(text->ToFloat(&value), 2.5);
    text->FromInt(&value, -17);
    EXPECT_EQ(value, "-17");
    text->FromFloat(&value, 0.1);
    EXPECT_EQ(value, "0.1");
    void* copy = nullptr;
    text->NewCopy(copy, &value);
    EXPECT_EQ(*static_cast<std::string*>(copy), "0.1");
    text->Delete(copy);
    EXPECT_TRUE(text->CanNew() && text->CanNewCopy() && text->CanDelete());
}

TEST(MetaClass, ClassValuesConvertToTheirClassName) {
    Point point;
    std::string out;
    EXPECT_EQ(MetaClassOf<Point>()->ToString(out, &point), "Point");
    EXPECT_EQ(MetaClassOf<Point>()->ToInt(&point), 0);
}

TEST(MetaClass, EnumerationsBehaveAsTheirInteger) {
    UiDirection direction = UiDirection::Down;
    std::string out;
    MetaClass* meta = MetaClassOf<UiDirection>();
    EXPECT_EQ(meta->ToString(out, &direction), "3");
    meta->FromString(&direction, "4");
    EXPECT_EQ(direction, UiDirection::Left);
    meta->FromFloat(&direction, 1.7);
    EXPECT_EQ(direction, UiDirection::Up);
}

TEST(MetaClass, MemoryCapabilitiesFollowTheRegistration) {
    MetaClass* value = MetaClassOf<Point>();
    EXPECT_TRUE(value->CanNew() && value->CanNewCopy() && value->CanDelete());
    void* made = value->New();
    ASSERT_NE(made, nullptr);
    value->Delete(made);

    MetaClass* abstract = Find("Abstract");
    EXPECT_FALSE(abstract->CanNew());
    EXPECT_EQ(abstract->New(), nullptr);
    EXPECT_TRUE(abstract->CanDelete());

    MetaClass* opaque = Find("Opaque");
    EXPECT_FALSE(opaque->CanNew() || opaque->CanDelete() || opaque->CanNewCopy());
    Opaque local;
    void* copy = &local;
    opaque->NewCopy(copy, &local);  // does nothing
    EXPECT_EQ(copy, &local);

    MetaClass* nil = GetNilMetaClass();
    EXPECT_FALSE(nil->CanNew() || nil->CanDelete() || nil->CanNewCopy());
    nil->NewCopy(copy, &local);
    EXPECT_EQ(copy, nullptr);
}

TEST(MetaClass, FirstMetaClassOfANameStaysInTheRegistry) {
    const std::size_t before = MetaRegistryInst::Instance().GetCount();
    {
        MetaClassNil impostor("int");
        EXPECT_EQ(MetaRegistryInst::Instance().Find("int"), MetaClassOf<int>());
        EXPECT_EQ(MetaRegistryInst::Instance().GetCount(), before);
        MetaClassNil passing("TemporaryTestClass");
        EXPECT_EQ(MetaRegistryInst::Instance().Find("TemporaryTestClass"), &passing);
    }
    // A destroyed meta class leaves no dangling entry; the first "int" is untouched.
    EXPECT_EQ(MetaRegistryInst::Instance().Find("TemporaryTestClass"), nullptr);
    EXPECT_EQ(MetaRegistryInst::Instance().Find("int"), MetaClassOf<int>());
}

TEST(MetaClass, RealClassReplacesItsPlaceholderInEitherOrder) {
    MetaRegistryInst& registry = MetaRegistryInst::Instance();
    {
        MetaClassPlaceholder early("PendingTestClass");
        EXPECT_EQ(registry.Find("PendingTestClass"), &early);
        EXPECT_EQ(early.GetKind(), kKindClass);
        EXPECT_EQ(early.New(), nullptr);
        MetaClassNil real("PendingTestClass");
        EXPECT_EQ(registry.Find("PendingTestClass"), &real);
        MetaClassPlaceholder late("PendingTestClass", kKindEnum);
        EXPECT_EQ(registry.Find("PendingTestClass"), &real) << "a placeholder never displaces a class";
        MetaClassPlaceholder second("PendingTestClass2");
        MetaClassPlaceholder third("PendingTestClass2");
        EXPECT_EQ(registry.Find("PendingTestClass2"), &second) << "the first placeholder stays";
    }
    EXPECT_EQ(registry.Find("PendingTestClass"), nullptr);
    EXPECT_EQ(registry.Find("PendingTestClass2"), nullptr);
    // A real class never gives way to a placeholder of its name.
    MetaClassPlaceholder impostor("Vec3");
    EXPECT_EQ(registry.Find("Vec3"), MetaClassOf<Vec3>());
}

TEST(MetaClass, FieldsReadAndWriteThroughVariants) {
    MetaClass* meta = MetaClassOf<Point>();
    FieldInfo* field = meta->FindField("x");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetType(), MetaClassOf<float>());
    EXPECT_EQ(field->GetClass(), meta);

    Point point;
    float value = 7.5f;
    field->GetField()->Set(Variant(&point), Variant(value));
    EXPECT_FLOAT_EQ(point.x, 7.5f);

    Variant read;
    field->GetField()->Get(Variant(&point), read);
    point.x = 1.f;
    EXPECT_TRUE(read.IsOwned());
    EXPECT_FLOAT_EQ(read.As<float>(), 7.5f);  // a copy, not the live value

    meta->FindField("xByValue")->GetField()->Get(Variant(&point), read);
    EXPECT_FLOAT_EQ(read.As<float>(), 1.f);

    EXPECT_EQ(meta->AddField("x", MakeField(&Point::SetX, &Point::GetX)), nullptr);
    EXPECT_EQ(meta->GetFields().size(), 2u);
}

TEST(MetaClass, MethodsDescribeAndCallTheirMemberFunction) {
    MetaClass* meta = MetaClassOf<Point>();
    MethodInfo* method = meta->FindMethod("OnMoved");
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(method->GetArgCount(), 2);
    EXPECT_EQ(method->GetArgType(0), MetaClassOf<int>());
    EXPECT_EQ(method->GetArgType(1), MetaClassOf<bool>());
    EXPECT_EQ(method->GetArgType(2), GetNilMetaClass());
    EXPECT_EQ(method->GetReturnType(), GetNilMetaClass());
    EXPECT_EQ(method->GetClass(), meta);
    EXPECT_FALSE(method->IsConst());

    Point point;
    int dx = 3;
    bool fast = true;
    method->GetMethod()->Call(Variant(&point), VariantList{dx, fast});
    EXPECT_FLOAT_EQ(point.x, 6.f);
    EXPECT_EQ(meta->AddMethod("OnMoved", MakeMethod(&Point::OnMoved)), nullptr);
}

TEST(MetaClass, ScriptBinderRunsOnlyWhenSet) {
    static int s_runs = 0;
    MetaClassNil meta("ScriptBinderTestClass");
    meta.RunScriptBinder(nullptr);
    meta.SetScriptBinder([](ScriptManager*, const MetaClass& bound) {
        EXPECT_EQ(bound.GetName(), "ScriptBinderTestClass");
        ++s_runs;
    });
    meta.RunScriptBinder(nullptr);
    EXPECT_EQ(s_runs, 1);
}

TEST(MetaClass, UiKeyTableHoldsThe148WindowsAndPadCodes) {
    const std::vector<EnumValue>& keys = MetaClassOf<UiKey>()->GetEnumValues();
    ASSERT_EQ(keys.size(), 148u);
    std::map<std::string, int> byName;
    for (const EnumValue& key : keys) {
        EXPECT_TRUE(byName.emplace(key.name, key.value).second) << key.name;
    }
    const std::pair<const char*, int> telling[] = {
        {"LBUTTON", 1},   {"BACK", 8},          {"RETURN", 13},        {"ESCAPE", 27},
        {"SPACE", 32},    {"HOME", 36},         {"LEFT", 37},          {"UP", 38},
        {"RIGHT", 39},    {"DOWN", 40},         {"NUMPAD0", 96},       {"F1", 112},
        {"F24", 135},     {"NUMLOCK", 144},     {"LSHIFT", 160},       {"RMENU", 165},
        {"SEMI", 186},    {"PLUS", 187},        {"COMMA", 188},        {"MINUS", 189},
        {"PERIOD", 190},  {"QUESTION", 191},    {"TILDE", 192},        {"LBRACKET", 219},
        {"PIPE", 220},    {"RBRACKET", 221},    {"DQUOTE", 222},       {"GAMEPAD_DPAD_UP", 255},
        {"GAMEPAD_START", 263}, {"GAMEPAD_A", 271}, {"GAMEPAD_Y", 274}, {"0", 48},
        {"9", 57},        {"A", 65},            {"Z", 90}};
    for (const auto& [name, code] : telling) {
        EXPECT_EQ(byName[name], code) << name;
    }
    EXPECT_EQ(keys.front().name, std::string("LBUTTON"));
    EXPECT_EQ(keys[29].name, std::string("HELP"));
    EXPECT_EQ(keys[30].name, std::string("0"));
    EXPECT_EQ(keys[40].name, std::string("A"));
    EXPECT_EQ(keys[66].name, std::string("LWIN"));
    EXPECT_EQ(keys.back().name, std::string("GAMEPAD_Y"));
}

TEST(MetaClass, SmallEnumerationTablesMatchTheirValues) {
    auto names = [](MetaClass* meta) {
        std::string all;
        for (const EnumValue& value : meta->GetEnumValues()) {
            all += std::string(value.name) + "=" + std::to_string(value.value) + " ";
        }
        return all;
    };
    EXPECT_EQ(names(MetaClassOf<BarDirection>()), "Left=0 Right=1 ");
    EXPECT_EQ(names(MetaClassOf<UiSceneChangeMethod>()), "Replace=0 Push=1 Pop=2 Goto=3 ");
    EXPECT_EQ(names(MetaClassOf<UiDirection>()), "None=0 Up=1 Right=2 Down=3 Left=4 ");
    EXPECT_EQ(names(MetaClassOf<FontAlignment>()), "Left=0 Right=1 Center=2 ");
}

TEST(TextConstants, HoldThe37SharedNamesAndAreNotMetaClasses) {
    const auto& all = Text::All();
    ASSERT_EQ(all.size(), 37u);
    std::set<std::string> distinct;
    for (const std::string* text : all) {
        distinct.insert(*text);
    }
    EXPECT_EQ(distinct.size(), 37u);
    EXPECT_EQ(Text::Archetype(), "ARCHETYPE");
    EXPECT_EQ(Text::SoundManifest(), "SOUND_MANIFEST");
    EXPECT_EQ(Text::ModelViewAsset(), "mv-asset");
    EXPECT_EQ(Text::Sphere(), "SPHERE");
    EXPECT_EQ(Text::CoreSystem(), "CoreSystem");
    EXPECT_EQ(MetaRegistryInst::Instance().Find("ARCHETYPE"), nullptr);
}

TEST(RegistryDump, ListsEveryMetaClassInNameOrderWithKindsFieldsAndMethods) {
    std::ostringstream out;
    WriteRegistryDump(out);
    const std::string dump = out.str();
    for (const char* line : {"EntityUnknown kind 0\n", "OstrelString kind 12\n", "bool kind 11\n",
                             "unsigned kind 6\n", "UiKey kind 13\n", "  value GAMEPAD_Y = 274\n",
                             "Point kind 15\n  field x: float\n  field xByValue: float\n"
                             "  method OnMoved(int, bool)\n"}) {
        EXPECT_NE(dump.find(line), std::string::npos) << line;
    }
    // Names in ascending byte order.
    std::vector<std::string> names;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != ' ' && line.find(" kind ") != std::string::npos) {
            names.push_back(line.substr(0, line.find(" kind ")));
        }
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.size(), MetaRegistryInst::Instance().GetCount());
    EXPECT_NE(dump.find(std::to_string(names.size()) + " meta classes\n"), std::string::npos);
}
