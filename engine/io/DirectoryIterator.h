#pragma once
// One level of a directory. The entries, "." and ".." included, come sorted
// by name (byte order) so that every walk sees the same order whatever the
// file system. A directory that cannot be read gives an iterator at its end.

#include "engine/io/FilePath.h"

#include <string>
#include <vector>

namespace Ostrel {

class DirectoryIterator {
public:
    explicit DirectoryIterator(const std::string& directory);

    bool IsEnd() const { return m_index >= m_entries.size(); }
    // directory + the entry's name, normalised by FilePath.
    FilePath GetEntry() const;
    const std::string& GetName() const;
    // A real directory; a symbolic link to a directory is neither a directory
    // nor a file here, so a link cycle cannot make a walk endless.
    bool IsDirectory() const;
    bool IsFile() const;
    void Advance() { ++m_index; }
    const std::string& GetDirectory() const { return m_directory; }

private:
    enum class Type { Directory, File, Other };
    struct Entry {
        std::string name;
        Type type;
    };

    std::string m_directory;
    std::vector<Entry> m_entries;
    std::size_t m_index = 0;
};

}  // namespace Ostrel
