#include "game/common/LogOnce.h"

#include <mutex>
#include <set>

namespace Vandle {

namespace {
std::mutex s_reportsMutex;
std::set<std::string>& Reports() {
    static std::set<std::string> reports;
    return reports;
}
}  // namespace

bool FirstReport(const std::string& key) {
    std::lock_guard lock(s_reportsMutex);
    return Reports().insert(key).second;
}

void ForgetReports() {
    std::lock_guard lock(s_reportsMutex);
    Reports().clear();
}

}  // namespace Vandle
