#pragma once
// The world of the HUD and options tests: the game fixture (objects, core
// system, property pages, a recorder of global sends) plus what the UI
// needs: a texture registry with bar, box and frame textures of known
// sizes, the element manager, a live scene built in code, and a drawing
// context over a recording target.

#include "tests/engine/graphics/textures/ImageFiles.h"
#include "tests/engine/ui/UiTestSupport.h"
#include "tests/game/GameFixture.h"

#include "engine/graphics/textures/TextureManager.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiScene.h"

#include <memory>
#include <string>

namespace Vandle::GameTest {

class UiGameWorld : public GameFixture {
public:
    explicit UiGameWorld(const std::string& archetypes = "<none-obj><TransformComponent/></none-obj>")
        : GameFixture(archetypes), context(target) {
        AddTexture("border-208", 208, 24);
        AddTexture("fill-200", 200, 16);
        AddTexture("fill-100", 100, 10);
        AddTexture("box-on", 32, 32);
        AddTexture("box-off", 32, 32);
    }
    ~UiGameWorld() {
        if (scene && scene->IsEntered()) scene->Leave();
        scene.reset();
    }

    void AddTexture(const std::string& name, u32 width, u32 height) {
        const std::string bytes = Ostrel::Testing::MakeTga32(width, height, std::vector<u8>(std::size_t(width) * height * 4, 255));
        textures.Create(name)->CreateFromBytes(name, Ostrel::Testing::Bytes(bytes), bytes.size());
    }
    // Adds an element made in code to the scene (made on first use).
    template <class E>
    E* Add(const std::string& name) {
        if (!scene) scene = std::make_unique<UiScene>();
        auto element = std::make_unique<E>();
        element->SetName(name);
        E* raw = element.get();
        scene->AddElement(std::move(element));
        return raw;
    }
    // Attaches the handler to the scene and enters it (Attach, then Start).
    template <class H>
    H* Enter(std::unique_ptr<H> handler) {
        if (!scene) scene = std::make_unique<UiScene>();
        H* raw = handler.get();
        scene->AddHandler(handler.release());
        scene->Enter();
        scene->SetActive(true);
        return raw;
    }
    void Time(float seconds, float dt = 1.0f / 60.0f) {
        for (float t = 0.0f; t < seconds - dt / 2; t += dt) core.SendMessageFloat("UiTimeUpdate", dt);
    }
    // The global sends recorded so far, then forgets them.
    std::vector<std::string> TakeSent() {
        std::vector<std::string> texts = SentTo(0u);
        sent.clear();
        return texts;
    }

    TextureManager textures;
    UiElementManager elements;
    std::unique_ptr<UiScene> scene;
    Ostrel::Testing::RecordingDrawTarget target;
    UiDrawContext context;
};

// The horizontal span (left, right) of a recorded unrotated quad, in UI units.
inline std::pair<float, float> QuadSpan(const UiQuadDraw& quad) {
    const float width = quad.world(0, 0) * UiDrawContext::kScreenUnits;
    const float centre = quad.world(3, 0) * UiDrawContext::kScreenUnits;
    return {centre - width / 2.0f, centre + width / 2.0f};
}

}  // namespace Vandle::GameTest
