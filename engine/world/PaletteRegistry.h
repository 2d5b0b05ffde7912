#pragma once
// Placeholder for the levels and game flow subsystem's PaletteRegistry; what
// it lacks: it holds no tile palettes; the mains only construct and destroy
// it. It records itself as the instance (GenericManager), so look-ups find it.

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
