#include "engine/io/RecursiveDirectoryIterator.h"

namespace Ostrel {

RecursiveDirectoryIterator::RecursiveDirectoryIterator(const std::string& root)
    : m_current(std::make_unique<DirectoryIterator>(root)) {
    Settle();
}

RecursiveDirectoryIterator::RecursiveDirectoryIterator(const std::string& root,
                                                       std::function<void(const FilePath&)> onDirectory)
    : m_current(std::make_unique<DirectoryIterator>(root)), m_onDirectory(std::move(onDirectory)) {
    Settle();
}

void RecursiveDirectoryIterator::Advance() {
    if (!m_current) return;
    m_current->Advance();
    Settle();
}

void RecursiveDirectoryIterator::Settle() {
    while (m_current) {
        if (m_current->IsEnd()) {
            if (m_parents.empty()) {
                m_current.reset();
                return;
            }
            m_current = std::move(m_parents.back());
            m_parents.pop_back();
            m_current->Advance();
            continue;
        }
        const std::string& name = m_current->GetName();
        if (name.empty() || name[0] == '.' || (!m_current->IsDirectory() && !m_current->IsFile())) {
            m_current->Advance();
            continue;
        }
        if (m_current->IsDirectory()) {
            const std::string path = m_current->GetDirectory() + name;
            if (m_onDirectory) m_onDirectory(FilePath(path));
            auto child = std::make_unique<DirectoryIterator>(path);
            m_parents.push_back(std::move(m_current));
            m_current = std::move(child);
            continue;
        }
        return;
    }
}

}  // namespace Ostrel
