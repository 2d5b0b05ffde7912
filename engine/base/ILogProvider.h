#pragma once
// A sink of log messages. The Logger hub owns its providers and deletes them
// through this base. Messages carry their own line ends.

namespace Ostrel {

class ILogProvider {
public:
    virtual ~ILogProvider() = default;
    virtual void Write(const char* /*text*/) {}
    // Kept for providers that want the two extra integers; none uses them.
    virtual void Write(int /*a*/, int /*b*/, const char* /*text*/) {}
};

}  // namespace Ostrel
