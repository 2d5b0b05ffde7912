#pragma once
// The global subscriptions of one system, remembered so that Shutdown (or the
// destructor) removes exactly what Initialize or Create added.

#include "engine/core/RefPtr.h"
#include "engine/core/VariantFunction.h"

#include <string>
#include <utility>
#include <vector>

namespace Ostrel {

class SubscriptionList {
public:
    SubscriptionList() = default;
    ~SubscriptionList() { Clear(); }
    SubscriptionList(const SubscriptionList&) = delete;
    SubscriptionList& operator=(const SubscriptionList&) = delete;

    // Subscribes function to name through the running engine's core system
    // (nothing happens without one).
    void Listen(const std::string& name, const FunctionRef& function);
    // Unsubscribes everything listened to, in order.
    void Clear();
    bool Empty() const { return m_entries.empty(); }

private:
    std::vector<std::pair<std::string, FunctionRef>> m_entries;
};

}  // namespace Ostrel
