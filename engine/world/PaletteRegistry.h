#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// tile palettes; the mains only construct and destroy it. Like the real one,
// it records itself as the instance.

namespace Ostrel {

class PaletteRegistry {
public:
    PaletteRegistry() { s_instance = this; }
    ~PaletteRegistry() {
        if (s_instance == this) s_instance = nullptr;
    }
    PaletteRegistry(const PaletteRegistry&) = delete;
    PaletteRegistry& operator=(const PaletteRegistry&) = delete;

    // The one instance, or null before a main builds it and after teardown.
    static PaletteRegistry* Instance() { return s_instance; }

private:
    static inline PaletteRegistry* s_instance = nullptr;
};

}  // namespace Ostrel
