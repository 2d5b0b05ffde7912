// The level editor's mouse picking, its tile brushes and tile palettes.
//
// The pick ray follows the renderer's conventions (left-handed, clip depth
// 0 to 1, window y pointing down): a window pixel at depth 0 taken through
// the inverse screen, projection and view matrices lands on the near plane
// in world space, and the ray runs from the camera through it. Each
// object's mesh is tested in its own space with the direction left
// unnormalised there, so every hit distance is a parameter along the one
// world ray and hits on objects of different scales compare.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Log.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Matrix4.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/physics/ShapeTests.h"
#include "engine/world/TilePaletteRecord.h"
#include "tools/editor/ObjectHandle.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

constexpr int kKeyShift = 16;
constexpr int kKeyCtrl = 17;
constexpr int kKeyAlt = 18;
constexpr int kKeyLeftShift = 160;
constexpr int kKeyLeftCtrl = 162;
constexpr int kKeyLeftAlt = 164;

// The tile that frames a reset tile map, and the palette given to a map
// without one.
constexpr s32 kBorderTile = 13;
constexpr const char* kDefaultTilePalette = "ground-tiles";

size_t CommonBeginning(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

// The index of the name sharing the longest beginning with text (at least
// one character; the first of equal ones), or -1.
long BestByBeginning(const std::vector<std::string>& names, const std::string& text) {
    long best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t length = CommonBeginning(names[i], text);
        if (length > bestLength) {
            best = long(i);
            bestLength = length;
        }
    }
    return best;
}

// index + 1 or index - 1 modulo count (count > 0).
u32 Step(u32 index, size_t count, bool forward) {
    const size_t i = size_t(index) % count;
    return u32(forward ? (i + 1) % count : (i + count - 1) % count);
}

}  // namespace

// ---- picking ----------------------------------------------------------------

bool LevelEditor::MakePickRay(int x, int y, Vec4& origin, Vec4& direction) const {
    MatrixManager* matrices = MatrixManager::GetInstance();
    if (!matrices) return false;
    Vec4 point(f32(x), f32(y), 0.0f, 1.0f);
    point = point * *matrices->GetInverseScreen();
    point = point * *matrices->GetInverseProjection();
    point = point * *matrices->GetInverseView();
    if (!(std::fabs(point.w) > 0.0f)) return false;
    const Vec3 nearPoint = point.XYZ() * (1.0f / point.w);
    origin = ObjectHandle(m_cameraId).GetPosition();
    const Vec3 towards = nearPoint - origin.XYZ();
    const f32 length = towards.Length();
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    direction = Vec4(towards * (1.0f / length), 0.0f);
    return true;
}

std::vector<LevelEditor::PickHit> LevelEditor::FindHits(const Vec4& origin, const Vec4& direction) const {
    const Ray ray{origin, direction};
    std::vector<PickHit> hits;
    // The volume is a cheap first test; the mesh decides and gives the
    // distance.
    auto test = [&](u32 id, const BoundingVolume& volume, const ObjectHandle& handle) {
        float entry = 0.0f;
        float distance = 0.0f;
        if (RayHitsVolume(ray, volume, handle.GetPosition().XYZ(), entry) && handle.IntersectRay(ray, distance)) {
            hits.push_back({distance, id});
        }
    };
    for (u32 id : m_collisionPicks) {
        ObjectHandle handle(id);
        if (const BoundingVolume* volume = handle.GetCollisionVolume()) test(id, *volume, handle);
    }
    for (const BoundsEntry& entry : m_boundsEntries) {
        ObjectHandle handle(entry.id);
        if (handle.GetObject()) test(entry.id, entry.volume, handle);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const PickHit& a, const PickHit& b) { return a.distance < b.distance; });
    return hits;
}

void LevelEditor::Pick(int button, int x, int y) {
    if (button != 0) return;
    Vec4 origin, direction;
    if (!MakePickRay(x, y, origin, direction)) return;
    const std::vector<PickHit> hits = FindHits(origin, direction);
    if (hits.empty()) return;  // empty space keeps the selection
    size_t choice = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        if (hits[i].id != m_selected) continue;
        // Alt walks the objects under the cursor front to back.
        choice = (IsKeyDown(kKeyAlt) || IsKeyDown(kKeyLeftAlt)) ? (i + 1) % hits.size() : i;
        break;
    }
    const PickHit& chosen = hits[choice];
    if (chosen.id == m_selected) {
        ApplyBrush(origin, direction, chosen.distance);
        return;
    }
    SelectObject(chosen.id);
}

void LevelEditor::ApplyBrush(const Vec4& origin, const Vec4& direction, f32 distance) {
    const ObjectHandle handle(m_selected);
    if (m_brushMode == kFloorBrush) {
        const Vec4 hit = origin + direction * distance;
        const bool shift = IsKeyDown(kKeyShift) || IsKeyDown(kKeyLeftShift);
        const bool ctrl = IsKeyDown(kKeyCtrl) || IsKeyDown(kKeyLeftCtrl);
        // Painting rebuilds the tile texture.
        handle.PaintTiles(handle.ToLocalSpace(hit), s32(m_floorTileIndex), shift, ctrl);
    } else if (m_brushMode == kPaletteBrush) {
        handle.SetTilePalette(GetPaletteName());
    }
}

// ---- tile maps ----------------------------------------------------------------

void LevelEditor::ResetTileMap() {
    Composition* object = ObjectHandle(m_selected).GetObject();
    auto* mesh = object ? object->GetComponentAs<MeshComponent>() : nullptr;
    if (!mesh || !object->GetTransform()) return;
    if (mesh->GetTilePaletteName().empty()) mesh->SetTilePalette(kDefaultTilePalette);
    if (!mesh->GetPalette()) {
        // Without a palette the mesh keeps no grid to write into.
        LogMessage("LevelEditor: '" + object->GetName() + "': the tile palette '" + mesh->GetTilePaletteName() +
                   "' is not loaded; the tile map was not reset\n");
        return;
    }
    const int width = mesh->GetTilesX();
    const int height = mesh->GetTilesY();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) mesh->SetTile(x, y, 0);
    }
    for (int x = 0; x < width; ++x) {
        if (height == 3) mesh->SetTile(x, 2, kBorderTile);
        mesh->SetTile(x, 0, kBorderTile);
    }
    mesh->ResizeTileGrid();
}

// ---- palettes and tiles -------------------------------------------------------

std::string LevelEditor::GetPaletteName() const {
    if (m_paletteIndex >= m_palettes.size() || !m_palettes[m_paletteIndex]) return std::string();
    return m_palettes[m_paletteIndex]->name;
}

std::string LevelEditor::GetFloorTileName() const {
    return m_floorTileIndex < m_tiles.size() ? m_tiles[m_floorTileIndex] : std::string();
}

void LevelEditor::UsePalette(u32 index) {
    m_paletteIndex = index;
    m_floorTileIndex = 0;
    m_tiles.clear();
    if (index < m_palettes.size() && m_palettes[index]) m_tiles = m_palettes[index]->tileNames;
}

void LevelEditor::NextPalette() {
    if (!m_palettes.empty()) UsePalette(Step(m_paletteIndex, m_palettes.size(), true));
}

void LevelEditor::PreviousPalette() {
    if (!m_palettes.empty()) UsePalette(Step(m_paletteIndex, m_palettes.size(), false));
}

bool LevelEditor::SelectPaletteByName(const std::string& text) {
    std::vector<std::string> names;
    for (const TilePaletteRecord* palette : m_palettes) names.push_back(palette ? palette->name : std::string());
    const long best = BestByBeginning(names, text);
    if (best >= 0 && u32(best) != m_paletteIndex) UsePalette(u32(best));
    return best >= 0;
}

void LevelEditor::NextFloorTile() {
    if (!m_tiles.empty()) m_floorTileIndex = Step(m_floorTileIndex, m_tiles.size(), true);
}

void LevelEditor::PreviousFloorTile() {
    if (!m_tiles.empty()) m_floorTileIndex = Step(m_floorTileIndex, m_tiles.size(), false);
}

bool LevelEditor::SelectFloorTileByName(const std::string& text) {
    const long best = BestByBeginning(m_tiles, text);
    if (best >= 0) m_floorTileIndex = u32(best);
    return best >= 0;
}

}  // namespace Ostrel
