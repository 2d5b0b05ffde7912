#pragma once
// Placeholder for the user interface subsystem's UiElementManager; what it
// lacks: it holds no UI elements; the mains only construct and destroy it. It
// records itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class UiElementManager : public GenericManager<UiElementManager> {};

}  // namespace Ostrel
