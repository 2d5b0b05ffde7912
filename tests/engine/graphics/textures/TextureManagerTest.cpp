#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

std::string Floats(std::initializer_list<float> values) {
    std::string out;
    for (float v : values) AppendFloat(out, v);
    return out;
}

std::array<float, 4> TexelOf(const Texture& texture, u32 x, u32 y) {
    std::array<float, 4> f;
    texture.GetImage()->FloatsAt(x, y, f.data());
    return f;
}

TEST(FloatTexture, WritesTheExactFloatMapOfBothGridsAndReadsItBackTopRowFirst) {
    EXPECT_EQ(BuildFloatTextureImage({5, 2}, 2, 1, 4), "PF\n2 1\n-1.000000\n" + Floats({1, 1, 0, 2, 0, 0}));
    EXPECT_EQ(BuildFloatTextureImage({0, 7}, 1, 2, 4), "PF\n1 2\n-1.000000\n" + Floats({3, 1, 0, 0, 0, 0}));

    TextureManager manager;
    Texture* slot = nullptr;
    std::string name;
    std::vector<int> values;
    manager.CreateFloatTexture(&slot, "0\n7\n", 1.0f, 2.0f, 4, &name, &values);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(name, ":0000000000");
    EXPECT_EQ(manager.Find(name), slot);
    EXPECT_EQ(values, (std::vector<int>{0, 7}));
    EXPECT_EQ(slot->GetName(), "");
    EXPECT_EQ(slot->GetWidth(), 1.0f);
    EXPECT_EQ(slot->GetHeight(), 2.0f);
    EXPECT_EQ(TexelOf(*slot, 0, 0), (std::array<float, 4>{0, 0, 0, 1})) << "first text row at v = 0";
    EXPECT_EQ(TexelOf(*slot, 0, 1), (std::array<float, 4>{3, 1, 0, 1}));

    // A second build replaces the first under the next name.
    manager.CreateFloatTextureFromRows(&slot, {5, 2}, 2.0f, 1.0f, 4, &name);
    EXPECT_EQ(name, ":0000000001");
    EXPECT_EQ(manager.Count(), 1u);
    EXPECT_EQ(manager.Find(":0000000000"), nullptr);
    EXPECT_EQ(TexelOf(*slot, 1, 0), (std::array<float, 4>{2, 0, 0, 1}));
}

TEST(FloatTexture, RefusesBadSizesAndZeroFillsShortGrids) {
    TextureManager manager;
    Texture* slot = nullptr;
    std::string name;
    std::vector<int> values = {99};
    manager.CreateFloatTexture(&slot, "3", 2.0f, 2.0f, 2, &name, &values);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(values, std::vector<int>{3});
    EXPECT_EQ(TexelOf(*slot, 0, 0), (std::array<float, 4>{1, 1, 0, 1}));
    EXPECT_EQ(TexelOf(*slot, 1, 1), (std::array<float, 4>{0, 0, 0, 1})) << "cells with no value are tile (0, 0)";

    GraphicsLogCapture log;
    const float bad[][3] = {{0, 1, 4}, {1.5f, 1, 4}, {4097, 1, 4}, {1, -3, 4}, {NAN, 1, 4}, {1, 1, 0}, {1, 1, -2}};
    for (const auto& [w, h, columns] : bad) {
        manager.CreateFloatTexture(&slot, "1 2 3", w, h, int(columns), &name);
        EXPECT_EQ(slot, nullptr) << w << " x " << h << " / " << columns;
        EXPECT_EQ(manager.Count(), 0u) << "the slot's old texture is destroyed";
    }
    EXPECT_NE(log.Text().find("out of range"), std::string::npos);
    // A list shorter than the grid is read only as far as it goes.
    manager.CreateFloatTextureFromRows(&slot, {1}, 3.0f, 3.0f, 1, nullptr);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(TexelOf(*slot, 2, 2), (std::array<float, 4>{0, 0, 0, 1}));
}

class TextureResources : public testing::Test {
protected:
    void SetUp() override {
        m_root = FreshGraphicsFolder("texture-resources");
        WriteGraphicsFile(m_root / "textures/Crate.tga", MakeTga32(2, 1, std::vector<u8>(8, 200)));
        WriteGraphicsFile(m_root / "textures/broken.png", "\x89PNG\r\n\x1a\n not really");
        RegisterResourceKinds(m_resources, m_root.string());
    }
    std::filesystem::path m_root;
    ResourceManager m_resources;
    TextureManager m_textures;
};

TEST_F(TextureResources, FirstLoadOfABaseNameWinsWhateverTheSeparators) {
    LoadTextureResource((m_root / "textures/Crate.tga").string());
    Texture* crate = m_textures.Find("Crate");
    ASSERT_NE(crate, nullptr) << "stored under the base name, case kept";
    EXPECT_EQ(m_textures.Find("crate"), nullptr);
    EXPECT_EQ(crate->GetWidth(), 2.0f);
    EXPECT_EQ(crate->GetHeight(), 1.0f);
    EXPECT_FALSE(crate->IsLoadedFromFile());

    LoadTextureResource("C:\\other\\Crate.dds");
    LoadTextureResource("other/Crate.png");
    EXPECT_EQ(m_textures.Find("Crate"), crate);
    EXPECT_EQ(crate->GetWidth(), 2.0f);
    EXPECT_EQ(m_textures.Count(), 1u);

    GraphicsLogCapture log;
    LoadTextureResource("rsc\\textures\\broken.png");
    LoadTextureResource("textures/missing.tga");
    ASSERT_NE(m_textures.Find("broken"), nullptr);
    EXPECT_TRUE(m_textures.Find("broken")->IsEmpty());
    ASSERT_NE(m_textures.Find("missing"), nullptr);
    EXPECT_TRUE(m_textures.Find("missing")->IsEmpty());
    EXPECT_NE(log.Text().find("broken.png: "), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("'missing'"), std::string::npos) << log.Text();
}

TEST_F(TextureResources, LoadingFromAFileReplacesThePixelsInPlaceAndKeepsThemOnBadData) {
    LoadTextureResource((m_root / "textures/Crate.tga").string());
    Texture* crate = m_textures.Find("Crate");
    const std::filesystem::path dropped = m_root.parent_path() / "dropped" / "Crate.tga";
    WriteGraphicsFile(dropped, MakeTga32(3, 3, std::vector<u8>(36, 10)));

    EXPECT_EQ(LoadTextureFromFile(dropped.string()), crate);
    EXPECT_EQ(crate->GetWidth(), 3.0f);
    EXPECT_TRUE(crate->IsLoadedFromFile());
    EXPECT_EQ(crate->GetName(), dropped.string());

    GraphicsLogCapture log;
    WriteGraphicsFile(dropped, "garbage");
    EXPECT_EQ(LoadTextureFromFile(dropped.string()), nullptr);
    EXPECT_EQ(crate->GetWidth(), 3.0f);
    ASSERT_FALSE(crate->IsEmpty());
    EXPECT_FALSE(log.Text().empty());
}

// The loader thread files textures while the main thread looks them up;
// without the manager's lock the map is torn (ThreadSanitizer reports it).
TEST(TextureManagerThreads, LookupsWhileTheLoaderInsertsAreSafe) {
    TextureManager manager;
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < 2000; ++i) {
            if (i % 100 == 0) LoadTextureResource("missing/loaded-" + std::to_string(i) + ".png");
            else manager.Create("loaded-" + std::to_string(i));
        }
        done = true;
    });
    std::size_t lookups = 0;
    do {  // at least one pass, even when the loader ends first
        for (int i = 0; i < 2000; i += 97, ++lookups) manager.Find("loaded-" + std::to_string(i));
    } while (!done);
    loader.join();
    EXPECT_EQ(manager.Count(), 2000u);
    EXPECT_NE(manager.Find("loaded-1999"), nullptr);
    EXPECT_NE(manager.Find("loaded-100"), nullptr) << "a missing resource still files an empty texture";
    EXPECT_GT(lookups, 0u);
}

}  // namespace
}  // namespace Ostrel
