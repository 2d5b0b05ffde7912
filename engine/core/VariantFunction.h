#pragma once
// A callable over a VariantList: what message listeners and direct handlers
// are. The one used everywhere is VarFun_Delegate (MakeDelegate): a target
// object plus a binder of one of its member functions. Held through
// FunctionRef; comes from the small-object pool.
//
// IsSame is the identity used to unsubscribe (same object, same member
// function, compared byte by byte over the member pointer's real size).
// IsCompatible is the signature test between listeners of one message name
// (same argument count and the same argument meta classes; a pointer to a
// structure and the structure by value count as the same).

#include "engine/base/Types.h"
#include "engine/core/RefPtr.h"
#include "engine/core/SmallObject.h"
#include "engine/core/VariantList.h"

#include <vector>

namespace Ostrel {

class MetaClass;

class VariantFunction : public SmallObject {
public:
    ~VariantFunction() override = default;

    // Clear the calling thread's shared return list, then Invoke with it.
    virtual void Call();
    virtual void Call(const VariantList& arguments);

    virtual void Invoke(const VariantList& arguments, VariantList& returns) = 0;
    virtual int GetArgCount() const = 0;
    // The nil meta class for an index past the last argument.
    virtual MetaClass* GetArgType(int index) const = 0;
    virtual bool IsConst() const = 0;
    virtual MetaClass* GetReturnType() const = 0;
    virtual bool IsSame(const VariantFunction* other) const;
    virtual bool IsCompatible(const VariantFunction* other) const;
    virtual const void* GetObjectData() const = 0;
    virtual const void* GetMethodPtr() const = 0;
    virtual u32 GetMethodPtrSize() const = 0;
};

using FunctionRef = RefPtr<VariantFunction>;

}  // namespace Ostrel

LV_DECLARE_META_CLASS(std::vector<Ostrel::FunctionRef>);
