#include "engine/platform/QuitSignal.h"

#include "engine/core/Clock.h"

#include <SDL_hints.h>

#include <csignal>

namespace Ostrel {

namespace {

volatile std::sig_atomic_t s_received = 0;

extern "C" void OnQuitSignal(int signal) {
    s_received = signal;
    // A frame-cap sleep of the engine loop ends now rather than when due.
    WakeSleepers();
}

}  // namespace

namespace QuitSignal {

void Install() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    PrepareSleeperWake();
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int Received() {
    return s_received;
}

void Clear() {
    // The engine's sleeps stay woken: the run is ending, and the frames
    // until it has ended must not sleep their full time.
    s_received = 0;
}

void Raise(int signal) {
    s_received = signal;
    WakeSleepers();
}

}  // namespace QuitSignal

}  // namespace Ostrel
