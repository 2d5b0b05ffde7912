#pragma once
// Placeholder until the user interface subsystem is built: it holds no scenes;
// the mains only construct and destroy it.

namespace Ostrel {

class UiSceneManager {
public:
    UiSceneManager() = default;
    UiSceneManager(const UiSceneManager&) = delete;
    UiSceneManager& operator=(const UiSceneManager&) = delete;
};

}  // namespace Ostrel
