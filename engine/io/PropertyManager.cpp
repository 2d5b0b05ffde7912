#include "engine/io/PropertyManager.h"

#include "engine/base/Log.h"
#include "engine/io/FilePath.h"
#include "engine/io/SerializerXML.h"

#include <atomic>
#include <sstream>

namespace Ostrel {

namespace {

std::atomic<PropertyManager*> s_instance{nullptr};

}  // namespace

PropertyManager::PropertyManager() {
    s_instance = this;
}

PropertyManager::~PropertyManager() {
    PropertyManager* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
}

PropertyManager* PropertyManager::Instance() {
    PropertyManager* instance = s_instance;
    if (instance == nullptr) {
        LogMessage("PropertyManager was never instantiated.\nDid you forget to make one?\n");
    }
    return instance;
}

PropertyPage& PropertyManager::AddPage(const std::string& pageName) {
    std::lock_guard lock(m_mutex);
    return m_pages[pageName];
}

void PropertyManager::AddProperties(const std::string& pageName, const PropertyPage& values) {
    std::lock_guard lock(m_mutex);
    PropertyPage& page = m_pages[pageName];
    for (const auto& entry : values) {
        page.emplace(entry);
    }
}

void PropertyManager::SelectPage(const std::string& pageName) {
    std::lock_guard lock(m_mutex);
    auto found = m_pages.find(pageName);
    if (found == m_pages.end()) {
        return;
    }
    m_selected = &found->second;
    m_selectedName = pageName;
}

bool PropertyManager::GetPageProperty(const std::string& pageName, const std::string& name,
                                      std::string& value) const {
    std::lock_guard lock(m_mutex);
    auto page = m_pages.find(pageName);
    if (page == m_pages.end()) {
        LogMessage("Could not find property page '" + pageName + "'.\n");
        return false;
    }
    auto property = page->second.find(name);
    if (property == page->second.end()) {
        LogMessage("Could not find property '" + name + "' in page '" + pageName + "'.\n");
        return false;
    }
    value = property->second;
    return true;
}

bool PropertyManager::GetProperty(const std::string& name, std::string& value) const {
    std::lock_guard lock(m_mutex);
    if (m_selected != nullptr) {
        auto property = m_selected->find(name);
        if (property != m_selected->end()) {
            value = property->second;
            return true;
        }
    }
    LogMessage("Could not find property '" + name + "' in page '" + m_selectedName + "'.");
    return false;
}

bool PropertyManager::GetPropertyInt(const std::string& name, int& value) const {
    std::string text;
    if (!GetProperty(name, text)) {
        return false;
    }
    // A text that is no number gives 0, as stream extraction does.
    std::istringstream stream(text);
    int number = 0;
    stream >> number;
    value = number;
    return true;
}

void PropertyManager::GetPropertyNames(std::vector<std::string>& names) const {
    std::lock_guard lock(m_mutex);
    if (m_selected == nullptr) {
        return;
    }
    for (const auto& entry : *m_selected) {
        names.push_back(entry.first);
    }
}

void LoadPropertyAsset(const std::string& path) {
    PropertyManager* manager = PropertyManager::Instance();
    if (manager == nullptr) {
        return;
    }
    // Read into a page of our own first, so the lock is not held during the
    // file read; merging keeps the values already in the page.
    PropertyPage loaded;
    SerializerXML serializer(true);
    if (!serializer.LoadProperties(path, loaded)) {
        return;
    }
    const std::string page = ToLowerAscii(FilePath(path).GetBaseName());
    manager->AddProperties(page, loaded);
    manager->SetPageSource(page, path);
}

void PropertyManager::SetPageSource(const std::string& pageName, const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_sources.try_emplace(pageName, path);
}

std::string PropertyManager::GetPageSource(const std::string& pageName) const {
    std::lock_guard lock(m_mutex);
    auto it = m_sources.find(pageName);
    return it == m_sources.end() ? std::string() : it->second;
}

}  // namespace Ostrel
