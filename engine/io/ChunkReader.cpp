#include "engine/io/ChunkReader.h"

#include <algorithm>

namespace Ostrel {

std::string ChunkIdText(u32 id) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        char c = char((id >> (24 - 8 * i)) & 0xFF);
        if (c >= 0x20 && c < 0x7F) text[std::size_t(i)] = c;
    }
    return text;
}

ChunkReader::ChunkReader(std::unique_ptr<IFile> file)
    : m_reader(std::make_unique<FileReader>(std::move(file))) {}

bool ChunkReader::Close() {
    if (!m_reader) return true;
    bool answer = m_reader->Close();
    m_reader.reset();
    return answer;
}

s32 ChunkReader::FileLength() {
    if (!m_reader) return -1;
    const s32 here = m_reader->Tell();
    const s32 rest = m_reader->ReadAll(nullptr);  // measures without moving
    if (here < 0 || rest < 0) return -1;
    return s32(std::min<s64>(s64(here) + rest, 0x7FFFFFFF));
}

ChunkHeader ChunkReader::ReadHeader() {
    ChunkHeader header;
    if (!m_reader) return header;
    u32 id = 0;
    u32 size = 0;
    bool complete = m_reader->ReadArray(&id, 1) == 1;
    complete = complete && m_reader->ReadArray(&size, 1) == 1;
    header.size = size;
    header.start = m_reader->Tell();
    header.end = s32(s64(header.start) + s64(size) > 0x7FFFFFFF ? 0x7FFFFFFF
                                                                : header.start + s64(size));
    header.id = (complete && !m_reader->IsEof()) ? id : 0;
    return header;
}

ChunkHeader ChunkReader::ReadChunk() { return ReadHeader(); }

ChunkHeader ChunkReader::PeekChunk() {
    // Return to the exact position held before the read, also when a short
    // header at the end of the file moved fewer than 8 bytes.
    s32 before = m_reader ? m_reader->Tell() : -1;
    ChunkHeader header = ReadHeader();
    if (before >= 0) m_reader->SeekAbsolute(before);
    return header;
}

bool ChunkReader::SkipChunk(const ChunkHeader& header) {
    return m_reader && m_reader->SeekAbsolute(header.end);
}

bool ChunkReader::RewindChunk(const ChunkHeader& header) {
    return m_reader && m_reader->SeekAbsolute(header.start);
}

u32 ChunkReader::ReadStrings(std::string* strings, u32 count) {
    return m_reader ? m_reader->ReadStrings(strings, count) : 0;
}

u32 ChunkReader::Read(void* destination, u32 count) {
    return m_reader ? m_reader->Read(destination, count) : 0;
}

}  // namespace Ostrel
