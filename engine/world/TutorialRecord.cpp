#include "engine/world/TutorialRecord.h"

#include "engine/core/Reflect.h"
#include "engine/io/IBufferedReader.h"

#include <string>
#include <vector>

LV_REFLECT_ENUM(Ostrel::TutorialSceneInputs::TutorialSceneInput);
LV_REFLECT_OPAQUE(Ostrel::TutorialRecord);

namespace Ostrel {

bool Matches(TutorialSceneInput required, TutorialSceneInput current) {
    if (current == TutorialSceneInputs::Any) return false;
    if (required == TutorialSceneInputs::Any) return true;
    return required == current;
}

void TutorialRecord::SetLocked(bool locked) {
    m_locked = locked;
    if (!locked) m_showCount = 0;
}

void TutorialRecord::MarkShown() {
    ++m_showCount;
    if (m_showCount >= m_showLimit) m_locked = true;
}

namespace {

constexpr const char* kCutShort = "the text ends before its closing '}'";

// The next token, which must be "{"; fault says why when it is not.
bool ReadOpening(IBufferedReader& reader, const std::string& what, std::string& fault) {
    std::string token;
    if (!reader.ReadToken(token)) {
        fault = kCutShort;
        return false;
    }
    if (token == "{") return true;
    fault = "'{' expected after " + what + ", found '" + token + "'";
    return false;
}

}  // namespace

bool TutorialRecord::Read(IBufferedReader& reader, std::string& fault, std::vector<std::string>& notes) {
    if (!reader.ReadToken(m_name)) {
        fault = kCutShort;
        return false;
    }
    if (!ReadOpening(reader, "the name", fault)) return false;
    std::string token;
    while (reader.ReadToken(token)) {
        if (token == "}") return true;
        if (token == "{") {
            fault = "a scene name or keyword expected, found '{'";
            return false;
        }
        if (token == "depends:") {
            std::string depend;
            if (!reader.ReadToken(depend)) break;
            if (depend == "{" || depend == "}") {
                fault = "a tutorial name expected after 'depends:', found '" + depend + "'";
                return false;
            }
            m_depends.push_back(depend);
        } else if (token == "show-limit:") {
            int limit = m_showLimit;
            if (!reader.ReadInt(limit)) {
                fault = "'show-limit:' is not followed by a whole number";
                return false;
            }
            if (limit < 1) {
                notes.push_back("show limit " + std::to_string(limit) + " is below 1; taken as 1");
                limit = 1;
            }
            m_showLimit = limit;
        } else {
            auto scene = std::make_unique<TutorialScene>();
            scene->sceneName = token;
            TutorialScene& entry = *scene;
            m_scenes.push_back(std::move(scene));
            if (!ReadScene(reader, entry, fault, notes)) return false;
        }
    }
    fault = kCutShort;
    return false;
}

bool TutorialRecord::ReadScene(IBufferedReader& reader, TutorialScene& scene, std::string& fault,
                               std::vector<std::string>& notes) {
    const std::string what = "scene '" + scene.sceneName + "'";
    if (!ReadOpening(reader, what, fault)) return false;
    std::string token;
    while (reader.ReadToken(token)) {
        if (token == "}") return true;
        if (token == "delay:") {
            int delay = scene.delay;
            if (!reader.ReadInt(delay)) {
                fault = what + ": 'delay:' is not followed by a whole number";
                return false;
            }
            if (delay < 0) {
                notes.push_back(what + ": delay " + std::to_string(delay) + " ms is negative; taken as 0");
                delay = 0;
            }
            scene.delay = delay;
        } else if (token == "input:") {
            std::string word;
            if (!reader.ReadToken(word)) break;
            scene.input = word == "controller" ? TutorialSceneInputs::Controller
                          : word == "keyboard" ? TutorialSceneInputs::Keyboard
                                               : TutorialSceneInputs::Any;
            if (word != "controller" && word != "keyboard" && word != "any") {
                notes.push_back(what + ": unknown input '" + word +
                                "' (controller, keyboard or any); taken as any device");
            }
        } else {
            notes.push_back(what + ": unknown word '" + token + "' ignored");
        }
    }
    fault = what + ": " + kCutShort;
    return false;
}

void TutorialRecord::AddScene(std::string sceneName, s32 delay, TutorialSceneInput input) {
    auto scene = std::make_unique<TutorialScene>();
    scene->sceneName = std::move(sceneName);
    scene->delay = delay;
    scene->input = input;
    m_scenes.push_back(std::move(scene));
}

}  // namespace Ostrel
