#include "app/SampleScene.h"

#include "engine/base/Log.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/Graphics.h"
#include "engine/resources/ResourceManager.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace Ostrel {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

SampleScene::SampleScene(Engine& engine, ResourceManager& resources) : m_engine(engine), m_resources(resources) {
    const char* wanted = std::getenv("TAVRIN_SAMPLE_SCENE");
    if (wanted == nullptr || std::string(wanted) != "1") return;
    if (!m_resources.GetPath(kPackage).IsValid()) return;
    if (const char* skip = std::getenv("TAVRIN_SCENE_SKIP")) {
        std::istringstream names(skip);
        for (std::string name; std::getline(names, name, ',');) {
            if (!name.empty()) m_skipped.insert(name);
        }
    }
    CoreSystem* core = m_engine.GetCoreSystem();
    if (!core) return;
    m_active = true;
    m_onStateBegin = MakeDelegate(this, &SampleScene::OnStateBegin);
    m_onGraphicsUpdate = MakeDelegate(this, &SampleScene::OnGraphicsUpdate);
    m_onLevelLoadStarted = MakeDelegate(this, &SampleScene::OnLevelLoadStarted);
    core->Listen("StateBegin", m_onStateBegin);
    core->Listen("GraphicsUpdate", m_onGraphicsUpdate);
    core->Listen("LevelLoadStarted", m_onLevelLoadStarted);
}

SampleScene::~SampleScene() {
    if (!m_active) return;
    if (CoreSystem* core = m_engine.GetCoreSystem()) {
        core->Unlisten("StateBegin", m_onStateBegin);
        core->Unlisten("GraphicsUpdate", m_onGraphicsUpdate);
        core->Unlisten("LevelLoadStarted", m_onLevelLoadStarted);
    }
}

void SampleScene::OnStateBegin() {
    auto* objects = static_cast<ObjectManager*>(m_engine.GetObjectManager());
    CompositionFactory* factory = CompositionFactory::Instance();
    if (m_placed || m_stopped || !objects || !factory) return;
    m_placed = true;
    m_resources.LoadResource(kPackage);
    std::vector<std::string> names = factory->GetArchetypeNames();
    std::sort(names.begin(), names.end());
    int placed = 0;
    for (const std::string& name : names) {
        if (name.rfind(kPrefix, 0) != 0 || m_skipped.count(name)) continue;
        const u32 id = objects->CreateObject(name, nullptr);
        Composition* object = id ? objects->GetObject(id) : nullptr;
        if (!object) continue;
        ++placed;
        auto* mesh = object->GetComponentAs<MeshComponent>();
        if (mesh && EndsWith(name, "-highlighted")) {
            mesh->SetHighlighted(true);
            mesh->SetColor(1.0f, 0.0f, 1.0f);
        }
    }
    LogMessagef("Sample scene: %d objects placed from '%s'\n", placed, kPackage);
}

// The game system clears every object before it builds a level, so the
// placed objects go with it; the scene only stops placing and drawing.
void SampleScene::OnLevelLoadStarted() {
    if (m_stopped) return;
    m_stopped = true;
    LogMessage("Sample scene: stopped, a level is loading\n");
}

void SampleScene::OnGraphicsUpdate(f32) {
    auto* graphics = dynamic_cast<Graphics*>(m_engine.GetSystem(Graphics::kId));
    if (!m_placed || m_stopped || !graphics || !graphics->IsDebug()) return;
    // A line through the hinge and the floor, drawn over them, and a box
    // around the shadowed ball.
    Graphics::DrawDebugShape(0, -6.0f, 3.0f, 3.5f, 6.0f, 3.0f, 3.5f, 255, 0, 0, 255);
    Graphics::DrawDebugShape(3, 3.0f, 2.6f, 1.0f, 1.2f, -1.0f, -1.0f, 0, 255, 0, 255);
}

}  // namespace Ostrel
