// SerializerXML::LoadRoom: reads a room file, found by name through the
// ResourceManager, into memory and hands it to ReadRoomText. A room that
// cannot be opened, measured or read is logged and skipped (answer false):
// a missing or damaged room file must not end the game or the editor.
#include "engine/io/SerializerXML.h"

#include "engine/base/Log.h"
#include "engine/io/IFile.h"
#include "engine/resources/ResourceManager.h"

#include <memory>
#include <new>

namespace Ostrel {

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
        return false;
    }
    buf[static_cast<size_t>(len)] = '\0';
    f.reset();
    return ReadRoomText(roomName, buf.get(), room, resources->PathOf(roomName));
}

}  // namespace Ostrel
