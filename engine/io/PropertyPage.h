#pragma once
// A property page: property name -> value text, kept in byte-wise name order.
// Filled from an "xpro" file by SerializerXML::LoadProperties; the first value
// of a name stays.

#include <map>
#include <string>

namespace Ostrel {

using PropertyPage = std::map<std::string, std::string>;

}  // namespace Ostrel
