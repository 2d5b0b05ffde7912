#include "engine/io/FileReader.h"

namespace Ostrel {

bool FileReader::Close() {
    if (!m_file) return true;
    bool answer = m_file->Close();
    m_file.reset();
    return answer;
}

u32 FileReader::Read(void* destination, u32 count) {
    return ReadArray(static_cast<u8*>(destination), count);
}

bool FileReader::ReadString(std::string& value) {
    u8 length = 0;
    if (ReadArray(&length, 1) != 1) return false;
    std::string text(length, '\0');
    if (length > 0 && ReadArray(reinterpret_cast<u8*>(text.data()), length) != length) return false;
    value = std::move(text);
    return true;
}

u32 FileReader::ReadStrings(std::string* strings, u32 count) {
    if (!strings) return 0;
    u32 read = 0;
    while (read < count && ReadString(strings[read])) ++read;
    return read;
}

}  // namespace Ostrel
