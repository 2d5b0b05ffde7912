#pragma once
// The log hub. Every failure the program reports passes through one Logger,
// which hands the text to its providers in the order they were added (the log
// file first, then the debug console). Messages above the maximum level (5)
// are dropped. Write is thread-safe: the background-load thread logs through
// the same hub as the main thread, and a lock keeps whole messages apart.
//
// One hub may be made current (SetCurrent); the free helpers of Log.h write
// to it, or to stderr while there is none.

#include "engine/base/ILogProvider.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Ostrel {

constexpr int kLogLevelError = 5;

class Logger {
public:
    Logger() = default;
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Takes ownership; the provider is deleted with the hub.
    void AddProvider(std::unique_ptr<ILogProvider> provider);
    void AddProvider(ILogProvider* provider) { AddProvider(std::unique_ptr<ILogProvider>(provider)); }

    // Hands text to every provider in order when level <= the maximum level.
    void Write(const char* text, int level);

    int GetMaxLevel() const { return m_maxLevel; }
    std::size_t GetProviderCount() const;

    // Deletes every provider in list order and empties the list. The file log
    // writes its end line here.
    void DeleteProviders();

    // The hub the free log helpers use; null means stderr. A hub that is
    // destroyed while current clears itself.
    static void SetCurrent(Logger* logger);
    static Logger* Current();

private:
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<ILogProvider>> m_providers;
    const int m_maxLevel = kLogLevelError;

    static std::atomic<Logger*> s_current;
};

}  // namespace Ostrel
