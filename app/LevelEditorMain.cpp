// The level editor's main ("-l"): the shared tool run with a UI system, whose
// tested rooms show the game's scenes, and the editor as the tool.

#include "app/Mains.h"
#include "app/ToolMain.h"
#include "tools/editor/LevelEditor.h"

namespace Ostrel {

void RunLevelEditor() {
    // Read by the scenes as they load: the pause menu of a tested room offers
    // "Back to editor" in place of quitting to the main menu.
    auto markTestPlay = [](ScriptManager& scripts) { scripts.RunString("LevelEditorTestPlay = true"); };
    RunTool<LevelEditor>({.withUi = true, .startScene = "le-hud", .beforeLoad = markTestPlay});
}

}  // namespace Ostrel
