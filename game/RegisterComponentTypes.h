#pragma once
// Registers the 59 component classes with the CompositionFactory, in their
// fixed order, under their class names (the names archetype and room files
// use for component blocks) and type ids. Called by each program's main right
// after it made the factory.

namespace Ostrel {
class CompositionFactory;
}  // namespace Ostrel

namespace Vandle {

void RegisterComponentTypes(Ostrel::CompositionFactory& factory);

}  // namespace Vandle
