#pragma once
// The component test world plus a LogicSystem, stepped like a frame of the
// game (object manager first, then the brains), and a recorder of messages
// sent to an object's own table.

#include "engine/core/Composition.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/VarFun_Delegate.h"
#include "tests/engine/components/ComponentWorld.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {

class ActionWorld : public ComponentWorld {
public:
    explicit ActionWorld(const std::string& archetypes) : ComponentWorld(archetypes) {
        engine.AddSystem(&logic);
        logic.Initialize();
    }
    ~ActionWorld() { logic.Shutdown(); }

    // One frame of dt seconds; the first one announces what was created.
    void Step(f32 dt) {
        objects.Update(dt);
        logic.Update(dt);
    }

    LogicSystem logic;
};

// Records, in order, the named argument-less or single-argument messages an
// object receives, as "Name" or "Name=value".
class ObjectMessageLog {
public:
    void Listen(Composition& object, const std::string& name) {
        object.Listen(name, Listener(name));
    }
    void OnBare() { lines.push_back(m_current); }
    void OnText(std::string* text) { lines.push_back(m_current + "=" + *text); }
    void OnBool(bool value) { lines.push_back(m_current + (value ? "=1" : "=0")); }

    std::vector<std::string> lines;

private:
    // Each name gets its own recorder object so the handler knows the name.
    struct Named {
        ObjectMessageLog* log;
        std::string name;
        void OnBare() { Forward(&ObjectMessageLog::OnBare); }
        void OnText(std::string* text) {
            log->m_current = name;
            log->OnText(text);
        }
        void OnBool(bool value) {
            log->m_current = name;
            log->OnBool(value);
        }
        void Forward(void (ObjectMessageLog::*method)()) {
            log->m_current = name;
            (log->*method)();
        }
    };
    FunctionRef Listener(const std::string& name) {
        m_named.push_back(std::make_unique<Named>(Named{this, name}));
        Named* named = m_named.back().get();
        if (name == "SetSkeleton" || name == "SetAnimation") return MakeDelegate(named, &Named::OnText);
        if (name == "SetShowBindPose") return MakeDelegate(named, &Named::OnBool);
        return MakeDelegate(named, &Named::OnBare);
    }

    std::string m_current;
    std::vector<std::unique_ptr<Named>> m_named;
};

}  // namespace Ostrel::ComponentTest
