// What the shipped archetypes and rooms show the player, read straight from
// rsc/: the goal has a look of its own, and every camera glide in a corridor
// is undone, towards the chase camera's own setting, at both ends of the corridor.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace ShippedLooksTest {
namespace {

const std::string kRscDir = std::string(LV_SOURCE_DIR) + "/rsc";

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

float Number(const TiXmlElement* parent, const char* component, const char* key, float fallback) {
    const TiXmlElement* c = parent ? parent->FirstChildElement(component) : nullptr;
    const TiXmlElement* k = c ? c->FirstChildElement(key) : nullptr;
    return k && k->GetText() ? std::stof(k->GetText()) : fallback;
}

struct Colour {
    float r = 1, g = 1, b = 1;
    float DistanceTo(const Colour& o) const {
        return std::sqrt((r - o.r) * (r - o.r) + (g - o.g) * (g - o.g) + (b - o.b) * (b - o.b));
    }
};

class ShippedLooks : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& entry : std::filesystem::directory_iterator(kRscDir + "/objects")) {
            if (entry.path().extension() != ".xobj") continue;
            auto& doc = docs.emplace_back(std::make_unique<TiXmlDocument>());
            const std::string text = "<all>" + FileText(entry.path().string()) + "</all>";
            doc->Parse(text.c_str());
            ASSERT_FALSE(doc->Error()) << entry.path();
            for (const TiXmlElement* e = doc->RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
                byName[e->Value()] = e;
                fileOf[e->Value()] = entry.path().filename().string();
            }
        }
    }
    std::string MeshOf(const std::string& name) const {
        const TiXmlElement* mesh = byName.at(name)->FirstChildElement("MeshComponent");
        const TiXmlElement* id = mesh ? mesh->FirstChildElement("MeshID") : nullptr;
        return id && id->GetText() ? id->GetText() : "";
    }
    Colour TintOf(const std::string& name) const {
        const TiXmlElement* e = byName.at(name);
        return {Number(e, "MeshComponent", "Color_r", 1), Number(e, "MeshComponent", "Color_g", 1),
                Number(e, "MeshComponent", "Color_b", 1)};
    }
    bool GlowsAs(const std::string& name, Colour& glow) const {
        const TiXmlElement* e = byName.at(name);
        if (!e->FirstChildElement("LightComponent")) return false;
        glow = {Number(e, "LightComponent", "Color_R", 1), Number(e, "LightComponent", "Color_G", 1),
                Number(e, "LightComponent", "Color_B", 1)};
        return true;
    }
    std::vector<std::unique_ptr<TiXmlDocument>> docs;
    std::map<std::string, const TiXmlElement*> byName;
    std::map<std::string, std::string> fileOf;
};

TEST_F(ShippedLooks, TheGoalLooksLikeNoLanternPickupOrTheCompanion) {
    // The things a player could take the goal for: the lanterns along the
    // walls, every pickup and power-up, and the companion (whose gold comes
    // from its texture and its light).
    std::vector<std::string> lookalikes;
    for (const auto& [name, element] : byName) {
        const bool lantern = name.find("lantern") != std::string::npos;
        const bool pickup = fileOf.at(name) == "pickup-objects.xobj";
        if ((lantern || pickup || name == "spawner-qil-obj") && element->FirstChildElement("MeshComponent"))
            lookalikes.push_back(name);
    }
    ASSERT_GE(lookalikes.size(), 10u);
    const std::string goalMesh = MeshOf("goal-obj");
    const Colour goal = TintOf("goal-obj");
    for (const std::string& name : lookalikes) {
        SCOPED_TRACE(name);
        EXPECT_NE(MeshOf(name), goalMesh) << "the goal's shape is taken";
        EXPECT_GT(TintOf(name).DistanceTo(goal), 0.5f) << "the goal's colour is too near";
        Colour glow;
        if (GlowsAs(name, glow)) {
            EXPECT_GT(glow.DistanceTo(goal), 0.5f) << "the goal's colour is too near the glow";
        }
    }
}

// A camera glide placed in a room: where its trigger stands, what it asks
// for and how many times it fires.
struct Glide {
    float x = 0, depth = 0, distance = 0, angle = 0, uses = 0;
};

// A corridor's glide is undone at both of its ends, so a player who walks
// back out of the room gets the chase back, and the strips fire each time
// the player walks through them.
TEST_F(ShippedLooks, EveryCorridorGlideIsUndoneToTheChaseSettingAtBothEnds) {
    const TiXmlElement* camera = byName.at("spawner-camera");
    const float chaseDistance = Number(camera, "PlayerCameraLogicComponent", "ChaseDistance", 40);
    const float chaseAngle = Number(camera, "PlayerCameraLogicComponent", "Angle", 45);
    int corridorsWithGlides = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kRscDir + "/level")) {
        if (entry.path().extension() != ".xrm") continue;
        TiXmlDocument room;
        room.Parse(FileText(entry.path().string()).c_str());
        ASSERT_FALSE(room.Error()) << entry.path();
        const TiXmlElement* objects = room.RootElement()->FirstChildElement("Objects");
        std::vector<Glide> glides;
        float exitX = -1;
        for (const TiXmlElement* o = objects->FirstChildElement(); o; o = o->NextSiblingElement()) {
            const TiXmlElement* archetype = byName.count(o->Value()) ? byName.at(o->Value()) : nullptr;
            auto value = [&](const char* component, const char* key, float fallback) {
                return Number(o, component, key, Number(archetype, component, key, fallback));
            };
            if (std::string(o->Value()) == "exit-obj") exitX = value("TransformComponent", "PosX", 0);
            if (!archetype || !archetype->FirstChildElement("CameraModifierTriggerListenerComponent")) continue;
            glides.push_back({value("TransformComponent", "PosX", 0), value("TransformComponent", "ScaZ", 1),
                              value("CameraModifierTriggerListenerComponent", "ChaseDistance", 0),
                              value("CameraModifierTriggerListenerComponent", "NewAngle", 0),
                              value("PlayerTriggerComponent", "NumUses", 1)});
        }
        // Only corridors lead on to another room; an arena's glide lasts its fight.
        if (glides.empty() || exitX < 0) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++corridorsWithGlides;
        const auto [first, last] = std::minmax_element(glides.begin(), glides.end(),
                                                       [](const Glide& a, const Glide& b) { return a.x < b.x; });
        for (const Glide* end : {&*first, &*last}) {
            EXPECT_FLOAT_EQ(end->distance, chaseDistance) << "the glide at x " << end->x << " is not the chase distance";
            EXPECT_FLOAT_EQ(end->angle, chaseAngle) << "the glide at x " << end->x << " is not the chase angle";
        }
        EXPECT_GT(first->x, 0.0f);
        EXPECT_LT(last->x, exitX);
        for (const Glide& glide : glides) {
            // The corridors are 10 wide between their walls: each trigger fills them.
            EXPECT_GE(glide.depth, 10.0f) << "a glide at x " << glide.x;
            EXPECT_GE(glide.uses, 1000.0f) << "the glide at x " << glide.x << " fires only " << glide.uses << " times";
        }
    }
    EXPECT_EQ(corridorsWithGlides, 2) << "one glide room in each temple";
}

}  // namespace
}  // namespace ShippedLooksTest
