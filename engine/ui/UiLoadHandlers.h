#pragma once
// The handlers of loading screens. Each starts a worker thread so that the
// heavy work runs while the main loop keeps drawing the loading scene; the
// end of the work becomes "UiLoadingDone" (or the configured event) on a
// scene, which the scene's other handlers turn into the next screen.
//
// UiResourceLoadHandler runs the resource manager's background load at
// Start; the UI system notices the manager's done flag and raises the event
// (it raises nothing itself). Its worker may run longer than the scene that
// started it, so the handler keeps no thread: Start puts the worker straight
// into a process-wide list that StopAllLoads joins, whether or not the
// handler still exists. Detach does not block: the worker takes the render
// device lock for scene scripts, which the main thread may hold.
//
// UiLevelLoadHandler collects jobs at Start (the request message: every
// receiver appends a callback, the physics grid and the bounding-volume
// tree) and runs them on a worker when the start message ("LevelLoaded")
// arrives. The worker sets started, runs the jobs in order, then sets done
// (release); the first "UiTimeUpdate" that sees both (acquire) clears them
// and raises the completion event on the owner once. A start message while
// a worker runs is ignored. Detach and destruction join the worker, so a
// scene left mid-load never leaves a thread writing a freed handler.
//
// Teardown: StopAllLoads (the UI system, once the main loop has ended and
// before any system shuts down) asks running resource loads to stop at their
// next resource, joins every loading thread of both handlers and clears the
// request, so no loader outlives the systems and managers it fills.
//
// On a fixed frame step (TAVRIN_FIXED_DT, replays) both loads end at a frame
// that does not depend on the machine: the level handler joins its worker at
// the first "UiTimeUpdate" after the start message, and the UI system waits
// for running resource loads before it looks at the manager's done flag.

#include "engine/core/VariantFunction.h"
#include "engine/ui/UiEventHandler.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace Ostrel {

class UiResourceLoadHandler : public UiEventHandler {
public:
    UiResourceLoadHandler() = default;
    ~UiResourceLoadHandler() override;

    void Attach(UiBase* owner) override { m_owner = owner; }
    void Start() override;
    void Detach() override {}
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    // Joins every background-load worker started so far (main thread); the
    // loads run to their end.
    static void WaitForResourceLoads();
    // Returns once every worker started so far has finished its load (it
    // does not join them). The UI system waits so on a fixed frame step.
    static void WaitWhileLoadsRun();
    // Teardown (main thread): stops the resource loads at their next
    // resource and joins the workers of both loading handlers.
    static void StopAllLoads();
    bool HasStarted() const { return m_started; }

private:
    UiBase* m_owner = nullptr;
    bool m_active = true;
    bool m_started = false;
};

class UiLevelLoadHandler : public UiEventHandler {
public:
    UiLevelLoadHandler();
    ~UiLevelLoadHandler() override;

    void Attach(UiBase* owner) override { m_owner = owner; }
    void Start() override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void OnLevelLoaded();
    void OnUiTimeUpdate(float dt);

    void SetStartLoaderMessageName(const std::string& name) { m_startMessage = name; }
    void SetRequestLoaderMessageName(const std::string& name) { m_requestMessage = name; }
    void SetLoaderCompleteMessageName(const std::string& name) { m_completionEvent = name; }
    const std::string& GetStartMessage() const { return m_startMessage; }
    const std::string& GetRequestMessage() const { return m_requestMessage; }
    const std::string& GetCompletionEvent() const { return m_completionEvent; }
    std::size_t GetTargetCount() const { return m_targets.size(); }
    bool IsWorking() const { return m_working; }

    // Joins the worker of every level-load handler alive (main thread).
    static void JoinAllWorkers();

private:
    void RunTargets();
    void StopListening();
    void Join();

    UiBase* m_owner = nullptr;
    bool m_active = true;
    std::thread m_worker;
    std::vector<FunctionRef> m_targets;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_done{false};
    // Main thread only: a worker was started and not yet reported.
    bool m_working = false;
    bool m_listening = false;
    std::string m_startMessage = "LevelLoaded";
    std::string m_requestMessage = "RequestBackgroundLoadTargets";
    std::string m_completionEvent = "UiLoadingDone";
};

}  // namespace Ostrel
