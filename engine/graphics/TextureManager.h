#pragma once
// Placeholder until the graphics subsystem is built: it holds no textures; the
// mains only construct and destroy it. Like the real one, it records itself as
// the instance.

namespace Ostrel {

class TextureManager {
public:
    TextureManager() { s_instance = this; }
    ~TextureManager() {
        if (s_instance == this) s_instance = nullptr;
    }
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // The one instance, or null before a main builds it and after teardown.
    static TextureManager* Instance() { return s_instance; }

private:
    static inline TextureManager* s_instance = nullptr;
};

}  // namespace Ostrel
