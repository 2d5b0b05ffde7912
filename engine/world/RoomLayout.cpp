#include "engine/world/RoomLayout.h"

#include "engine/base/Log.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Random.h"
#include "engine/world/RoomInstance.h"

#include <algorithm>
#include <utility>

namespace Ostrel {

int PickRoomIndex(int count, int i, int n) {
    const int last = count - 1;
    const float lastF = static_cast<float>(last);
    const float fraction = static_cast<float>(i) / static_cast<float>(n);
    const float base = fraction * lastF;
    const float r1 = RandomRange(-1.0f, 1.0f);
    const float r2 = RandomRange(-1.0f, 1.0f);
    const float r3 = RandomRange(-1.0f, 1.0f);
    const float sum = (r1 + r2) + r3;
    const float mean = sum / 3.0f;
    const float noise = mean * lastF;
    const float target = base + noise + 0.5f;
    int index = static_cast<int>(target);
    index = std::min(index, last);
    return std::max(index, 0);
}

void SortRoomsByDifficulty(std::vector<RoomInstance*>& rooms) {
    for (std::size_t p = 0; p < rooms.size(); ++p) {
        std::size_t easiest = p;
        for (std::size_t q = p + 1; q < rooms.size(); ++q) {
            if (rooms[q]->GetDifficulty() < rooms[easiest]->GetDifficulty()) easiest = q;
        }
        std::swap(rooms[p], rooms[easiest]);
    }
}

namespace {

void AppendRandomPicks(const RoomInstanceGroup& group, std::vector<RoomInstance*>& out) {
    std::vector<RoomInstance*> sorted = group.rooms;
    SortRoomsByDifficulty(sorted);
    const int n = Rand() % (group.maxRooms - group.minRooms + 1) + group.minRooms;
    const int count = static_cast<int>(sorted.size());
    for (int i = 0; i < n; ++i) {
        int index = PickRoomIndex(count, i, n);
        if (i > 0 && sorted[static_cast<std::size_t>(index)] == out.back()) index = (index + 1) % count;
        out.push_back(sorted[static_cast<std::size_t>(index)]);
    }
}

}  // namespace

bool AppendRoomSequence(const std::vector<RoomInstanceGroup*>& groups, std::vector<RoomInstance*>& out) {
    for (const RoomInstanceGroup* group : groups) {
        if (group->playOrder == kRoomsOrdered) {
            out.insert(out.end(), group->rooms.begin(), group->rooms.end());
            continue;
        }
        if (group->playOrder != kRoomsRandom) continue;
        const std::string fault =
            CheckRandomGroup(group->playOrder, group->minRooms, group->maxRooms, group->rooms.size());
        if (!fault.empty()) {
            LogMessage("Room layout: " + fault + "; the layout is refused\n");
            return false;
        }
        AppendRandomPicks(*group, out);
    }
    return true;
}

}  // namespace Ostrel
