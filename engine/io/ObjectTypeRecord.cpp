#include "engine/io/ObjectTypeRecord.h"

#include "engine/base/Serializer.h"

namespace Ostrel {

namespace {

const char kEndOfBlocks[] = "EOF";

void SerializeValues(Serializer& serializer, ObjectTypeRecord& record) {
    int activity = record.activity;
    int flags = static_cast<int>(record.objectFlags);
    serializer.SerializeInt("Activity", &activity);
    serializer.SerializeInt("ObjectFlags", &flags);
    record.activity = activity;
    record.objectFlags = static_cast<u32>(flags);
}

void ReadRecords(Serializer& serializer, StateRecord& records) {
    for (;;) {
        std::string typeName;
        serializer.SerializeBlock(typeName);
        // An empty name (a serializer without blocks) ends the walk as well.
        if (typeName == kEndOfBlocks || typeName.empty()) {
            return;
        }
        ObjectTypeRecord record;
        SerializeValues(serializer, record);
        records.emplace(typeName, record);
    }
}

void WriteRecords(Serializer& serializer, StateRecord& records) {
    for (auto& [typeName, record] : records) {
        std::string block = typeName;
        serializer.SerializeBlock(block);
        SerializeValues(serializer, record);
        std::string end = kEndOfBlocks;
        serializer.SerializeBlock(end);
    }
}

}  // namespace

void ObjectTypeRecord::Serialize(Serializer& serializer, StateRecord& records) {
    if (serializer.IsReading()) {
        ReadRecords(serializer, records);
    } else {
        WriteRecords(serializer, records);
    }
}

}  // namespace Ostrel
