// The model viewer's main ("-m"): the shared tool run without a UI system,
// and the viewer as the tool.

#include "app/Mains.h"
#include "app/ToolMain.h"
#include "tools/viewer/ModelView.h"

namespace Ostrel {

void RunModelViewer() { RunTool<ModelView>({}); }

}  // namespace Ostrel
