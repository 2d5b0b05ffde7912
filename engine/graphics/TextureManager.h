#pragma once
// Placeholder until the graphics subsystem is built: it holds no textures; the
// mains only construct and destroy it.

namespace Ostrel {

class TextureManager {
public:
    TextureManager() = default;
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;
};

}  // namespace Ostrel
