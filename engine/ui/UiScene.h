#pragma once
// One UI screen: named elements drawn over the game in the order they were
// added, the handlers attached to the scene, an optional navigator that
// moves a selection between the elements, a background colour, music and
// sound settings and an input delay.
//
// A scene file (".scn", Lua) fills a template through "LoadScene(scene)";
// UiSceneManager hands out clones of the template, so every visit starts
// from what the script built. A clone is entered (timer, elements, handlers
// attached and started, first selection, "PlayBackgroundSound" listener),
// activated by the UI system (music, pause and stop settings, handlers
// activated), takes keys and pad data, is drawn, and is left (sounds paused
// or resumed, everything inside detached and deleted). A left scene is
// empty.
//
// Input: during the input delay after Enter keys and pad data are dropped;
// the timer is read only when input arrives. Direction keys move the
// navigator and still reach the elements and handlers; a select key (13, 88
// 'X', 90 'Z', 263 pad START, 271 pad A) on a current element plays
// "new-menu-select-sfx", activates that element and goes no further. A stick
// held in one direction moves the selection once.
//
// Threads: templates are built by scene scripts on the loading thread under
// UiSceneManager's lock; live clones are used on the main thread only.

#include "engine/core/Clock.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/Timer.h"
#include "engine/core/Vec4.h"
#include "engine/ui/UiBaseImpl.h"
#include "engine/ui/UiElementBase.h"
#include "engine/ui/UiNavigator.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class ScriptManager;
class UiDrawContext;

class UiScene : public UiBaseImpl {
public:
    UiScene();
    ~UiScene() override;

    // The copy the scene manager hands out (not entered).
    std::unique_ptr<UiScene> Clone() const;

    // UiBase
    void Enter() override;
    void Leave() override;
    void SetActive(bool active) override;
    UiElementBase* FindElement(const std::string& name) override;
    void OnKey(int key, bool down) override;
    void OnController(ControllerData* data) override;
    void SelectElement(UiElementBase* element, bool selected) override;

    // Takes the element: an unnamed one becomes "el_<count before it>"; a
    // name already taken leaves the new element reachable only through the
    // list. The element's parent becomes the scene.
    void AddElement(std::unique_ptr<UiElementBase> element);
    // Replaces (and deletes) the navigator; null removes it.
    void SetNavigator(std::unique_ptr<UiNavigator> navigator);

    // Fills this template from the scene file at path (the resource of its
    // base name): runs the file, then its "LoadScene"(scene). A file that
    // cannot be read, does not compile or defines no "LoadScene" leaves the
    // scene as it was (logged); a script error keeps what was built.
    void Load(const std::string& path);
    // The layout editor's reload of a live scene: Teardown, Load, Enter.
    void Reload();

    // Draws the background (alpha above 0.001) and every visible element,
    // or every element in edit mode.
    void Draw(UiDrawContext& context);

    // The layout editor's selection (null when the scene has no elements).
    UiElementBase* EditSelectFirst();
    UiElementBase* EditSelectPrevious();
    UiElementBase* EditSelectNext();
    UiElementBase* GetEditSelection() const { return m_editSelection; }

    // "PlayBackgroundSound" while entered: remembers the track started while
    // the scene is active, to restart it at its next activation.
    void OnPlayBackgroundSound(std::string* name);

    static bool IsSelectKey(int key);

    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }
    void SetColor(const Vec4& colour) { m_colour = colour; }
    const Vec4& GetColor() const { return m_colour; }
    void SetPath(const std::string& path) { m_path = path; }
    const std::string& GetPath() const { return m_path; }
    void SetInputDelay(float seconds) { m_inputDelay = seconds; }
    float GetInputDelay() const { return m_inputDelay; }
    void SetBgmName(const std::string& name) { m_backgroundMusic = name; }
    const std::string& GetBgmName() const { return m_backgroundMusic; }
    void SetPauseBgmInScene(bool pause) { m_pauseSoundsInScene = pause; }
    void SetStopSfxInScene(bool stop) { m_stopEffectsInScene = stop; }
    void SetAcceptsInput(bool accepts) { m_acceptsInput = accepts; }
    bool AcceptsInput() const { return m_acceptsInput; }
    // The clock of the input gate (default: the engine's); copied by Clone.
    void SetInputClock(const IClock* clock) { m_clock = clock; }
    // Keys that are down as the scene is entered (the UI system hands them
    // over right after Enter): each reaches nothing, not even its release,
    // until it has been let go. A key held, or mashed, while a menu comes up
    // over play so never makes the menu's first choice. A press of such a
    // key tells that its release was missed: it is forgotten, and the press
    // goes on as any other.
    void IgnoreHeldKeys(std::vector<int> keys) { m_heldAtEnter = std::move(keys); }

    const std::vector<std::unique_ptr<UiElementBase>>& GetElements() const { return m_elements; }
    UiNavigator* GetNavigator() const { return m_navigator.get(); }
    bool IsEntered() const { return m_inputTimer != nullptr; }

protected:
    // Unsubscribes, deletes the timer, leaves and deletes the elements,
    // detaches and deletes the handlers. Reload runs it before it loads the
    // file again.
    void Teardown();

private:
    UiScene(const UiScene& source);

    void RunSceneScript(ScriptManager& scripts, const std::string& text, const std::string& name);
    bool IsInputReady();
    // True for the release of a key held since Enter; that release, or a
    // press (its release was missed), forgets the key.
    bool TakeHeldKey(int key, bool down);
    void Navigate(UiDirection direction);
    void SelectInitialElement();
    // The element's position in the list, or the list's size.
    std::size_t IndexOf(const UiElementBase* element) const;

    std::string m_name;
    Vec4 m_colour;
    std::string m_path;
    std::map<std::string, UiElementBase*> m_byName;
    std::vector<std::unique_ptr<UiElementBase>> m_elements;
    std::unique_ptr<UiNavigator> m_navigator;
    UiDirection m_lastStick = UiDirection::None;
    std::string m_backgroundMusic;
    bool m_pauseSoundsInScene = false;
    bool m_musicMuted = false;
    bool m_stopEffectsInScene = false;
    float m_inputDelay = 0.0f;
    float m_timeSinceEnter = 0.0f;
    std::vector<int> m_heldAtEnter;
    std::unique_ptr<Timer> m_inputTimer;
    UiElementBase* m_editSelection = nullptr;
    bool m_acceptsInput = true;
    const IClock* m_clock = nullptr;
    bool m_musicSubscribed = false;
};

}  // namespace Ostrel
