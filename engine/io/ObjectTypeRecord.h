#pragma once
// One object type's entry in a state of the "States" settings: an activity
// value and a set of object flags. A state holds one record per object type
// name (StateRecord); the meaning of both values belongs to their users.

#include "engine/base/Types.h"

#include <map>
#include <string>

namespace Ostrel {

class Serializer;
struct ObjectTypeRecord;

using StateRecord = std::map<std::string, ObjectTypeRecord>;

struct ObjectTypeRecord {
    s32 activity = 0;     // "Activity"
    u32 objectFlags = 0;  // "ObjectFlags"

    // Reading: walks the serializer's block list until "EOF"; every block's
    // tag is an object type name, whose "Activity" and "ObjectFlags" are read
    // into a record starting at (0, 0). A type name already in the map keeps
    // its first record. Writing: one block per entry, in name order.
    static void Serialize(Serializer& serializer, StateRecord& records);
};

}  // namespace Ostrel
