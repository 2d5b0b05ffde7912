#pragma once
// Placeholder until the user interface subsystem is built: it holds no UI
// elements; the mains only construct and destroy it.

namespace Ostrel {

class UiElementManager {
public:
    UiElementManager() = default;
    UiElementManager(const UiElementManager&) = delete;
    UiElementManager& operator=(const UiElementManager&) = delete;
};

}  // namespace Ostrel
