#pragma once
// The stock handlers scene scripts attach to scenes and elements. Each reacts
// to one stimulus (a UI event raised on its owner, the global "UiTimeUpdate",
// a key) with one effect (a UI event raised on its owner, a global message, a
// scene-change request, a move of its owner). Menus are built by chaining them
// through event names.
//
// One-shot handlers (any-key, key, a non-repeating timer, send-message and
// scene-change with their deactivate flag) turn themselves inactive when they
// fire; the owner's SetActive(true) (the UI system's activation walk) arms
// them again. Clones copy the configuration, have no owner and are active
// (a bob handler copies its flag).

#include "engine/core/ScriptEnums.h"
#include "engine/ui/UiEventHandler.h"

#include <set>
#include <string>

namespace Ostrel {

// Sends the global message "raise event" (no arguments) when "response
// event" is raised on the owner, or at Start when no response event is set.
// With "deactivate on send" the owner's root is deactivated first. A message
// whose listeners take arguments is refused (logged), never sent short.
class UiSendMessageHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override;
    void Start() override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void OnEvent();
    void SetRaiseEvent(const std::string& name) { m_raiseEvent = name; }
    void SetResponseEvent(const std::string& name) { m_responseEvent = name; }
    void SetDeactivateOnSend(bool deactivate) { m_deactivateOnSend = deactivate; }
    bool IsActive() const { return m_active; }

private:
    void SendRaiseEvent();

    UiBase* m_owner = nullptr;
    std::string m_raiseEvent;
    std::string m_responseEvent;
    bool m_active = true;
    bool m_deactivateOnSend = true;
    bool m_listening = false;
};

// Raises its event on the owner once the time accumulated since Attach (or
// since it last fired) is strictly greater than the timeout; repeats when
// told to. Time accumulates while inactive too.
class UiTimerHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void OnUiTimeUpdate(float dt);
    // Also starts the count again.
    void SetTimeout(float seconds) {
        m_timeout = seconds;
        m_elapsed = 0.0f;
    }
    void SetRaiseEvent(const std::string& name) { m_raiseEvent = name; }
    void SetRepeating(bool repeating) { m_repeating = repeating; }
    bool IsActive() const { return m_active; }
    float GetElapsed() const { return m_elapsed; }

private:
    UiBase* m_owner = nullptr;
    float m_timeout = 0.0f;
    float m_elapsed = 0.0f;
    std::string m_raiseEvent = "UiTimerExpired";
    bool m_repeating = false;
    bool m_active = true;
    bool m_listening = false;
};

// Raises its event on the owner at the first key press, then waits to be
// re-activated. Releases are ignored.
class UiAnyKeyHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override { m_owner = owner; }
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }
    void OnKey(int key, bool down) override;

    void SetRaiseEvent(const std::string& name) { m_raiseEvent = name; }
    bool IsActive() const { return m_active; }

private:
    UiBase* m_owner = nullptr;
    std::string m_raiseEvent = "UiAnyKeyTriggered";
    bool m_active = true;
};

// Raises its event on the owner at Start, whatever its state.
class UiAutoMessageHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override { m_owner = owner; }
    void Start() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void SetRaiseEvent(const std::string& name) { m_raiseEvent = name; }

private:
    UiBase* m_owner = nullptr;
    std::string m_raiseEvent;
    bool m_active = true;
};

// Fills its owner, a label or a text area, at Start: sends the global
// message "query"(std::string*) and shows the answer (a screen that tells
// what the game knows only then, such as why a level could not be built).
// No answer, or an empty one, leaves the element's own text.
class UiQueryTextHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override { m_owner = owner; }
    void Start() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool) override {}

    void SetQuery(const std::string& name) { m_query = name; }
    const std::string& GetQuery() const { return m_query; }

private:
    UiBase* m_owner = nullptr;
    std::string m_query;
};

// Raises its event on the owner at the first press of one of its keys.
class UiKeyHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override { m_owner = owner; }
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }
    void OnKey(int key, bool down) override;

    void SetRaiseEvent(const std::string& name) { m_raiseEvent = name; }
    void AddKey(int key) { m_keys.insert(key); }
    bool IsActive() const { return m_active; }

private:
    UiBase* m_owner = nullptr;
    std::string m_raiseEvent = "UiAnyKeyTriggered";
    bool m_active = true;
    std::set<int> m_keys;
};

// Sends "UiChangeScene"(target scene, method) when its response event is
// raised on the owner (an empty name included); with "deactivate on change"
// the owner's root is deactivated first.
class UiSceneChangeHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void OnEvent();
    void SetResponseEvent(const std::string& name) { m_responseEvent = name; }
    void SetTargetScene(const std::string& name) { m_targetScene = name; }
    void SetSceneChangeMethod(UiSceneChangeMethod method) { m_method = method; }
    void SetDeactivateOnChange(bool deactivate) { m_deactivateOnChange = deactivate; }
    bool IsActive() const { return m_active; }

private:
    UiBase* m_owner = nullptr;
    std::string m_responseEvent = "UiChangeScene";
    std::string m_targetScene;
    UiSceneChangeMethod m_method = UiSceneChangeMethod::Push;
    bool m_active = true;
    bool m_deactivateOnChange = true;
    bool m_listening = false;
};

// Moves its owner up and down around the y it had at Attach: a sine of
// "height" units and period "length" seconds. A force sign of at least 0.9
// in size keeps the motion on one side (scaled by the sign). A length of 0
// or less leaves the owner at its base.
class UiBobHandler : public UiEventHandler {
public:
    static constexpr float kTwoPi = 6.2831855f;

    void Attach(UiBase* owner) override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void OnUiTimeUpdate(float dt);
    void SetLength(float seconds) { m_length = seconds; }
    void SetHeight(float height) { m_height = height; }
    void ForceSign(float sign) { m_forceSign = sign; }
    float GetBase() const { return m_base; }

private:
    UiBase* m_owner = nullptr;
    float m_phase = 0.0f;
    bool m_active = true;
    float m_length = 1.0f;
    float m_height = 10.0f;
    float m_base = 0.0f;
    float m_forceSign = 0.0f;
    bool m_listening = false;
};

// Pauses the game while its scene is shown: at Start "UiCaptureInput"(true)
// then "UiPause"(true); at Detach the same pair with false.
class UiPauseHandler : public UiEventHandler {
public:
    void Attach(UiBase* owner) override { m_owner = owner; }
    void Start() override;
    void Detach() override;
    std::unique_ptr<UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

private:
    UiBase* m_owner = nullptr;
    bool m_active = true;
};

}  // namespace Ostrel
