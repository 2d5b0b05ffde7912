#pragma once
// A weighted table read from a property page: each property names an
// archetype and its value is an integer weight. Names are walked in the
// page's (byte-wise) order. A pick draws r = Rand() % total and walks the
// names, subtracting each weight, until r drops below 0. The bird's split
// and the bird boss's hatching draw from such pages.
//
// A weight that is no number or negative counts as 0. A page that does not
// exist, or whose weights add up to 0, gives an empty table: it picks
// nothing, and Load logs why (never dividing by 0, never drawing from
// another page).

#include <string>
#include <vector>

namespace Ostrel {
class PropertyManager;
}

namespace Vandle {

class WeightedPick {
public:
    // Reads the page; false (logged, naming requester) when it gives an
    // empty table. Leaves the manager's selection on the page when it exists.
    // namedBy, when given, is the page that named this one: a missing page is
    // told against that page's file.
    bool Load(Ostrel::PropertyManager& properties, const std::string& page, const char* requester,
              const char* namedBy = nullptr);
    bool IsEmpty() const { return m_total <= 0; }
    // An archetype name drawn by weight, or empty when the table is empty.
    std::string Pick() const;

private:
    std::vector<std::string> m_names;
    std::vector<int> m_weights;
    int m_total = 0;
};

}  // namespace Vandle
