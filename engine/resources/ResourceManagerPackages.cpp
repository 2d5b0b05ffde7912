// Package files (".pkg"): lists of resource names loaded together, such as
// "loading-pkg", which every program loads before its run.

#include "engine/base/Log.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceManager.h"

#include <vector>

namespace Ostrel {

std::vector<std::string> ParsePackageText(const char* text, std::size_t length) {
    std::vector<std::string> entries;
    if (!text) return entries;
    std::string line;
    for (std::size_t i = 0; i < length && text[i] != '\0'; ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (!line.empty()) entries.push_back(std::move(line));
            line.clear();
            continue;
        }
        line += c;
    }
    if (!line.empty()) entries.push_back(std::move(line));
    return entries;
}

namespace {

bool ReadWholeFile(IFile& file, std::vector<char>& bytes) {
    s32 size = file.ReadAll(nullptr);
    if (size < 0) return false;
    bytes.assign(std::size_t(size) + 1, '\0');
    s32 read = size > 0 ? file.ReadAll(bytes.data()) : 0;
    if (read < 0) return false;
    bytes.resize(std::size_t(read) + 1);
    bytes[std::size_t(read)] = '\0';
    return true;
}

}  // namespace

void ResourceManager::LoadPackage(const std::string& path) {
    const std::string name = FilePath(path).GetBaseName();
    const std::string key = ToLowerAscii(name);
    std::unique_ptr<IFile> file = Open(name);
    if (!file) {
        LogMessagef("Package '%s': cannot open '%s'\n", name.c_str(), path.c_str());
        return;
    }
    std::vector<char> bytes;
    bool read = ReadWholeFile(*file, bytes);
    file.reset();
    if (!read) {
        LogMessagef("Package '%s': cannot read '%s'\n", name.c_str(), path.c_str());
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_packagesMutex);
        if (!m_packagesLoading.insert(key).second) {
            LogMessagef("Package '%s' lists itself (directly or through another package); skipped\n",
                        name.c_str());
            return;
        }
    }
    for (const std::string& entry : ParsePackageText(bytes.data(), bytes.size())) {
        if (StopRequested()) break;
        if (!GetPath(entry).IsValid()) {
            LogMessagef("Package '%s': unknown resource '%s', skipped\n", name.c_str(), entry.c_str());
            continue;
        }
        LoadResource(entry);
    }
    std::lock_guard<std::mutex> lock(m_packagesMutex);
    m_packagesLoading.erase(key);
}

void LoadPackageResource(const std::string& path) {
    if (ResourceManager* manager = ResourceManager::Instance()) manager->LoadPackage(path);
}

}  // namespace Ostrel
