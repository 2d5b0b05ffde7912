#include "engine/world/TutorialRecord.h"

#include "engine/core/Reflect.h"
#include "engine/io/IBufferedReader.h"

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

bool TutorialRecord::Read(IBufferedReader& reader) {
    if (!reader.ReadToken(m_name)) return true;
    std::string token;
    if (!reader.ReadToken(token)) return true;  // the "{"
    while (reader.ReadToken(token)) {
        if (token == "}") return true;
        if (token == "depends:") {
            std::string depend;
            if (!reader.ReadToken(depend)) return true;
            m_depends.push_back(depend);
        } else if (token == "show-limit:") {
            int limit = m_showLimit;
            if (!reader.ReadInt(limit)) return false;
            m_showLimit = limit;
        } else {
            auto scene = std::make_unique<TutorialScene>();
            scene->sceneName = token;
            TutorialScene& entry = *scene;
            m_scenes.push_back(std::move(scene));
            if (!ReadScene(reader, entry)) return false;
        }
    }
    return true;
}

bool TutorialRecord::ReadScene(IBufferedReader& reader, TutorialScene& scene) {
    std::string token;
    if (!reader.ReadToken(token)) return true;  // the "{"
    while (reader.ReadToken(token)) {
        if (token == "}") return true;
        if (token == "delay:") {
            int delay = scene.delay;
            if (!reader.ReadInt(delay)) return false;
            scene.delay = delay;
        } else if (token == "input:") {
            std::string word;
            if (!reader.ReadToken(word)) return true;
            scene.input = word == "controller" ? TutorialSceneInputs::Controller
                          : word == "keyboard" ? TutorialSceneInputs::Keyboard
                                               : TutorialSceneInputs::Any;
        }
    }
    return true;
}

void TutorialRecord::AddScene(std::string sceneName, s32 delay, TutorialSceneInput input) {
    auto scene = std::make_unique<TutorialScene>();
    scene->sceneName = std::move(sceneName);
    scene->delay = delay;
    scene->input = input;
    m_scenes.push_back(std::move(scene));
}

}  // namespace Ostrel
