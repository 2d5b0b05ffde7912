#include "engine/core/VariantList.h"

#include <cstdio>
#include <cstdlib>

namespace Ostrel {

namespace {
[[noreturn]] void IndexPastEnd(std::size_t index, std::size_t size) {
    std::fprintf(stderr, "VariantList: argument %zu read from a list of %zu\n", index, size);
    std::fflush(stderr);
    std::_Exit(3);
}
}  // namespace

const Variant& VariantList::At(std::size_t index) const {
    if (index >= m_items.size()) {
        IndexPastEnd(index, m_items.size());
    }
    return m_items[index];
}

Variant& VariantList::At(std::size_t index) {
    if (index >= m_items.size()) {
        IndexPastEnd(index, m_items.size());
    }
    return m_items[index];
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
