#include "game/common/CountField.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"

#include <string>

namespace Vandle {

using namespace Ostrel;

void ReportNegativeCount(Serializer* s, const char* key, s32 value, const std::string& outcome) {
    const std::string where = s != nullptr ? s->Where() : std::string();
    const std::string text = (where.empty() ? std::string() : where + ": ") + "key '" + key +
                             "': " + std::to_string(value) + " is below 0; " + outcome;
    LogErrorf("%s\n", text.c_str());
}

void SerializeCount(Serializer* s, const char* key, s32* value, const char* zeroMeans) {
    if (s == nullptr || value == nullptr) return;
    s->SerializeInt(key, value);
    if (!s->IsReading() || *value >= 0) return;
    ReportNegativeCount(s, key, *value, std::string("taken as 0 (") + zeroMeans + ")");
    *value = 0;
}

}  // namespace Vandle
