#pragma once
// Placeholder until the user interface subsystem is built: it holds no scenes;
// the mains only construct and destroy it. Like the real one, it records
// itself as the instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class UiSceneManager : public GenericManager<UiSceneManager> {};

}  // namespace Ostrel
