#pragma once
// The game system: the level order, the level index and the game-flow state
// machine, built on the room layout and the level builder.
//
// Built so far: GenerateLayout and the two fields it resets (ready count,
// rebuild). The rest (level order, Update's state machine, the message
// handlers) is still a placeholder: Update does nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class GameSystem : public System {
public:
    static constexpr u32 kId = FourCC("GAMS");

    void Update(f32) override {}
    std::string GetName() const override { return "GameSystem"; }
    u32 GetId() const override { return kId; }

    // Lays out the level of the room palette paletteName and builds it:
    // resets the ready count and clears the rebuild flag, selects the palette
    // (RoomPaletteManager::Select: an unknown name keeps the previous one),
    // draws the room sequence from its groups (RoomLayout), gives the level
    // builder the palette's title and builds the level. False when there is
    // no level afterwards (a refused palette or level, logged, or a missing
    // manager).
    bool GenerateLayout(std::string paletteName);

    u32 GetReadyCount() const { return m_readyCount; }
    bool GetRebuild() const { return m_rebuild; }

private:
    // "GameReady" messages since the last new layout.
    u32 m_readyCount = 0;
    // The next reload lays the level out anew.
    bool m_rebuild = true;
};

}  // namespace Ostrel
