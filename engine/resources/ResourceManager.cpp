#include "engine/resources/ResourceManager.h"

#include "engine/base/Assert.h"
#include "engine/base/Log.h"
#include "engine/base/Paths.h"
#include "engine/io/FileSystemFile.h"
#include "engine/io/RecursiveDirectoryIterator.h"
#include "engine/resources/ResourceKinds.h"

#include <filesystem>

namespace Ostrel {

void ResourceManager::RegisterExtension(const std::string& kind, const std::string& extension) {
    std::unique_lock lock(m_mapsMutex);
    m_namesByKind.try_emplace(kind);
    m_kindByExtension.try_emplace(ToLowerAscii(extension), kind);
}

void ResourceManager::RegisterLoader(const std::string& kind, LoadCallback callback) {
    if (!callback) return;
    std::unique_lock lock(m_mapsMutex);
    m_loaders.try_emplace(kind, std::move(callback));
}

void ResourceManager::RegisterKindLoaded(const std::string& kind, std::function<void()> check) {
    if (!check) return;
    std::unique_lock lock(m_mapsMutex);
    m_kindChecks[kind] = std::move(check);
}

void ResourceManager::QueueKindForBackgroundLoad(const std::string& kind) {
    std::unique_lock lock(m_mapsMutex);
    m_backgroundKinds.push_back(kind);
}

void ResourceManager::LoadHierarchy(const std::string& root) {
    OSTREL_ASSERT(m_root.empty(),
                  "Attempt to load multiple resource hierarchies.  First loaded %s, now attempting "
                  "to load %s",
                  m_root.c_str(), root.c_str());
    m_root = root;
    auto reportFolder = [this](const FilePath& folder) { ReportDataFolder(folder); };
    for (RecursiveDirectoryIterator it(root, reportFolder); !it.IsEnd(); it.Advance()) RecordFile(it.GetEntry());
    ReportEmptyRoot();
}

void ResourceManager::ReportEmptyRoot() const {
    std::shared_lock lock(m_mapsMutex);
    if (!m_paths.empty()) return;
    std::error_code error;
    const bool folder = std::filesystem::is_directory(m_root, error);
    const std::string here = std::filesystem::current_path(error).string();
    LogMessagef("Resource folder '%s' %s (working directory '%s'): no data is loaded\n", m_root.c_str(),
                folder ? "holds no data files" : "not found", here.c_str());
}

void ResourceManager::ReportDataFolder(const FilePath& folder) const {
    const std::string& path = folder.GetString();
    const std::size_t name = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name)) return;
    if (GetKindOfExtension(path.substr(dot + 1)).empty()) return;
    LogMessagef("%s: a folder, not a data file; its name is not loaded\n", folder.GetString().c_str());
}

void ResourceManager::RecordFile(const FilePath& path) {
    std::unique_lock lock(m_mapsMutex);
    auto kind = m_kindByExtension.find(ToLowerAscii(path.GetExtension()));
    if (kind == m_kindByExtension.end()) return;
    std::string key = ToLowerAscii(path.GetBaseName());
    auto [entry, inserted] = m_paths.try_emplace(key, path.GetString());
    if (!inserted) KeepOneOfTwo(key, entry->second, path.GetString(), kind->second);
    m_namesByKind[kind->second].push_back(key);
}

namespace {

// A file whose base name is its key as it stands ("room-start.xrm" for the
// key "room-start") against one that only folds to it ("Room-Start.xrm").
bool IsSpelledAsKey(const std::string& path, const std::string& key) { return FilePath(path).GetBaseName() == key; }

}  // namespace

// The name of a room is the designer's choice, the names of the other kinds
// are what the game's own data asks for ("hud" is the HUD's scene, "states"
// the state table), so a room never hides a file of another kind, wherever
// the walk meets the two. Between two files of one side, the one whose base
// name is the key itself stays: the game's data names its files in lower
// case, and a copy under another spelling ("Room-Start.xrm", which sorts
// first) must not take the place of the file the data means. Otherwise the
// first path found stays.
void ResourceManager::KeepOneOfTwo(const std::string& key, std::string& kept, const std::string& found,
                                   const std::string& foundKind) {
    const bool keptIsRoom = KindOfPathLocked(kept) == kKindRoom;
    const bool foundIsRoom = foundKind == kKindRoom;
    if (keptIsRoom == foundIsRoom) {
        if (IsSpelledAsKey(found, key) && !IsSpelledAsKey(kept, key)) {
            LogMessagef("Resource '%s': '%s' is hidden by '%s', whose name is the key itself\n", key.c_str(),
                        kept.c_str(), found.c_str());
            kept = found;
            return;
        }
        LogMessagef("Resource '%s': '%s' is hidden by '%s', which was found first\n", key.c_str(), found.c_str(),
                    kept.c_str());
        return;
    }
    const std::string room = keptIsRoom ? kept : found;
    const std::string holder = keptIsRoom ? found : kept;
    LogMessagef("Resource '%s': the room '%s' is hidden by '%s': a room may not take the name of other game "
                "data\n",
                key.c_str(), room.c_str(), holder.c_str());
    kept = holder;
}

bool ResourceManager::FindPath(const std::string& key, std::string& path) const {
    std::shared_lock lock(m_mapsMutex);
    auto found = m_paths.find(key);
    if (found == m_paths.end()) return false;
    path = found->second;
    return true;
}

ResourceManager::LoadCallback ResourceManager::FindLoader(const std::string& kind) const {
    std::shared_lock lock(m_mapsMutex);
    auto found = m_loaders.find(kind);
    return found == m_loaders.end() ? LoadCallback() : found->second;
}

FilePath ResourceManager::GetPath(const std::string& name) const {
    std::string path;
    if (!FindPath(ToLowerAscii(name), path)) return FilePath();
    return FilePath(path);
}

std::unique_ptr<IFile> ResourceManager::Open(const std::string& name) const {
    std::string path;
    if (!FindPath(ToLowerAscii(name), path)) return nullptr;
    auto file = std::make_unique<FileSystemFile>(path);
    if (!file->Open()) return nullptr;
    return file;
}

std::string ResourceManager::PathOf(const std::string& name) const {
    std::string path;
    if (!FindPath(ToLowerAscii(name), path)) path.clear();
    return path;
}

void ResourceManager::LoadRequiredResource(const std::string& name) {
    std::string path;
    if (!FindPath(ToLowerAscii(name), path)) {
        LogMessagef("Resource '%s' not found under '%s': nothing of it is loaded\n", name.c_str(), m_root.c_str());
        return;
    }
    LoadResource(name);
}

void ResourceManager::LoadResource(const std::string& name) {
    std::string path;
    if (!FindPath(ToLowerAscii(name), path)) return;
    std::string kind = GetKindOfExtension(FilePath(path).GetExtension());
    if (kind.empty()) return;
    if (LoadCallback loader = FindLoader(kind)) {
        LogSourceScope source(path);
        loader(path);
    }
}

void ResourceManager::LoadAllOfKind(const std::string& kind) {
    LoadCallback loader = FindLoader(kind);
    if (!loader) return;
    for (const std::string& key : GetNamesOfKind(kind)) {
        if (StopRequested()) return;
        std::string path;
        if (!FindPath(key, path)) continue;
        LogSourceScope source(path);
        loader(path);
    }
    std::function<void()> check;
    {
        std::shared_lock lock(m_mapsMutex);
        auto found = m_kindChecks.find(kind);
        if (found != m_kindChecks.end()) check = found->second;
    }
    if (check) check();
}

bool ResourceManager::StopRequested() const {
    if (!m_stopRequested.load() && (!m_stopCheck || !m_stopCheck())) return false;
    if (!m_stopLogged.exchange(true)) LogMessage("Resource loading stopped: a quit was requested\n");
    return true;
}

void ResourceManager::BackgroundLoad() {
    if (m_backgroundStarted.exchange(true)) return;
    std::vector<std::string> kinds;
    {
        std::shared_lock lock(m_mapsMutex);
        kinds = m_backgroundKinds;
    }
    for (const std::string& kind : kinds) {
        if (StopRequested()) break;
        LoadAllOfKind(kind);
    }
    std::lock_guard<std::mutex> lock(m_backgroundMutex);
    m_backgroundDone = true;
}

bool ResourceManager::IsBackgroundLoadDone() const {
    std::lock_guard<std::mutex> lock(m_backgroundMutex);
    return m_backgroundDone;
}

FilePath ResourceManager::MakeRootPath(const std::string& relative) const {
    // One separator between the two, whichever of them brings one.
    return FilePath(JoinPath(FilePath(m_root).GetString(), relative));
}

void ResourceManager::AddResourcePath(const std::string& path) {
    FilePath file(path);
    std::string key = ToLowerAscii(file.GetBaseName());
    if (key.empty()) return;
    std::unique_lock lock(m_mapsMutex);
    auto [entry, inserted] = m_paths.try_emplace(key, file.GetString());
    if (inserted) return;
    const std::string kind = KindOfPathLocked(file.GetString());
    if (KindOfPathLocked(entry->second) == kind) {
        // A file recorded under its own spelling is not taken over by one
        // that only folds to its key.
        if (IsSpelledAsKey(entry->second, key) && !IsSpelledAsKey(file.GetString(), key)) return;
        entry->second = file.GetString();
        return;
    }
    KeepOneOfTwo(key, entry->second, file.GetString(), kind);
}

std::string ResourceManager::KindOfPathLocked(const std::string& path) const {
    auto found = m_kindByExtension.find(ToLowerAscii(FilePath(path).GetExtension()));
    return found == m_kindByExtension.end() ? std::string() : found->second;
}

std::string ResourceManager::GetKindOfExtension(const std::string& extension) const {
    std::shared_lock lock(m_mapsMutex);
    auto found = m_kindByExtension.find(ToLowerAscii(extension));
    return found == m_kindByExtension.end() ? std::string() : found->second;
}

std::vector<std::string> ResourceManager::GetNamesOfKind(const std::string& kind) const {
    std::shared_lock lock(m_mapsMutex);
    auto found = m_namesByKind.find(kind);
    return found == m_namesByKind.end() ? std::vector<std::string>() : found->second;
}

}  // namespace Ostrel
