#include "engine/io/ChunkReader.h"
#include "engine/io/FileSystemFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

void PutU32(std::string& out, u32 value) {
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
}

std::string Chunk(u32 id, const std::string& payload) {
    std::string out;
    PutU32(out, id);
    PutU32(out, u32(payload.size()));
    return out + payload;
}

std::unique_ptr<ChunkReader> ReaderOver(const std::string& name, const std::string& bytes) {
    fs::path dir = fs::path(LV_TEST_TMP) / "io-chunks";
    fs::create_directories(dir);
    fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    auto file = std::make_unique<FileSystemFile>(path.string());
    EXPECT_TRUE(file->Open());
    return std::make_unique<ChunkReader>(std::move(file));
}

TEST(ChunkReader, IdsAreMultiCharacterCodesStoredLittleEndian) {
    std::string model = Chunk(FourCC("dpm2"), Chunk(FourCC("xxxx"), "") +
                                                  Chunk(FourCC("zzzz"), "abcdef") +
                                                  Chunk(FourCC("mesh"), std::string("\x07\0\0\0", 4)));
    EXPECT_EQ(model.substr(0, 4), "2mpd");
    auto reader = ReaderOver("model.bin", model);
    ChunkHeader top = reader->ReadChunk();
    EXPECT_EQ(top.id, FourCC("dpm2"));
    EXPECT_EQ(ChunkIdText(top.id), "dpm2");
    EXPECT_EQ(top.start, 8);
    EXPECT_EQ(top.end, s32(model.size()));

    ChunkHeader empty = reader->PeekChunk();
    EXPECT_EQ(reader->Tell(), 8);
    ChunkHeader again = reader->PeekChunk();
    EXPECT_EQ(again.id, empty.id);
    EXPECT_EQ(again.start, empty.start);
    EXPECT_EQ(empty.id, FourCC("xxxx"));
    EXPECT_EQ(empty.start, empty.end);
    EXPECT_TRUE(reader->SkipChunk(empty));

    ChunkHeader unknown = reader->PeekChunk();
    EXPECT_EQ(ChunkIdText(unknown.id), "zzzz");
    EXPECT_TRUE(reader->SkipChunk(unknown));  // payload never read

    ChunkHeader mesh = reader->ReadChunk();
    EXPECT_EQ(ChunkIdText(mesh.id), "mesh");
    u32 value = 0;
    EXPECT_EQ(reader->ReadArray(&value, 1), 1u);
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(reader->RewindChunk(mesh));
    EXPECT_EQ(reader->Tell(), mesh.start);
    EXPECT_TRUE(reader->SkipChunk(mesh));

    s32 before = reader->Tell();
    EXPECT_EQ(reader->PeekChunk().id, 0u);
    EXPECT_EQ(reader->Tell(), before);
    EXPECT_EQ(reader->ReadChunk().id, 0u);
}

TEST(ChunkReader, EmptyAndTruncatedFilesGiveIdZeroAndPeekKeepsPosition) {
    auto empty = ReaderOver("empty.bin", "");
    EXPECT_EQ(empty->PeekChunk().id, 0u);
    // A header cut after 5 bytes: peek returns to where it started, not 8 back.
    std::string data = Chunk(FourCC("mesh"), "abcd");
    auto truncated = ReaderOver("short.bin", data + data.substr(0, 5));
    ChunkHeader first = truncated->ReadChunk();
    truncated->SkipChunk(first);
    s32 before = truncated->Tell();
    EXPECT_EQ(truncated->PeekChunk().id, 0u);
    EXPECT_EQ(truncated->Tell(), before);
    // The file's length is measured from anywhere without moving.
    EXPECT_EQ(truncated->FileLength(), s32(data.size() + 5));
    EXPECT_EQ(truncated->Tell(), before);
    EXPECT_EQ(empty->FileLength(), 0);
}

TEST(ChunkReader, DeletingThroughTheInterfaceClosesTheFile) {
    std::unique_ptr<IChunkReader> reader = ReaderOver("owned.bin", Chunk(FourCC("anim"), "x"));
    EXPECT_EQ(reader->ReadChunk().id, FourCC("anim"));
    reader.reset();  // leak checks of the sanitizer build catch a missed close
    ChunkReader closed(nullptr);
    EXPECT_TRUE(closed.Close());
    EXPECT_EQ(closed.PeekChunk().id, 0u);
}

}  // namespace
}  // namespace Ostrel
