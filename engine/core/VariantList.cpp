#include "engine/core/VariantList.h"

#include <cstdio>
#include <cstdlib>

namespace Ostrel {

void VariantList::IndexPastEnd(std::size_t index) const {
    std::fprintf(stderr, "VariantList: argument %zu read from a list of %zu\n", index, m_items.size());
    std::fflush(stderr);
    std::_Exit(3);
}

const VariantList& EmptyArgumentList() {
    static const thread_local VariantList s_empty;
    return s_empty;
}

VariantList& SharedReturnList() {
    static thread_local VariantList s_returns;
    return s_returns;
}

}  // namespace Ostrel
