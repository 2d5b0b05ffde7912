#pragma once
// Fakes shared by the UI tests: a draw target that records what reaches it,
// a handler that logs the calls its owner makes and listens like real
// handlers do (on its owner and globally), a recorder of the sound messages
// scenes send, and a world holding the engine, its core system, the element
// manager and a texture registry.

#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/sound/SoundFamily.h"
#include "engine/ui/UiBase.h"
#include "engine/ui/UiDrawTarget.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiEventHandler.h"

#include "tests/engine/graphics/textures/ImageFiles.h"
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel::Testing {

class RecordingDrawTarget : public UiDrawTarget {
public:
    struct Text {
        std::string text;
        float x, y;
        int wrapWidth, alignment;
    };

    void DrawQuad(const UiQuadDraw& quad) override {
        quads.push_back(quad);
        order += 'Q';
    }
    void DrawText(const UiTextDraw& text) override {
        texts.push_back({text.text, text.x, text.y, text.wrapWidth, text.alignment});
        order += 'T';
    }
    bool IsEditMode() const override { return editMode; }

    std::vector<UiQuadDraw> quads;
    std::vector<Text> texts;
    std::string order;
    bool editMode = false;
};

// Collects every line logged while it lives (from any thread).
class LogCapture {
public:
    LogCapture() : m_previous(Logger::Current()) {
        m_logger.AddProvider(std::make_unique<Provider>(this));
        Logger::SetCurrent(&m_logger);
    }
    ~LogCapture() { Logger::SetCurrent(m_previous); }
    // Give it to an engine too (Engine::SetLog): LogErrorf goes there.
    Logger& GetLogger() { return m_logger; }
    std::string All() const {
        std::lock_guard lock(m_mutex);
        return m_text;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_text.clear();
    }

private:
    class Provider : public ILogProvider {
    public:
        explicit Provider(LogCapture* owner) : m_owner(owner) {}
        void Write(const char* text) override {
            std::lock_guard lock(m_owner->m_mutex);
            m_owner->m_text += text;
        }

    private:
        LogCapture* m_owner;
    };

    mutable std::mutex m_mutex;
    std::string m_text;
    Logger m_logger;
    Logger* m_previous;
};

inline CoreSystem& Core() {
    return *Engine::Instance()->GetCoreSystem();
}

// Logs "<call> <tag>" lines; listens for "Ping" on its owner (raising
// "Pong" there) and for the global "ProbeTick" between Attach and Detach.
class ProbeHandler : public UiEventHandler {
public:
    ProbeHandler(std::string tag, std::vector<std::string>* log) : m_tag(std::move(tag)), m_log(log) {}
    ~ProbeHandler() override { Log("delete"); }

    void Attach(UiBase* owner) override {
        Log("attach");
        m_owner = owner;
        owner->Listen("Ping", MakeDelegate(this, &ProbeHandler::OnPing));
        Core().Listen("ProbeTick", MakeDelegate(this, &ProbeHandler::OnTick));
    }
    void Start() override { Log("start"); }
    void Detach() override {
        Log("detach");
        m_owner->Unlisten("Ping", MakeDelegate(this, &ProbeHandler::OnPing));
        Core().Unlisten("ProbeTick", MakeDelegate(this, &ProbeHandler::OnTick));
    }
    std::unique_ptr<UiEventHandler> Clone() const override {
        return std::make_unique<ProbeHandler>(m_tag + "'", m_log);
    }
    void SetActive(bool active) override { Log(active ? "active" : "inactive"); }
    void OnKey(int key, bool down) override { Log("key " + std::to_string(key) + (down ? " down" : " up")); }
    void OnController(ControllerData*) override { Log("pad"); }

    void OnPing() {
        Log("ping");
        m_owner->RaiseEvent("Pong");
    }
    void OnTick() { Log("tick"); }
    const std::string& Tag() const { return m_tag; }

private:
    void Log(const std::string& what) {
        if (m_log) m_log->push_back(what + " " + m_tag);
    }

    std::string m_tag;
    std::vector<std::string>* m_log;
    UiBase* m_owner = nullptr;
};

// Records the sound messages in order, as text; answers "QueryMuteSounds"
// with muted.
class SoundRecorder {
public:
    SoundRecorder() {
        Core().Listen("PlayUiSound", MakeDelegate(this, &SoundRecorder::OnPlayUiSound));
        Core().Listen("PauseSounds", MakeDelegate(this, &SoundRecorder::OnPauseSounds));
        Core().Listen("StopSounds", MakeDelegate(this, &SoundRecorder::OnStopSounds));
        Core().Listen("QueryMuteSounds", MakeDelegate(this, &SoundRecorder::OnQueryMuteSounds));
        Core().Listen("PlayBackgroundSound", MakeDelegate(this, &SoundRecorder::OnPlayBackgroundSound));
    }
    ~SoundRecorder() {
        Core().Unlisten("PlayUiSound", MakeDelegate(this, &SoundRecorder::OnPlayUiSound));
        Core().Unlisten("PauseSounds", MakeDelegate(this, &SoundRecorder::OnPauseSounds));
        Core().Unlisten("StopSounds", MakeDelegate(this, &SoundRecorder::OnStopSounds));
        Core().Unlisten("QueryMuteSounds", MakeDelegate(this, &SoundRecorder::OnQueryMuteSounds));
        Core().Unlisten("PlayBackgroundSound", MakeDelegate(this, &SoundRecorder::OnPlayBackgroundSound));
    }

    void OnPlayUiSound(std::string* name) { log.push_back("ui " + *name); }
    void OnPauseSounds(SoundFamily family, bool paused) {
        log.push_back("pause " + std::to_string(int(family)) + (paused ? " on" : " off"));
    }
    void OnStopSounds(SoundFamily family) { log.push_back("stop " + std::to_string(int(family))); }
    void OnQueryMuteSounds(SoundFamily family, bool* muted) {
        log.push_back("query " + std::to_string(int(family)));
        *muted = mute;
    }
    void OnPlayBackgroundSound(std::string* name) { log.push_back("bgm " + *name); }

    std::vector<std::string> log;
    bool mute = false;
};

// The engine and core system, the element manager and a texture registry
// holding "img-64x32" (64 x 32 pixels) and "img-16x8".
class UiWorld {
public:
    UiWorld() {
        engine.AddSystem(&core);
        AddTexture("img-64x32", 64, 32);
        AddTexture("img-16x8", 16, 8);
    }
    void AddTexture(const std::string& name, u32 width, u32 height) {
        const std::string bytes = MakeTga32(width, height, std::vector<u8>(std::size_t(width) * height * 4, 255));
        textures.Create(name)->CreateFromBytes(name, Bytes(bytes), bytes.size());
    }
    // Global listeners of the names the UI and the probes use.
    std::size_t GlobalListeners() const {
        std::size_t count = 0;
        for (const char* name : {"UiTimeUpdate", "PlayBackgroundSound", "ProbeTick"}) {
            count += core.GetTable().GetListeners(name).size();
        }
        return count;
    }

    Engine engine;
    mutable CoreSystem core;
    UiElementManager elements;
    TextureManager textures;
};

}  // namespace Ostrel::Testing
