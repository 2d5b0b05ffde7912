#include "engine/graphics/Screenshot.h"

#include "engine/base/Log.h"

#include <stb_image_write.h>

#include <cstdio>

namespace Ostrel {

bool WritePng(const std::string& path, u32 width, u32 height, const std::vector<u8>& rgba) {
    if (width == 0 || height == 0 || rgba.size() < size_t(width) * height * 4) {
        LogMessagef("screenshot '%s': no picture to write\n", path.c_str());
        return false;
    }
    const std::string temporary = path + ".tmp";
    if (!stbi_write_png(temporary.c_str(), int(width), int(height), 4, rgba.data(), int(width * 4))) {
        LogMessagef("screenshot '%s': cannot write the file\n", path.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        LogMessagef("screenshot '%s': cannot rename the written file\n", path.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace Ostrel
