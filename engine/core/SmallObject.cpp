#include "engine/core/SmallObject.h"

#include "engine/core/SmallAllocator.h"

namespace Ostrel {

void* SmallObject::operator new(std::size_t size) {
    return SmallAllocate(u32(size));
}

void SmallObject::operator delete(void* block, std::size_t size) {
    SmallDeallocate(block, u32(size));
}

}  // namespace Ostrel
