#pragma once
// The deepest element of a parsed TinyXML tree, walked through parent and
// sibling links (no recursion, so any depth TinyXML managed to build can be
// measured). Used to check the nesting guard against the parser.

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>

namespace Ostrel::Fuzz {

inline std::size_t XmlTreeDepth(const TiXmlDocument& document) {
    std::size_t deepest = 0;
    std::size_t level = 1;
    const TiXmlNode* node = document.FirstChild();
    while (node != nullptr) {
        if (node->ToElement() != nullptr) deepest = std::max(deepest, level);
        if (node->FirstChild() != nullptr) {
            node = node->FirstChild();
            ++level;
            continue;
        }
        while (node != nullptr && node != &document && node->NextSibling() == nullptr) {
            node = node->Parent();
            --level;
        }
        node = (node == nullptr || node == &document) ? nullptr : node->NextSibling();
    }
    return deepest;
}

}  // namespace Ostrel::Fuzz
