#pragma once
// Placeholder until the graphics subsystem is built: it registers no fonts;
// the mains only construct and destroy it. Like the real one, it records
// itself as the instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class FontTemplateManager : public GenericManager<FontTemplateManager> {};

}  // namespace Ostrel
