#include "engine/world/TutorialRecord.h"

#include "engine/core/Reflect.h"

LV_REFLECT_OPAQUE(Ostrel::TutorialRecord);
