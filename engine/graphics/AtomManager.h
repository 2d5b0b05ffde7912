#pragma once
// Interned shader-parameter names. A name is interned once (at start-up, by
// whoever sets the parameter) and from then on addressed by its handle: the
// address of the manager's own copy of the text. Handles are stable for the
// life of the manager and unique per text, so programs cache lookups keyed by
// the pointer and no string is built or hashed while a frame is drawn.
//
// Thread-safe: interning takes a lock (the loading thread may build UI
// programs while the main thread interns its names).

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Ostrel {

// A parameter handle: the interned text. Compare by address.
using ParamHandle = const std::string*;

class AtomManagerInst {
public:
    // The process-wide instance, created on first use and destroyed with the
    // other singletons at exit.
    static AtomManagerInst& Instance();

    AtomManagerInst() = default;
    AtomManagerInst(const AtomManagerInst&) = delete;
    AtomManagerInst& operator=(const AtomManagerInst&) = delete;

    // The handle of name; a new text gets its own heap copy.
    ParamHandle Intern(const std::string& name);
    // Forgets every name. Handles given out before become dangling; only the
    // singleton's teardown calls this.
    void Clear();
    std::size_t Size() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<std::string>> m_names;
};

// Shorthand for AtomManagerInst::Instance().Intern(name).
inline ParamHandle InternName(const std::string& name) { return AtomManagerInst::Instance().Intern(name); }

}  // namespace Ostrel
