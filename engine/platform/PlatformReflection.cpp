// Meta classes of the platform types that travel in messages or receive them.

#include "engine/core/Reflect.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/Input.h"
#include "engine/platform/WindowSystem.h"

LV_REFLECT_VALUE(Ostrel::ControllerData);
LV_REFLECT_CLASS(Ostrel::Input);
LV_REFLECT_VALUE(Ostrel::WindowSystem);
