#include "engine/world/TutorialManager.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/StreamBufferedReader.h"

#include <fstream>
#include <sstream>

LV_REFLECT_OPAQUE(Ostrel::TutorialManager);

namespace Ostrel {

TutorialManager::~TutorialManager() { Disconnect(); }

void TutorialManager::Connect() {
    if (!m_subscriptions.Empty()) return;
    m_subscriptions.Listen("ShowTutorial", MakeDelegate(this, &TutorialManager::OnShowTutorial));
    m_subscriptions.Listen("LockTutorial", MakeDelegate(this, &TutorialManager::OnLockTutorial));
    m_subscriptions.Listen("UnlockTutorial", MakeDelegate(this, &TutorialManager::OnUnlockTutorial));
    m_subscriptions.Listen("UnlockAllTutorials", MakeDelegate(this, &TutorialManager::OnUnlockAllTutorials));
    m_subscriptions.Listen("SetTutorialsActive", MakeDelegate(this, &TutorialManager::OnSetTutorialsActive));
    m_subscriptions.Listen("ControllerChanged", MakeDelegate(this, &TutorialManager::OnControllerChanged));
}

void TutorialManager::Disconnect() { m_subscriptions.Clear(); }

int TutorialManager::LoadText(const std::string& text, const std::string& source) {
    auto reader = StreamBufferedReader::FromText(text);
    int count = 0;
    std::string name;
    while (reader->ReadToken(name)) {
        reader->UnreadToken(name);
        auto record = std::make_unique<TutorialRecord>();
        const bool complete = record->Read(*reader);
        {
            std::lock_guard lock(m_mutex);
            m_assets[name] = std::move(record);
        }
        ++count;
        if (!complete) {
            LogMessage(source + ": tutorial '" + name + "' has a malformed or missing number; the rest of the file is skipped\n");
            break;
        }
    }
    return count;
}

void TutorialManager::LoadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (file) text << file.rdbuf();
    if (!file) {
        LogMessage("Failed to open tutorial file '" + path + "'; skipped\n");
        return;
    }
    LoadText(text.str(), path);
}

TutorialRecord* TutorialManager::FindRecord(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    return Find(name);
}

void TutorialManager::OnShowTutorial(std::string* name) {
    if (!m_active || !name) return;
    TutorialRecord* record = nullptr;
    bool suits = false;
    {
        std::lock_guard lock(m_mutex);
        record = Find(*name);
        if (!record || record->IsLocked()) return;
        for (const std::string& depend : record->GetDepends()) {
            const TutorialRecord* first = Find(depend);
            if (!first || !first->IsLocked()) return;
        }
        const TutorialSceneInput current =
            m_padConnected ? TutorialSceneInputs::Controller : TutorialSceneInputs::Keyboard;
        for (const auto& scene : record->GetScenes()) {
            if (Matches(scene->input, current)) suits = true;
        }
        if (!suits) record->SetLocked(true);
    }
    if (!suits) return;
    Engine* engine = Engine::Instance();
    if (CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr) core->SendMessageValues("QueueTutorial", record);
}

void TutorialManager::OnLockTutorial(std::string* name) {
    if (!m_active || !name) return;
    std::lock_guard lock(m_mutex);
    if (TutorialRecord* record = Find(*name)) record->SetLocked(true);
}

void TutorialManager::OnUnlockTutorial(std::string* name) {
    if (!m_active || !name) return;
    std::lock_guard lock(m_mutex);
    if (TutorialRecord* record = Find(*name)) record->SetLocked(false);
}

void TutorialManager::OnUnlockAllTutorials() {
    std::lock_guard lock(m_mutex);
    for (auto& [name, record] : m_assets) {
        if (record) record->SetLocked(false);
    }
}

void TutorialManager::OnSetTutorialsActive(bool active) { m_active = active; }

void TutorialManager::OnControllerChanged(bool connected) { m_padConnected = connected; }

void LoadTutorialFile(const std::string& path) {
    if (TutorialManager* tutorials = TutorialManager::Instance()) tutorials->LoadFile(path);
}

}  // namespace Ostrel
