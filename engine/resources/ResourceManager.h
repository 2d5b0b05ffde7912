#pragma once
// The resource manager. All data files live under one root directory ("rsc"
// in the working directory). LoadHierarchy walks it once (sorted, depth-first,
// dot-names skipped) and records every file whose extension belongs to a
// registered kind under its key: the base name in lower case. From then on
// files are found by name alone, whatever their directory:
//   - keys are unique across kinds and directories; the first path the walk
//     meets wins ("a.xobj" and "a.png" share the key "a"), except that a room
//     (".xrm", named by a designer) never hides a file of another kind, whose
//     name the game's own data asks for: "rsc/level/hud.xrm" leaves "hud" to
//     the HUD's scene; and that a file whose base name is the key itself
//     wins over one that only folds to it ("room-start.xrm" over an earlier
//     "Room-Start.xrm"). Each clash is logged, naming both files;
//   - the key still enters its kind's list once per file, so LoadAllOfKind
//     calls the loader once per file, with the first path (a duplicate is
//     logged at walk time).
// Loaders are registered per kind by the subsystems that own the formats.
//
// Threads: the maps are filled before any loading thread starts and are then
// only read, apart from AddResourcePath; a lock keeps that one writer safe.
// BackgroundLoad runs once, typically on a worker thread, and
// IsBackgroundLoadDone turns true exactly once, when it has finished.

#include "engine/core/GenericManager.h"
#include "engine/io/FilePath.h"
#include "engine/io/IFile.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

namespace Ostrel {

class ResourceManager : public GenericManager<ResourceManager> {
public:
    // Receives the full path of one file of the kind.
    using LoadCallback = std::function<void(const std::string& path)>;

    // Instance() is the live manager, or null before the mains build it and
    // after teardown.

    // Records extension -> kind (an extension keeps its first kind) and gives
    // a new kind its empty list. Extensions are matched case-insensitively.
    void RegisterExtension(const std::string& kind, const std::string& extension);
    // The first registration of a kind stays.
    void RegisterLoader(const std::string& kind, LoadCallback callback);
    void QueueKindForBackgroundLoad(const std::string& kind);
    // Runs check after LoadAllOfKind has given every file of the kind to its
    // loader (also when there is none), for checks across files (a name
    // defined in no file, a missing file). A stopped load skips it.
    void RegisterKindLoaded(const std::string& kind, std::function<void()> check);

    // Walks root once. A second root is a fatal assertion.
    void LoadHierarchy(const std::string& root);

    // The recorded path of name (any case), or the default (not valid) path.
    FilePath GetPath(const std::string& name) const;
    // The file of name opened for reading, or null when the name is unknown
    // or the file cannot be opened (for example removed after the walk).
    std::unique_ptr<IFile> Open(const std::string& name) const;
    // The path of the file recorded under name (any case), or empty: for
    // messages that name the file.
    std::string PathOf(const std::string& name) const;
    // Runs the loader of the file's kind with its path. Unknown names,
    // extensions without a kind and kinds without a loader do nothing.
    void LoadResource(const std::string& name);
    // LoadResource for a resource the program needs ("loading-pkg"): a name
    // that is not recorded is logged instead of ignored.
    void LoadRequiredResource(const std::string& name);
    // Runs the kind's loader for every key of the kind, in discovery order.
    void LoadAllOfKind(const std::string& kind);
    // Loads the background kinds in their order, once; later calls do nothing.
    void BackgroundLoad();
    // Asked between two resources by LoadAllOfKind, BackgroundLoad and
    // LoadPackage: once it answers true (a quit was requested) the loads
    // stop, with one log line, so a signal ends the program without waiting
    // for the data. Set before any loading thread starts.
    void SetStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }
    // Stops running loads at their next resource, whatever the stop check
    // says: the program's teardown asks so before it joins the loading
    // threads, then clears the request once they are joined.
    void RequestStop(bool stop) { m_stopRequested.store(stop); }
    bool StopRequested() const;
    bool IsBackgroundLoadDone() const;

    // The root followed directly by relative ("\\level\\a.xrm" -> "rsc/level/a.xrm").
    FilePath MakeRootPath(const std::string& relative) const;
    // Records a file written after the walk (a room saved by the editor) under
    // its lower-case base name; an existing entry of the same kind is
    // replaced unless it is spelled as the key and the new file is not, one
    // of another kind kept by the walk's rule. Kind lists are not touched.
    void AddResourcePath(const std::string& path);

    // Reads a package file: one resource name per line (CR, LF or CR LF; empty
    // lines dropped; blanks kept; the last line may lack its end) and loads
    // each with LoadResource, so packages nest. A package that is already
    // being loaded (one that lists itself, directly or through another) is
    // skipped with a log line.
    void LoadPackage(const std::string& path);

    const std::string& GetRoot() const { return m_root; }
    // The kind of an extension (any case), or an empty string.
    std::string GetKindOfExtension(const std::string& extension) const;
    // The keys of a kind in discovery order (a key once per file).
    std::vector<std::string> GetNamesOfKind(const std::string& kind) const;

private:
    void RecordFile(const FilePath& path);
    // One log line for a folder whose name carries a data extension (a
    // "levels.xlod" folder): the walk goes into it, but nothing loads it.
    void ReportDataFolder(const FilePath& folder) const;
    // One log line when the walk found no data file (folder missing or empty).
    void ReportEmptyRoot() const;
    // Of two files with one key, which one the key keeps (kept is updated;
    // the caller holds the maps' lock); logged.
    void KeepOneOfTwo(const std::string& key, std::string& kept, const std::string& found,
                      const std::string& foundKind);
    // The kind of a path's extension, or empty; the caller holds the lock.
    std::string KindOfPathLocked(const std::string& path) const;
    LoadCallback FindLoader(const std::string& kind) const;
    bool FindPath(const std::string& key, std::string& path) const;

    mutable std::shared_mutex m_mapsMutex;
    std::map<std::string, std::vector<std::string>> m_namesByKind;
    std::map<std::string, LoadCallback> m_loaders;
    std::map<std::string, std::function<void()>> m_kindChecks;
    std::map<std::string, std::string> m_kindByExtension;
    std::map<std::string, std::string> m_paths;
    std::vector<std::string> m_backgroundKinds;

    mutable std::mutex m_backgroundMutex;
    bool m_backgroundDone = false;
    std::atomic<bool> m_backgroundStarted{false};

    std::mutex m_packagesMutex;
    std::set<std::string> m_packagesLoading;

    std::string m_root;
    std::function<bool()> m_stopCheck;
    std::atomic<bool> m_stopRequested{false};
    mutable std::atomic<bool> m_stopLogged{false};
};

// Splits a package text into its entries (see LoadPackage).
std::vector<std::string> ParsePackageText(const char* text, std::size_t length);

// The PACKAGE kind's loader.
void LoadPackageResource(const std::string& path);

}  // namespace Ostrel
