#pragma once
// The script table a meta class's FromScript reads: the value at the top of
// the script stack, seen through this interface so that reflected types below
// the scripting subsystem can take their values from script tables without
// knowing the script language. The scripting subsystem installs the table it
// is converting with ScriptTable::ScopedTop for the duration of the call;
// with none installed, Top() is null and FromScript does nothing.
//
// The top is per thread: scene scripts also run on the loading thread.

#include <optional>
#include <string>
#include <string_view>

namespace Ostrel {

class ScriptTable {
public:
    virtual ~ScriptTable() = default;

    // Each answers nothing when the key is absent or holds a value of another
    // type. Boolean also accepts a number, read as true when it is not 0.
    virtual std::optional<int> Integer(std::string_view key) const = 0;
    virtual std::optional<bool> Boolean(std::string_view key) const = 0;
    virtual std::optional<std::string> Text(std::string_view key) const = 0;

    // The table being converted on this thread, or null.
    static const ScriptTable* Top();

    // Makes table the top for its lifetime, then restores the previous one.
    class ScopedTop {
    public:
        explicit ScopedTop(const ScriptTable& table);
        ~ScopedTop();
        ScopedTop(const ScopedTop&) = delete;
        ScopedTop& operator=(const ScopedTop&) = delete;

    private:
        const ScriptTable* m_previous;
    };
};

}  // namespace Ostrel
