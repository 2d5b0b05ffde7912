#pragma once
// A path value split into directory, base name and extension.
//
// Separator policy: "/" and "\\" are both separators (data written on Windows
// uses "\\"); the stored text always uses "/", which is what the file system
// gets. Normalisation at construction:
//   - a path whose last component has no "." names a directory and gets a
//     trailing "/" ("rsc\\level" -> "rsc/level/");
//   - a bare name without any separator is taken relative to the working
//     directory ("a.xobj" -> "./a.xobj").
// A default path is "./" and not valid; look-ups answer it for unknown names.

#include <string>

namespace Ostrel {

class FilePath {
public:
    static constexpr char kSeparator = '/';

    FilePath();
    explicit FilePath(const std::string& path);
    explicit FilePath(const char* path) : FilePath(std::string(path ? path : "")) {}

    const std::string& GetString() const { return m_path; }
    bool IsValid() const { return m_valid; }
    bool IsDirectory() const;
    // Everything after the last separator; empty for a directory path.
    std::string GetFileName() const;
    // The file name up to its last "."; empty for a directory path.
    std::string GetBaseName() const;
    // Everything after the last "." (the whole path when there is none);
    // empty for a directory path.
    std::string GetExtension() const;

private:
    std::string m_path;
    bool m_valid;
};

// Lower-cases ASCII letters (resource keys and extensions).
std::string ToLowerAscii(std::string text);

}  // namespace Ostrel
