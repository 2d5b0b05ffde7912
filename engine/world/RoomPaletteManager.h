#pragma once
// The room palettes (".rmp", resource kind ROOM_PALETTE), each filed under
// its file's base name as written, and the one selected for the next layout.
//
// Palette text: tokens separated by any white space (CR LF included).
//   name: Temple_of_First_Light          optional, and only as the first token;
//                                        '_' and '-' in the title become blanks
//   ordered room-start                   a group of rooms played in file order
//   random 1 2 room-a room-b room-c      a group drawing 1 to 2 of its rooms
//   ordered room-end
// A group runs to the next "random" or "ordered" or the end of the text; any
// other word where a group starts opens an ordered group and is itself no
// room name (so a palette starting with a room name loses that room). The
// default title is "Unknown Temple".
//
// Threads: palettes load on the background-load thread while the main thread
// may select; the table is guarded. Select runs on the main thread.

#include "engine/core/GenericManager.h"
#include "engine/world/RoomPaletteRecord.h"

#include <mutex>
#include <string>

namespace Ostrel {

class RoomPaletteManager : public GenericAssetManager<RoomPaletteManager, RoomPaletteRecord> {
public:
    // Parses the file at path into a new record filed under the file's base
    // name, replacing an earlier record of that name. A file that cannot be
    // read is logged and gives an empty record (default title, no groups).
    void LoadPaletteFile(const std::string& path);
    // The same for text already in memory; path (may be empty) is the file it
    // came from, named by the lines logged about it.
    void AddPaletteText(const std::string& name, std::string text, const std::string& path = {});

    // Makes the palette current, has the RoomInstanceManager load its rooms
    // and gives that manager the palette's title. An unknown name is logged
    // and leaves the previous palette selected (answer true: the previous
    // rooms stay usable). A palette with parse faults or refused rooms
    // selects nothing (answer false, logged; the room manager is then empty).
    bool Select(const std::string& name);

    const RoomPaletteRecord* GetCurrent() const { return m_current; }
    // Whether a palette of that name is filed.
    bool Has(const std::string& name) const;
    // The file the palette of that name was read from, or empty.
    std::string GetPath(const std::string& name) const;

private:
    void File(const std::string& name, std::unique_ptr<RoomPaletteRecord> record);

    mutable std::mutex m_mutex;
    const RoomPaletteRecord* m_current = nullptr;
};

// The ROOM_PALETTE loader: RoomPaletteManager::LoadPaletteFile on the live
// manager (nothing when there is none).
void LoadRoomPaletteResource(const std::string& path);

}  // namespace Ostrel
