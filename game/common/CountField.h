#pragma once
// Reading a count from data ("SpawnLimit", "NumAttacks"...): one below 0 is
// logged with what is being read (the file and object, or the file being
// read starts the line) and the key, and taken as 0.

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {
class Serializer;
}

namespace Vandle {

// Serializes the count; when reading a value below 0, logs it and stores 0.
// zeroMeans says what 0 does ("no limit", "never fires").
void SerializeCount(Ostrel::Serializer* s, const char* key, Ostrel::s32* value, const char* zeroMeans);

// Logs a count read below 0 that is kept as it is; outcome says what it does.
void ReportNegativeCount(Ostrel::Serializer* s, const char* key, Ostrel::s32 value, const std::string& outcome);

}  // namespace Vandle
