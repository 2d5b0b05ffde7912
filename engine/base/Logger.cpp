#include "engine/base/Logger.h"

namespace Ostrel {

std::atomic<Logger*> Logger::s_current{nullptr};

Logger::~Logger() {
    Logger* self = this;
    s_current.compare_exchange_strong(self, nullptr);
    DeleteProviders();
}

void Logger::AddProvider(std::unique_ptr<ILogProvider> provider) {
    if (!provider) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_providers.push_back(std::move(provider));
}

void Logger::Write(const char* text, int level) {
    if (level > m_maxLevel || !text) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& provider : m_providers) provider->Write(text);
}

std::size_t Logger::GetProviderCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_providers.size();
}

void Logger::DeleteProviders() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& provider : m_providers) provider.reset();
    m_providers.clear();
}

void Logger::SetCurrent(Logger* logger) { s_current.store(logger); }

Logger* Logger::Current() { return s_current.load(); }

}  // namespace Ostrel
