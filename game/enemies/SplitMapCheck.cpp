#include "game/enemies/SplitMapCheck.h"

#include "engine/base/Log.h"
#include "engine/io/PropertyManager.h"
#include "game/common/LogOnce.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace Vandle {

using namespace Ostrel;

namespace {

using Graph = std::map<std::string, std::vector<std::string>>;  // bird -> the birds it can split into

// The names of the selected page with their texts.
std::vector<std::pair<std::string, std::string>> PageEntries(PropertyManager& properties, const std::string& page) {
    std::vector<std::pair<std::string, std::string>> entries;
    properties.SelectPage(page);
    if (properties.GetSelectedPageName() != page) return entries;
    std::vector<std::string> names;
    properties.GetPropertyNames(names);
    for (const std::string& name : names) {
        std::string text;
        properties.GetProperty(name, text);
        entries.emplace_back(name, text);
    }
    return entries;
}

Graph ReadGraph(PropertyManager& properties, const char* mapPage, std::map<std::string, std::string>& pageOf) {
    for (const auto& [bird, page] : PageEntries(properties, mapPage)) pageOf[bird] = page;
    Graph graph;
    for (const auto& [bird, page] : pageOf) {
        for (const auto& [child, weight] : PageEntries(properties, page)) {
            if (std::atoi(weight.c_str()) > 0 && pageOf.count(child) != 0) graph[bird].push_back(child);
        }
    }
    return graph;
}

// Depth-first search; on a cycle, fills it (first bird repeated at the end).
bool FindCycle(const Graph& graph, const std::string& bird, std::map<std::string, int>& state,
               std::vector<std::string>& path) {
    state[bird] = 1;  // on the path
    path.push_back(bird);
    auto it = graph.find(bird);
    if (it != graph.end()) {
        for (const std::string& child : it->second) {
            if (state[child] == 1) {
                path.erase(path.begin(), std::find(path.begin(), path.end(), child));
                path.push_back(child);
                return true;
            }
            if (state[child] == 0 && FindCycle(graph, child, state, path)) return true;
        }
    }
    state[bird] = 2;  // done, no cycle through it
    path.pop_back();
    return false;
}

}  // namespace

void CheckSplitMapOnce(PropertyManager& properties, const char* mapPage) {
    if (!FirstReport(std::string("split map check: ") + mapPage)) return;
    std::map<std::string, std::string> pageOf;
    const Graph graph = ReadGraph(properties, mapPage, pageOf);
    std::map<std::string, int> state;
    for (const auto& [bird, children] : graph) {
        std::vector<std::string> path;
        if (state[bird] != 0 || !FindCycle(graph, bird, state, path)) continue;
        std::string chain;
        for (std::size_t i = 0; i < path.size(); ++i) {
            chain += "'" + path[i] + "'";
            if (i + 1 < path.size()) chain += " -> '" + pageOf[path[i]] + "' -> ";
        }
        const std::string source = properties.GetPageSource(mapPage);
        LogSourceScope scope(source);
        LogErrorf("%s%s: property page '%s' splits in a cycle (%s): those birds split without end\n",
                  source.c_str(), source.empty() ? "property pages" : "", mapPage, chain.c_str());
        return;
    }
}

}  // namespace Vandle
