#pragma once
// Placeholder for the levels and game flow subsystem's TutorialManager; what
// it lacks: Connect subscribes nothing and no tutorial is kept. It records
// itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class TutorialManager : public GenericManager<TutorialManager> {
public:
    void Connect() {}
};

}  // namespace Ostrel
