#pragma once
// Placeholder until the levels and game flow subsystem is built: Connect
// subscribes nothing and no tutorial is kept. Like the real one, it records
// itself as the instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class TutorialManager : public GenericManager<TutorialManager> {
public:
    void Connect() {}
};

}  // namespace Ostrel
