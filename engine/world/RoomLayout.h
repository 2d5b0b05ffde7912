#pragma once
// The room layout: turns the groups of the selected room palette into the
// ordered room list of one level. An ordered group adds all its rooms in
// file order; a random group adds n = Rand() % (max - min + 1) + min rooms,
// the i-th aimed at the fraction i / n of the group's rooms sorted by rising
// difficulty, moved by a little noise, and never the same room twice in a
// row (the next room is taken instead, wrapping round).
//
// All random draws come from the engine's 15-bit Rand (Random.h), in a fixed
// order: the count, then three draws per pick. The same seed gives the same
// layout.

#include "engine/world/RoomInstanceManager.h"

#include <vector>

namespace Ostrel {

class RoomInstance;

// The index of the i-th of n picks among count rooms sorted by difficulty
// (count >= 1, 0 <= i < n): i / n of the last index plus the mean of three
// RandomRange(-1, 1) draws times the last index, plus 0.5, truncated and
// clamped to 0..count-1. Single-precision arithmetic throughout.
int PickRoomIndex(int count, int i, int n);

// rooms sorted by ascending difficulty with a selection sort: for each
// position, the first room of the smallest difficulty among the rest is
// swapped into it (rooms of equal difficulty may change order).
void SortRoomsByDifficulty(std::vector<RoomInstance*>& rooms);

// Appends the layout of groups to out. A random group that cannot be drawn
// from (CheckRandomGroup) is logged and ends the layout: answer false, out
// then holds only the rooms of the groups before it. Groups of any other
// play order add nothing.
bool AppendRoomSequence(const std::vector<RoomInstanceGroup*>& groups, std::vector<RoomInstance*>& out);

}  // namespace Ostrel
