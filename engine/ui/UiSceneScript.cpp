// Script bindings of the base implementation, the scene and the navigator,
// the handler classes' registry, and the loading of scene files.

#include "engine/base/Log.h"
#include "engine/core/Reflect.h"
#include "engine/io/FilePath.h"
#include "engine/io/IFile.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiEventHandler.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiScrollGroup.h"

#include <mutex>
#include <optional>
#include <vector>

namespace Ostrel {

namespace {

std::vector<const ScriptClass*>& HandlerClasses() {
    static std::vector<const ScriptClass*> s_classes;
    return s_classes;
}

int BaseImplAddHandler(lua_State* L) {
    AddHandlerFromScript(L, ScriptArgs(L).Self<UiBaseImpl>(kUiBaseImplScript));
    return 0;
}

UiScene& Scene(lua_State* L) {
    return ScriptArgs(L).Self<UiScene>(kUiSceneScript);
}

int SceneAddElement(lua_State* L) {
    ScriptArgs args(L);
    UiScene& scene = args.Self<UiScene>(kUiSceneScript);
    auto& element = args.Object<UiElementBase>(2, kUiElementBaseScript);
    if (UiScrollGroup::NestingBelow(element) > UiScrollGroup::kMaxNesting) {
        args.Error("UiScene:AddElement: groups nested more than " + std::to_string(UiScrollGroup::kMaxNesting) +
                   " deep");
    }
    ClaimForOwner(L, element.Ownership(), "element");
    scene.AddElement(std::unique_ptr<UiElementBase>(&element));
    return 0;
}

int SceneSetName(lua_State* L) {
    UiScene& scene = Scene(L);
    scene.SetName(CheckScriptText(L, 2));
    return 0;
}

int SceneGetName(lua_State* L) {
    PushScriptText(L, Scene(L).GetName());
    return 1;
}

int SceneSetColor(lua_State* L) {
    ScriptArgs args(L);
    UiScene& scene = args.Self<UiScene>(kUiSceneScript);
    args.CheckTable(2);
    // Red, green and blue must be numbers, read in order so that an error
    // names the first bad entry; a missing alpha reads 0.
    const float red = args.TableNumber(2, 1);
    const float green = args.TableNumber(2, 2);
    const float blue = args.TableNumber(2, 3);
    scene.SetColor(Vec4(red, green, blue, args.TableNumber(2, 4, 0.0f)));
    return 0;
}

int SceneSetNavigator(lua_State* L) {
    ScriptArgs args(L);
    UiScene& scene = args.Self<UiScene>(kUiSceneScript);
    auto& navigator = args.Object<UiNavigator>(2, kUiNavigatorScript);
    ClaimForOwner(L, navigator.Ownership(), "navigator");
    scene.SetNavigator(std::unique_ptr<UiNavigator>(&navigator));
    return 0;
}

int SceneSetInputDelay(lua_State* L) {
    UiScene& scene = Scene(L);
    scene.SetInputDelay(CheckScriptNumber(L, 2));
    return 0;
}

int SceneSetBgmName(lua_State* L) {
    UiScene& scene = Scene(L);
    scene.SetBgmName(CheckScriptText(L, 2));
    return 0;
}

template <void (UiScene::*Set)(bool)>
int SceneSetFlag(lua_State* L) {
    ScriptArgs args(L);
    (args.Self<UiScene>(kUiSceneScript).*Set)(args.Flag(2));
    return 0;
}

int NavigatorAddNavigation(lua_State* L) {
    ScriptArgs args(L);
    UiNavigator& navigator = args.Self<UiNavigator>(kUiNavigatorScript);
    const std::string from = CheckScriptText(L, 2);
    const int direction = args.CheckInteger(3);
    const std::string to = CheckScriptText(L, 4);
    navigator.AddNavigation(from, direction, to);
    return 0;
}

int NavigatorSetCurrentElement(lua_State* L) {
    UiNavigator& navigator = ScriptArgs(L).Self<UiNavigator>(kUiNavigatorScript);
    navigator.SetCurrentElement(CheckScriptText(L, 2));
    return 0;
}

const ScriptLiveness* BaseImplLiveness(void* object) {
    return &static_cast<UiBaseImpl*>(object)->Liveness();
}

ScriptOwnership* NavigatorOwnership(void* object) {
    return &static_cast<UiNavigator*>(object)->Ownership();
}

constexpr ScriptMethod kBaseImplMethods[] = {{"AddHandler", &BaseImplAddHandler}};
constexpr ScriptMethod kSceneMethods[] = {
    {"AddElement", &SceneAddElement},
    {"SetName", &SceneSetName},
    {"GetName", &SceneGetName},
    {"SetColor", &SceneSetColor},
    {"SetNavigator", &SceneSetNavigator},
    {"SetInputDelay", &SceneSetInputDelay},
    {"SetBgmName", &SceneSetBgmName},
    {"SetPauseBgmInScene", &SceneSetFlag<&UiScene::SetPauseBgmInScene>},
    {"SetStopSfxInScene", &SceneSetFlag<&UiScene::SetStopSfxInScene>},
    {"SetAcceptsInput", &SceneSetFlag<&UiScene::SetAcceptsInput>},
};
constexpr ScriptMethod kNavigatorMethods[] = {{"AddNavigation", &NavigatorAddNavigation},
                                              {"SetCurrentElement", &NavigatorSetCurrentElement}};

}  // namespace

const ScriptClass kUiBaseImplScript{"UiBaseImpl",
                                    "missing uibaseimpl instance",
                                    kBaseImplMethods,
                                    ScriptClass::kNotCreatable,
                                    nullptr,
                                    "Ostrel.",
                                    nullptr,
                                    &BaseImplLiveness};
const ScriptClass kUiSceneScript{"UiScene", "missing uiscene instance", kSceneMethods, ScriptClass::kNotCreatable,
                                 "UiBaseImpl"};
// A navigator "new" made that no scene took is deleted with the Lua state.
const ScriptClass kUiNavigatorScript{"UiNavigator",           "missing uinavigator instance",
                                     kNavigatorMethods,       ScriptClass::kCreatable,
                                     nullptr,                 "Ostrel.",
                                     &NavigatorOwnership};

void RegisterUiHandlerClass(const ScriptClass& cls) {
    HandlerClasses().push_back(&cls);
}

UiEventHandler& CheckUiHandler(lua_State* L, int index) {
    for (const ScriptClass* cls : HandlerClasses()) {
        if (void* object = ToObject(L, index, *cls)) return *static_cast<UiEventHandler*>(object);
    }
    ScriptArgs(L).Error("bad argument #" + std::to_string(index) + " (UiEventHandler expected)");
}

void AddHandlerFromScript(lua_State* L, UiBase& owner) {
    UiEventHandler& handler = CheckUiHandler(L, 2);
    ClaimForOwner(L, handler.Ownership(), "handler");
    owner.AddHandler(&handler);
}

void UiScene::Load(const std::string& path) {
    // Scene scripts share the one Lua state with the loading thread: hold
    // the template lock (recursive, so the loader's own hold is fine).
    std::optional<UiSceneManager::Lock> lock;
    if (UiSceneManager* manager = UiSceneManager::Instance()) lock.emplace(*manager);
    m_path = path;
    LogSourceScope source(path);
    const std::string name = FilePath(path).GetBaseName();
    ResourceManager* resources = ResourceManager::Instance();
    std::unique_ptr<IFile> file = resources ? resources->Open(name) : nullptr;
    if (!file) {
        LogMessagef("scene '%s': the file could not be opened, the scene stays empty\n", name.c_str());
        return;
    }
    std::string text;
    const bool read = ReadScriptText(*file, text);
    file->Close();
    if (!read) {
        LogMessagef("scene '%s': the file could not be read, the scene stays empty\n", name.c_str());
        return;
    }
    ScriptManager* scripts = ScriptManager::GetInstance();
    if (scripts == nullptr || !scripts->IsOpen()) {
        LogMessagef("scene '%s': no script manager, the scene stays empty\n", name.c_str());
        return;
    }
    RunSceneScript(*scripts, text, name);
}

void UiScene::RunSceneScript(ScriptManager& scripts, const std::string& text, const std::string& name) {
    // A file that does not compile, or defines no "LoadScene", must not run
    // the previous scene file's function into this scene.
    scripts.RunBuffer("LoadScene = nil", "=scene loader");
    // The chunk is named by its file ("@path"), so that Lua's own messages,
    // also those of functions the scene leaves behind and that run later
    // (button and timer handlers), say "rsc/ui/x.scn:12: ...".
    const std::string chunkName = m_path.empty() ? "=" + name : "@" + m_path;
    scripts.SetCurrentScriptName(name);
    if (!scripts.RunBuffer(text, chunkName.c_str())) return;
    PushObject(scripts.GetState(), static_cast<UiBaseImpl*>(this), kUiSceneScript);
    scripts.SetCurrentScriptName(name);
    scripts.CallGlobal("LoadScene", 1, 0);
}

}  // namespace Ostrel

LV_REFLECT_OPAQUE(Ostrel::UiBaseImpl,
                  [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiBaseImplScript); });
LV_REFLECT_CLASS(Ostrel::UiScene, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiSceneScript); });
LV_REFLECT_CLASS(Ostrel::UiNavigator,
                 [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiNavigatorScript); });
