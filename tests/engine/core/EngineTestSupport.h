#pragma once
// Fakes shared by the engine, core-system and profiler tests: a system that
// records what the engine asks of it, and a sleeper that records requests.

#include "engine/core/Clock.h"
#include "engine/core/System.h"
#include "engine/base/ILogProvider.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel::Testing {

class RecordingSleeper : public ISleeper {
public:
    void SleepMs(u32 milliseconds) override { requests.push_back(milliseconds); }
    std::vector<u32> requests;
};

// Keeps every logged message (safe from several threads).
class CollectingProvider : public ILogProvider {
public:
    explicit CollectingProvider(std::vector<std::string>* lines) : m_lines(lines) {}
    void Write(const char* text) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines->push_back(text);
    }

private:
    std::mutex m_mutex;
    std::vector<std::string>* m_lines;
};

// Appends "<Event> <name>" lines to a shared log and keeps the steps it got.
class FakeSystem : public System {
public:
    FakeSystem(std::string name, u32 id, std::vector<std::string>* log)
        : m_name(std::move(name)), m_id(id), m_log(log) {}

    void Update(f32 dt) override {
        steps.push_back(dt);
        Record("Update");
        if (onUpdate) onUpdate(dt);
    }
    void Create() override { Record("Create"); }
    void Initialize() override { Record("Initialize"); }
    void LoadConfig(Serializer* config) override {
        Record(config ? "LoadConfig" : "LoadConfig null");
    }
    std::string GetName() const override { return m_name; }
    u32 GetId() const override { return m_id; }
    void Shutdown() override { Record("Shutdown"); }

    std::vector<f32> steps;
    std::function<void(f32)> onUpdate;

private:
    void Record(const char* event) {
        if (m_log) m_log->push_back(std::string(event) + " " + m_name);
    }

    std::string m_name;
    u32 m_id;
    std::vector<std::string>* m_log;
};

}  // namespace Ostrel::Testing
