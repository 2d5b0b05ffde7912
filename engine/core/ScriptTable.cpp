#include "engine/core/ScriptTable.h"

namespace Ostrel {

namespace {

thread_local const ScriptTable* t_top = nullptr;

}  // namespace

const ScriptTable* ScriptTable::Top() {
    return t_top;
}

ScriptTable::ScopedTop::ScopedTop(const ScriptTable& table) : m_previous(t_top) {
    t_top = &table;
}

ScriptTable::ScopedTop::~ScopedTop() {
    t_top = m_previous;
}

}  // namespace Ostrel
