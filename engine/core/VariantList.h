#pragma once
// An ordered list of variants: the arguments of one message or call. Adding
// copies the variant (an owning one shares its value). Element access is
// bounds-tested: reading past the end is a programming error that stops the
// program with a message (binders check the count first and ignore a call
// with too few arguments instead).

#include "engine/core/Variant.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace Ostrel {

class VariantList {
public:
    VariantList() = default;
    VariantList(std::initializer_list<Variant> items) : m_items(items) {}

    void Add(const Variant& item) { m_items.push_back(item); }
    void Add(Variant&& item) { m_items.push_back(std::move(item)); }
    void Clear() { m_items.clear(); }
    std::size_t Size() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }

    const Variant& operator[](std::size_t index) const { return At(index); }
    Variant& operator[](std::size_t index) { return At(index); }
    const Variant& At(std::size_t index) const {
        if (index >= m_items.size()) [[unlikely]] {
            IndexPastEnd(index);
        }
        return m_items[index];
    }
    Variant& At(std::size_t index) {
        if (index >= m_items.size()) [[unlikely]] {
            IndexPastEnd(index);
        }
        return m_items[index];
    }

    std::vector<Variant>::const_iterator begin() const { return m_items.begin(); }
    std::vector<Variant>::const_iterator end() const { return m_items.end(); }

private:
    // Reports the read past the end and stops the program.
    [[noreturn]] void IndexPastEnd(std::size_t index) const;

    std::vector<Variant> m_items;
};

// The list passed by calls without arguments. Per thread, always empty.
const VariantList& EmptyArgumentList();

// The list every VariantFunction::Call / VariantMethod::Call clears and passes
// as the return list. Per thread, so calls on a loading thread do not clear
// the main thread's results.
VariantList& SharedReturnList();

}  // namespace Ostrel
