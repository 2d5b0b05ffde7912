// SerializerXML::LoadRoom: reads a room file, found by name through the
// ResourceManager, into memory and hands it to ReadRoomText. A room that
// cannot be opened, measured or read is logged and skipped (answer false):
// a missing or damaged room file must not end the game or the editor.
#include "engine/io/SerializerXML.h"

#include "engine/base/Log.h"
#include "engine/io/IFile.h"
#include "engine/resources/ResourceManager.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace Ostrel {

namespace {

// The system's reason a file cannot be opened, for the message on screen.
std::string WhyUnreadable(const std::string& path) {
    if (path.empty()) return "no such room";
    errno = 0;
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) return errno != 0 ? std::strerror(errno) : "the file cannot be opened";
    std::fclose(probe);
    return "the file cannot be read";
}

}  // namespace

bool SerializerXML::LoadRoom(const std::string& roomName, RoomTarget& room) {
    ResourceManager* resources = ResourceManager::Instance();
    std::unique_ptr<IFile> f = resources != nullptr ? resources->Open(roomName) : nullptr;
    s32 len = f ? f->ReadAll(nullptr) : -1;
    std::unique_ptr<char[]> buf;
    if (len != -1) {
        buf.reset(new (std::nothrow) char[static_cast<size_t>(len) + 1]);
        len = buf ? f->ReadAll(buf.get()) : -1;
    }
    if (len == -1) {
        LogMessagef("unable to read designated room file: %s, room skipped\n", roomName.c_str());
        m_roomFailure = WhyUnreadable(resources != nullptr ? resources->PathOf(roomName) : std::string());
        return false;
    }
    buf[static_cast<size_t>(len)] = '\0';
    f.reset();
    return ReadRoomText(roomName, buf.get(), room, resources->PathOf(roomName));
}

}  // namespace Ostrel
