#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// tile palettes; the mains only construct and destroy it.

namespace Ostrel {

class PaletteRegistry {
public:
    PaletteRegistry() = default;
    PaletteRegistry(const PaletteRegistry&) = delete;
    PaletteRegistry& operator=(const PaletteRegistry&) = delete;
};

}  // namespace Ostrel
