#include "engine/io/FilePath.h"
#include "engine/io/FileReader.h"
#include "engine/io/FileSystemFile.h"
#include "engine/io/MemoryFile.h"
#include "engine/io/RecursiveDirectoryIterator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

fs::path FreshDir(const std::string& name) {
    fs::path dir = fs::path(LV_TEST_TMP) / "io-files" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(FilePath, SplitsPathsWithEitherSeparator) {
    struct Case {
        const char* input;
        const char* stored;
        bool directory;
        const char* fileName;
        const char* baseName;
        const char* extension;
    } cases[] = {
        {"rsc\\sub", "rsc/sub/", true, "", "", ""},
        {"rsc/sub", "rsc/sub/", true, "", "", ""},
        {"rsc\\tex\\rock.png", "rsc/tex/rock.png", false, "rock.png", "rock", "png"},
        {"a.xobj", "./a.xobj", false, "a.xobj", "a", "xobj"},
        {"rsc/level/", "rsc/level/", true, "", "", ""},
        {"rsc/my.dir/Rock.PNG", "rsc/my.dir/Rock.PNG", false, "Rock.PNG", "Rock", "PNG"},
        {"rsc/a.b.c", "rsc/a.b.c", false, "a.b.c", "a.b", "c"},
    };
    for (const Case& c : cases) {
        FilePath path(c.input);
        EXPECT_TRUE(path.IsValid());
        EXPECT_EQ(path.GetString(), c.stored) << c.input;
        EXPECT_EQ(path.IsDirectory(), c.directory) << c.input;
        EXPECT_EQ(path.GetFileName(), c.fileName) << c.input;
        EXPECT_EQ(path.GetBaseName(), c.baseName) << c.input;
        EXPECT_EQ(path.GetExtension(), c.extension) << c.input;
    }
    FilePath none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetString(), "./");
}

TEST(FilePath, BaseNameOfDotInDirectoryRunsToTheEnd) {
    // "./name" has no "." in its last component: its "." stands before the
    // last separator, so the base name runs to the end; the extension is
    // everything after that "." (there is no other).
    FilePath path("rsc.d/x.y/");
    EXPECT_TRUE(path.IsDirectory());
    FilePath bare("noext");
    EXPECT_EQ(bare.GetString(), "./noext");
    EXPECT_EQ(bare.GetBaseName(), "noext");
    EXPECT_EQ(bare.GetExtension(), "/noext");
}

TEST(FileSystemFile, ReadAllWithNullMeasuresAndKeepsPosition) {
    fs::path file = FreshDir("readall") / "hundred.bin";
    WriteBytes(file, std::string(100, 'x'));
    FileSystemFile f(file.string());
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.SeekAbsolute(10));
    EXPECT_EQ(f.ReadAll(nullptr), 90);
    EXPECT_EQ(f.Tell(), 10);
    std::vector<char> buffer(90);
    EXPECT_EQ(f.ReadAll(buffer.data()), 90);
    EXPECT_FALSE(f.IsEof());
    char extra;
    EXPECT_EQ(f.Read(&extra, 1), 0u);
    EXPECT_TRUE(f.IsEof());
    EXPECT_TRUE(f.SeekAbsolute(-1));
    EXPECT_EQ(f.Tell(), 100);
    EXPECT_FALSE(f.SeekAbsolute(-5));
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(f.ReadAll(nullptr), -1);
}

TEST(MemoryFile, BehavesLikeAFileOnDisk) {
    MemoryFile file(std::string(100, 'x').data(), 100);
    ASSERT_TRUE(file.SeekAbsolute(10));
    EXPECT_EQ(file.ReadAll(nullptr), 90);
    EXPECT_EQ(file.Tell(), 10);
    char buffer[100];
    EXPECT_EQ(file.Read(buffer, 90), 90u);
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(file.Read(buffer, 1), 0u);
    EXPECT_TRUE(file.IsEof());
    EXPECT_TRUE(file.SeekRelative(-4));
    EXPECT_FALSE(file.IsEof());
    EXPECT_FALSE(file.SeekRelative(-1000));
    EXPECT_TRUE(file.SeekAbsolute(-1));
    EXPECT_EQ(file.Tell(), 100);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.ReadAll(nullptr), -1);
}

TEST(FileSystemFile, OpenFailsForMissingOrEmptyPath) {
    FileSystemFile none;
    EXPECT_FALSE(none.Open());
    FileSystemFile missing("/nonexistent/file.bin");
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Read(nullptr, 4), 0u);
}

TEST(FileReader, ReadsTypedArraysAndLengthPrefixedStrings) {
    fs::path file = FreshDir("reader") / "data.bin";
    std::string bytes;
    bytes += std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8);  // two u32
    bytes += std::string("\x03" "abc", 4);                          // "abc"
    bytes += std::string("\x00", 1);                                // ""
    bytes += std::string("\x05" "xyz", 4);                          // short: 5 announced, 3 there
    WriteBytes(file, bytes);
    auto raw = std::make_unique<FileSystemFile>(file.string());
    ASSERT_TRUE(raw->Open());
    FileReader reader(std::move(raw));
    u32 values[3] = {0, 0, 0};
    EXPECT_EQ(reader.ReadArray(values, 2), 2u);
    EXPECT_EQ(values[0], 1u);
    EXPECT_EQ(values[1], 2u);
    std::string strings[3] = {"keep", "keep", "keep"};
    EXPECT_EQ(reader.ReadStrings(strings, 3), 2u);
    EXPECT_EQ(strings[0], "abc");
    EXPECT_EQ(strings[1], "");
    EXPECT_EQ(strings[2], "keep");
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(reader.ReadArray(values, 1), 0u);
}

TEST(RecursiveDirectoryIterator, WalksSortedDepthFirstSkippingDotNamesAndLinks) {
    fs::path root = FreshDir("walk");
    for (const char* name : {"b/z.png", "b/a.png", "a.xobj", "c.txt", ".hidden/ghost.xobj",
                             "b/.keep", "a/deep/x.wav", "Makefile"}) {
        WriteBytes(root / name, "x");
    }
    fs::create_directory_symlink(root, root / "loop");
    std::vector<std::string> seen;
    for (RecursiveDirectoryIterator it(root.string()); !it.IsEnd(); it.Advance())
        seen.push_back(it.GetEntry().GetString().substr(root.string().size() + 1));
    EXPECT_EQ(seen, (std::vector<std::string>{"Makefile/", "a/deep/x.wav", "a.xobj", "b/a.png",
                                              "b/z.png", "c.txt"}));
    RecursiveDirectoryIterator missing("/nonexistent/dir");
    EXPECT_TRUE(missing.IsEnd());
    EXPECT_TRUE(missing == RecursiveDirectoryIterator());
}

}  // namespace
}  // namespace Ostrel
