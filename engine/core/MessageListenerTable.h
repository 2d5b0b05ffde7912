#pragma once
// Named messages: a table from message name to the listeners of that name,
// with an optional direct handler per name. One table is global (the core
// system's); every object and UI element has its own.
//
// Rules:
// - Delivery is synchronous: a send returns after every receiver has run.
//   Arguments are variants that refer to the sender's variables (a C string
//   is copied) and live only during the send; receivers copy what they keep.
// - Listen/Unlisten during a send (depth > 0) are deferred to the end of the
//   outermost send of this table, so the list being walked never changes.
//   Deferred changes are applied removals first, then additions, each in
//   byte-wise name order, whatever the order of the calls.
// - Removing a listener overwrites it with the last one (order not kept).
// - All listeners of one name take the same argument types: a listener that
//   is not IsCompatible with the first one is a fatal assertion (also for the
//   deferred lists).
// - While a direct handler is set, it alone receives the name; ClearHandler
//   gives the name back to its listeners in their old order. SetHandler,
//   ClearHandler, Remove and Clear apply at once, also during a send: the
//   running handler and the list being walked are kept alive for the call.
//
// Main thread only.

#include "engine/core/RefPtr.h"
#include "engine/core/Variant.h"
#include "engine/core/VariantFunction.h"
#include "engine/core/VariantList.h"

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace Ostrel {

class MessageListenerTable {
public:
    MessageListenerTable() = default;
    ~MessageListenerTable();
    MessageListenerTable(const MessageListenerTable&) = delete;
    MessageListenerTable& operator=(const MessageListenerTable&) = delete;

    void Listen(const std::string& name, const FunctionRef& function);
    // Unsubscribes the first listener that IsSame as function; silent when
    // there is none.
    void Unlisten(const std::string& name, const FunctionRef& function);

    void Send(const std::string& name);
    void SendArgs(const std::string& name, const VariantList& arguments);

    // Creates the name's entry when absent.
    void SetHandler(const std::string& name, const FunctionRef& function);
    void ClearHandler(const std::string& name);
    // Drops the name's entry (listeners and handler).
    void Remove(const std::string& name);
    void Clear();

    // Packs the arguments into a list, in order, and sends it. A C string
    // (const char*, or a string literal) becomes an owning copy of the text;
    // everything else travels as a non-owning reference to the caller's
    // variable (a pointer argument refers to what it points to). Every typed
    // sender below is this one mechanism.
    template <class... Args>
    void SendValues(const std::string& name, const Args&... args) {
        auto entry = m_active.find(name);
        if (entry == m_active.end()) return;  // nobody listens: build nothing
        if constexpr (sizeof...(Args) == 0) {
            Dispatch(entry, [](VariantFunction& f) { f.Call(); });
        } else {
            // A list per nesting depth, reused from send to send: a send
            // allocates nothing once the table has warmed up.
            VariantList& list = ArgumentList(m_depth);
            (list.Add(MakeArgument(args)), ...);
            // What VariantFunction::Call does, with the shared return list
            // cleared once per send: bound handlers return nothing.
            VariantList& returns = SharedReturnList();
            returns.Clear();
            Dispatch(entry, [&list, &returns](VariantFunction& f) { f.Invoke(list, returns); });
            ArgumentList(m_depth).Clear();  // text copies go now, not at the next send
        }
    }

    // Typed senders, one per argument list that messages use; each name says
    // what it carries.
    void SendString(const std::string& n, const char* text) { SendValues(n, text); }
    void SendStringInt(const std::string& n, const char* text, const int& v) { SendValues(n, text, v); }
    void SendStringValue(const std::string& n, const std::string& text) { SendValues(n, text); }
    void SendStringPtr(const std::string& n, std::string* text) { SendValues(n, text); }
    void SendUInt(const std::string& n, const unsigned& v) { SendValues(n, v); }
    void SendInt(const std::string& n, const int& v) { SendValues(n, v); }
    void SendFloat(const std::string& n, const float& v) { SendValues(n, v); }
    void SendFloat2(const std::string& n, const float& a, const float& b) { SendValues(n, a, b); }
    void SendFloat3(const std::string& n, const float& a, const float& b, const float& c) {
        SendValues(n, a, b, c);
    }
    void SendFloatBool(const std::string& n, const float& v, const bool& b) { SendValues(n, v, b); }
    void SendBool(const std::string& n, const bool& v) { SendValues(n, v); }
    template <class Vec>
    void SendVec3(const std::string& n, const Vec& v) { SendValues(n, v); }
    template <class Vec>
    void SendVec3Ref(const std::string& n, Vec& v) { SendValues(n, v); }

    // Inspection (tests, debug displays).
    bool HasEntry(const std::string& name) const { return m_active.count(name) != 0; }
    std::vector<FunctionRef> GetListeners(const std::string& name) const;
    bool HasHandler(const std::string& name) const;
    int GetDepth() const { return m_depth; }

    // One argument as it travels: text given as a C string is copied into an
    // owning variant; anything else is referred to.
    static Variant MakeArgument(const char* text) { return Variant(text); }
    static Variant MakeArgument(char* text) { return Variant(static_cast<const char*>(text)); }
    template <std::size_t N>
    static Variant MakeArgument(const char (&text)[N]) { return Variant(static_cast<const char*>(text)); }
    static Variant MakeArgument(const Variant& v) { return v; }
    template <class T>
    static Variant MakeArgument(const T& value) { return Variant(value); }

private:
    using ListenerList = std::vector<FunctionRef>;
    struct Entry {
        FunctionRef handler;
        // Shared so that a send keeps walking a list that Remove or Clear
        // dropped meanwhile.
        std::shared_ptr<ListenerList> listeners = std::make_shared<ListenerList>();
    };
    using EntryMap = std::map<std::string, Entry>;

    void AddNow(EntryMap& map, const std::string& name, const FunctionRef& function);
    void RemoveNow(EntryMap& map, const std::string& name, const FunctionRef& function);
    void ApplyPending();
    template <class CallOne>
    void Dispatch(EntryMap::iterator entry, const CallOne& call);
    VariantList& ArgumentList(int depth);

    EntryMap m_active;
    EntryMap m_pendingAdd;
    EntryMap m_pendingRemove;
    int m_depth = 0;
    bool m_dirty = false;
    std::vector<std::unique_ptr<VariantList>> m_argumentLists;
};

template <class CallOne>
void MessageListenerTable::Dispatch(EntryMap::iterator entry, const CallOne& call) {
    ++m_depth;
    // Local handles keep the handler and the list alive even when a receiver
    // replaces or clears the handler, or removes the entry, during the call.
    if (entry->second.handler) {
        FunctionRef handler = entry->second.handler;
        call(*handler);
    } else {
        std::shared_ptr<ListenerList> listeners = entry->second.listeners;
        for (const FunctionRef& listener : *listeners) call(*listener);
    }
    --m_depth;
    if (m_depth == 0 && m_dirty) ApplyPending();
}

}  // namespace Ostrel
