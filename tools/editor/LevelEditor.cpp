#include "tools/editor/LevelEditor.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CameraComponent.h"
#include "engine/components/CollisionComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelGroup.h"
#include "tools/panels/TypedEntry.h"

#include <algorithm>

namespace Ostrel {

namespace {

constexpr const char* kEditorBarName = "Editor Info";
constexpr const char* kObjectBarName = "Object Info";
constexpr const char* kPaletteBarName = "Tile Palette";
constexpr const char* kLayoutFile = "leveleditor.xcfg";

// The configuration keys of each bar's layout, in the bars' order.
constexpr const char* kLayoutKeys[3][4] = {
    {"SystemBarSizeX", "SystemBarSizeY", "SystemBarPosX", "SystemBarPosY"},
    {"ObjectBarSizeX", "ObjectBarSizeY", "ObjectBarPosX", "ObjectBarPosY"},
    {"PaletteBarSizeX", "PaletteBarSizeY", "PaletteBarPosX", "PaletteBarPosY"},
};

LevelEditor& Editor(void* client) { return *static_cast<LevelEditor*>(client); }

// A text entered into one of the editor's fields that names nothing: the
// field says why under itself, the status line and the log too, quoting the
// text (its start when it is long).
void RefuseText(PanelBar* bar, const char* group, const char* name, const std::string& why) {
    if (PanelModel* model = PanelModel::Current()) model->RefuseEntry(bar, group, name, why);
}

void SerializeLayout(Serializer& serializer, std::array<LevelEditor::BarLayout, 3>& layout) {
    SerializeBarLayouts(serializer, layout.data(), kLayoutKeys, layout.size());
}

}  // namespace

LevelEditor::LevelEditor() {
    m_layout[kObjectBar].posX = 320;
    m_layout[kPaletteBar].posX = 630;
}

LevelEditor::LevelEditor(const LevelEditor& other)
    : System(),
      m_loadName(other.m_loadName),
      m_saveName(other.m_saveName),
      m_layout(other.m_layout),
      m_cloneCount(other.m_cloneCount),
      m_cloneOffset(other.m_cloneOffset),
      m_showDebug(other.m_showDebug),
      m_moveStep(other.m_moveStep) {}

LevelEditor::~LevelEditor() {
    m_subscriptions.Clear();
    // Bars left by a run that never shut down: their entries point in here.
    DeleteBars();
}

Engine* LevelEditor::RunningEngine() const { return m_engine ? m_engine : Engine::Instance(); }

CoreSystem* LevelEditor::Core() const {
    Engine* engine = RunningEngine();
    return engine ? engine->GetCoreSystem() : nullptr;
}

ObjectManager* LevelEditor::Objects() const {
    Engine* engine = RunningEngine();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

// ---- configuration and layout ----------------------------------------------

// The shipped default (rsc/), then the user's own layout over it.
void LevelEditor::LoadConfig(Serializer* config) {
    auto read = [this](Serializer& from) {
        SerializeLayout(from, m_layout);
        from.SerializeString("LoadingFrom", &m_loadName);
    };
    if (config) read(*config);
    ReadUserLayout(GetName(), kLayoutFile, read);
}

std::string LevelEditor::LayoutPath() const { return ToolLayoutPath(kLayoutFile); }

bool LevelEditor::SaveLayout() {
    SerializerXML writer(false);
    std::string block = GetName();
    writer.SerializeBlock(block);
    SerializeLayout(writer, m_layout);
    writer.SerializeString("LoadingFrom", &m_loadName);
    writer.SerializeString("SavingTo", &m_saveName);
    std::string end = "EOF";
    writer.SerializeBlock(end);
    const std::string path = LayoutPath();
    if (!writer.SaveFile(path)) return false;  // logged by the writer
    return true;
}

void LevelEditor::ReadLayoutBack() {
    PanelBar* bars[3] = {m_editorBar, m_objectBar, m_paletteBar};
    for (int i = 0; i < 3; ++i) ReadBarPlace(bars[i], m_layout[i]);
}

// ---- lifecycle --------------------------------------------------------------

void LevelEditor::Initialize() {
    m_archetypes.clear();
    if (CompositionFactory* factory = CompositionFactory::Instance()) m_archetypes = factory->GetArchetypeNames();
    // The editor's own camera is no room object: the picker never offers it.
    std::erase(m_archetypes, std::string(kCameraArchetype));
    m_keys.fill(false);
    Connect();
    // With no archetypes at all the text stays empty.
    m_selectedArchetype = m_archetypeIndex < m_archetypes.size() ? m_archetypes[m_archetypeIndex] : std::string();

    m_palettes.clear();
    m_tiles.clear();
    if (PaletteRegistry* palettes = PaletteRegistry::Instance()) palettes->ListPalettes(m_palettes);
    if (!m_palettes.empty() && m_palettes.front()) m_tiles = m_palettes.front()->tileNames;
    MakeBars();
    m_firstUpdate = true;
}

// The three bars at their layout, filled ("Object Info" with the selection).
void LevelEditor::MakeBars() {
    DeleteBars();
    m_editorBar = TwNewBar(kEditorBarName);
    m_objectBar = TwNewBar(kObjectBarName);
    m_paletteBar = TwNewBar(kPaletteBarName);

    TwDefine(" GLOBAL contained=true");
    TwDefine("'Editor Info' color='200 200 200' text=dark ");
    TwDefine("'Object Info' color='250 50 50' text=light ");
    TwDefine("'Tile Palette' color='50 50 250' text=light ");

    PanelBar* bars[3] = {m_editorBar, m_objectBar, m_paletteBar};
    for (int i = 0; i < 3; ++i) {
        const s32 size[2] = {m_layout[i].sizeX, m_layout[i].sizeY};
        const s32 position[2] = {m_layout[i].posX, m_layout[i].posY};
        TwSetParam(bars[i], nullptr, "size", PanelParamType::Int32, 2, size);
        TwSetParam(bars[i], nullptr, "position", PanelParamType::Int32, 2, position);
    }

    FillEditorBar();
    FillPaletteBar();
    FillObjectBar();
}

void LevelEditor::Shutdown() {
    Disconnect();
    if (m_editorBar) ReadLayoutBack();  // hidden while testing: kept as they were
    SaveLayout();
    DeleteBars();
}

void LevelEditor::DeleteBars() {
    for (PanelBar** bar : {&m_editorBar, &m_objectBar, &m_paletteBar}) {
        if (*bar) TwDeleteBar(*bar);
        *bar = nullptr;
    }
}

void LevelEditor::Connect() {
    if (!m_subscriptions.Empty()) return;
    m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &LevelEditor::OnKeyTriggered));
    m_subscriptions.Listen("MouseMoved", MakeDelegate(this, &LevelEditor::OnMouseMoved));
    m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &LevelEditor::OnObjectCreated));
    m_subscriptions.Listen("ObjectDestroyed", MakeDelegate(this, &LevelEditor::OnObjectDestroyed));
    m_subscriptions.Listen("TransformUpdated", MakeDelegate(this, &LevelEditor::OnTransformUpdated));
    m_subscriptions.Listen("SetFocus", MakeDelegate(this, &LevelEditor::OnSetFocus));
    m_subscriptions.Listen("BackToEditor", MakeDelegate(this, &LevelEditor::OnBackToEditor));
    m_subscriptions.Listen("StateReturn", MakeDelegate(this, &LevelEditor::OnStateReturn));
}

void LevelEditor::Disconnect() { m_subscriptions.Clear(); }

// ---- the frame --------------------------------------------------------------

void LevelEditor::Update(f32 /*dt*/) {
    if (m_testing) {
        // The game has the world; the editor waits to be called back.
        if (m_restorePending) ReturnFromTest();
        return;
    }
    if (m_firstUpdate) FirstUpdate();
    SnapArchetypeText();
    TwRefreshBar(m_objectBar);
    TwRefreshBar(m_editorBar);
    // Room loading and object creation are requested by keys and buttons
    // and carried out here, outside any panel callback.
    if (m_loadRequested) {
        m_loadRequested = false;
        LoadLevel();
    }
    if (m_createRequested) {
        m_createRequested = false;
        CreateNewObject();
    }
    if (!m_archetypes.empty() && m_archetypeIndex >= m_archetypes.size()) {
        m_archetypeIndex = u32(m_archetypes.size() - 1);
    }
    if (m_showDebug) DrawBoundsEntries();
}

void LevelEditor::FirstUpdate() {
    m_firstUpdate = false;
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (core) core->Send("GamePaused");
    if (engine) engine->SetPaused(true);
    CreateCamera();
    if (core) {
        core->SendMessageBool("ShowScaffolding", true);
        core->SendMessageBool("ShowDebugUpdated", m_showDebug);
    }
    FillEditorBar();
}

void LevelEditor::CreateCamera() {
    if (ObjectManager* objects = Objects()) m_cameraId = objects->CreateObject(kCameraArchetype, nullptr);
    if (m_cameraId == 0) {
        LogMessage(std::string("LevelEditor: the archetype '") + kCameraArchetype +
                   "' could not be made; no editor camera\n");
        return;
    }
    // The renderer takes the first camera made while it has none. After a
    // test the game's camera goes only after this one is made, and a loaded
    // room's camera spawner would then take the view (and lose it to black
    // on the next load): the editor names its camera instead.
    if (CoreSystem* core = Core()) core->SendMessageUInt("CameraChange", m_cameraId);
}

// Every camera that starts tells the renderer where it stands and looks, so
// a room's camera (the game's camera spawner) made by a Load, a return from
// a test or "Create New" would move the view away from where the designer
// flew: the editor's camera tells it again.
void LevelEditor::ClaimView() {
    Composition* object = ObjectHandle(m_cameraId).GetObject();
    CameraComponent* camera = object ? object->GetComponentAs<CameraComponent>() : nullptr;
    if (!camera) return;
    const Vec3 at = camera->GetPosition();
    camera->SetPositionKeepLookAt(at.x, at.y, at.z);
}

void LevelEditor::SnapArchetypeText() {
    if (m_archetypes.empty() || m_archetypeIndex >= m_archetypes.size()) return;
    if (m_selectedArchetype == m_archetypes[m_archetypeIndex]) return;
    auto it = std::find(m_archetypes.begin(), m_archetypes.end(), m_selectedArchetype);
    const std::string typed = m_selectedArchetype;
    if (it != m_archetypes.end()) m_archetypeIndex = u32(it - m_archetypes.begin());
    m_selectedArchetype = m_archetypes[m_archetypeIndex];
    if (it == m_archetypes.end())
        RefuseText(m_editorBar, "Object Creation", "Selected Archetype", QuotedEntry(typed) + " names no archetype");
}

void LevelEditor::DrawBoundsEntries() const {
    for (const BoundsEntry& entry : m_boundsEntries) {
        const Vec4 position = ObjectHandle(entry.id).GetPosition();
        DrawDebugVolume(entry.volume, position.x, position.y, position.z, 0.0f, 1.0f, 1.0f);
    }
}

// ---- messages ---------------------------------------------------------------

void LevelEditor::OnSetFocus() { m_keys.fill(false); }

void LevelEditor::OnObjectCreated(u32 id) {
    if (m_testing || id == 0 || id == m_cameraId) return;
    if (std::find(m_objects.begin(), m_objects.end(), id) != m_objects.end()) return;
    m_objects.push_back(id);
    if (m_objects.size() == 1) {
        m_listCursor = 0;
        SelectNextObject();
    }
    ObjectHandle handle(id);
    Composition* object = handle.GetObject();
    if (!object) return;
    if (object->GetComponentAs<CameraComponent>()) ClaimView();
    if (object->GetComponentAs<CollisionComponent>()) {
        m_collisionPicks.push_back(id);
        return;
    }
    BoundsEntry entry;
    entry.id = id;
    if (FitVolumeToMesh(id, entry.volume, nullptr, 0, true)) m_boundsEntries.push_back(entry);
}

void LevelEditor::OnObjectDestroyed(u32 id) {
    if (id == 0) return;
    if (id == m_cameraId) {
        // The camera's fields leave "Editor Info" before the camera goes.
        m_cameraId = 0;
        FillEditorBar();
        return;
    }
    if (id == m_selected) {
        auto it = std::find(m_objects.begin(), m_objects.end(), id);
        if (it == m_objects.end() || m_objects.size() < 2) {
            m_listCursor = 0;
            SelectObject(0);
        } else {
            SelectNextObject();
        }
    }
    RemoveFromObjectList(id);
    RemoveFromPickLists(id);
}

void LevelEditor::RemoveFromObjectList(u32 id) {
    auto it = std::find(m_objects.begin(), m_objects.end(), id);
    if (it == m_objects.end()) return;
    m_objects.erase(it);
    // The cursor stays on the selection, or within the list.
    auto selected = std::find(m_objects.begin(), m_objects.end(), m_selected);
    if (m_selected != 0 && selected != m_objects.end()) {
        m_listCursor = size_t(selected - m_objects.begin());
    } else if (m_listCursor >= m_objects.size()) {
        m_listCursor = 0;
    }
}

void LevelEditor::RemoveFromPickLists(u32 id) {
    m_collisionPicks.erase(std::remove(m_collisionPicks.begin(), m_collisionPicks.end(), id), m_collisionPicks.end());
    m_boundsEntries.erase(std::remove_if(m_boundsEntries.begin(), m_boundsEntries.end(),
                                         [id](const BoundsEntry& entry) { return entry.id == id; }),
                          m_boundsEntries.end());
    if (m_boundsCursor >= m_boundsEntries.size()) m_boundsCursor = 0;
}

void LevelEditor::OnTransformUpdated(u32 id) {
    for (BoundsEntry& entry : m_boundsEntries) {
        if (entry.id != id) continue;
        if (ObjectHandle(id).GetObject()) FitVolumeToMesh(id, entry.volume, nullptr, 0, true);
        return;
    }
}

// ---- selection and panels ---------------------------------------------------

void LevelEditor::SetShowDebug(bool show) {
    m_showDebug = show;
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    if (CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr) core->SendMessageBool("ShowDebugUpdated", show);
}

void LevelEditor::FillEditorBar() {
    if (!m_editorBar) return;
    TwRemoveAllVars(m_editorBar);
    PanelGroup group(m_editorBar);
    group.BeginGroup("I/O");
    group.AddButton("New Level", &LevelEditor::NewLevelButton, this);
    TwAddSeparator(m_editorBar, "NewLevelSeparator", "group='I/O'");
    TwAddVarRW(m_editorBar, "Loading From", PanelType::StdString, &m_loadName, " group='I/O'");
    group.AddButton("Load Level", &LevelEditor::LoadLevelButton, this);
    TwAddSeparator(m_editorBar, "Separator 1", "group='I/O'");
    TwAddVarRW(m_editorBar, "Saving To", PanelType::StdString, &m_saveName, " group='I/O'");
    group.AddButton("Save Level", &LevelEditor::SaveLevelButton, this);
    TwAddVarRW(m_editorBar, "Difficulty", PanelType::Int32, &m_difficulty, " group='I/O'");
    TwAddSeparator(m_editorBar, "EndI/O", "");
    group.BeginGroup("");
    group.AddButton("Test Level", &LevelEditor::TestLevelButton, this);
    TwAddSeparator(m_editorBar, "BeginObjectCreation", "");
    group.BeginGroup("Object Creation");
    TwAddVarRW(m_editorBar, "Selected Archetype", PanelType::StdString, &m_selectedArchetype,
               " group='Object Creation'");
    group.AddButton("Create New", &LevelEditor::CreateNewButton, this);
    TwAddSeparator(m_editorBar, "Separator 3", "group='Object Creation'");
    group.BeginGroup("Object Creation");
    group.AddButton("Clone Selected", &LevelEditor::CloneSelectedButton, this);
    TwAddVarRW(m_editorBar, "Number of Clones", PanelType::UInt32, &m_cloneCount, " group='Clone Settings'");
    TwAddVarRW(m_editorBar, "ClonePositionModX", PanelType::Float, &m_cloneOffset.x, " group='Clone Settings'");
    TwAddVarRW(m_editorBar, "ClonePositionModY", PanelType::Float, &m_cloneOffset.y, " group='Clone Settings'");
    TwAddVarRW(m_editorBar, "ClonePositionModZ", PanelType::Float, &m_cloneOffset.z, " group='Clone Settings'");
    TwDefine("'Editor Info'/'Clone Settings' group='Object Creation' opened=false");
    TwAddSeparator(m_editorBar, "EndObjectCreation", "");
    group.BeginGroup("");
    group.AddCallbackVar("Total Objects", 1, nullptr, &LevelEditor::GetTotalObjects, this);
    group.AddCallbackVar("Show Debug", 2, &LevelEditor::SetShowDebugCallback, &LevelEditor::GetShowDebugCallback,
                         this);
    TwAddSeparator(m_editorBar, "Separator 5", "");
    if (Composition* camera = ObjectHandle(m_cameraId).GetObject()) camera->ExposeProperties(&group);
}

void LevelEditor::FillObjectBar() {
    if (!m_objectBar) return;
    TwRemoveAllVars(m_objectBar);
    Composition* object = ObjectHandle(m_selected).GetObject();
    if (!object) return;
    m_selectedName = object->GetName();
    TwAddVarRO(m_objectBar, "ObjectName", PanelType::StdString, &m_selectedName);
    PanelGroup group(m_objectBar);
    object->ExposeProperties(&group);
    const std::string palette = ObjectHandle(m_selected).GetTilePaletteName();
    if (!palette.empty()) SelectPaletteByName(palette);
}

void LevelEditor::FillPaletteBar() {
    if (!m_paletteBar) return;
    TwRemoveAllVars(m_paletteBar);
    PanelGroup group(m_paletteBar);
    group.AddCallbackVar("Palette Brush", 2, &LevelEditor::SetPaletteBrushCallback,
                         &LevelEditor::GetPaletteBrushCallback, this);
    group.AddCallbackVar("Floor Brush", 2, &LevelEditor::SetFloorBrushCallback, &LevelEditor::GetFloorBrushCallback,
                         this);
    group.BeginGroup("Palette");
    group.AddCallbackVar("Floor Palette", 4, &LevelEditor::SetFloorPaletteCallback,
                         &LevelEditor::GetFloorPaletteCallback, this);
    group.AddButton("Next Palette", &LevelEditor::NextPaletteButton, this);
    group.AddButton("Prev Palette", &LevelEditor::PrevPaletteButton, this);
    group.AddCallbackVar("Floor Tile", 4, &LevelEditor::SetFloorTileCallback, &LevelEditor::GetFloorTileCallback,
                         this);
    group.AddButton("Next Floor Tile", &LevelEditor::NextFloorTileButton, this);
    group.AddButton("Prev Floor Tile", &LevelEditor::PrevFloorTileButton, this);
}

// ---- panel callbacks --------------------------------------------------------

void LevelEditor::NewLevelButton(void* editor) {
    Editor(editor).DestroyAllObjects();
    Editor(editor).m_difficulty = 0;
}
void LevelEditor::LoadLevelButton(void* editor) { Editor(editor).LoadLevel(); }
void LevelEditor::SaveLevelButton(void* editor) { Editor(editor).SaveLevel(); }
void LevelEditor::TestLevelButton(void* editor) { Editor(editor).TestLevel(); }
void LevelEditor::CreateNewButton(void* editor) { Editor(editor).CreateNewObject(); }
void LevelEditor::CloneSelectedButton(void* editor) { Editor(editor).CloneSelected(); }

void LevelEditor::GetTotalObjects(void* value, void* editor) {
    *static_cast<u32*>(value) = u32(Editor(editor).m_objects.size());
}

void LevelEditor::SetShowDebugCallback(const void* value, void* editor) {
    Editor(editor).SetShowDebug(*static_cast<const bool*>(value));
}

void LevelEditor::GetShowDebugCallback(void* value, void* editor) {
    *static_cast<bool*>(value) = Editor(editor).m_showDebug;
}

void LevelEditor::SetPaletteBrushCallback(const void* value, void* editor) {
    Editor(editor).m_brushMode = *static_cast<const bool*>(value) ? kPaletteBrush : kNoBrush;
}

void LevelEditor::GetPaletteBrushCallback(void* value, void* editor) {
    *static_cast<bool*>(value) = Editor(editor).m_brushMode == kPaletteBrush;
}

void LevelEditor::SetFloorBrushCallback(const void* value, void* editor) {
    Editor(editor).m_brushMode = *static_cast<const bool*>(value) ? kFloorBrush : kNoBrush;
}

void LevelEditor::GetFloorBrushCallback(void* value, void* editor) {
    *static_cast<bool*>(value) = Editor(editor).m_brushMode == kFloorBrush;
}

void LevelEditor::SetFloorPaletteCallback(const void* value, void* editor) {
    const std::string& text = *static_cast<const std::string*>(value);
    if (!Editor(editor).SelectPaletteByName(text))
        RefuseText(Editor(editor).m_paletteBar, "Palette", "Floor Palette",
                   QuotedEntry(text) + " begins no palette's name");
}

void LevelEditor::GetFloorPaletteCallback(void* value, void* editor) {
    TwCopyStdStringToLibrary(*static_cast<std::string*>(value), Editor(editor).GetPaletteName());
}

void LevelEditor::SetFloorTileCallback(const void* value, void* editor) {
    const std::string& text = *static_cast<const std::string*>(value);
    if (!Editor(editor).SelectFloorTileByName(text))
        RefuseText(Editor(editor).m_paletteBar, "Palette", "Floor Tile", QuotedEntry(text) + " begins no tile's name");
}

void LevelEditor::GetFloorTileCallback(void* value, void* editor) {
    TwCopyStdStringToLibrary(*static_cast<std::string*>(value), Editor(editor).GetFloorTileName());
}

void LevelEditor::NextPaletteButton(void* editor) { Editor(editor).NextPalette(); }
void LevelEditor::PrevPaletteButton(void* editor) { Editor(editor).PreviousPalette(); }
void LevelEditor::NextFloorTileButton(void* editor) { Editor(editor).NextFloorTile(); }
void LevelEditor::PrevFloorTileButton(void* editor) { Editor(editor).PreviousFloorTile(); }

}  // namespace Ostrel
