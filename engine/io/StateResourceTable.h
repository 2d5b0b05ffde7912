#pragma once
// The "States" settings: for every engine state ("GamePlay", "LevelEditor"),
// the records of its object types. The mains make one table per run before
// the settings are read; while it exists StateResourceTable::Instance names
// it. The state stack calls SelectCurrent with the state on top whenever it
// pushes a state or returns to one.

#include "engine/io/ObjectTypeRecord.h"

#include <map>
#include <string>

namespace Ostrel {

class StateResourceTable {
public:
    StateResourceTable();
    ~StateResourceTable();
    StateResourceTable(const StateResourceTable&) = delete;
    StateResourceTable& operator=(const StateResourceTable&) = delete;

    // The run's table, or null when none exists.
    static StateResourceTable* Instance();

    // Files the record under the state's name; a name already present keeps
    // its first record (answers false then).
    bool AddState(const std::string& stateName, StateRecord record);

    // Makes that state's record current. An unknown state is logged and
    // leaves no record current.
    void SelectCurrent(const std::string& stateName);

    // The record selected last, or null.
    const StateRecord* Current() const { return m_current; }
    const std::string& CurrentName() const { return m_currentName; }
    // The record of a state, or null.
    const StateRecord* Find(const std::string& stateName) const;
    const std::map<std::string, StateRecord>& States() const { return m_states; }

private:
    std::map<std::string, StateRecord> m_states;
    const StateRecord* m_current = nullptr;
    std::string m_currentName;
};

}  // namespace Ostrel
