// SerializerXML::LoadRoom: reads a room file, found by name through the
// ResourceManager, into memory and hands it to ReadRoomText. A room that
// cannot be opened, measured or read ends the program: rooms are content the
// game cannot do without.
#include "engine/io/SerializerXML.h"

#include "engine/io/Assert.h"
#include "engine/io/IFile.h"
#include "engine/resources/ResourceManager.h"

#include <memory>
#include <new>

namespace Ostrel {

bool SerializerXML::LoadRoom(const std::string& roomName, RoomTarget& room) {
    ResourceManager* resources = ResourceManager::Instance();
    std::unique_ptr<IFile> f = resources != nullptr ? resources->Open(roomName) : nullptr;
    OSTREL_ASSERT(f, "unable to read designated room file: %s", roomName.c_str());
    s32 len = f->ReadAll(nullptr);
    OSTREL_ASSERT(len != -1, "unable to read designated room file: %s", roomName.c_str());
    std::unique_ptr<char[]> buf(new (std::nothrow) char[static_cast<size_t>(len) + 1]);
    OSTREL_ASSERT(buf, "unable to allocate buffer for room: %s", roomName.c_str());
    len = f->ReadAll(buf.get());
    OSTREL_ASSERT(len != -1, "unable to read designated room file: %s", roomName.c_str());
    buf[static_cast<size_t>(len)] = '\0';
    f.reset();
    return ReadRoomText(roomName, buf.get(), room);
}

}  // namespace Ostrel
