#pragma once
// The three programs of the executable. Each builds every engine object it
// needs as a local, runs the loop and tears everything down in exactly the
// reverse order of construction.

namespace Ostrel {

void GameMain();        // no argument
void RunLevelEditor();  // "-l"
void RunModelViewer();  // "-m"

}  // namespace Ostrel
