#pragma once
// Message traces for automated runs. DescribeSend turns one send into text,
// "Name(arg, arg)": numbers in their default stream form, booleans as true
// or false, a Vec3 as (x, y, z), text as it is, and an unsigned value that
// is the id of an object the object manager knows followed by the object's
// archetype name in quotes (5 'yak-obj'); other records show their class
// name. MessageTrace is the observer that TAVRIN_TRACE_MESSAGES installs on
// the global table: it logs "trace frame N: Name(args)" for each send of the
// named messages (N counts the engine's frames from 1; 0 before the run).
// LogPositions is what TAVRIN_TRACE_POSITIONS does at the end of each frame:
// "position frame N: ID 'name' (x, y, z)" for each live object whose
// archetype is named, in the object manager's order.

#include "engine/core/MessageListenerTable.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

std::string DescribeSend(std::string_view name, const VariantList& arguments);

class ObjectManager;
void LogPositions(const ObjectManager& objects, const std::set<std::string, std::less<>>& names,
                  unsigned long long frame);

class MessageTrace final : public MessageListenerTable::SendObserver {
public:
    explicit MessageTrace(const std::vector<std::string>& names);

    bool Wants(std::string_view name) const override;
    void OnSend(std::string_view name, const VariantList& arguments) override;

private:
    std::set<std::string, std::less<>> m_names;
};

}  // namespace Ostrel
