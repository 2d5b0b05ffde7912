#pragma once
// Placeholder for the user interface subsystem's UiSceneManager; what it
// lacks: it holds no scenes; the mains only construct and destroy it. It
// records itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class UiSceneManager : public GenericManager<UiSceneManager> {};

}  // namespace Ostrel
