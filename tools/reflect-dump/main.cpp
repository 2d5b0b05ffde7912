// reflect-dump: prints every registered meta class with its kind, fields and
// methods, in name order (see engine/core/RegistryDump.h for the format).

#include "engine/core/RegistryDump.h"

#include <iostream>

int main() {
    Ostrel::WriteRegistryDump(std::cout);
    return std::cout.good() ? 0 : 1;
}
