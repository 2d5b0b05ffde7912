// Every shipped room through the editor's own commands, with the shipped
// archetypes and the game's components: load, save under a new name, load
// that, save again. Both saves are the shipped file byte for byte (shipped
// rooms are written in the editor's form), and the saved room holds the
// shipped room's objects, archetypes, values and attributes.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Logger.h"
#include "engine/core/Composition.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/XmlText.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"
#include "tests/tools/editor/EditorTestWorld.h"
#include "tools/panels/PanelModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every shipped archetype file, as one text.
std::string ShippedArchetypes() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(LV_SOURCE_DIR) / "rsc" / "objects")) {
        if (entry.path().extension() == ".xobj") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::string text;
    for (const fs::path& file : files) text += ReadText(file) + "\n";
    return text;
}

// Every value an object holds, component by component ("Block/Key=text").
class ValueDump final : public Serializer {
public:
    bool SerializeString(const std::string& n, std::string* v) override { return Add(n, *v); }
    bool SerializeFloat(const std::string& n, float* v) override { return Add(n, FormatFloatText(*v)); }
    bool SerializeBool(const std::string& n, bool* v) override { return Add(n, *v ? "1" : "0"); }
    bool SerializeInt(const std::string& n, int* v) override { return Add(n, FormatIntText(*v)); }
    bool SerializeBlock(std::string& name) override {
        m_block = name;
        return true;
    }
    bool IsReading() const override { return false; }
    bool IsWriting() const override { return true; }
    std::vector<std::string> values;

private:
    bool Add(const std::string& name, const std::string& text) {
        values.push_back(m_block + "/" + name + "=" + text);
        return false;
    }
    std::string m_block;
};

// Each template object of a room: its archetype name, then its values.
std::vector<std::vector<std::string>> RoomValues(const std::string& name, int* difficulty) {
    RoomInstance room(name);
    EXPECT_TRUE(SerializerXML(true).LoadRoom(name, room)) << name;
    *difficulty = room.GetDifficulty();
    std::vector<std::vector<std::string>> objects;
    for (Composition* object : room.GetObjects()) {
        ValueDump dump;
        dump.values.push_back(object->GetName());
        object->Serialize(&dump);
        objects.push_back(dump.values);
    }
    return objects;
}

TEST(EditorShippedRooms, EveryRoomSavesAsShippedAndSavesAgainUnchanged) {
    EditorTest::EditorWorld w(ShippedArchetypes());
    Logger::SetCurrent(&w.world.logger);
    const fs::path root = fs::path(LV_TEST_TMP) / "editor-shipped-rooms" / std::to_string(getpid()) / "rsc";
    fs::remove_all(root);
    fs::create_directories(root / "level");
    std::vector<std::string> rooms;
    for (const auto& entry : fs::directory_iterator(fs::path(LV_SOURCE_DIR) / "rsc" / "level")) {
        if (entry.path().extension() != ".xrm") continue;
        fs::copy_file(entry.path(), root / "level" / entry.path().filename());
        rooms.push_back(entry.path().stem().string());
    }
    std::sort(rooms.begin(), rooms.end());
    ASSERT_GE(rooms.size(), 10u);
    ResourceManager resources;
    RegisterResourceKinds(resources, root.string());
    PanelModel model;
    LevelEditor editor;
    w.world.engine.AddSystem(&editor);
    editor.Initialize();
    editor.Update(0.0f);
    auto frame = [&] {
        w.Step();
        editor.Update(0.0f);
    };
    auto load = [&](const std::string& name) {
        model.Commit("Editor Info", "I/O", "Loading From", name);
        ASSERT_TRUE(model.Press("Editor Info", "I/O", "Load Level"));
        frame();
        frame();
    };
    auto save = [&](const std::string& name) {
        model.Commit("Editor Info", "I/O", "Saving To", name);
        ASSERT_TRUE(model.Press("Editor Info", "I/O", "Save Level"));
    };

    for (const std::string& room : rooms) {
        SCOPED_TRACE(room);
        const size_t logStart = w.world.log.size();
        load(room);
        save(room + "-first");
        load(room + "-first");
        save(room + "-second");
        const std::string first = ReadText(root / "level" / (room + "-first.xrm"));
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first, ReadText(root / "level" / (room + ".xrm")))
            << "a shipped room saved unchanged is a different file (re-run scripts/gen-sample-rooms.py)";
        EXPECT_EQ(first, ReadText(root / "level" / (room + "-second.xrm")));

        int shippedDifficulty = -1, savedDifficulty = -2;
        const auto shipped = RoomValues(room, &shippedDifficulty);
        const auto saved = RoomValues(room + "-first", &savedDifficulty);
        EXPECT_EQ(savedDifficulty, shippedDifficulty);
        ASSERT_EQ(saved.size(), shipped.size());
        for (size_t i = 0; i < shipped.size(); ++i) EXPECT_EQ(saved[i], shipped[i]) << "object " << i;
        const std::string log = w.world.log.substr(logStart);
        EXPECT_EQ(log.find("no element 'Attributes'"), std::string::npos) << log;
        EXPECT_EQ(log.find("unknown archetype"), std::string::npos) << log;
    }
    editor.Shutdown();
    Logger::SetCurrent(nullptr);
}

}  // namespace
}  // namespace Ostrel
