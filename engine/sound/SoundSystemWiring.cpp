// The sound system's connections to the rest of the engine: the global
// message table, the user settings and the debug reload of the manifests.
#include "engine/sound/SoundSystem.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserConfigManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/sound/SoundChannel.h"

#include <algorithm>

namespace Ostrel {

namespace {
// Unsubscribed in this order at shutdown.
const char* const kUnsubscribeOrder[] = {
    "PlayBackgroundSound", "PauseSounds", "StopSounds",       "SetSoundVolumes",
    "MuteSounds",          "PlaySound",   "PlayUiSound",      "PlaySoundControl",
    "ReleaseChannel",      "QueryMuteSounds", "KeyTriggered",
};
}  // namespace

// A system never added to an engine (tests) subscribes through the running
// engine when there is one, and otherwise is reached by direct calls only.
void SoundSystem::Subscribe() {
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    m_core = engine ? engine->GetCoreSystem() : nullptr;
    if (!m_core) return;
    m_handlers = {
        {"PlaySound", MakeDelegate(this, &SoundSystem::OnPlaySound)},
        {"PlayUiSound", MakeDelegate(this, &SoundSystem::OnPlayUiSound)},
        {"PlaySoundControl", MakeDelegate(this, &SoundSystem::OnPlaySoundControl)},
        {"ReleaseChannel", MakeDelegate(this, &SoundSystem::OnReleaseChannel)},
        {"PlayBackgroundSound", MakeDelegate(this, &SoundSystem::OnPlayBackgroundSound)},
        {"PauseSounds", MakeDelegate(this, &SoundSystem::OnPauseSounds)},
        {"StopSounds", MakeDelegate(this, &SoundSystem::OnStopSounds)},
        {"SetSoundVolumes", MakeDelegate(this, &SoundSystem::OnSetSoundVolumes)},
        {"MuteSounds", MakeDelegate(this, &SoundSystem::OnMuteSounds)},
        {"QueryMuteSounds", MakeDelegate(this, &SoundSystem::OnQueryMuteSounds)},
        {"KeyTriggered", MakeDelegate(this, &SoundSystem::OnKeyTriggered)},
    };
    for (const auto& [name, handler] : m_handlers) m_core->Listen(name, handler);
}

void SoundSystem::Unsubscribe() {
    if (!m_core) return;
    for (const char* name : kUnsubscribeOrder) {
        auto it = std::find_if(m_handlers.begin(), m_handlers.end(),
                               [name](const auto& entry) { return entry.first == name; });
        if (it != m_handlers.end()) m_core->Unlisten(it->first, it->second);
    }
    m_handlers.clear();
    m_core = nullptr;
}

// A missing key leaves the flag false; the interface mute follows the
// effects mute and is never stored itself.
void SoundSystem::ReadUserSettings() {
    UserConfigManager* settings = UserConfigManager::Instance();
    ConfigureFileXML* reader = settings ? settings->GetReader() : nullptr;
    if (!reader) return;
    reader->SerializeBool("bgm-mute", &m_families[SoundFamilies::Music].mute);
    reader->SerializeBool("sfx-mute", &m_families[SoundFamilies::Effects].mute);
    m_families[SoundFamilies::UserInterface].mute = m_families[SoundFamilies::Effects].mute;
}

void SoundSystem::WriteUserSettings() {
    UserConfigManager* settings = UserConfigManager::Instance();
    ConfigureFileXML* writer = settings ? settings->GetWriter() : nullptr;
    if (!writer) return;
    bool musicMute = m_families[SoundFamilies::Music].mute;
    bool effectsMute = m_families[SoundFamilies::Effects].mute;
    writer->SerializeBool("bgm-mute", &musicMute);
    writer->SerializeBool("sfx-mute", &effectsMute);
}

// Debug: 'S' reads every sound manifest again. Records change in place, so
// loaded sounds take the new volume and instance limit at their next play.
void SoundSystem::OnKeyTriggered(int key, bool pressed) {
    if (!m_debug || key != kDebugReloadKey || !pressed) return;
    if (ResourceManager* resources = ResourceManager::Instance())
        resources->LoadAllOfKind(kKindSoundManifest);
}

}  // namespace Ostrel
