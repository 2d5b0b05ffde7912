#include "engine/io/FilePath.h"

#include "engine/base/Paths.h"

namespace Ostrel {

FilePath::FilePath() : m_path(std::string(".") + kSeparator), m_valid(false) {}

FilePath::FilePath(const std::string& path) : m_path(NormalizeSeparators(path)), m_valid(true) {
    std::size_t last = m_path.rfind(kSeparator);
    if (last == std::string::npos) {
        m_path.insert(0, std::string(".") + kSeparator);
        return;
    }
    if (last + 1 == m_path.size()) return;
    if (m_path.find('.', last) == std::string::npos) m_path += kSeparator;
}

bool FilePath::IsDirectory() const { return !m_path.empty() && m_path.back() == kSeparator; }

std::string FilePath::GetFileName() const {
    if (IsDirectory()) return {};
    std::size_t last = m_path.rfind(kSeparator);
    return last == std::string::npos ? m_path : m_path.substr(last + 1);
}

std::string FilePath::GetBaseName() const {
    if (IsDirectory()) return {};
    std::size_t last = m_path.rfind(kSeparator);
    std::size_t start = last == std::string::npos ? 0 : last + 1;
    std::size_t dot = m_path.rfind('.');
    if (dot == std::string::npos || dot < start) return m_path.substr(start);
    return m_path.substr(start, dot - start);
}

std::string FilePath::GetExtension() const {
    if (IsDirectory()) return {};
    std::size_t dot = m_path.rfind('.');
    return dot == std::string::npos ? m_path : m_path.substr(dot + 1);
}

std::string ToLowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return text;
}

}  // namespace Ostrel
