#include "tests/game/ShippedWorld.h"

#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/SerializerXML.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Vandle::GameTest {

namespace {

const std::string kShipped = std::string(LV_SOURCE_DIR) + "/rsc/";

// The files of one rsc/ folder with that extension, sorted.
std::vector<std::filesystem::path> ShippedFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kShipped + folder))
        if (entry.path().extension() == extension) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::string ShippedText(const std::string& relative) {
    std::ifstream in(kShipped + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ShippedArchetypes() {
    std::string text;
    for (const auto& file : ShippedFiles("objects", ".xobj")) text += ShippedText("objects/" + file.filename().string());
    return text;
}

PhysicsSettings ShippedPhysics() {
    ConfigureFileXML config(true);
    EXPECT_TRUE(config.Load(kShipped + "physics.xcfg"));
    Physics shipped;
    shipped.LoadConfig(&config);
    return shipped.GetSettings();
}

std::vector<std::string> ShippedRoomNames() {
    std::vector<std::string> rooms;
    for (const auto& file : ShippedFiles("level", ".xrm")) rooms.push_back(file.stem().string());
    return rooms;
}

ShippedWorld::ShippedWorld() : GameFixture(ShippedArchetypes(), {true, ShippedPhysics()}) {
    BuildCubeMesh(m_meshes.Create("Cube"), 1, 1);
    BuildSphereMesh(m_meshes.Create("Sphere"), 15, 15);
    for (const auto& model : ShippedFiles("models", ".bin")) LoadGeometryResource(model.string());
    m_lookup = std::make_unique<MeshManagerLookup>(m_meshes);
}

ShippedWorld::~ShippedWorld() {
    objects.DestroyAllObjects();
    objects.DestroyPendingNow();
}

bool ShippedWorld::ReadShippedRoom(const std::string& room, RoomObjects& templates) {
    return SerializerXML(true).ReadRoomText(room, ShippedText("level/" + room + ".xrm").c_str(), templates);
}

}  // namespace Vandle::GameTest
