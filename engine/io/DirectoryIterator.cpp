#include "engine/io/DirectoryIterator.h"

#include "engine/base/Paths.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace Ostrel {

namespace {

// Directories are recognised without following links; a link to a regular
// file counts as that file.
bool IsRegularFile(const std::string& path, const struct stat& linkInfo) {
    if (S_ISREG(linkInfo.st_mode)) return true;
    if (!S_ISLNK(linkInfo.st_mode)) return false;
    struct stat target {};
    return ::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode);
}

}  // namespace

DirectoryIterator::DirectoryIterator(const std::string& directory)
    : m_directory(NormalizeSeparators(directory)) {
    if (m_directory.empty() || m_directory.back() != FilePath::kSeparator)
        m_directory += FilePath::kSeparator;
    DIR* handle = ::opendir(m_directory.c_str());
    if (!handle) return;
    while (const dirent* entry = ::readdir(handle)) {
        std::string name = entry->d_name;
        std::string full = m_directory + name;
        struct stat info {};
        Type type = Type::Other;
        if (::lstat(full.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) type = Type::Directory;
            else if (IsRegularFile(full, info)) type = Type::File;
        }
        m_entries.push_back({std::move(name), type});
    }
    ::closedir(handle);
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

FilePath DirectoryIterator::GetEntry() const { return FilePath(m_directory + GetName()); }

const std::string& DirectoryIterator::GetName() const {
    static const std::string kNone;
    return IsEnd() ? kNone : m_entries[m_index].name;
}

bool DirectoryIterator::IsDirectory() const {
    return !IsEnd() && m_entries[m_index].type == Type::Directory;
}

bool DirectoryIterator::IsFile() const { return !IsEnd() && m_entries[m_index].type == Type::File; }

}  // namespace Ostrel
