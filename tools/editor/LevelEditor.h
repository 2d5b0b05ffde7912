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
// Commands (LevelEditorCommands.cpp): keys move, turn and scale the
// selection in fixed steps, create, clone and delete objects, cycle the
// archetypes and the selection, pause and resume the world. A left click
// (press and release within 3 pixels) picks through the renderer's inverse
// screen, projection and view matrices; clicking the selection again paints
// it with the tile brush (LevelEditorPicking.cpp). The room commands
// (LevelEditorRooms.cpp) start over, save, load and test-play the room.
//
// The selection changes only through SelectObject or ClearSelection, which
// both refill "Object Info", so the panel never points into a destroyed
// object; the list cursor always sits on the selection when there is one.
//
// The camera is never listed, counted or selected. Its destruction (real or
// announced twice) takes its fields out of "Editor Info"; every removal
// handler is safe to run twice for one id.
//
// The panel layout (each bar's size and position) comes from the
// configuration "LevelEditor" (the shipped default in rsc/), then from the
// user's own "leveleditor.xcfg" in the per-user folder, and is written back
// there at shutdown as the bars are then on screen; the game's data folder
// is never written. Missing keys keep the defaults: 300 x 400 at (10, 10),
// (320, 10) and (630, 10).
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/BoundingVolume.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"
#include "engine/platform/SubscriptionList.h"
#include "tools/panels/BarLayout.h"

#include <array>
#include <string>
#include <vector>

namespace Ostrel {

class Composition;
class CoreSystem;
class Engine;
class ObjectManager;
class Serializer;
struct PanelBar;
class TilePaletteRecord;

class LevelEditor : public System {
public:
    static constexpr u32 kId = FourCC("LVED");
    static constexpr int kKeyCount = 256;
    // The archetype of the editor's free-flying camera. It is never offered
    // by the archetype picker, and a room file holding one loads without it.
    static constexpr const char* kCameraArchetype = "DefaultCamera";

    // One bar's place on screen, in pixels.
    using BarLayout = Ostrel::BarLayout;
    // An object without a collider and the volume fitted to its mesh.
    struct BoundsEntry {
        u32 id = 0;
        BoundingVolume volume;
    };

    LevelEditor();
    // A copy (through the meta class) carries the editor's settings: panel
    // layout, load and save names, clone count and offset, move step and the
    // debug switch. Nothing of a running editor comes along: no objects,
    // camera, selection, bars, palettes or subscriptions.
    LevelEditor(const LevelEditor& other);
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

    // A pick hit: the distance along the pick ray (comparable between
    // objects, whatever their scale) and the object.
    struct PickHit {
        f32 distance = 0.0f;
        u32 id = 0;
    };
    enum BrushMode { kNoBrush = 0, kPaletteBrush = 1, kFloorBrush = 2 };

    // Makes id the selection (0 or an unlisted id: none): the old one loses
    // its highlight, the new one is highlighted in magenta, "Object Info" is
    // refilled and the list cursor moves to it. Nothing when id is selected.
    void SelectObject(u32 id);
    void SelectNextObject();
    void SelectPreviousObject();
    // Requests the selection's destruction, drops it from the lists and
    // selects the object after it (none when it was the last one listed).
    void DeleteSelected(bool pressed);
    // An object of the selected archetype, listed and selected at once.
    void CreateNewObject();
    // "Number of Clones" copies of the selection, the i-th moved by i times
    // the clone offset; the last one is selected (none for 0 copies), and
    // the settings go back to 1 and (0, 0, 0). A number the object tables
    // cannot hold beside the live objects makes no copy: the log and the
    // status line say how many would fit, and the settings stay.
    void CloneSelected();
    void NextArchetype(bool pressed);
    void PreviousArchetype(bool pressed);
    // Button 0 picks at window pixel (x, y); other buttons do nothing.
    void Pick(int button, int x, int y);
    // The hits of the ray, nearest first.
    std::vector<PickHit> FindHits(const Vec4& origin, const Vec4& direction) const;
    // The pick ray through window pixel (x, y): from the camera object's
    // position, unit direction. False without the renderer's matrices or a
    // usable direction.
    bool MakePickRay(int x, int y, Vec4& origin, Vec4& direction) const;
    // The selection's tile map set to the starting pattern (row 0, and row 2
    // of a map 3 high, of tile 13; "ground-tiles" when it names no palette).
    void ResetTileMap();

    // The tile brush.
    void NextPalette();
    void PreviousPalette();
    // The palette sharing the longest beginning with text (at least one
    // character; the earlier on equal length) becomes current; false when
    // no palette shares a first character (nothing changes). Likewise the
    // floor tile.
    bool SelectPaletteByName(const std::string& text);
    void NextFloorTile();
    void PreviousFloorTile();
    bool SelectFloorTileByName(const std::string& text);
    std::string GetPaletteName() const;
    std::string GetFloorTileName() const;
    int GetBrushMode() const { return m_brushMode; }
    u32 GetPaletteIndex() const { return m_paletteIndex; }
    u32 GetFloorTileIndex() const { return m_floorTileIndex; }

    // Rooms. "New Level": every listed object is destroyed (at the object
    // manager's next update) and the list emptied.
    void DestroyAllObjects();
    // Writes the listed objects that carry the room-save flag (never what
    // game code made at run time) and the room's difficulty to the room
    // file of the save name; false
    // when nothing was written (logged and on the status line; an earlier
    // file stays as it was), also for a name that other game data holds.
    bool SaveLevel();
    // Replaces the listed objects by those of the room of the load name,
    // once that room has been read whole. False when it could not be (no
    // such room, not a room file, unreadable or malformed): logged and shown
    // on the status line, and the room being edited stays as it was. A room
    // file that appeared in the rooms folder after the start is found; the
    // archetypes of objects left out (unknown to the game) are on the status
    // line.
    bool LoadLevel();
    // Hands the load name to the game system to play; when it takes the
    // room, the editor keeps a copy of its room and camera, pushes
    // "GamePlay", shows the game's HUD, hides its panels and gives up its
    // objects and camera. False (logged and on the status line, nothing
    // changed) when the room is refused.
    bool TestLevel();
    // "BackToEditor" (the pause menu's button while a room is tested): ends
    // the play ("GameEnding") and pops "GamePlay"; when the editor's state
    // returns, the UI goes back to the editor's scene and the editor's next
    // update calls ReturnFromTest.
    void OnBackToEditor();
    void OnStateReturn();
    // The editor as it was before the test: the world paused, the camera
    // where it was, the room's objects as they were (not as the play left
    // them), the panels and the show-debug flag.
    void ReturnFromTest();
    bool IsTesting() const { return m_testing; }
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
    void SetLoadName(const std::string& name) { m_loadName = name; }
    void SetSaveName(const std::string& name) { m_saveName = name; }
    // The room's "Difficulty" attribute: taken from a loaded room, 0 after
    // "New Level", edited as "Difficulty", written by SaveLevel.
    s32 GetDifficulty() const { return m_difficulty; }
    u32 GetCloneCount() const { return m_cloneCount; }
    const Vec3& GetCloneOffset() const { return m_cloneOffset; }
    f32 GetMoveStep() const { return m_moveStep; }
    size_t GetListCursor() const { return m_listCursor; }
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
    void RemoveFromObjectList(u32 id);
    // The selection becomes none without touching the old one's highlight.
    void ClearSelection();
    void SetHighlight(u32 id, bool on) const;
    void MoveSelection(int key);
    bool ActOnCommandKey(int key, bool pressed);
    void ApplyBrush(const Vec4& origin, const Vec4& direction, f32 distance);
    void MakeBars();
    // A Load that did not happen: logged and shown with its reason.
    bool RefuseLoad(const std::string& why);
    // The listed objects that belong to the room, in list order.
    std::vector<Composition*> RoomObjects() const;
    // The room as a room file's text, for ReturnFromTest.
    std::string RoomSnapshot() const;
    void RestoreRoom(const std::string& snapshot);
    // Makes the editor's camera and makes it the view ("CameraChange"), so
    // that no camera of the room (the game's camera spawner) takes the view
    // when the renderer loses its camera.
    void CreateCamera();
    void RestoreCameraPose();
    // The editor's camera announces its pose again, taking the view back
    // from a room's camera that has just started.
    void ClaimView();
    void UsePalette(u32 index);
    CoreSystem* Core() const;
    Engine* RunningEngine() const;

    static void NewLevelButton(void* editor);
    static void LoadLevelButton(void* editor);
    static void SaveLevelButton(void* editor);
    static void TestLevelButton(void* editor);
    static void CreateNewButton(void* editor);
    static void CloneSelectedButton(void* editor);
    static void GetTotalObjects(void* value, void* editor);
    static void SetShowDebugCallback(const void* value, void* editor);
    static void GetShowDebugCallback(void* value, void* editor);
    static void SetPaletteBrushCallback(const void* value, void* editor);
    static void GetPaletteBrushCallback(void* value, void* editor);
    static void SetFloorBrushCallback(const void* value, void* editor);
    static void GetFloorBrushCallback(void* value, void* editor);
    static void SetFloorPaletteCallback(const void* value, void* editor);
    static void GetFloorPaletteCallback(void* value, void* editor);
    static void SetFloorTileCallback(const void* value, void* editor);
    static void GetFloorTileCallback(void* value, void* editor);
    static void NextPaletteButton(void* editor);
    static void PrevPaletteButton(void* editor);
    static void NextFloorTileButton(void* editor);
    static void PrevFloorTileButton(void* editor);

    std::string m_loadName = "Untitled";
    std::string m_saveName = "Untitled";
    s32 m_difficulty = 0;
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
    // Test Level and back.
    bool m_testing = false;
    bool m_returnPending = false;
    bool m_restorePending = false;
    bool m_showDebugBeforeTest = true;
    std::string m_testSnapshot;
    // The camera's pose when Test Level was pressed: where it stands, where
    // it looks (its camera's look-at point) and its transform's rotation.
    bool m_hasCameraPose = false;
    Vec3 m_cameraPosition{0.0f, 0.0f, 0.0f};
    Vec3 m_cameraLookAt{0.0f, 0.0f, 1.0f};
    Vec3 m_cameraRotation{0.0f, 0.0f, 0.0f};
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::LevelEditor);
