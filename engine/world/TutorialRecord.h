#pragma once
// A tutorial prompt: a named, ordered list of UI scenes (pages) with a delay
// and the input device each page is written for, the names of the prompts
// that must be done first, and how many complete showings lock it.
//
// Text form (".tut", white-space separated tokens; "{" and "}" are tokens of
// their own):
//   move-basic {
//     show-limit: 2
//     depends: other-prompt
//     tut-move-kb { delay: 4000 input: keyboard }
//   }
// After the name one token is skipped (the "{"); "depends:" takes one name,
// "show-limit:" one integer, any other word starts a scene entry, whose next
// token is skipped too and which reads "delay:" (milliseconds) and "input:"
// ("controller", "keyboard", "any"; another word is logged and read as any
// device) up to its "}". A record the text ends inside is refused, not taken
// half read.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class IBufferedReader;

namespace TutorialSceneInputs {
enum TutorialSceneInput : s32 {
    Controller = 0,
    Keyboard = 1,
    Any = 2,
};
}  // namespace TutorialSceneInputs

using TutorialSceneInput = TutorialSceneInputs::TutorialSceneInput;

// Whether a page written for `required` suits the device `current`. A
// current device of Any is no device at all and matches nothing.
bool Matches(TutorialSceneInput required, TutorialSceneInput current);

struct TutorialScene {
    std::string sceneName;
    s32 delay = 0;  // milliseconds before the page shows
    TutorialSceneInput input = TutorialSceneInputs::Any;
};

class TutorialRecord {
public:
    // Reads one record from the reader (its name first). False, with the
    // reason in fault, when the record cannot be taken: text cut short before
    // its "}", a missing "{", a malformed number. The caller drops the record
    // and stops reading the text there, as nothing after it can be trusted.
    // Values read but changed (a negative delay taken as 0, an unknown input
    // word taken as any device) are described in notes, one line each.
    bool Read(IBufferedReader& reader, std::string& fault, std::vector<std::string>& notes);

    // Locks or unlocks; unlocking starts the showing count again.
    void SetLocked(bool locked);
    // One complete showing; locks once the count reaches the limit (a limit
    // below 1 locks after the first).
    void MarkShown();

    // Appends a page; the reader's way in, and the UI tests'.
    void AddScene(std::string sceneName, s32 delay, TutorialSceneInput input);
    void SetShowLimit(s32 limit) { m_showLimit = limit; }

    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    const std::vector<std::unique_ptr<TutorialScene>>& GetScenes() const { return m_scenes; }
    bool IsLocked() const { return m_locked; }
    const std::vector<std::string>& GetDepends() const { return m_depends; }
    s32 GetShowLimit() const { return m_showLimit; }
    s32 GetShowCount() const { return m_showCount; }

private:
    bool ReadScene(IBufferedReader& reader, TutorialScene& scene, std::string& fault,
                   std::vector<std::string>& notes);

    std::string m_name;
    std::vector<std::unique_ptr<TutorialScene>> m_scenes;
    bool m_locked = false;
    std::vector<std::string> m_depends;
    s32 m_showLimit = -1;
    s32 m_showCount = 0;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TutorialSceneInputs::TutorialSceneInput);
LV_DECLARE_META_CLASS(Ostrel::TutorialRecord);
