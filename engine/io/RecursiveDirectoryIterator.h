#pragma once
// A depth-first walk of a directory tree that yields files only. Every name
// that begins with "." is skipped, files and directories alike (so ".keep"
// files and ".hidden/" folders never show). Entries come in name order;
// directories are entered where they are met.

#include "engine/io/DirectoryIterator.h"

#include <functional>
#include <memory>
#include <vector>

namespace Ostrel {

class RecursiveDirectoryIterator {
public:
    // The end iterator.
    RecursiveDirectoryIterator() = default;
    explicit RecursiveDirectoryIterator(const std::string& root);
    // Also tells onDirectory the path of every directory it enters (a data
    // name given to a folder is then reported by the caller).
    RecursiveDirectoryIterator(const std::string& root, std::function<void(const FilePath&)> onDirectory);

    bool IsEnd() const { return !m_current; }
    // The current file's path.
    FilePath GetEntry() const { return m_current ? m_current->GetEntry() : FilePath(); }
    void Advance();

    // Two iterators are equal when both are at their end.
    bool operator==(const RecursiveDirectoryIterator& other) const {
        return IsEnd() && other.IsEnd();
    }

private:
    void Settle();

    std::unique_ptr<DirectoryIterator> m_current;
    std::vector<std::unique_ptr<DirectoryIterator>> m_parents;
    std::function<void(const FilePath&)> m_onDirectory;
};

}  // namespace Ostrel
