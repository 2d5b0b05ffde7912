#pragma once
// The sample models the game's data and tests use, and the building blocks
// to make more (boxes, skinned chains of any length, clips).
//
// Coordinates are the engine's: left-handed, y up; front faces wind
// clockwise as seen from outside.

#include "tools/model-writer/ModelWriter.h"

#include <string>
#include <vector>

namespace Ostrel {

// Appends a quad (corners in order around it) as two triangles that face
// along normal; uvs run (0,0), (1,0), (1,1), (0,1) over the corners.
void AddQuad(WriterMesh& mesh, const Vec3 (&corners)[4], const Vec3& normal);
// Appends an axis-aligned box between low and high, 4 vertices per face.
void AddBox(WriterMesh& mesh, const Vec3& low, const Vec3& high);

// A box of width x (segments * segmentLength) x width standing on y = 0,
// skinned to a chain of one bone per segment: bone k sits at the bottom of
// segment k (model-space bind y = k * segmentLength), each the child of the
// one below. Ring 0 follows bone 0, the top ring the last bone, each ring in
// between half and half the bones of its two segments.
WriterModel MakeSkinnedChain(u32 segments, float width, float segmentLength,
                             const std::vector<std::string>& boneNames);

// A clip of duration over boneCount bones that holds every bone at its rest
// offset (translation along y by restLength, none for bone 0), except the
// bones listed in swing, which turn about axis (z unless told) through the
// given angles (degrees) at evenly spaced times from 0 to duration.
ModelAnimationData MakeSwingClip(u32 boneCount, float duration, float restLength,
                                 const std::vector<u32>& swing, const std::vector<float>& anglesDegrees,
                                 const Vec3& axis = Vec3{0, 0, 1});

// "crate": a static textured unit cube (24 vertices, 36 indices).
WriterModel MakeCrate();
// "hinge": a 1 x 2 x 1 box along +y in two segments on the bones "root" and
// "tip", and a clip bending the tip 45 degrees about z and back in 1 s.
WriterModel MakeHinge();
// "hinge-wave": a clip only, the tip waving +30 / -30 degrees over 2 s.
WriterModel MakeHingeWave();
// "yak-mesh": a 1 x 1.5 x 1 box along +y in three segments on the bones
// "body", "neck" and "head", with a 2 s idle sway of the head.
WriterModel MakeYak();
// "yak-headshake-anim": a clip only, the head shaking +25 / -25 degrees
// twice in 0.5 s.
WriterModel MakeYakHeadshake();
// "yak-charge-anim": a clip only, the neck lowered 35 degrees for the run.
WriterModel MakeYakCharge();
// The burrowing fox, one bone ("body") each: "boxfox-tail-mesh", the tail
// sticking out of the ground (0.3 x 0.9 x 0.3) wagging over 1 s;
// "boxfox-dig-up-anim", the fox (1.2 x 1 x 1.6) rising out of the ground in
// 0.5 s; "boxfox-look-anim", the same fox looking left and right over
// 2.8125 s; "boxfox-dig-down-anim", a clip only, sinking back in 0.75 s.
WriterModel MakeFoxTail();
WriterModel MakeFoxDigUp();
WriterModel MakeFoxLook();
WriterModel MakeFoxDigDown();
// "luvo": the player, a 1 x 1.8 x 1 box along +y in three segments on the
// bones "hips", "chest" and "head", with a 2 s idle sway of the chest.
WriterModel MakeLuvo();
// "luvo-walk-anim": a clip only, chest and head rocking +12 / -12 degrees
// in 0.6 s.
WriterModel MakeLuvoWalk();
// "brisa-dodge-anim": a clip only, the chest leaning 40 degrees into the
// dash and back in 0.5 s.
WriterModel MakeLuvoDodge();
// "brisa-ouch-anim": a clip only, chest and head thrown 25 degrees back by
// a hit and up again in 0.4 s.
WriterModel MakeLuvoOuch();
// "menhir-mesh": the gate's standing stone, 1.2 x 2 x 0.8 centred on the
// origin with a narrower cap on top (static).
WriterModel MakeMenhir();
// "healthpack-mesh": a cross of two 1 x 0.3 x 0.3 bars (static).
WriterModel MakeHealthPack();
// "powerup-mesh": a 0.6 cube pierced by a 1 high bar (static).
WriterModel MakePowerUp();
// "goal-mesh": the level goal, an upright gem in a square ring round its
// waist, whose bounds are the unit cube centred on the origin (static).
WriterModel MakeGoal();
// "nest-mesh": a yak nest, a bowl of twigs with three eggs, whose bounds
// are the unit cube centred on the origin (static).
WriterModel MakeNest();
WriterModel MakeFoxTailAttack();
WriterModel MakeFoxTailFlourish();
WriterModel MakeFoxTailDown();
// The text of "hinge-fast.anim".
std::string HingeFastAnimationSet();

// Writes every sample into folder (made when missing); returns the
// problems, one per line.
std::string WriteSampleModels(const std::string& folder);

}  // namespace Ostrel
