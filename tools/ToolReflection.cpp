// Reflection of the two tool systems (their meta classes; no fields or
// methods). A copy of the level editor carries its settings (see its copy
// constructor); the model viewer is created and deleted, never copied.

#include "engine/core/Reflect.h"
#include "tools/editor/LevelEditor.h"
#include "tools/viewer/ModelView.h"

LV_REFLECT_VALUE(Ostrel::LevelEditor);
LV_REFLECT_CLASS(Ostrel::ModelView);
