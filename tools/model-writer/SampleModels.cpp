#include "tools/model-writer/SampleModels.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace Ostrel {

namespace {

constexpr float kDegToRad = 3.1415927f / 180.0f;
// Axes of the figures' swings (they face -z): about y they turn, about x a
// negative angle bends them forward.
const Vec3 kUp{0, 1, 0};
const Vec3 kSide{1, 0, 0};

Quaternion About(const Vec3& axis, float degrees) { return Quaternion::FromAxisAngle(axis, degrees * kDegToRad); }

ModelVertexRecord Corner(const Vec3& position, const Vec3& normal, float u, float v) {
    ModelVertexRecord record;
    record.position = position;
    record.normal = normal;
    record.u = u;
    record.v = v;
    return record;
}

// A skinned vertex: weights between two bones (the same bone twice for one).
void Skin(ModelVertexRecord& v, u32 boneA, u32 boneB) {
    v.bones[0] = u8(boneA);
    v.bones[1] = u8(boneB);
    v.weights[0] = boneA == boneB ? 1.0f : 0.5f;
    v.weights[1] = boneA == boneB ? 0.0f : 0.5f;
}

// The bones of the segments below and above a ring (the same bone at the ends).
void RingBones(u32 ring, u32 segments, u32& below, u32& above) {
    below = ring == 0 ? 0 : ring - 1;
    above = std::min(ring, segments - 1);
}

}  // namespace

void AddQuad(WriterMesh& mesh, const Vec3 (&c)[4], const Vec3& normal) {
    const u32 base = u32(mesh.vertices.size());
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) mesh.vertices.push_back(Corner(c[i], normal, uv[i][0], uv[i][1]));
    // Clockwise seen from outside means (b - a) x (c - a) points outward.
    const bool outward = (c[1] - c[0]).Cross(c[2] - c[0]).Dot(normal) > 0.0f;
    const u32 order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; i += 3) {
        mesh.indices.push_back(base + order[i]);
        mesh.indices.push_back(base + (outward ? order[i + 1] : order[i + 2]));
        mesh.indices.push_back(base + (outward ? order[i + 2] : order[i + 1]));
    }
}

void AddBox(WriterMesh& mesh, const Vec3& l, const Vec3& h) {
    const Vec3 faces[6][5] = {
        {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z}, {0, 0, -1}},
        {{h.x, l.y, h.z}, {l.x, l.y, h.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {0, 0, 1}},
        {{l.x, l.y, h.z}, {l.x, l.y, l.z}, {l.x, h.y, l.z}, {l.x, h.y, h.z}, {-1, 0, 0}},
        {{h.x, l.y, l.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}, {1, 0, 0}},
        {{l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}, {0, 1, 0}},
        {{l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, l.y, l.z}, {l.x, l.y, l.z}, {0, -1, 0}},
    };
    for (const auto& f : faces) AddQuad(mesh, {f[0], f[1], f[2], f[3]}, f[4]);
}

WriterModel MakeSkinnedChain(u32 segments, float width, float segmentLength,
                             const std::vector<std::string>& boneNames) {
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    mesh.skinned = true;
    const float r = width * 0.5f;
    // Four sides, each a strip of one quad per segment.
    const float sides[4][5] = {{-r, -r, r, -r, 0}, {r, -r, r, r, 1}, {r, r, -r, r, 2}, {-r, r, -r, -r, 3}};
    const Vec3 normals[4] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}};
    for (int s = 0; s < 4; ++s) {
        const float* e = sides[s];
        for (u32 k = 0; k < segments; ++k) {
            const float y0 = float(k) * segmentLength, y1 = float(k + 1) * segmentLength;
            const u32 base = u32(mesh.vertices.size());
            AddQuad(mesh, {{e[0], y0, e[1]}, {e[2], y0, e[3]}, {e[2], y1, e[3]}, {e[0], y1, e[1]}}, normals[s]);
            for (u32 i = 0; i < 4; ++i) {
                u32 a, b;
                RingBones(i < 2 ? k : k + 1, segments, a, b);
                Skin(mesh.vertices[base + i], a, b);
            }
        }
    }
    const float top = float(segments) * segmentLength;
    const u32 capBase = u32(mesh.vertices.size());
    AddQuad(mesh, {{-r, 0, -r}, {r, 0, -r}, {r, 0, r}, {-r, 0, r}}, {0, -1, 0});
    AddQuad(mesh, {{-r, top, -r}, {r, top, -r}, {r, top, r}, {-r, top, r}}, {0, 1, 0});
    for (u32 i = 0; i < 8; ++i) {
        const u32 bone = i < 4 ? 0 : segments - 1;
        Skin(mesh.vertices[capBase + i], bone, bone);
    }
    std::vector<WriterBone>& bones = model.skeleton.emplace();
    for (u32 k = 0; k < segments; ++k) {
        const std::string name = k < boneNames.size() ? boneNames[k] : "bone" + std::to_string(k);
        const RigidTransform local{{0, k == 0 ? 0.0f : segmentLength, 0}, Quaternion::Identity()};
        bones.push_back(BoneFromLocal(name, k == 0 ? kNoParentBone : k - 1, local, bones));
    }
    return model;
}

ModelAnimationData MakeSwingClip(u32 boneCount, float duration, float restLength,
                                 const std::vector<u32>& swing, const std::vector<float>& angles, const Vec3& axis) {
    ModelAnimationData clip;
    clip.duration = duration;
    clip.tracks.resize(boneCount);
    for (u32 b = 0; b < boneCount; ++b) {
        const Vec3 rest{0, b == 0 ? 0.0f : restLength, 0};
        const bool swings = std::find(swing.begin(), swing.end(), b) != swing.end() && angles.size() > 1;
        if (!swings) {
            clip.tracks[b].push_back({0.0f, rest, Quaternion::Identity()});
            continue;
        }
        for (std::size_t k = 0; k < angles.size(); ++k) {
            const float time = duration * float(k) / float(angles.size() - 1);
            clip.tracks[b].push_back({time, rest, angles[k] == 0.0f ? Quaternion::Identity() : About(axis, angles[k])});
        }
    }
    return clip;
}

WriterModel MakeCrate() {
    WriterModel model;
    AddBox(model.mesh.emplace(), {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    return model;
}

WriterModel MakeHinge() {
    WriterModel model = MakeSkinnedChain(2, 1.0f, 1.0f, {"root", "tip"});
    model.clip = MakeSwingClip(2, 1.0f, 1.0f, {1}, {0.0f, 45.0f, 0.0f});
    return model;
}

WriterModel MakeHingeWave() {
    WriterModel model;
    model.clip = MakeSwingClip(2, 2.0f, 1.0f, {1}, {0.0f, 30.0f, 0.0f, -30.0f, 0.0f});
    return model;
}

namespace {

// One rigid part of a figure: a box whose 24 vertices all follow one bone.
struct Part {
    Vec3 low, high;
    u32 bone;
};

// A skinned figure made of boxes on a chain of bones (bone k at y = k *
// segmentLength, as MakeSkinnedChain places them), whose bounds are exactly
// low..high: a collider fitted to the mesh keeps the size it had when the
// figure was one box of those bounds. Two zero-area triangles at the bounds'
// corners hold them wherever the parts stop short.
WriterModel MakeFigure(const std::vector<Part>& parts, const Vec3& low, const Vec3& high, float segmentLength,
                       const std::vector<std::string>& boneNames) {
    WriterModel model = MakeSkinnedChain(u32(boneNames.size()), 1.0f, segmentLength, boneNames);
    WriterMesh& mesh = *model.mesh;
    mesh.vertices.clear();
    mesh.indices.clear();
    for (const Part& part : parts) {
        const u32 base = u32(mesh.vertices.size());
        AddBox(mesh, part.low, part.high);
        for (u32 i = base; i < mesh.vertices.size(); ++i) Skin(mesh.vertices[i], part.bone, part.bone);
    }
    for (const Vec3& corner : {low, high}) {
        const u32 base = u32(mesh.vertices.size());
        for (int i = 0; i < 3; ++i) {
            mesh.vertices.push_back(Corner(corner, {0, 1, 0}, 0, 0));
            Skin(mesh.vertices.back(), 0, 0);
            mesh.indices.push_back(base + u32(i));
        }
    }
    return model;
}

}  // namespace

WriterModel MakeYak() {
    // Facing -z: four legs, a deep body with a hump over the shoulders, the
    // head low in front with two horns, a tail behind.
    const std::vector<Part> parts = {
        {{0.20f, 0.0f, -0.38f}, {0.38f, 0.45f, -0.22f}, 0}, {{-0.38f, 0.0f, -0.38f}, {-0.20f, 0.45f, -0.22f}, 0},
        {{0.20f, 0.0f, 0.22f}, {0.38f, 0.45f, 0.38f}, 0},   {{-0.38f, 0.0f, 0.22f}, {-0.20f, 0.45f, 0.38f}, 0},
        {{-0.42f, 0.40f, -0.30f}, {0.42f, 0.98f, 0.45f}, 0},  // body
        {{-0.04f, 0.55f, 0.45f}, {0.04f, 0.90f, 0.50f}, 0},   // tail
        {{-0.30f, 0.95f, -0.28f}, {0.30f, 1.18f, 0.10f}, 1},  // hump
        {{-0.20f, 0.60f, -0.50f}, {0.20f, 0.95f, -0.26f}, 2}, // head
        {{0.20f, 0.86f, -0.44f}, {0.42f, 0.96f, -0.34f}, 2},  {{-0.42f, 0.86f, -0.44f}, {-0.20f, 0.96f, -0.34f}, 2},
        {{0.34f, 0.96f, -0.44f}, {0.42f, 1.22f, -0.36f}, 2},  {{-0.42f, 0.96f, -0.44f}, {-0.34f, 1.22f, -0.36f}, 2},
    };
    WriterModel model = MakeFigure(parts, {-0.5f, 0.0f, -0.5f}, {0.5f, 1.5f, 0.5f}, 0.5f, {"body", "neck", "head"});
    model.clip = MakeSwingClip(3, 2.0f, 0.5f, {2}, {0.0f, 8.0f, 0.0f, -8.0f, 0.0f}, kUp);
    return model;
}

WriterModel MakeYakHeadshake() {
    WriterModel model;
    model.clip = MakeSwingClip(3, 0.5f, 0.5f, {2}, {0.0f, 25.0f, -25.0f, 25.0f, -25.0f, 0.0f}, kUp);
    return model;
}

WriterModel MakeYakCharge() {
    WriterModel model;
    model.clip = MakeSwingClip(3, 0.5f, 0.5f, {1}, {-35.0f, -35.0f}, kSide);
    return model;
}

namespace {

// A one-bone box of the given size standing on y = 0, and a clip of it
// moving up and down (translation y per key) and turning about z.
WriterModel OneBoneBox(float width, float height, float depth) {
    WriterModel model = MakeSkinnedChain(1, 1.0f, height, {"body"});
    WriterMesh& mesh = *model.mesh;
    for (ModelVertexRecord& vertex : mesh.vertices) {
        vertex.position.x *= width;
        vertex.position.z *= depth;
    }
    return model;
}

ModelAnimationData RiseClip(float duration, const std::vector<float>& heights) {
    ModelAnimationData clip;
    clip.duration = duration;
    clip.tracks.resize(1);
    for (std::size_t k = 0; k < heights.size(); ++k) {
        const float time = duration * float(k) / float(heights.size() - 1);
        clip.tracks[0].push_back({time, {0, heights[k], 0}, Quaternion::Identity()});
    }
    return clip;
}

}  // namespace

WriterModel MakeFoxTail() {
    // A bushy tail, thin where it leaves the ground, widest below its tip,
    // within the 0.3 x 0.9 x 0.3 box the fox's collider was fitted to.
    const float half = 0.5f * 0.3f;
    const std::vector<Part> parts = {
        {{-0.08f, 0.0f, -0.08f}, {0.08f, 0.32f, 0.08f}, 0},
        {{-0.12f, 0.28f, -0.12f}, {0.12f, 0.58f, 0.12f}, 0},
        {{-half, 0.52f, -half}, {half, 0.80f, half}, 0},
        {{-0.07f, 0.80f, -0.07f}, {0.07f, 0.9f, 0.07f}, 0},
    };
    WriterModel model = MakeFigure(parts, {-half, 0.0f, -half}, {half, 0.9f, half}, 0.9f, {"body"});
    model.clip = MakeSwingClip(1, 1.0f, 0.0f, {0}, {0.0f, 20.0f, 0.0f, -20.0f, 0.0f});
    return model;
}

WriterModel MakeFoxDigUp() {
    WriterModel model = OneBoneBox(1.2f, 1.0f, 1.6f);
    model.clip = RiseClip(0.5f, {-1.0f, -0.4f, 0.0f});
    return model;
}

WriterModel MakeFoxLook() {
    WriterModel model = OneBoneBox(1.2f, 1.0f, 1.6f);
    model.clip = MakeSwingClip(1, 2.8125f, 0.0f, {0}, {0.0f, 12.0f, 0.0f, -12.0f, 0.0f});
    return model;
}

WriterModel MakeFoxDigDown() {
    WriterModel model;
    model.clip = RiseClip(0.75f, {0.0f, -0.4f, -1.0f});
    return model;
}

WriterModel MakeLuvo() {
    // Facing -z: legs and feet on the hips, the torso, arms and the lantern
    // pack on the back on the chest, the head with its cap and nose.
    const std::vector<Part> parts = {
        {{-0.30f, 0.0f, -0.14f}, {-0.06f, 0.62f, 0.14f}, 0}, {{0.06f, 0.0f, -0.14f}, {0.30f, 0.62f, 0.14f}, 0},
        {{-0.30f, 0.0f, -0.24f}, {-0.06f, 0.12f, 0.14f}, 0}, {{0.06f, 0.0f, -0.24f}, {0.30f, 0.12f, 0.14f}, 0},
        {{-0.32f, 0.58f, -0.20f}, {0.32f, 1.22f, 0.20f}, 1},  // torso
        {{0.34f, 0.62f, -0.12f}, {0.50f, 1.18f, 0.12f}, 1},   {{-0.50f, 0.62f, -0.12f}, {-0.34f, 1.18f, 0.12f}, 1},
        {{-0.18f, 0.70f, 0.20f}, {0.18f, 1.10f, 0.46f}, 1},   // pack
        {{-0.24f, 1.24f, -0.24f}, {0.24f, 1.70f, 0.24f}, 2},  // head
        {{-0.28f, 1.66f, -0.28f}, {0.28f, 1.74f, 0.28f}, 2},  // cap brim
        {{-0.16f, 1.74f, -0.16f}, {0.16f, 1.80f, 0.16f}, 2},  // cap
        {{-0.05f, 1.40f, -0.32f}, {0.05f, 1.50f, -0.24f}, 2}, // nose
    };
    WriterModel model = MakeFigure(parts, {-0.5f, 0.0f, -0.5f}, {0.5f, 1.8f, 0.5f}, 0.6f, {"hips", "chest", "head"});
    model.clip = MakeSwingClip(3, 2.0f, 0.6f, {1}, {0.0f, 4.0f, 0.0f, -4.0f, 0.0f});
    return model;
}

WriterModel MakeLuvoWalk() {
    WriterModel model;
    model.clip = MakeSwingClip(3, 0.6f, 0.6f, {1, 2}, {0.0f, 12.0f, 0.0f, -12.0f, 0.0f});
    return model;
}

WriterModel MakeLuvoDodge() {
    WriterModel model;
    model.clip = MakeSwingClip(3, 0.5f, 0.6f, {1}, {0.0f, -40.0f, 0.0f}, kSide);
    return model;
}

WriterModel MakeLuvoOuch() {
    WriterModel model;
    model.clip = MakeSwingClip(3, 0.4f, 0.6f, {1, 2}, {0.0f, 25.0f, 0.0f}, kSide);
    return model;
}

WriterModel MakeMenhir() {
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    AddBox(mesh, {-0.6f, -1.0f, -0.4f}, {0.6f, 0.8f, 0.4f});
    AddBox(mesh, {-0.45f, 0.8f, -0.3f}, {0.45f, 1.0f, 0.3f});
    return model;
}

WriterModel MakeHealthPack() {
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    AddBox(mesh, {-0.5f, -0.15f, -0.15f}, {0.5f, 0.15f, 0.15f});
    AddBox(mesh, {-0.15f, -0.5f, -0.15f}, {0.15f, 0.5f, 0.15f});
    return model;
}

WriterModel MakeNest() {
    // A bowl of twig bundles round a floor of straw with three eggs in it,
    // filling the unit cube the nests' colliders were fitted to (two
    // zero-area triangles hold its corners).
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    AddBox(mesh, {-0.42f, -0.5f, -0.42f}, {0.42f, -0.3f, 0.42f});
    for (int i = 0; i < 12; ++i) {
        const float angle = float(i) * 30.0f * kDegToRad, x = 0.36f * std::sin(angle), z = 0.36f * std::cos(angle);
        const float rise = (i % 2) ? 0.05f : 0.0f;
        AddBox(mesh, {x - 0.13f, -0.5f, z - 0.13f}, {x + 0.13f, -0.05f + rise, z + 0.13f});
    }
    for (const Vec3& egg : {Vec3{-0.12f, -0.3f, -0.05f}, Vec3{0.1f, -0.3f, -0.1f}, Vec3{0.0f, -0.3f, 0.12f}})
        AddBox(mesh, egg + Vec3{-0.07f, 0.0f, -0.07f}, egg + Vec3{0.07f, 0.22f, 0.07f});
    for (const Vec3& corner : {Vec3{-0.5f, -0.5f, -0.5f}, Vec3{0.5f, 0.5f, 0.5f}}) {
        const u32 base = u32(mesh.vertices.size());
        for (u32 i = 0; i < 3; ++i) {
            mesh.vertices.push_back(Corner(corner, {0, 1, 0}, 0, 0));
            mesh.indices.push_back(base + i);
        }
    }
    return model;
}

WriterModel MakePowerUp() {
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    AddBox(mesh, {-0.3f, -0.3f, -0.3f}, {0.3f, 0.3f, 0.3f});
    AddBox(mesh, {-0.1f, -0.5f, -0.1f}, {0.1f, 0.5f, 0.1f});
    return model;
}

WriterModel MakeGoal() {
    // An upright gem (two four-sided pyramids) inside a square ring round
    // its waist. The bounds are the unit cube of the primitive sphere the
    // goal's collider was fitted to, so the goal is touched where it was.
    WriterModel model;
    WriterMesh& mesh = model.mesh.emplace();
    const Vec3 waist[4] = {{0.3f, 0, 0}, {0, 0, 0.3f}, {-0.3f, 0, 0}, {0, 0, -0.3f}};
    for (const float tip : {0.5f, -0.5f}) {
        for (int i = 0; i < 4; ++i) {
            const Vec3 a = waist[i], b = waist[(i + 1) % 4], top{0, tip, 0};
            Vec3 normal = (b - a).Cross(top - a).Normalized();
            if (normal.Dot(a + b + top) < 0.0f) normal = normal * -1.0f;
            // A degenerate quad (its last corner repeated) is one triangle.
            AddQuad(mesh, {a, b, top, top}, normal);
        }
    }
    AddBox(mesh, {-0.5f, -0.06f, -0.5f}, {0.5f, 0.06f, -0.42f});
    AddBox(mesh, {-0.5f, -0.06f, 0.42f}, {0.5f, 0.06f, 0.5f});
    AddBox(mesh, {-0.5f, -0.06f, -0.42f}, {-0.42f, 0.06f, 0.42f});
    AddBox(mesh, {0.42f, -0.06f, -0.42f}, {0.5f, 0.06f, 0.42f});
    return model;
}

// The fox boss's tail clips, each on the tail's one-bone box: a slam
// (raised, struck down, back), a flourish (swishes) and the tail going down.
// The boss wants 1.0, 3.125 and 2.16 s of them, so they play at rate 0.5.
WriterModel MakeFoxTailAttack() {
    WriterModel model = OneBoneBox(0.3f, 0.9f, 0.3f);
    model.clip = MakeSwingClip(1, 0.5f, 0.0f, {0}, {0.0f, -30.0f, 60.0f, 0.0f});
    return model;
}

WriterModel MakeFoxTailFlourish() {
    WriterModel model = OneBoneBox(0.3f, 0.9f, 0.3f);
    model.clip = MakeSwingClip(1, 1.5625f, 0.0f, {0}, {0.0f, 30.0f, -30.0f, 30.0f, -30.0f, 0.0f});
    return model;
}

WriterModel MakeFoxTailDown() {
    WriterModel model = OneBoneBox(0.3f, 0.9f, 0.3f);
    model.clip = RiseClip(1.08f, {0.0f, -0.5f, -1.0f});
    return model;
}

std::string HingeFastAnimationSet() { return "anim: hinge\nscale: 2.0\n"; }

std::string WriteSampleModels(const std::string& folder) {
    const std::pair<const char*, WriterModel> models[] = {
        {"crate.bin", MakeCrate()}, {"hinge.bin", MakeHinge()}, {"hinge-wave.bin", MakeHingeWave()},
        {"yak-mesh.bin", MakeYak()},      {"yak-headshake-anim.bin", MakeYakHeadshake()},
        {"yak-charge-anim.bin", MakeYakCharge()}, {"boxfox-tail-mesh.bin", MakeFoxTail()},
        {"boxfox-dig-up-anim.bin", MakeFoxDigUp()}, {"boxfox-look-anim.bin", MakeFoxLook()},
        {"boxfox-dig-down-anim.bin", MakeFoxDigDown()}, {"luvo.bin", MakeLuvo()},
        {"luvo-walk-anim.bin", MakeLuvoWalk()},   {"brisa-dodge-anim.bin", MakeLuvoDodge()},
        {"brisa-ouch-anim.bin", MakeLuvoOuch()},
        {"menhir-mesh.bin", MakeMenhir()}, {"healthpack-mesh.bin", MakeHealthPack()},
        {"powerup-mesh.bin", MakePowerUp()}, {"goal-mesh.bin", MakeGoal()}, {"nest-mesh.bin", MakeNest()}, {"foxtail-attack-anim.bin", MakeFoxTailAttack()},
        {"foxtail-flourish-anim.bin", MakeFoxTailFlourish()}, {"foxtail-down-anim.bin", MakeFoxTailDown()}};
    std::string problems;
    std::error_code error;
    std::filesystem::create_directories(folder, error);  // a failure shows in the writes below
    for (const auto& [file, model] : models) {
        const std::string why = WriteModelFile(folder + "/" + file, model);
        if (!why.empty()) problems += why + "\n";
    }
    const std::string why = WriteFileAtomically(folder + "/hinge-fast.anim", HingeFastAnimationSet());
    if (!why.empty()) problems += why + "\n";
    return problems;
}

}  // namespace Ostrel
