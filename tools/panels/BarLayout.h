#pragma once
// The size and place of a tool's panel bar, as the user leaves them: read
// from the tool's layout file at start-up, read back from the bars at
// shutdown and written to the file again. The level editor and the model
// viewer keep one per bar.

#include "engine/base/Types.h"

#include <cstddef>
#include <functional>
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

// Where a tool saves its layout file: `file` in the per-user folder (beside
// "UserConfig.xcfg"). The game's data folder only ever holds the shipped
// default, which the tool reads through its configuration. The folder is
// created when it is missing.
std::string ToolLayoutPath(const char* file);

// Lets read() apply the user's layout file (ToolLayoutPath(file)) over the
// shipped default the tool has already read. A missing file changes nothing;
// one that cannot be read is logged and changes nothing. False unless the
// file was read.
bool ReadUserLayout(const std::string& toolName, const char* file, const std::function<void(Serializer&)>& read);

}  // namespace Ostrel
