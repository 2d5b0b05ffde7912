#pragma once
// The room editor ("-l"): a system added just before GameSystem that pauses
// the world, makes the free-flying editor camera, keeps its own list of the
// room's objects with a selection, and shows three panels:
//   "Editor Info"  - room input and output, object creation and clone
//                    settings, the object count, the show-debug switch and
//                    the camera's fields;
//   "Object Info"  - the selected object's archetype name and its
//                    components' fields, refilled on every change of the
//                    selection (to none included), so the panel never holds
//                    pointers into an object that is gone;
//   "Tile Palette" - the tile brush's panel.
// Objects without a collider get a volume fitted to their mesh, drawn every
// frame while show-debug is on, and refitted when their transform changes.
//
// The camera is never listed, counted or selected. Its destruction (real or
// announced twice) takes its fields out of "Editor Info"; every removal
// handler is safe to run twice for one id.
//
// The panel layout (each bar's size and position) comes from the
// configuration "LevelEditor" and is written back at shutdown, as the bars
// are then on screen, to that file, or to "leveleditor.xcfg" in the data
// root when there is none. Missing keys keep the defaults: 300 x 400 at
// (10, 10), (320, 10) and (630, 10).
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/BoundingVolume.h"
#include "engine/core/System.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "tools/panels/BarLayout.h"

#include <array>
#include <string>
#include <vector>

namespace Ostrel {

class ObjectManager;
class Serializer;
struct PanelBar;
class TilePaletteRecord;

class LevelEditor : public System {
public:
    static constexpr u32 kId = FourCC("LVED");
    static constexpr int kKeyCount = 256;

    // One bar's place on screen, in pixels.
    using BarLayout = Ostrel::BarLayout;
    // An object without a collider and the volume fitted to its mesh.
    struct BoundsEntry {
        u32 id = 0;
        BoundingVolume volume;
    };

    LevelEditor();
    ~LevelEditor() override;

    void Update(f32 dt) override;
    void Initialize() override;
    void LoadConfig(Serializer* config) override;
    std::string GetName() const override { return "LevelEditor"; }
    u32 GetId() const override { return kId; }
    void Shutdown() override;

    // Message handlers (global).
    void OnKeyTriggered(int key, bool pressed);
    void OnMouseMoved(int mode, int x, int y);
    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    void OnTransformUpdated(u32 id);
    void OnSetFocus();

    // Makes id (0: none) the selection and refills "Object Info".
    void Select(u32 id);
    // The show-debug flag; setting it sends "ShowDebugUpdated".
    void SetShowDebug(bool show);
    bool GetShowDebug() const { return m_showDebug; }

    // Writes the layout and names to the layout file (see the top); false
    // when it could not be written (logged).
    bool SaveLayout();
    // Where SaveLayout writes.
    std::string LayoutPath() const;

    u32 GetCameraId() const { return m_cameraId; }
    u32 GetSelection() const { return m_selected; }
    const std::vector<u32>& GetObjectList() const { return m_objects; }
    const std::vector<u32>& GetCollisionPicks() const { return m_collisionPicks; }
    const std::vector<BoundsEntry>& GetBoundsEntries() const { return m_boundsEntries; }
    const std::vector<std::string>& GetArchetypeNames() const { return m_archetypes; }
    u32 GetArchetypeIndex() const { return m_archetypeIndex; }
    const std::string& GetSelectedArchetype() const { return m_selectedArchetype; }
    const std::string& GetLoadName() const { return m_loadName; }
    const std::string& GetSaveName() const { return m_saveName; }
    bool IsKeyDown(int key) const { return key >= 0 && key < kKeyCount && m_keys[key]; }
    const std::array<BarLayout, 3>& GetLayout() const { return m_layout; }
    PanelBar* EditorBar() const { return m_editorBar; }
    PanelBar* ObjectBar() const { return m_objectBar; }
    PanelBar* PaletteBar() const { return m_paletteBar; }

private:
    enum BarIndex { kEditorBar = 0, kObjectBar = 1, kPaletteBar = 2 };

    ObjectManager* Objects() const;
    void Connect();
    void Disconnect();
    void FirstUpdate();
    void SnapArchetypeText();
    void DrawBoundsEntries() const;
    void FillEditorBar();
    void FillObjectBar();
    void FillPaletteBar();
    void ReadLayoutBack();
    void DeleteBars();
    void RemoveFromPickLists(u32 id);
    void ButtonNotReady(const char* name) const;

    static void NewLevelButton(void* editor);
    static void LoadLevelButton(void* editor);
    static void SaveLevelButton(void* editor);
    static void TestLevelButton(void* editor);
    static void CreateNewButton(void* editor);
    static void CloneSelectedButton(void* editor);
    static void GetTotalObjects(void* value, void* editor);
    static void SetShowDebugCallback(const void* value, void* editor);
    static void GetShowDebugCallback(void* value, void* editor);

    std::string m_loadName = "Untitled";
    std::string m_saveName = "Untitled";
    bool m_loadRequested = false;
    bool m_createRequested = false;
    bool m_firstUpdate = false;
    u32 m_cameraId = 0;
    std::vector<u32> m_objects;
    size_t m_listCursor = 0;
    std::vector<std::string> m_archetypes;
    u32 m_archetypeIndex = 0;
    std::string m_selectedArchetype;
    u32 m_selected = 0;
    std::string m_selectedName;  // "ObjectName" of "Object Info" reads this copy
    std::vector<u32> m_collisionPicks;
    std::vector<BoundsEntry> m_boundsEntries;
    size_t m_boundsCursor = 0;
    PanelBar* m_editorBar = nullptr;
    PanelBar* m_objectBar = nullptr;
    PanelBar* m_paletteBar = nullptr;
    std::array<BarLayout, 3> m_layout;
    u32 m_cloneCount = 1;
    Vec3 m_cloneOffset{0.0f, 0.0f, 0.0f};
    bool m_showDebug = true;
    f32 m_moveStep = 1.0f;
    std::array<s32, 2> m_cursor{0, 0};
    std::array<s32, 2> m_pressCursor{0, 0};
    std::array<bool, kKeyCount> m_keys{};
    std::vector<TilePaletteRecord*> m_palettes;
    u32 m_paletteIndex = 0;
    std::vector<std::string> m_tiles;
    u32 m_floorTileIndex = 0;
    int m_brushMode = 0;
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel
