#pragma once
// The size and place of a tool's panel bar, as the user leaves them: read
// from the tool's layout file at start-up, read back from the bars at
// shutdown and written to the file again. The level editor and the model
// viewer keep one per bar.

#include "engine/base/Types.h"

#include <cstddef>
#include <string>

namespace Ostrel {

struct PanelBar;
class Serializer;

struct BarLayout {
    s32 sizeX = 300, sizeY = 400;
    s32 posX = 10, posY = 10;
};

// Reads or writes each layout under its four keys: size x, size y,
// position x, position y. A key the file lacks leaves its value.
void SerializeBarLayouts(Serializer& serializer, BarLayout* layouts, const char* const (*keys)[4], std::size_t count);

// Copies the bar's current size and position into layout; a missing bar
// leaves it unchanged.
void ReadBarPlace(PanelBar* bar, BarLayout& layout);

// Where a tool saves its layout file: the path of the resource its name is
// known by, else `file` in the data root ("rsc/" without a resource manager).
std::string ToolLayoutPath(const std::string& name, const char* file);

}  // namespace Ostrel
