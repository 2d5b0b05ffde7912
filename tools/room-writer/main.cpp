// room-writer: rewrites room files in the form the level editor saves them.
//   room-writer RSC_FOLDER OUT_FOLDER ROOM_FILE...
// Reads every archetype in RSC_FOLDER/objects, then each ROOM_FILE as the
// game reads a room, and writes OUT_FOLDER/<base name>.xrm through the
// editor's own writer: only the values that differ from each object's
// archetype, nested one element per line. scripts/gen-sample-rooms.py writes
// its room plans and hands them to this tool, so that loading a shipped room
// in the editor and saving it unchanged gives the same file, byte for byte.
// Problems are logged to stderr; the exit code is 1 when any room failed.

#include "engine/core/CompositionFactory.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/world/RoomInstance.h"
#include "game/RegisterComponentTypes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace Ostrel;

bool LoadArchetypes(const fs::path& rsc, CompositionFactory& factory) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(rsc / "objects", error)) {
        if (entry.path().extension() == ".xobj") files.push_back(entry.path());
    }
    if (error || files.empty()) {
        std::fprintf(stderr, "%s: no archetype files (%s)\n", (rsc / "objects").c_str(),
                     error ? error.message().c_str() : "none found");
        return false;
    }
    std::sort(files.begin(), files.end());
    bool all = true;
    for (const fs::path& file : files) all = SerializerXML(true).LoadObjects(file.string()) && all;
    factory.InitializeArchetypes();
    return all;
}

bool RewriteRoom(const fs::path& plan, const fs::path& outFolder) {
    std::ifstream in(plan, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", plan.c_str());
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string name = plan.stem().string();
    RoomInstance room(name);
    if (!SerializerXML(true).ReadRoomText(name, text.str().c_str(), room, plan.string())) {
        std::fprintf(stderr, "%s: the room could not be read\n", plan.c_str());
        return false;
    }
    const fs::path out = outFolder / (name + ".xrm");
    return SerializerLevelSave::WriteRoomFile(out.string(), name, room.GetObjects(), room.GetDifficulty());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s RSC_FOLDER OUT_FOLDER ROOM_FILE...\n", argv[0]);
        return 2;
    }
    CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    if (!LoadArchetypes(argv[1], factory)) return 1;
    bool all = true;
    for (int i = 3; i < argc; ++i) all = RewriteRoom(argv[i], argv[2]) && all;
    return all ? 0 : 1;
}
