// Checks the checked-in sample resource tree: one key per file, every
// configuration and package readable, every package entry a real resource,
// and configurations reaching their systems by the systems' names.

#include "engine/core/CoreSystem.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/FileSystemFile.h"
#include "engine/io/RecursiveDirectoryIterator.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

const std::string kSampleRoot = std::string(LV_SOURCE_DIR) + "/rsc";

std::vector<char> ReadBytes(const std::string& path) {
    FileSystemFile file(path);
    if (!file.Open()) return {};
    std::vector<char> bytes(std::size_t(std::max(file.ReadAll(nullptr), 0)));
    if (!bytes.empty()) file.ReadAll(bytes.data());
    return bytes;
}

TEST(SampleResources, EveryRecordedFileHasItsOwnKey) {
    ResourceManager manager;
    RegisterResourceKinds(manager, kSampleRoot);
    std::map<std::string, std::vector<std::string>> pathsByKey;
    for (RecursiveDirectoryIterator it(kSampleRoot); !it.IsEnd(); it.Advance()) {
        FilePath path = it.GetEntry();
        if (manager.GetKindOfExtension(path.GetExtension()).empty()) continue;
        pathsByKey[ToLowerAscii(path.GetBaseName())].push_back(path.GetString());
    }
    for (const auto& [key, paths] : pathsByKey)
        EXPECT_EQ(paths.size(), 1u) << "key '" << key << "' is used by " << paths.size() << " files";
}

TEST(SampleResources, ConfigurationsAndPackagesAreReadable) {
    ResourceManager manager;
    RegisterResourceKinds(manager, kSampleRoot);
    for (const std::string& key : manager.GetNamesOfKind(kKindConfig)) {
        ConfigureFileXML config(true);
        EXPECT_TRUE(config.Load(manager.GetPath(key).GetString())) << key;
        EXPECT_FALSE(config.GetKeys().empty()) << key;
    }
    for (const std::string& key : manager.GetNamesOfKind(kKindPackage)) {
        std::vector<char> bytes = ReadBytes(manager.GetPath(key).GetString());
        for (const std::string& entry : ParsePackageText(bytes.data(), bytes.size()))
            EXPECT_TRUE(manager.GetPath(entry).IsValid()) << key << " lists unknown '" << entry << "'";
    }
}

TEST(SampleResources, CoreSystemConfigurationReachesTheSystemByName) {
    fs::path root = fs::path(LV_TEST_TMP) / "resources" / "config-by-name";
    fs::remove_all(root);
    fs::create_directories(root / "config");
    std::ofstream(root / "config" / "CoreSystem.XCFG")
        << "<CoreSystem><debug>1</debug><max-fps>30</max-fps></CoreSystem>";
    ResourceManager manager;
    RegisterResourceKinds(manager, root.string());
    CoreSystem core;
    FilePath path = manager.GetPath(core.GetName());
    ASSERT_TRUE(path.IsValid());
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.Load(path.GetString()));
    core.LoadConfig(&config);
    EXPECT_TRUE(core.IsDebug());
    EXPECT_FLOAT_EQ(core.GetMaxFps(), 30.0f);
}

}  // namespace
}  // namespace Ostrel
