#include "engine/sound/SoundFamily.h"

#include "engine/core/Reflect.h"

LV_REFLECT_ENUM(Ostrel::SoundFamilies::SoundFamily);
