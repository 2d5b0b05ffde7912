#include "engine/world/TutorialManager.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/FilePath.h"
#include "engine/io/StreamBufferedReader.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <fstream>
#include <sstream>
#include <utility>

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

namespace {

// The offset of the first byte no text file holds (NUL, control codes other
// than white space), or npos.
std::size_t FindBinaryByte(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') || c == 0x7f) return i;
    }
    return std::string::npos;
}

// True when no resource manager runs (tests, fuzzing) or it knows name as a
// UI scene file.
bool IsKnownScene(const std::string& name) {
    const ResourceManager* resources = ResourceManager::Instance();
    if (resources == nullptr) return true;
    const FilePath path = resources->GetPath(name);
    return path.IsValid() && resources->GetKindOfExtension(path.GetExtension()) == kKindScene;
}

}  // namespace

int TutorialManager::LoadText(const std::string& text, const std::string& source) {
    if (const std::size_t at = FindBinaryByte(text); at != std::string::npos) {
        LogMessagef("%s: not a tutorial text (byte 0x%02x at offset %zu); nothing of it is read\n", source.c_str(),
                    unsigned(static_cast<unsigned char>(text[at])), at);
        return 0;
    }
    auto reader = StreamBufferedReader::FromText(text);
    int count = 0;
    std::string name;
    while (reader->ReadToken(name)) {
        reader->UnreadToken(name);
        auto record = std::make_unique<TutorialRecord>();
        std::string fault;
        std::vector<std::string> notes;
        const bool complete = record->Read(*reader, fault, notes);
        for (const std::string& note : notes) LogMessage(source + ": tutorial '" + name + "': " + note + "\n");
        if (!complete) {
            LogMessage(source + ": tutorial '" + name + "': " + fault +
                       "; the record is not taken and the rest of the file is skipped\n");
            break;
        }
        for (const auto& scene : record->GetScenes()) {
            if (!IsKnownScene(scene->sceneName)) {
                LogMessage(source + ": tutorial '" + name + "': scene '" + scene->sceneName +
                           "' is no UI scene file; that page cannot show\n");
            }
        }
        File(name, std::move(record), source);
        ++count;
    }
    return count;
}

void TutorialManager::File(const std::string& name, std::unique_ptr<TutorialRecord> record, const std::string& source) {
    std::string earlier;
    {
        std::lock_guard lock(m_mutex);
        auto [entry, inserted] = m_sources.try_emplace(name, source);
        if (!inserted) earlier = std::exchange(entry->second, source);
        m_assets[name] = std::move(record);
    }
    if (earlier.empty()) return;
    LogMessage(source + ": tutorial '" + name + "' is defined again; it replaces the one from " +
               (earlier == source ? std::string("earlier in this file") : "'" + earlier + "'") + "\n");
}

void TutorialManager::ReportUnknownDependencies() const {
    std::lock_guard lock(m_mutex);
    for (const auto& [name, record] : m_assets) {
        if (!record) continue;
        auto source = m_sources.find(name);
        const std::string where = source == m_sources.end() ? std::string("tutorials") : source->second;
        for (const std::string& depend : record->GetDepends()) {
            if (depend == name) {
                LogMessage(where + ": tutorial '" + name + "' depends on itself; it is never shown\n");
            } else if (Find(depend) == nullptr) {
                LogMessage(where + ": tutorial '" + name + "' depends on '" + depend +
                           "', which no tutorial file defines; it is never shown\n");
            }
        }
    }
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

void CheckTutorialDependencies() {
    if (const TutorialManager* tutorials = TutorialManager::Instance()) tutorials->ReportUnknownDependencies();
}

}  // namespace Ostrel
