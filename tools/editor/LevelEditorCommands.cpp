// The level editor's keys and the commands behind them: selection,
// deleting, creating, cloning, archetype cycling and the fixed-step moves.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Log.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelStatus.h"

#include <algorithm>

namespace Ostrel {

namespace {

// Windows virtual-key codes of the editor's keys.
enum Key : int {
    kMouseLeft = 1,
    kMouseRight = 2,
    kMouseMiddle = 4,
    kKeyCtrl = 17,
    kKeyDelete = 46,
    kKeyC = 67,
    kKeyO = 79,
    kKeyP = 80,
    kKeyR = 82,
    kKeyV = 86,
    kKeyX = 88,
    kKeyZ = 90,
    kKeyF5 = 116,
    kKeyF6 = 117,
    kKeyF7 = 118,
    kKeySemicolon = 186,
    kKeyLeftBracket = 219,
    kKeyRightBracket = 221,
};

// A click is a press and release at most 3 pixels apart.
constexpr int kClickSlopSquared = 9;
constexpr f32 kTurnStep = 90.0f;

// A clone count that the object tables cannot hold beside the live objects,
// logged and on the status line with how many copies would fit.
void RefuseClones(const std::string& name, u32 count, u64 room) {
    const std::string asked = count == 1 ? "1 copy" : std::to_string(count) + " copies";
    const std::string left = std::to_string(room) + " more";
    LogMessage("LevelEditor: no copy of '" + name + "' made: " + asked + " asked for, the object tables hold room for " +
               left + " beside the live objects\n");
    ShowPanelStatus("Clone: " + asked + " of '" + name + "' not made: " +
                    (room == 0 ? std::string("the object tables are full") : "the object tables hold room for " + left));
}

// What a transform key changes: one axis of the position, rotation or
// scale, by sign times the move step (position, scale) or 90 degrees.
struct TransformKey {
    int key;
    enum Field { kPosition, kRotation, kScale } field;
    int axis;  // 0 x, 1 y, 2 z
    f32 sign;
};

constexpr TransformKey kTransformKeys[] = {
    {97, TransformKey::kPosition, 1, -1.0f},   // numpad 1
    {99, TransformKey::kPosition, 1, 1.0f},    // numpad 3
    {100, TransformKey::kPosition, 0, -1.0f},  // numpad 4
    {101, TransformKey::kPosition, 2, -1.0f},  // numpad 5
    {102, TransformKey::kPosition, 0, 1.0f},   // numpad 6
    {103, TransformKey::kRotation, 1, -1.0f},  // numpad 7
    {104, TransformKey::kPosition, 2, 1.0f},   // numpad 8
    {105, TransformKey::kRotation, 1, 1.0f},   // numpad 9
    {73, TransformKey::kScale, 2, 1.0f},       // I
    {74, TransformKey::kScale, 0, -1.0f},      // J
    {75, TransformKey::kScale, 2, -1.0f},      // K
    {76, TransformKey::kScale, 0, 1.0f},       // L
};

}  // namespace

// ---- keys -------------------------------------------------------------------

void LevelEditor::OnKeyTriggered(int key, bool pressed) {
    if (m_testing || key < 0 || key >= kKeyCount) return;
    m_keys[size_t(key)] = pressed;
    if (ActOnCommandKey(key, pressed)) return;
    if (pressed) MoveSelection(key);
}

// The keys that are not transform keys; true when key is one of them.
bool LevelEditor::ActOnCommandKey(int key, bool pressed) {
    switch (key) {
    case kMouseLeft:
    case kMouseRight:
    case kMouseMiddle:
        if (pressed) {
            m_pressCursor = m_cursor;
        } else if (key == kMouseLeft) {
            const s32 dx = m_cursor[0] - m_pressCursor[0];
            const s32 dy = m_cursor[1] - m_pressCursor[1];
            if (i64(dx) * dx + i64(dy) * dy <= kClickSlopSquared) Pick(0, m_cursor[0], m_cursor[1]);
        }
        return true;
    case kKeyCtrl: m_moveStep = pressed ? 4.0f : 1.0f; return true;
    case kKeyDelete: DeleteSelected(pressed); return true;
    // Requests are carried out by the next update and only ever set here: a
    // tap whose release comes in the same frame as its press still counts.
    case kKeyC:
    case kKeyF6:
        if (pressed) m_createRequested = true;
        return true;
    case kKeySemicolon:
        if (pressed) m_loadRequested = true;
        return true;
    case kKeyO:
    case kKeyP: {
        // Press and release alike, as the world's pause switch.
        const bool pause = key == kKeyP;
        if (CoreSystem* core = Core()) core->Send(pause ? "GamePaused" : "GameResumed");
        if (Engine* engine = RunningEngine()) engine->SetPaused(pause);
        return true;
    }
    case kKeyR: if (pressed) ResetTileMap(); return true;
    case kKeyV: if (pressed) CloneSelected(); return true;
    case kKeyX:
    case kKeyF7: NextArchetype(pressed); return true;
    case kKeyZ:
    case kKeyF5: PreviousArchetype(pressed); return true;
    case kKeyLeftBracket: if (pressed) SelectPreviousObject(); return true;
    case kKeyRightBracket: if (pressed) SelectNextObject(); return true;
    default: return false;
    }
}

// The transform keys: positions are written only; a scale or turn refits
// the object's bounds entry, as a "TransformUpdated" would.
void LevelEditor::MoveSelection(int key) {
    const auto* entry = std::find_if(std::begin(kTransformKeys), std::end(kTransformKeys),
                                     [key](const TransformKey& k) { return k.key == key; });
    if (entry == std::end(kTransformKeys)) return;
    Composition* object = ObjectHandle(m_selected).GetObject();
    TransformComponent* transform = object ? object->GetTransform() : nullptr;
    if (!transform) return;
    switch (entry->field) {
    case TransformKey::kPosition: transform->Position()[entry->axis] += entry->sign * m_moveStep; return;
    case TransformKey::kRotation: {
        Vec3 rotation = transform->GetRotation();
        rotation[entry->axis] += entry->sign * kTurnStep;
        transform->SetRotation(rotation);
        break;
    }
    case TransformKey::kScale: {
        Vec3 scale = transform->GetScale();
        scale[entry->axis] += entry->sign * m_moveStep;
        transform->SetScale(scale);
        break;
    }
    }
    OnTransformUpdated(m_selected);
}

void LevelEditor::OnMouseMoved(int mode, int x, int y) {
    if (m_testing || mode != 0) return;  // relative motion steers the camera only
    m_cursor = {x, y};
}

// ---- selection ----------------------------------------------------------------

void LevelEditor::SetHighlight(u32 id, bool on) const {
    Composition* object = ObjectHandle(id).GetObject();
    auto* mesh = object ? object->GetComponentAs<MeshComponent>() : nullptr;
    if (!mesh) return;
    mesh->SetHighlighted(on);
    mesh->SetColor(1.0f, 0.0f, 1.0f);
}

void LevelEditor::SelectObject(u32 id) {
    auto it = std::find(m_objects.begin(), m_objects.end(), id);
    if (it == m_objects.end()) id = 0;
    if (id != 0) m_listCursor = size_t(it - m_objects.begin());
    if (id == m_selected) return;
    SetHighlight(m_selected, false);
    m_selected = id;
    SetHighlight(m_selected, true);
    FillObjectBar();
}

void LevelEditor::ClearSelection() {
    m_selected = 0;
    m_listCursor = 0;
    FillObjectBar();
}

void LevelEditor::SelectNextObject() {
    if (m_objects.empty()) {
        m_listCursor = 0;
        SelectObject(0);
        return;
    }
    if (m_listCursor >= m_objects.size()) m_listCursor = 0;
    m_listCursor = (m_listCursor + 1) % m_objects.size();
    SelectObject(m_objects[m_listCursor]);
}

void LevelEditor::SelectPreviousObject() {
    if (m_objects.empty()) {
        m_listCursor = 0;
        SelectObject(0);
        return;
    }
    if (m_listCursor == 0 || m_listCursor > m_objects.size()) m_listCursor = m_objects.size();
    --m_listCursor;
    SelectObject(m_objects[m_listCursor]);
}

void LevelEditor::DeleteSelected(bool pressed) {
    if (!pressed || m_selected == 0 || m_selected == m_cameraId) return;
    auto it = std::find(m_objects.begin(), m_objects.end(), m_selected);
    if (it == m_objects.end()) return;
    const size_t index = size_t(it - m_objects.begin());
    const u32 doomed = m_selected;
    if (ObjectManager* objects = Objects()) objects->DestroyObject(doomed);
    // Out of the lists at once: it can be neither chosen nor saved again
    // while its destruction waits for the object manager's next update.
    SetHighlight(doomed, false);
    m_objects.erase(it);
    RemoveFromPickLists(doomed);
    if (m_objects.empty()) {
        ClearSelection();
        return;
    }
    m_selected = 0;
    SelectObject(m_objects[index % m_objects.size()]);
}

// ---- creating -------------------------------------------------------------------

void LevelEditor::CreateNewObject() {
    if (m_archetypes.empty() || m_archetypeIndex >= m_archetypes.size()) return;
    ObjectManager* objects = Objects();
    const std::string& archetype = m_archetypes[m_archetypeIndex];
    const u32 id = objects ? objects->CreateObject(archetype, nullptr) : 0;
    if (id == 0) {
        LogMessage("LevelEditor: an object of '" + archetype + "' could not be made\n");
        return;
    }
    // Listed now, so it can be selected before its announcement.
    OnObjectCreated(id);
    SelectObject(id);
}

void LevelEditor::CloneSelected() {
    ObjectManager* objects = Objects();
    Composition* source = ObjectHandle(m_selected).GetObject();
    if (!objects || !source || m_selected == m_cameraId) return;
    const u32 sourceId = m_selected;
    const u32 count = m_cloneCount;
    // A count the tables cannot hold makes nothing: a part of the set, cut
    // where the tables ran out, is not what the designer asked for. The
    // settings stay, for the designer to lower the number.
    const u64 room = objects->RoomForObjects(source->GetComponents().size());
    if (count > room) {
        RefuseClones(source->GetName(), count, room);
        return;
    }
    const Vec3 offset = m_cloneOffset;
    u32 last = 0;
    for (u32 i = 1; i <= count; ++i) {
        const u32 clone = objects->CloneObject(sourceId);  // listed by its announcement
        Composition* copy = ObjectHandle(clone).GetObject();
        if (!copy) continue;
        if (TransformComponent* transform = copy->GetTransform()) transform->Position() += offset * f32(i);
        last = clone;
    }
    m_cloneCount = 1;
    m_cloneOffset = Vec3(0.0f, 0.0f, 0.0f);
    SelectObject(last);
    ClearPanelStatus("Clone: ");
}

void LevelEditor::NextArchetype(bool pressed) {
    if (!pressed || m_archetypes.empty()) return;
    m_archetypeIndex = u32((size_t(m_archetypeIndex) + 1) % m_archetypes.size());
    m_selectedArchetype = m_archetypes[m_archetypeIndex];
}

void LevelEditor::PreviousArchetype(bool pressed) {
    if (!pressed || m_archetypes.empty()) return;
    const size_t count = m_archetypes.size();
    m_archetypeIndex = u32((size_t(m_archetypeIndex) % count + count - 1) % count);
    m_selectedArchetype = m_archetypes[m_archetypeIndex];
}

}  // namespace Ostrel
