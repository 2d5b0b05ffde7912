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
// - An observer (SetObserver) is told of every send whose name it wants,
//   before any receiver runs and also when nobody listens: message traces
//   and test recorders watch a table without being listeners.
//
// Main thread only.

#include "engine/core/RefPtr.h"
#include "engine/core/Variant.h"
#include "engine/core/VariantFunction.h"
#include "engine/core/VariantList.h"

#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace Ostrel {

class MessageListenerTable {
public:
    class SendObserver {
    public:
        virtual ~SendObserver() = default;
        // Asked before the arguments are packed.
        virtual bool Wants(std::string_view name) const = 0;
        // The arguments refer to the sender's values, as for receivers.
        virtual void OnSend(std::string_view name, const VariantList& arguments) = 0;
    };

    MessageListenerTable() = default;
    ~MessageListenerTable();
    MessageListenerTable(const MessageListenerTable&) = delete;
    MessageListenerTable& operator=(const MessageListenerTable&) = delete;

    void Listen(const std::string& name, const FunctionRef& function);
    // Unsubscribes the first listener that IsSame as function; silent when
    // there is none.
    void Unlisten(const std::string& name, const FunctionRef& function);

    // Sends take the name as a view: a literal name builds no string.
    void Send(std::string_view name);
    void SendArgs(std::string_view name, const VariantList& arguments);

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
    void SendValues(std::string_view name, const Args&... args) {
        if (m_observer != nullptr) [[unlikely]] {
            if (m_observer->Wants(name)) {
                VariantList observed;
                (observed.Add(MakeArgument(args)), ...);
                m_observer->OnSend(name, observed);
            }
        }
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
    void SendString(std::string_view n, const char* text) { SendValues(n, text); }
    void SendStringInt(std::string_view n, const char* text, const int& v) { SendValues(n, text, v); }
    void SendStringValue(std::string_view n, const std::string& text) { SendValues(n, text); }
    void SendStringPtr(std::string_view n, std::string* text) { SendValues(n, text); }
    void SendUInt(std::string_view n, const unsigned& v) { SendValues(n, v); }
    void SendInt(std::string_view n, const int& v) { SendValues(n, v); }
    void SendFloat(std::string_view n, const float& v) { SendValues(n, v); }
    void SendFloat2(std::string_view n, const float& a, const float& b) { SendValues(n, a, b); }
    void SendFloat3(std::string_view n, const float& a, const float& b, const float& c) {
        SendValues(n, a, b, c);
    }
    void SendFloatBool(std::string_view n, const float& v, const bool& b) { SendValues(n, v, b); }
    void SendBool(std::string_view n, const bool& v) { SendValues(n, v); }
    template <class Vec>
    void SendVec3(std::string_view n, const Vec& v) { SendValues(n, v); }
    template <class Vec>
    void SendVec3Ref(std::string_view n, Vec& v) { SendValues(n, v); }

    // At most one observer; null removes it. Not owned: it must outlive the
    // table or be removed first.
    void SetObserver(SendObserver* observer) { m_observer = observer; }
    SendObserver* GetObserver() const { return m_observer; }

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

    // A listener list shared by its entry and the sends walking it, so that
    // a send keeps walking a list that Remove or Clear dropped meanwhile.
    // Tables belong to the main thread: the count is a plain integer.
    class SharedListeners {
    public:
        SharedListeners() : m_list(new Counted()) {}
        SharedListeners(const SharedListeners& other) : m_list(other.m_list) { ++m_list->holders; }
        SharedListeners(SharedListeners&& other) noexcept : m_list(std::exchange(other.m_list, nullptr)) {}
        SharedListeners& operator=(const SharedListeners&) = delete;
        SharedListeners& operator=(SharedListeners&&) = delete;
        ~SharedListeners() {
            if (m_list != nullptr && --m_list->holders == 0) {
                delete m_list;
            }
        }
        ListenerList& operator*() const { return m_list->items; }
        ListenerList* operator->() const { return &m_list->items; }
        ListenerList* get() const { return &m_list->items; }

    private:
        struct Counted {
            ListenerList items;
            int holders = 1;
        };
        Counted* m_list;
    };

    struct Entry {
        FunctionRef handler;
        SharedListeners listeners;
    };
    // Byte-wise order of names, eight bytes at a time (compared as
    // big-endian words, which is the byte order); looks views up directly.
    struct NameOrder {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const {
            const std::size_t common = a.size() < b.size() ? a.size() : b.size();
            std::size_t i = 0;
            for (; i + 8 <= common; i += 8) {
                u64 x;
                u64 y;
                std::memcpy(&x, a.data() + i, 8);
                std::memcpy(&y, b.data() + i, 8);
                if (x != y) {
                    if constexpr (std::endian::native == std::endian::little) {
                        x = __builtin_bswap64(x);
                        y = __builtin_bswap64(y);
                    }
                    return x < y;
                }
            }
            for (; i < common; ++i) {
                if (a[i] != b[i]) {
                    return u8(a[i]) < u8(b[i]);
                }
            }
            return a.size() < b.size();
        }
    };
    using EntryMap = std::map<std::string, Entry, NameOrder>;

    void AddNow(EntryMap& map, const std::string& name, const FunctionRef& function);
    void RemoveNow(EntryMap& map, const std::string& name, const FunctionRef& function);
    void ApplyPending();
    template <class CallOne>
    void Dispatch(EntryMap::iterator entry, const CallOne& call);
    // The argument list of one nesting depth, made on first use.
    VariantList& ArgumentList(int depth) {
        if (std::size_t(depth) < m_argumentLists.size()) [[likely]] {
            return *m_argumentLists[std::size_t(depth)];
        }
        return AddArgumentList(depth);
    }
    VariantList& AddArgumentList(int depth);

    void Observe(std::string_view name, const VariantList& arguments);

    EntryMap m_active;
    SendObserver* m_observer = nullptr;
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
        const SharedListeners listeners = entry->second.listeners;
        for (const FunctionRef& listener : *listeners) call(*listener);
    }
    --m_depth;
    if (m_depth == 0 && m_dirty) ApplyPending();
}

}  // namespace Ostrel
