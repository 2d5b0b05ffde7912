#pragma once
// Placeholder for the graphics subsystem's FontTemplateManager. As it stands,
// it registers no fonts; the mains only construct and destroy it. It records
// itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class FontTemplateManager : public GenericManager<FontTemplateManager> {};

}  // namespace Ostrel
