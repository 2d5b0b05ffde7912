#include "engine/base/Paths.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>

namespace Ostrel {

std::string NormalizeSeparators(std::string_view path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

std::string JoinPath(std::string_view base, std::string_view leaf) {
    std::string left = NormalizeSeparators(base);
    std::string right = NormalizeSeparators(leaf);
    while (!left.empty() && left.back() == '/' && left.size() > 1) left.pop_back();
    std::size_t start = 0;
    while (start < right.size() && right[start] == '/') ++start;
    right.erase(0, start);
    if (left.empty()) return right;
    if (right.empty()) return left;
    if (left.back() == '/') return left + right;
    return left + "/" + right;
}

namespace {
bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

bool CreateDirectories(std::string_view path) {
    std::string normalized = NormalizeSeparators(path);
    if (normalized.empty()) return false;
    for (std::size_t i = 1; i <= normalized.size(); ++i) {
        if (i != normalized.size() && normalized[i] != '/') continue;
        std::string prefix = normalized.substr(0, i);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return IsDirectory(normalized);
}

}  // namespace Ostrel
