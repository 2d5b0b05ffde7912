#pragma once
// Writing a picture read back from the render device to a PNG file.

#include "engine/base/Types.h"

#include <string>
#include <vector>

namespace Ostrel {

// rgba: width * height pixels, top row first. The file is written through a
// temporary name and renamed, so a failed write leaves no half file. False
// (logged) when it cannot be written.
bool WritePng(const std::string& path, u32 width, u32 height, const std::vector<u8>& rgba);

}  // namespace Ostrel
