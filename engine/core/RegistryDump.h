#pragma once
// Writes every registered meta class in ascending name order: its kind code,
// then its fields (with their types), methods (with their argument types) and
// enumeration values, one per indented line; a closing line gives the count.
// Used by the reflect-dump tool.
//
//   Vec3 kind 15
//     field x: float
//   ScopedProfiler kind 15
//     method OnActivationKey(int, bool)
//   187 meta classes

#include <ostream>

namespace Ostrel {

void WriteRegistryDump(std::ostream& out);

}  // namespace Ostrel
