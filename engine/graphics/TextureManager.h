#pragma once
// Placeholder for the graphics subsystem's TextureManager. As it stands, it
// holds no textures; the mains only construct and destroy it. It records
// itself as the instance (GenericManager), so look-ups find it.

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
