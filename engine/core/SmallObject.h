#pragma once
// Base of the classes whose instances come from the small-object allocator
// (Variant, VariantFunction, VarFun_Delegate). The class operator delete takes
// the size: with the virtual destructor, delete through a base pointer passes
// the size of the most derived object, the same size operator new was given.
// Objects larger than the allocator's maximum (64 bytes) go to malloc.

#include <cstddef>

namespace Ostrel {

class SmallObject {
public:
    virtual ~SmallObject() = default;

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

protected:
    SmallObject() = default;
    SmallObject(const SmallObject&) = default;
    SmallObject& operator=(const SmallObject&) = default;
};

}  // namespace Ostrel
