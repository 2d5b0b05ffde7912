#pragma once
// SIGINT and SIGTERM end the run through the engine's normal quit path: the
// handler only records the signal, and the window system's pump, which runs
// every frame, sees it and quits the engine (settings are saved as on any
// other end of the run). The game itself ignores window-close requests, so
// this is how a person at a terminal or a test harness stops it.

namespace Ostrel {

namespace QuitSignal {
// Installs the handlers (idempotent). Call before SDL starts, with SDL's own
// signal handlers turned off, so that SDL does not turn the signals into
// window-close requests that the game would swallow.
void Install();
// A signal also wakes the engine loop's frame-cap sleep (WakeSleepers), so
// the run ends without waiting out a long capped frame.
// The signal received since the last Clear, or 0.
int Received();
void Clear();
// Records a signal as the handler would (for tests).
void Raise(int signal);
}  // namespace QuitSignal

}  // namespace Ostrel
