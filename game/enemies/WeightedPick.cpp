#include "game/enemies/WeightedPick.h"

#include "engine/base/Log.h"
#include "engine/core/Random.h"
#include "engine/io/PropertyManager.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace Vandle {

using namespace Ostrel;

namespace {

// The text's whole-number weight; anything else (and a negative) is 0.
int WeightOf(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value <= 0) return 0;
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(value);
}

}  // namespace

bool WeightedPick::Load(PropertyManager& properties, const std::string& page, const char* requester) {
    m_names.clear();
    m_weights.clear();
    m_total = 0;
    properties.SelectPage(page);
    if (properties.GetSelectedPageName() != page) {
        LogErrorf("%s: property page '%s' does not exist; nothing is picked\n", requester, page.c_str());
        return false;
    }
    properties.GetPropertyNames(m_names);
    long long total = 0;
    for (const std::string& name : m_names) {
        std::string text;
        properties.GetProperty(name, text);
        m_weights.push_back(WeightOf(text));
        total += m_weights.back();
    }
    m_total = total > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(total);
    if (m_total <= 0) {
        LogErrorf("%s: property page '%s' has no positive weights; nothing is picked\n", requester, page.c_str());
        return false;
    }
    return true;
}

std::string WeightedPick::Pick() const {
    if (m_total <= 0) return {};
    long long r = Rand() % m_total;
    for (size_t i = 0; i < m_names.size(); ++i) {
        r -= m_weights[i];
        if (r < 0) return m_names[i];
    }
    return {};
}

}  // namespace Vandle
