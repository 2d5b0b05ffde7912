// Reflection of the graphics systems and managers (their meta classes; no
// fields or methods). The graphics system and the light and matrix managers
// copy through their meta class, the font manager does not.

#include "engine/core/Reflect.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"

LV_REFLECT_VALUE(Ostrel::Graphics);
LV_REFLECT_CLASS(Ostrel::FontManager);
LV_REFLECT_VALUE(Ostrel::LightManager);
LV_REFLECT_VALUE(Ostrel::MatrixManager);
