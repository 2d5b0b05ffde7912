#include "game/enemies/WeightedPick.h"

#include "engine/base/Log.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Random.h"
#include "engine/io/PropertyManager.h"
#include "game/common/LogOnce.h"

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

// "path: property page 'name'", or the page alone when it came from no file.
std::string PageLabel(const PropertyManager& properties, const std::string& page) {
    const std::string source = properties.GetPageSource(page);
    return (source.empty() ? std::string() : source + ": ") + "property page '" + page + "'";
}

// Says once per page and entry what is wrong with it; the line starts with
// the page's file.
void ReportEntry(const PropertyManager& properties, const std::string& page, const std::string& name,
                 const std::string& fault) {
    if (!FirstReport("page " + page + ": " + name)) return;
    LogSourceScope source(properties.GetPageSource(page));
    LogErrorf("%s: '%s' %s\n", PageLabel(properties, page).c_str(), name.c_str(), fault.c_str());
}

bool IsZero(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return first != std::string::npos && text.substr(first, last - first + 1) == "0";
}

}  // namespace

bool WeightedPick::Load(PropertyManager& properties, const std::string& page, const char* requester,
                        const char* namedBy) {
    m_names.clear();
    m_weights.clear();
    m_total = 0;
    properties.SelectPage(page);
    if (properties.GetSelectedPageName() != page) {
        const std::string source = namedBy != nullptr ? properties.GetPageSource(namedBy) : std::string();
        LogSourceScope scope(source);
        LogErrorf("%s%s: property page '%s' does not exist; nothing is picked%s\n",
                  source.empty() ? "" : (source + ": ").c_str(), requester, page.c_str(),
                  namedBy != nullptr ? (std::string(" (named in page '") + namedBy + "')").c_str() : "");
        return false;
    }
    const CompositionFactory* factory = CompositionFactory::Instance();
    properties.GetPropertyNames(m_names);
    long long total = 0;
    for (const std::string& name : m_names) {
        std::string text;
        properties.GetProperty(name, text);
        m_weights.push_back(WeightOf(text));
        total += m_weights.back();
        if (m_weights.back() == 0 && !IsZero(text))
            ReportEntry(properties, page, name, "has the weight '" + text + "', not a whole number above 0; it is never picked");
        else if (factory != nullptr && factory->FindArchetype(name) == nullptr)
            ReportEntry(properties, page, name, "is no archetype; picking it makes nothing");
    }
    m_total = total > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(total);
    if (m_total <= 0) {
        LogSourceScope source(properties.GetPageSource(page));
        LogErrorf("%s has no positive weights; %s picks nothing\n", PageLabel(properties, page).c_str(), requester);
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
