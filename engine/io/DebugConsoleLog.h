#pragma once
// The debugger-output provider: every message goes to stderr unchanged.

#include "engine/base/ILogProvider.h"

namespace Ostrel {

class DebugConsoleLog : public ILogProvider {
public:
    void Write(const char* text) override;
    void Write(int a, int b, const char* text) override;
};

}  // namespace Ostrel
