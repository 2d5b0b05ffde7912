#pragma once
// The text of a panel definition, split into its target and its key=value
// pairs. A definition of a bar or of something in it reads
//   <target> key=value key='value with blanks' ...
// where the target is GLOBAL, a bar name, or a bar name, '/' and the name of
// a group or entry in it; an entry's own definition has no target. Names and
// values are quoted with ', " or ` when they hold blanks (or, for target
// names, '/'); nothing is escaped, so a name cannot hold its own quote.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Ostrel {

struct PanelDefinition {
    bool global = false;  // the target is GLOBAL
    std::string bar;      // the target bar (empty without a target)
    std::string item;     // the name after '/', if any
    bool hasItem = false;
    std::vector<std::pair<std::string, std::string>> pairs;  // in written order
};

// Null with the reason in error (when given) for an unbalanced quote, a
// missing target, a key without '=' or a missing value.
std::optional<PanelDefinition> ParsePanelDefinition(std::string_view text, bool withTarget, std::string* error);

}  // namespace Ostrel
