#pragma once
// An unbound member-function binder: calls one member function of a class on
// an object given as a Variant, unpacking a VariantList into typed arguments
// (VarMeth_0_0 .. VarMeth_0_4, one per arity). Made by VariantMethodBinderInst,
// held through RefPtr, allocated from the general heap. Bound functions
// return nothing, so the return list is never touched.

#include "engine/base/Types.h"
#include "engine/core/VariantList.h"

namespace Ostrel {

class MetaClass;

class VariantMethod {
public:
    virtual ~VariantMethod() = default;

    // Clear the calling thread's shared return list, then Invoke with it.
    virtual void Call(const Variant& object);
    virtual void Call(const Variant& object, const VariantList& arguments);

    // Converts the arguments (last first), then calls the member function on
    // object. With fewer arguments than the function takes, the call is
    // logged and ignored.
    virtual void Invoke(const Variant& object, const VariantList& arguments, VariantList& returns) = 0;
    virtual MetaClass* GetClass() const = 0;
    virtual int GetArgCount() const = 0;
    // The nil meta class for index >= GetArgCount().
    virtual MetaClass* GetArgType(int index) const = 0;
    virtual bool IsConst() const { return false; }
    virtual MetaClass* GetReturnType() const;
    // Address and size of the stored member-function pointer (16 bytes with
    // g++ on x86-64): equal bytes mean the same member function.
    virtual const void* GetMethodPtr() const = 0;
    virtual u32 GetMethodPtrSize() const = 0;
};

namespace Private {

// True when arguments holds at least count values; otherwise logs which
// method got too few and returns false.
bool HasArguments(const VariantList& arguments, int count, const MetaClass* owner);

}  // namespace Private

}  // namespace Ostrel
